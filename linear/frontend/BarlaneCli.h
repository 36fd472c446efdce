#pragma once
// The barlane command line: usage text, argument echo, one symbol, one EMF file.

#include <iosfwd>

// Runs barlane with the given arguments (argv[0] is the program name).
// Standard output gets the usage text and the echo; a run that writes no file
// explains why in one line on `err` and returns 1; a written file returns 0.
int runBarlane(int argc, const char* const* argv, std::ostream& out, std::ostream& err);
