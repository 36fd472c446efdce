// aztec() for callers that hold C++ streams (tests, tools). A separate unit, so
// the program itself links no iostreams.

#include "AztecCli.h"

#include <ostream>

namespace {

class StreamOutput : public AztecOutput {
public:
    explicit StreamOutput(std::ostream& stream) : stream_(stream) {}
    void write(const std::string& text) override { stream_ << text; }
    void flush() override { stream_.flush(); }

private:
    std::ostream& stream_;
};

}  // namespace

int aztec(int argc, char** argv, std::ostream& out, std::ostream& err) {
    StreamOutput o(out), e(err);
    return aztec(argc, argv, o, e);
}
