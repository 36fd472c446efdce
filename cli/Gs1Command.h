#pragma once
// korvane gs1 ...: GS1 data checked, converted to and from GS1 Digital Link.

#include "Console.h"

namespace korvane::cli {

// Runs "gs1 ARGS..." (argv[0] is "gs1"); returns the exit status.
int runGs1(int argc, const char* const* argv, Console& console);

}  // namespace korvane::cli
