// The yardstick for the programs' run time: a static program that does
// nothing but write a file.
//   trivial_write FILE              writes 1 KB
//   trivial_write FILE KB BYTES     first touches KB kilobytes of fresh heap, then
//                                   writes BYTES bytes: the memory and the file of
//                                   a run that needs them, without its computing

#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
    const std::size_t touched = argc > 2 ? std::strtoul(argv[2], nullptr, 10) * 1024 : 0;
    const std::size_t bytes = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 1024;
    std::vector<char> block(touched > bytes ? touched : bytes);
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<char>(i);
    std::FILE* f = std::fopen(argc > 1 ? argv[1] : "trivial.out", "wb");
    if (f == nullptr)
        return 1;
    std::setvbuf(f, nullptr, _IONBF, 0);
    const bool written = std::fwrite(block.data(), 1, bytes, f) == bytes;
    return std::fclose(f) == 0 && written ? 0 : 1;
}
