// Fuzzes the korvane command line: arbitrary arguments run the whole command
// in-process, with empty standard input. Every run returns a documented exit
// status, and every line it prints on standard error starts "korvane: ", a
// failure with at least one.

#include "Console.h"
#include "FuzzArguments.h"
#include "Run.h"

#include <cstdlib>
#include <string>

namespace {

class FuzzConsole : public korvane::cli::Console {
public:
    void out(std::string_view bytes) override { outBytes += bytes.size(); }
    void err(std::string_view text) override {
        if (errText.size() < (1u << 20))
            errText.append(text);
    }
    std::size_t read(char*, std::size_t) override { return 0; }
    bool inputIsTerminal() const override { return false; }
    bool errIsTerminal() const override { return false; }

    std::size_t outBytes = 0;
    std::string errText;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzArguments args("korvane", data, size);
    FuzzConsole console;
    const int status = korvane::cli::runKorvane(args.argc(), args.argv(), console);
    if (status < 0 || status > 4)
        std::abort();
    if (status != 0 && console.errText.empty())
        std::abort();  // a failure always says why
    for (std::size_t at = 0; at < console.errText.size();) {
        if (console.errText.compare(at, 9, "korvane: ") != 0)
            std::abort();  // one prefixed line per message
        const std::size_t end = console.errText.find('\n', at);
        if (end == std::string::npos)
            std::abort();  // every line ends
        at = end + 1;
    }
    return 0;
}
