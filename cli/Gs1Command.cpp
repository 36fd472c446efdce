// korvane gs1: GS1 data without a symbol. "check DATA" lists what GS1's rules
// say of element strings, "dl DATA [--domain URL]" makes their GS1 Digital
// Link URI, "parse URI" reads one back, "hri DATA" prints them as under a
// symbol. Each prints one line per result; an error is one line on standard
// error and status 1 (2 for arguments it does not take).

#include "Gs1Command.h"

#include "korvane/Gs1.h"

#include <string>
#include <string_view>

namespace korvane::cli {
namespace {

constexpr const char* USAGE =
    "usage: korvane gs1 check DATA | dl DATA [--domain URL] | parse URI | hri DATA\n"
    "  check  checks element strings ((01)09506000134352(17)270101) against GS1's rules\n"
    "  dl     their GS1 Digital Link URI (https://id.gs1.org unless --domain says)\n"
    "  parse  the element strings of a GS1 Digital Link URI\n"
    "  hri    their human-readable text: (01) 09506000134352 (17) 270101\n";

// Errors are one line each, as the command's others are.
int usage(Console& console, const std::string& why) {
    console.err("korvane: gs1: " + why + "; korvane gs1 --help shows its forms\n");
    return 2;
}

int refuse(Console& console, const Error& e) {
    console.err("korvane: gs1: " + e.message + "\n");
    return 1;
}

int answer(Console& console, const Result<std::string>& r) {
    if (!r)
        return refuse(console, r.error());
    console.out(*r + "\n");
    return 0;
}

int check(Console& console, std::string_view data) {
    const Result<std::vector<std::string>> notes = checkGs1(data);
    if (!notes)
        return refuse(console, notes.error());
    for (const std::string& note : *notes)
        console.out("note: " + note + "\n");
    console.out("ok\n");
    return 0;
}

}  // namespace

int runGs1(int argc, const char* const* argv, Console& console) {
    if (argc < 2)
        return usage(console, "say what to do with the data");
    if (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h") {
        console.out(USAGE);
        return 0;
    }
    const std::string_view what = argv[1];
    if (argc < 3)
        return usage(console, "'" + std::string(what) + "' needs its data");
    const std::string_view data = argv[2];
    if (what == "dl") {
        if (argc == 5 && std::string_view(argv[3]) == "--domain")
            return answer(console, gs1DigitalLink(data, argv[4]));
        if (argc != 3)
            return usage(console, "dl takes the data and --domain URL");
        return answer(console, gs1DigitalLink(data));
    }
    if (argc != 3)
        return usage(console, std::string(what) + " takes one argument");
    if (what == "check")
        return check(console, data);
    if (what == "parse")
        return answer(console, gs1FromDigitalLink(data));
    if (what == "hri")
        return answer(console, gs1HumanReadable(data));
    return usage(console, "no gs1 command '" + std::string(what) + "'");
}

}  // namespace korvane::cli
