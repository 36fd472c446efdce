// barlane: one value, one linear barcode, one EMF file.

#include "BarlaneCli.h"

#include <cstdio>

namespace {

// Writes through C stdio. The program runs once per symbol, and iostreams
// would cost it more at start-up than the symbol takes to build; sharing
// stdio's buffer also keeps the encoders' own messages in order with the echo.
class StdioOutput : public TextOutput {
public:
    explicit StdioOutput(std::FILE* file) : file_(file) {}
    void write(const std::string& text) override { std::fwrite(text.data(), 1, text.size(), file_); }
    void flush() override { std::fflush(file_); }

private:
    std::FILE* file_;
};

}  // namespace

int main(int argc, char** argv) {
    StdioOutput out(stdout), err(stderr);
    return runBarlane(argc, argv, out, err);
}
