// Fuzzes the EMF writer with arbitrary element arrays, texts and matrices, and
// checks the structure of every file it produces.

#include "EmfPainter.h"
#include "FuzzInput.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

std::uint32_t at(const std::vector<std::uint8_t>& b, std::size_t off) {
    std::uint32_t v;
    std::memcpy(&v, b.data() + off, 4);
    return v;
}

// Record sizes chain exactly to the end; header counts agree.
void checkStructure(const std::vector<std::uint8_t>& b) {
    if (b.empty())
        return;
    std::size_t pos = 0, records = 0;
    while (pos < b.size()) {
        if (pos + 8 > b.size())
            std::abort();
        const std::uint32_t size = at(b, pos + 4);
        if (size < 8 || size % 4 != 0 || pos + size > b.size())
            std::abort();
        pos += size;
        ++records;
    }
    if (at(b, 48) != b.size() || at(b, 52) != records)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Matrix: flag, rows, columns, module values. Bars: flag, font height, text
    // length, text (length-prefixed), then width and height pairs.
    FuzzInput in(data, size);
    if (in.flag()) {
        const int rows = in.range(-1, 40);
        const int cols = in.range(-1, 40);
        std::vector<int> modules(rows > 0 && cols > 0 ? static_cast<std::size_t>(rows) * cols : 0);
        for (int& m : modules)
            m = in.range(-1, 3);
        checkStructure(EmfPainter::matrixMetafile(modules.data(), rows, cols));
        return 0;
    }
    const int fontHeight = in.int32();
    const int textLength = in.int32();
    const std::string text = in.bytes(in.range(0, 64));
    std::vector<int> widths, heights;
    while (in.remaining() >= 8) {
        widths.push_back(in.int32());
        heights.push_back(in.int32());
    }
    checkStructure(EmfPainter::barsMetafile(widths.data(), heights.data(), static_cast<int>(widths.size()), text,
                                            fontHeight, textLength));
    return 0;
}
