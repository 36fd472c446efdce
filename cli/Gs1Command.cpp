// korvane gs1: GS1 data without a symbol. "check DATA" lists what GS1's rules
// say of element strings, "dl DATA [--domain URL]" makes their GS1 Digital
// Link URI, "parse URI" reads one back, "hri DATA" prints them as under a
// symbol. Each prints one line per result, or with --json one JSON object
// ({"notes": [...]}, {"uri": ...}, {"elementStrings": ...}, {"hri": ...}, or
// {"error": {"code", "message"}}); an error is one line on standard error
// (and the object with --json) and status 1; 2 for arguments it does not take.

#include "Gs1Command.h"

#include "korvane/Gs1.h"

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>
#include <vector>

namespace korvane::cli {
namespace {

constexpr const char* USAGE =
    "usage: korvane gs1 check DATA | dl DATA [--domain URL] | parse URI | hri DATA  [--json]\n"
    "  check  checks element strings ((01)09506000134352(17)270101) against GS1's rules\n"
    "  dl     their GS1 Digital Link URI (https://id.gs1.org unless --domain says)\n"
    "  parse  the element strings of a GS1 Digital Link URI\n"
    "  hri    their human-readable text: (01) 09506000134352 (17) 270101\n"
    "  --json one JSON object: notes, uri, elementStrings or hri; or error with its code and message\n";

// Errors are one line each, as the command's others are.
int usage(Console& console, const std::string& why) {
    console.err("korvane: gs1: " + why + "; korvane gs1 --help shows its forms\n");
    return 2;
}

// Where the answers go: lines, or one JSON object.
struct Answer {
    Console& console;
    bool json = false;

    int refuse(const Error& e) const {
        console.err("korvane: gs1: " + e.message + "\n");
        if (json)
            put({{"error", {{"code", errorCodeName(e.code)}, {"message", e.message}}}});
        return 1;
    }
    void put(const nlohmann::json& o) const {
        console.out(o.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n");
    }
    int text(const char* name, const Result<std::string>& r) const {
        if (!r)
            return refuse(r.error());
        if (json)
            put({{name, *r}});
        else
            console.out(*r + "\n");
        return 0;
    }
    int notes(std::string_view data) const {
        const Result<std::vector<std::string>> found = checkGs1(data);
        if (!found)
            return refuse(found.error());
        if (json) {
            put({{"notes", *found}});
            return 0;
        }
        for (const std::string& note : *found)
            console.out("note: " + note + "\n");
        console.out("ok\n");
        return 0;
    }
};

}  // namespace

int runGs1(int argc, const char* const* argv, Console& console) {
    std::vector<std::string_view> args(argv + 1, argv + argc);
    Answer answer{console};
    for (auto at = args.begin(); at != args.end();)
        if (*at == "--json")
            at = args.erase(at), answer.json = true;
        else
            ++at;
    if (args.empty())
        return usage(console, "say what to do with the data");
    if (args[0] == "--help" || args[0] == "-h") {
        console.out(USAGE);
        return 0;
    }
    const std::string_view what = args[0];
    if (args.size() < 2)
        return usage(console, "'" + std::string(what) + "' needs its data");
    const std::string_view data = args[1];
    if (what == "dl") {
        if (args.size() == 4 && args[2] == "--domain")
            return answer.text("uri", gs1DigitalLink(data, args[3]));
        if (args.size() != 2)
            return usage(console, "dl takes the data and --domain URL");
        return answer.text("uri", gs1DigitalLink(data));
    }
    if (args.size() != 2)
        return usage(console, std::string(what) + " takes one argument");
    if (what == "check")
        return answer.notes(data);
    if (what == "parse")
        return answer.text("elementStrings", gs1FromDigitalLink(data));
    if (what == "hri")
        return answer.text("hri", gs1HumanReadable(data));
    return usage(console, "no gs1 command '" + std::string(what) + "'");
}

}  // namespace korvane::cli
