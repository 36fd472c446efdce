#pragma once
// The command line of korvane, parsed with CLI11 into an Invocation: what to
// do, with which settings, from which data to which output.

#include "OutputNames.h"
#include "Settings.h"
#include "Units.h"

#include <korvane/Grade.h>

#include <optional>
#include <string>

namespace korvane::cli {

enum class Action { Encode, List, Help, Version };

struct SheetSettings {
    PageSize page;
    Grid grid{1, 1};
    Box margins;   // default 10 mm all round
    Length gapH, gapV;
    std::string labelText;  // text under each label: a template with {data}, {n}, {line}
    NameTemplate labelTemplate;  // labelText, parsed
    bool cutMarks = false;
};

struct Invocation {
    Action action = Action::Encode;
    std::string text;  // the help or version text, for those actions

    Settings settings;
    std::optional<std::string> data;  // the data argument
    std::string input;                // --input FILE ("-" standard input, read as it is)
    std::string output = "barcode.svg";
    bool outputGiven = false;

    bool json = false;
    bool verify = false;
    bool keepFailed = false;
    // --grade [PROFILE] and --min-grade GRADE: the printer to simulate, and the
    // least symbol grade (0-4) a symbol must reach to be written (-1: any).
    std::optional<PrinterProfile> grade;
    double minGrade = -1;

    std::string batch;  // --batch FILE ("-" standard input)
    bool csv = false;
    int jobs = 0;       // 0: every core
    bool failFast = false;
    bool allowPaths = false;  // a CSV's "file" cells may name files outside the folder of -o

    std::optional<SheetSettings> sheet;
};

// Parses argv. An error is a usage error (one line, without "korvane: ").
Result<Invocation> parseCommandLine(int argc, const char* const* argv);

// Applies one batch column (an option's long name) to settings; for a flag, a
// cell of "1", "yes", "true" or "on" applies it and an empty cell, "0", "no",
// "false" or "off" does not.
Status applyColumn(Settings& settings, const std::string& name, const std::string& cell);

// Whether `name` is a column a CSV batch file may have.
bool knownColumn(const std::string& name);

}  // namespace korvane::cli
