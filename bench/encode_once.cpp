// Encodes one value once through korvane::encode(), for instruction counts
// under callgrind (bench/api_instructions.sh): encode_once SYMBOLOGY DATA
#include <korvane/korvane.hpp>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fputs("usage: encode_once SYMBOLOGY DATA | encode_once SYMBOLOGY -f FILE\n", stderr);
        return 2;
    }
    std::string data = argv[2];
    if (argc == 4) {
        std::ifstream in(argv[3], std::ios::binary);
        data.assign(std::istreambuf_iterator<char>(in), {});
    }
    // zint's side allocates its symbol (ZBarcode_Create) before the measured
    // call, which sets the heap up; so does this side, so that neither
    // count holds the process's first allocation.
    delete new std::string(64, ' ');
    const korvane::Result<korvane::Symbol> s = korvane::encode(argv[1], data);
    if (!s) {
        std::fprintf(stderr, "%s\n", s.error().message.c_str());
        return 1;
    }
    std::printf("%d\n", s->isMatrix() ? s->columns : s->widthModules);
    return 0;
}
