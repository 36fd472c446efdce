// GS1 data from arbitrary bytes: element strings checked, printed and made
// into GS1 Digital Link URIs, URIs read back. Whatever is made reads back to
// element strings that make the same URI again; a refusal is one line.

#include <korvane/korvane.hpp>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void oneLine(const korvane::Error& e) {
    if (e.message.empty() || e.message.find('\n') != std::string::npos)
        std::abort();
}

template <typename T>
bool ok(const korvane::Result<T>& r) {
    if (!r)
        oneLine(r.error());
    return static_cast<bool>(r);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (data[0] % 2 == 1) {
        (void)ok(korvane::gs1FromDigitalLink(text));
        return 0;
    }
    (void)ok(korvane::checkGs1(text));
    (void)ok(korvane::gs1HumanReadable(text));
    const korvane::Result<std::string> uri = korvane::gs1DigitalLink(text);
    if (!ok(uri))
        return 0;
    const korvane::Result<std::string> back = korvane::gs1FromDigitalLink(*uri);
    if (!back) {
        std::fprintf(stderr, "%s does not read back: %s\n", uri->c_str(), back.error().message.c_str());
        std::abort();
    }
    const korvane::Result<std::string> again = korvane::gs1DigitalLink(*back);
    if (!again || *again != *uri) {
        std::fprintf(stderr, "%s reads back as %s, which makes %s\n", uri->c_str(), back->c_str(),
                     again ? again->c_str() : again.error().message.c_str());
        std::abort();
    }
    return 0;
}
