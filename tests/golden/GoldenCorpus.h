#pragma once
// A corpus of runs of barlane, aztec and their engines, generated from fixed
// seeds, so that a few thousand cases need no files of their own: only their
// digests are kept (digests.txt).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace golden {

// splitmix64: the same sequence on every platform, unlike the standard
// library's distributions.
class Rng {
public:
    explicit Rng(std::string_view seed) {
        for (char c : seed)
            state_ = state_ * 131 + static_cast<unsigned char>(c);
    }
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    bool chance(int percent) { return below(100) < percent; }
    char from(std::string_view alphabet) { return alphabet[static_cast<std::size_t>(below(static_cast<int>(alphabet.size())))]; }
    template <typename T, std::size_t N>
    const T& pick(const T (&options)[N]) {
        return options[below(static_cast<int>(N))];
    }

private:
    std::uint64_t state_ = 0x2545F4914F6CDD1DULL;
};

enum class Program { BARLANE, AZTEC };

// One run of a program in an empty directory.
struct ProgramCase {
    std::string key;
    Program program;
    std::vector<std::string> args;
    std::string dataFile;  // written as "data.bin" before the run when not empty
    bool writeDataFile = false;
    std::string output;    // the file the run may write
};

// Cases of one group: "barlane.tNN" (NN = 00-16, symbology NN), "barlane.misc",
// "aztec.text", "aztec.tilde", "aztec.bytes".
std::vector<ProgramCase> programCases(const std::string& group);
std::vector<std::string> programGroups();

// Values and texts for the in-process groups.
std::string linearValue(Rng& rng, int symbology, bool unknownAis);
std::string aztecText(Rng& rng);
std::string tildeText(Rng& rng);

// Printable form of a byte string for failure messages.
std::string shown(const std::string& s);

}  // namespace golden
