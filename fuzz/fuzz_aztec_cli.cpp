// Fuzzes the aztec command line: the input is split at NUL bytes into
// arguments. Files are written into a private temporary directory.

#include "AztecCli.h"

#include <cstdlib>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct WorkDirectory {
    WorkDirectory() {
        char name[] = "/tmp/aztec_fuzz_XXXXXX";
        if (mkdtemp(name) == nullptr || chdir(name) != 0)
            std::abort();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static WorkDirectory dir;
    std::vector<std::string> args{"aztec"};
    std::string current;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(data[i]);
        }
    }
    args.push_back(current);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    std::ostringstream out, err;
    const int status = aztec(static_cast<int>(args.size()), argv.data(), out, err);
    if (status < 0 || status > 2)
        std::abort();
    if (status != 0 && err.str().empty())
        std::abort();  // a failure always says why
    return 0;
}
