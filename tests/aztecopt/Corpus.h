#pragma once
// The measuring corpus of the optimal Aztec encoder, generated in code (the
// same on every machine), and the symbol sizes two peer generators make of it:
// zint's program (run as a process) and zxing-cpp's writer.

#include <string>
#include <vector>

namespace aztecopt {

struct CorpusEntry {
    std::string kind;     // mixed, prose, url, gs1, digits, bytes, latin1
    std::string data;     // the encoder's input (tilde escapes for gs1)
    bool escapes = false;
    std::string content;  // as a reader returns it: GS between GS1 fields
    std::string zintGs1;  // gs1 only: zint's form, "[01]...[10]..."
};

// 280 inputs, forty of each kind, of 8 to 1,200 characters.
std::vector<CorpusEntry> aztecCorpus();

// A peer's symbol, with what its mode message says; side 0 when the peer made none.
struct PeerSymbol {
    int side = 0;
    bool compact = false;
    int layers = 0;
    int dataCodewords = 0;
    std::vector<std::string> rows;  // the matrix, '1' = dark
};

// Size, kind, layers and data codewords (as the mode message counts them,
// reader-initialisation flag included) of a matrix, '1' = dark.
PeerSymbol readSymbol(std::vector<std::string> rows);

// zint's symbol for the entry at its error-correction level `secure` (1-4:
// 10, 23, 36, 50 % + 3 codewords).
PeerSymbol zintSymbol(const std::string& zintExe, const CorpusEntry& e, int secure);

// zxing-cpp's symbol for `content` (bytes, ISO-8859-1) at its level `eccLevel`
// (0-8, eighths of 100 % of the data).
PeerSymbol zxingSymbol(const std::string& content, int eccLevel);

}  // namespace aztecopt
