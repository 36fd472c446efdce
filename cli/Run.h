#pragma once
// The korvane command: parses the command line, makes the symbols, writes
// them, reports, and returns the exit status. It never exits the process, so
// tests and the fuzz target run it in-process.

#include "Console.h"

namespace korvane::cli {

int runKorvane(int argc, const char* const* argv, Console& console);

}  // namespace korvane::cli
