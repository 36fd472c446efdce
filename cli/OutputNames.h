#pragma once
// Output names from a template: "label-{n:05}.svg" numbers the symbols of a
// batch, {line} is the batch file's line, {data} and {input} the value as
// typed, made safe for a file name, {page} a sheet's page. In a label's text
// {input} is the value as typed and {data} the data as encoded, as a reader
// returns it (an EAN-13 with its check digit, GS1 with its AIs in brackets). "{{" and "}}" are literal braces. A
// number field may carry a width, zero-padded with a leading 0 ("{n:05}") or
// space-padded without ("{n:5}").

#include <korvane/Result.h>

#include <string>
#include <string_view>
#include <vector>

namespace korvane::cli {

enum class Field { N, Line, Data, Page, Input };

struct NameFields {
    long long n = 0;
    long long line = 0;
    std::string_view data;
    long long page = 0;
    std::string_view input;  // the value as typed; empty: as `data`
};

class NameTemplate {
public:
    NameTemplate() = default;
    // Errors (InvalidOption) name the placeholder that is unknown or malformed.
    static Result<NameTemplate> parse(std::string_view text);

    // With `rawData`, {data} and {input} are as they are (for text, not file names).
    std::string expand(const NameFields& fields, bool rawData = false) const;
    bool uses(Field f) const;
    bool hasFields() const;
    const std::string& text() const { return text_; }

private:
    struct Piece {
        bool isField = false;
        Field field = Field::N;
        std::string literal;
        int width = 0;
        bool zeroPad = false;
    };
    std::string text_;
    std::vector<Piece> pieces_;
};

// The data as part of a file name: letters, digits and "-_.+=" kept, every
// other byte (path separators, spaces, controls, non-ASCII) becomes '_', no
// leading '.', at most 64 bytes; "_" for empty data.
std::string safeForFileName(std::string_view data);

// A name with "-N" before its extension ("sheet.svg", 3 -> "sheet-3.svg"),
// for pages when the template has no {page}.
std::string withPageNumber(const std::string& path, long long page);

// A path spelled as the file it names: "./a//b.svg" and "a/b.svg" are the
// same file, for finding two rows that would write the same one.
std::string canonicalName(const std::string& path);

}  // namespace korvane::cli
