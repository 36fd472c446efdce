// Fuzzes the BMP writer's encoding with arbitrary matrices and checks the
// headers and the size of every image it builds.

#include "FuzzInput.h"
#include "bitmapfile.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

std::uint32_t at(const std::string& b, std::size_t off) {
    std::uint32_t v;
    std::memcpy(&v, b.data() + off, 4);
    return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Rows, columns, then one 32-bit colour per pixel.
    FuzzInput in(data, size);
    const int rows = in.range(-2, 64);
    const int cols = in.range(-2, 64);
    std::vector<int> colours(rows > 0 && cols > 0 ? static_cast<std::size_t>(rows) * cols : 0);
    for (int& c : colours)
        c = in.int32();
    bitmapfile writer;
    const bool written = writer.write("/dev/null", colours.data(), rows, cols);
    if (!written)
        return 0;
    const std::string& b = writer.contents();
    const std::size_t stride = (static_cast<std::size_t>(cols) * 3 + 3) / 4 * 4;
    if (b.size() != 54 + stride * rows || b[0] != 'B' || b[1] != 'M' || at(b, 2) != b.size() || at(b, 10) != 54)
        std::abort();
    return 0;
}
