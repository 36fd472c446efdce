#pragma once
// The aztec console program: option/value pairs in, one BMP file out.

#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

// Output file when no "-file" is given.
#if defined(_WIN32)
#define AZTEC_DEFAULT_OUTPUT "c:\\aztec.bmp"
#else
#define AZTEC_DEFAULT_OUTPUT "aztec.bmp"
#endif

// Exit statuses of the program.
constexpr int EXIT_WRITTEN = 0;        // the symbol was written
constexpr int EXIT_NOT_WRITTEN = 1;    // data too large, data file unreadable, output not writable
constexpr int EXIT_BAD_SETTING = 2;    // "-format" above 35 or "-level" outside 0-99

// Where the program's text goes: standard output and standard error in the
// program, strings or streams in tests.
class AztecOutput {
public:
    virtual ~AztecOutput() = default;
    virtual void write(const std::string& text) = 0;
    virtual void flush() {}
};

// The console program: runs on its arguments: echoes them to `out`, reports a failure as one
// line on `err`, and returns the exit status.
int aztec(int argc, char** argv, AztecOutput& out, AztecOutput& err);
int aztec(int argc, char** argv, std::ostream& out, std::ostream& err);

// Longest data file the program reads. The largest symbol holds 19,968 data bits,
// under 2,500 bytes, so any longer file is refused as too large for a symbol;
// past this limit (an endless source such as a device) it is refused unread.
constexpr std::size_t MAX_DATA_FILE_BYTES = 16 << 20;

// Reads the file as byte values 0-255 into `data`, stopping after
// MAX_DATA_FILE_BYTES + 1 bytes so that a longer file shows as too long; false,
// with `data` empty, when it cannot be opened or read.
bool readFile(const std::string& filename, std::vector<int>& data);
