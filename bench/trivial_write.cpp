// The yardstick for the programs' run time: a static program that does nothing
// but write 1 KB to the file named by its argument.

#include <cstdio>

int main(int argc, char** argv) {
    static char block[1024];
    for (int i = 0; i < 1024; ++i)
        block[i] = static_cast<char>(i);
    std::FILE* f = std::fopen(argc > 1 ? argv[1] : "trivial.out", "wb");
    if (f == nullptr)
        return 1;
    const bool written = std::fwrite(block, 1, sizeof block, f) == sizeof block;
    return std::fclose(f) == 0 && written ? 0 : 1;
}
