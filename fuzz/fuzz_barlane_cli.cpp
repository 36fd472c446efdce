// Fuzzes the barlane command line: the input is split at NUL bytes into
// arguments. Files are written into a private temporary directory.

#include "BarlaneCli.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct WorkDirectory {
    WorkDirectory() {
        char name[] = "/tmp/barlane_fuzz_XXXXXX";
        if (mkdtemp(name) == nullptr || chdir(name) != 0)
            std::abort();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static WorkDirectory dir;
    std::vector<std::string> args{"barlane"};
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
    std::vector<const char*> argv;
    for (const std::string& a : args)
        argv.push_back(a.c_str());

    std::ostringstream out, err;
    const int status = runBarlane(static_cast<int>(argv.size()), argv.data(), out, err);
    const std::string e = err.str();
    if (status != 0 && status != 1)
        std::abort();
    if (status == 1 && e.find("barlane: no file written") == std::string::npos &&
        e.find("barlane: cannot write") == std::string::npos)
        std::abort();  // a failure always says why
    return 0;
}
