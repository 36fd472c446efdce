#pragma once
// Machine-readable reports (--json): one JSON object per line for each symbol,
// and the symbology list. Any byte of the data is carried: text that is not
// UTF-8 is also given in hexadecimal.

#include "Pipeline.h"

#include <string>

namespace korvane::cli {

struct ReportEntry {
    long long line = 0;  // batch rows: the line of the batch file; 0 for a single symbol
    long long n = 0;     // batch rows: the row's number
    std::string input;   // the data as given
    std::string file;    // where it was written ("-" standard output, "" nowhere)
    std::string format;
    int page = 0;        // sheets: the page the label is on
    const Made* made = nullptr;       // what was made, when encoding got that far
    const Error* error = nullptr;     // why the row failed, when it did
    int status = 0;
};

// One line, ending in '\n'.
std::string jsonReport(const ReportEntry& entry);

// The symbologies and what they take, as --list --json prints them.
std::string jsonSymbologyList();

}  // namespace korvane::cli
