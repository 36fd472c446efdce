// aztec: one message, one Aztec Code symbol, one BMP file.

#include "AztecCli.h"

#include <cstdio>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

// Writes through C stdio: iostreams would cost the program more at start-up
// than the symbol takes to encode, and stdio's buffer keeps the placement
// message in order with the echo.
class StdioOutput : public AztecOutput {
public:
    explicit StdioOutput(std::FILE* file) : file_(file) {}
    void write(const std::string& text) override { std::fwrite(text.data(), 1, text.size(), file_); }
    void flush() override { std::fflush(file_); }

private:
    std::FILE* file_;
};

}  // namespace

int main(int argc, char** argv) {
#if defined(__GLIBC__)
    // One run needs a few hundred kilobytes of heap, taken and given back in
    // turns; growing it in one step and never shrinking it saves the system
    // calls and page faults of every turn, which cost more than the encoding.
    mallopt(M_TOP_PAD, 1 << 20);
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
#endif
    StdioOutput out(stdout), err(stderr);
    return aztec(argc, argv, out, err);
}
