#pragma once
// The barlane command line: usage text, argument echo, one symbol, one EMF file.

#include <iosfwd>
#include <string>

// Where the program's text goes: standard output and standard error in the
// program, strings or streams in tests.
class TextOutput {
public:
    virtual ~TextOutput() = default;
    virtual void write(const std::string& text) = 0;
    virtual void flush() {}
};

// Runs barlane with the given arguments (argv[0] is the program name).
// Standard output gets the usage text and the echo, flushed before the symbol
// is built; a run that writes no file explains why in one line on `err` and
// returns 1; a written file returns 0.
int runBarlane(int argc, const char* const* argv, TextOutput& out, TextOutput& err);
int runBarlane(int argc, const char* const* argv, std::ostream& out, std::ostream& err);
