// Fuzzes the aztec command line with arbitrary arguments.

#include "AztecCli.h"
#include "FuzzArguments.h"

#include <cstdlib>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzArguments args("aztec", data, size);
    std::ostringstream out, err;
    const int status = aztec(args.argc(), args.argv(), out, err);
    if (status < 0 || status > 2)
        std::abort();
    if (status != 0 && err.str().empty())
        std::abort();  // a failure always says why
    return 0;
}
