#pragma once
// One symbol from data to the bytes of its file: encode, lay out, verify when
// asked, write into memory. Safe to run on many threads at once.

#include "Settings.h"

#include <korvane/Grade.h>
#include <korvane/Verify.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace korvane::cli {

// The command's exit statuses.
constexpr int EXIT_WRITTEN = 0;
constexpr int EXIT_DATA = 1;      // the data cannot be encoded
constexpr int EXIT_USAGE = 2;     // a usage error
constexpr int EXIT_OUTPUT = 3;    // the output cannot be written
constexpr int EXIT_VERIFY = 4;    // verification failed

// The exit status an error of the library stands for.
int exitStatusFor(ErrorCode code);

struct Made {
    Symbol symbol;
    Drawing drawing;
    std::optional<Verdict> verdict;  // when verification was asked for
    std::optional<QualityGrade> quality;  // when a grade was asked for
    std::vector<std::uint8_t> bytes; // the file (empty when not rendered)
    std::vector<std::string> warnings;  // the symbol's, the layout's and the writer's
};

struct MakeRequest {
    const Settings* settings = nullptr;
    std::string_view data;
    bool verify = false;
    bool keepFailed = false;  // write a symbol that failed verification (still a failure)
    const PrinterProfile* grade = nullptr;  // grade the drawing as this printer prints it
    double minGrade = -1;                   // below this grade a symbol fails as verification does
    bool render = true;       // false: stop at the drawing (sheets compose it)
    Format format = Format::Svg;
    // How the symbol is laid out; empty: korvane::layout (sheets fit it to a cell).
    std::function<Result<Drawing>(const Symbol&, const LayoutOptions&)> layout;
};

// On success `made` alone. On failure `error`, and `made` as far as it got
// when the symbol was drawn (a verification failure; a writer's refusal):
// with --keep-failed a symbol that failed verification is rendered too.
struct MakeResult {
    std::optional<Made> made;
    std::optional<Error> error;
    bool keptFailed = false;  // --keep-failed keeps `made` though verification or grading failed (`error`)

    // A row's outcome, stated once: written (or placed on a sheet) when made,
    // or when --keep-failed keeps it though verification failed; else failed.
    bool writes() const { return made && (!error || keptFailed); }
};

MakeResult makeSymbol(const MakeRequest& request);

}  // namespace korvane::cli
