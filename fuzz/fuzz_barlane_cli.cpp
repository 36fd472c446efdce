// Fuzzes the barlane command line with arbitrary arguments.

#include "BarlaneCli.h"
#include "FuzzArguments.h"

#include <cstdlib>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzArguments args("barlane", data, size);
    std::ostringstream out, err;
    const int status = runBarlane(args.argc(), args.argv(), out, err);
    const std::string e = err.str();
    if (status != 0 && status != 1)
        std::abort();
    if (status == 1 && e.find("barlane: no file written") == std::string::npos &&
        e.find("barlane: cannot write") == std::string::npos)
        std::abort();  // a failure always says why
    return 0;
}
