// The library's Aztec encoder: the shortest stream (AztecModes.cpp), then the
// smallest configuration that holds it with the check words asked for, then
// the engine's codewords, Reed-Solomon, mode message and module placement.

#include "AztecOptimal.h"

#include "AztecModes.h"
#include "AztecRules.h"

#include <ABitMap.h>
#include <Aztec.h>

#include <algorithm>
#include <cassert>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace korvane::detail {
namespace {

// Configuration rows by symbol size, the compact symbol of a size before the
// full-range one (it holds more), then the full-range rows from 31 x 31 up.
constexpr int ROWS_BY_SIZE[Aztec::CONFIGURATION_COUNT] = {
    Aztec::CONFIGURATION_15X15_COMPACT, Aztec::CONFIGURATION_19X19_COMPACT, Aztec::CONFIGURATION_19X19,
    Aztec::CONFIGURATION_23X23_COMPACT, Aztec::CONFIGURATION_23X23,         Aztec::CONFIGURATION_27X27_COMPACT,
    Aztec::CONFIGURATION_27X27,         7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24,
    25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35,
};
static_assert(ROWS_BY_SIZE[7] == Aztec::CONFIGURATION_31X31 && ROWS_BY_SIZE[35] == Aztec::CONFIGURATION_151X151);

constexpr int MAX_CODEWORDS = 1664;  // the 151 x 151 symbol

// The densest coding spends 5 bits on two characters (a punctuation pair in
// punctuation mode), so longer messages fit no symbol: 19,968 bits x 2 / 5.
constexpr int MAX_MESSAGE = 19968 * 2 / 5;

int conf(int row, int column) { return Aztec::configuration[row][column]; }

// Check words a symbol of `total` codewords keeps: at least `percent` % of
// them, and `extra` more than the whole part of that share (the standard's
// recommendation is 23 % + 3 codewords).
int checkWords(int total, int percent, int extra) {
    const int floor = total * percent / 100;
    const int ceil = (total * percent + 99) / 100;
    return std::max(ceil, floor + extra);
}

// Most data codewords the mode message can count: 6 bits compact, 11 bits
// full range, one bit fewer in a reader-initialisation symbol.
int countLimit(int row, bool readerInit) {
    const int bits = Aztec::isCompactRow(row) ? 6 : 11;
    return 1 << (readerInit ? bits - 1 : bits);
}

// The data codewords of a stream, bit-stuffed by the engine.
std::vector<int> codewords(const BitString& stream, int B) {
    BitString work = stream;
    std::vector<int> words(static_cast<std::size_t>(work.getLength() / (B - 1) + 2));
    words.resize(static_cast<std::size_t>(Aztec::createCodewords(B, &work, words.data())));
    if (words.empty())
        words.push_back((1 << B) - 2);  // the count needs one word: padding 1-bits ending in a stuffed 0
    return words;
}

// Bits after the stream's last bit in its last codeword: 1-bits of padding,
// possibly ending in a stuffed 0.
int trailingBits(const std::vector<int>& words, int B, int streamBits) {
    int stuffed = 0;
    for (std::size_t i = 0; i + 1 < words.size(); ++i)
        stuffed += words[i] == 1 || words[i] == (1 << B) - 2;
    return static_cast<int>(words.size()) * B - streamBits - stuffed;
}

void addStructuredAppend(const StructuredAppend& sa, BitString& bs) {
    // M/L U/L at the very start marks the header; a message identifier, when
    // there is one, follows between spaces; then the position and the count
    // as the letters A-Z.
    bs.addBits(29, 5);
    bs.addBits(29, 5);
    if (!sa.id.empty()) {
        bs.addBits(aztecCode(MODE_UPPER, ' '), 5);
        for (char c : sa.id)
            bs.addBits(aztecCode(MODE_UPPER, static_cast<unsigned char>(c)), 5);
        bs.addBits(aztecCode(MODE_UPPER, ' '), 5);
    }
    bs.addBits(aztecCode(MODE_UPPER, 'A' + sa.index - 1), 5);
    bs.addBits(aztecCode(MODE_UPPER, 'A' + sa.count - 1), 5);
}

// Why no configuration is allowed at all. Reader initialisation allows 1
// layer compact (15 x 15) and up to 22 full-range (109 x 109).
Error noSymbolAllowed(const EncodeOptions& o) {
    std::vector<std::string> wanted;
    if (o.compactOnly || o.fullOnly)
        wanted.push_back(o.compactOnly ? "compact" : "full-range");
    if (o.minSize > 0)
        wanted.push_back("at least " + std::to_string(o.minSize) + " modules across");
    if (o.readerInit)
        wanted.push_back("a reader-initialisation symbol");
    std::string why = "no Aztec symbol is";
    for (std::size_t i = 0; i < wanted.size(); ++i)
        why += (i == 0 ? " " : " and ") + wanted[i];
    return Error{ErrorCode::InvalidOption, why};
}

// The smallest allowed configuration whose data codewords leave room for the
// check words, and those codewords.
struct Configuration {
    int row = -1;
    std::vector<int> words;  // data codewords, bit-stuffed
};

Result<Configuration> chooseConfiguration(const BitString& stream, const EncodeOptions& o) {
    const int streamBits = stream.getLength();
    std::vector<int> wordsByBits[4];  // for codewords of 6, 8, 10 and 12 bits
    const auto wordsFor = [&](int B) -> const std::vector<int>& {
        std::vector<int>& words = wordsByBits[(B - 6) / 2];
        if (words.empty())
            words = codewords(stream, B);
        return words;
    };
    int mostBits = 0;
    for (int row : ROWS_BY_SIZE) {
        if (!aztecRowAllowed(row, o))
            continue;
        const int total = conf(row, Aztec::CONF_CODEWORDS);
        const int B = conf(row, Aztec::CONF_CODEWORD_SIZE);
        const int room =
            std::min(total - checkWords(total, o.eccPercent, o.eccExtraWords), countLimit(row, o.readerInit));
        mostBits = std::max(mostBits, room * B);
        if (room < 1 || (streamBits + B - 1) / B > room)  // B data bits per word at best
            continue;
        if (static_cast<int>(wordsFor(B).size()) <= room)
            return Configuration{row, wordsFor(B)};
    }
    return Error{ErrorCode::DataTooLong, "the data needs " + std::to_string(streamBits) +
                                             " bits; the largest Aztec symbol allowed holds " +
                                             std::to_string(mostBits)};
}

// Ten or more padding bits after upper, lower or mixed mode spell B/S and a
// byte count, which some readers take for bytes past the end of the data. A
// latch to digit (punctuation from mixed) in their place costs nothing: it
// fits in the last codeword and the padding after it spells nothing.
void padSafely(AztecMode endMode, int B, BitString& stream, std::vector<int>& words) {
    if (endMode == MODE_DIGIT || endMode == MODE_PUNCT || trailingBits(words, B, stream.getLength()) < 10)
        return;
    const std::size_t count = words.size();
    stream.addBits(30, 5);  // D/L in upper and lower, P/L in mixed
    words = codewords(stream, B);
    assert(words.size() == count);
    (void)count;
}

// Check words, mode message and module placement of configuration `row`.
Symbol placed(int row, std::vector<int> words, bool readerInit) {
    const bool compact = Aztec::isCompactRow(row);
    const int layers = conf(row, Aztec::CONF_DATA_LAYERS);
    const int total = conf(row, Aztec::CONF_CODEWORDS);
    const int B = conf(row, Aztec::CONF_CODEWORD_SIZE);
    const int nd = static_cast<int>(words.size());

    // Check words, then the codewords as one stream of B-bit words.
    words.resize(static_cast<std::size_t>(total) + 1);
    Aztec::ReedSolomon(words.data(), nd, total - nd, 1 << B, Aztec::primePolynomial(B));
    BitString bits;
    for (int i = 0; i < total; ++i)
        bits.addBits(words[static_cast<std::size_t>(i)], B);

    Aztec modeMessageWriter;
    modeMessageWriter.setReaderInitilization(readerInit);
    BitString modeMessage;
    modeMessageWriter.getModeMessage(layers, nd, compact, &modeMessage);

    const int size = conf(row, Aztec::CONF_COLUMNS);
    const std::size_t moduleCount = static_cast<std::size_t>(size) * size;
    std::unique_ptr<int[]> matrix(new int[moduleCount]);  // ABitMap sets every entry
    ABitMap map(size, size, compact, matrix.get());
    map.placeModeMessage(&modeMessage, compact);
    map.placeDominos(&bits, compact);  // never more bits than modules: nothing is left over

    Symbol symbol;
    symbol.symbology = Symbology::Aztec;
    symbol.rows = symbol.columns = size;
    symbol.modules.resize(moduleCount);
    // Dark are BLACK (1) and BLACKGRID (3); WHITE, WHITEGRID and EMPTY (-1)
    // are light. Tested as bits, so the loop runs on whole vectors.
    static_assert(ABitMap::BLACK == 1 && ABitMap::BLACKGRID == 3 && ABitMap::WHITE == 0 &&
                  ABitMap::WHITEGRID == 2 && ABitMap::EMPTY == -1);
    for (std::size_t i = 0; i < moduleCount; ++i)
        symbol.modules[i] = static_cast<std::uint8_t>((static_cast<unsigned>(matrix[i]) & ~2u) == 1u);
    return symbol;
}

}  // namespace

Result<Symbol> encodeAztecOptimal(const Message& message, const EncodeOptions& o) {
    if (o.eccExtraWords < 0 || o.eccExtraWords > MAX_CODEWORDS)
        return Error{ErrorCode::InvalidOption, "the extra Aztec check words are " + std::to_string(o.eccExtraWords) +
                                                   "; they must be 0 to 1,664"};
    if (std::none_of(std::begin(ROWS_BY_SIZE), std::end(ROWS_BY_SIZE),
                     [&](int row) { return aztecRowAllowed(row, o); }))
        return noSymbolAllowed(o);

    std::string text;
    std::vector<int> markers;
    aztecInput(message, text, markers);
    if (static_cast<int>(text.size()) > MAX_MESSAGE)
        return Error{ErrorCode::DataTooLong, "the data has " + std::to_string(text.size()) +
                                                 " characters; no Aztec symbol holds more than " +
                                                 std::to_string(MAX_MESSAGE)};
    BitString stream;
    if (message.structuredAppend.index > 0)
        addStructuredAppend(message.structuredAppend, stream);
    const AztecStream encoded = appendShortestStream(text, markers, stream);

    Result<Configuration> chosen = chooseConfiguration(stream, o);
    if (!chosen)
        return chosen.error();
    padSafely(encoded.endMode, conf(chosen->row, Aztec::CONF_CODEWORD_SIZE), stream, chosen->words);
    const int dataCodewords = static_cast<int>(chosen->words.size());
    Symbol symbol = placed(chosen->row, std::move(chosen->words), o.readerInit);
    symbol.facts.aztec = aztecFacts(chosen->row, dataCodewords, stream.getLength(), message);
    symbol.facts.data = readerData(text, markers);
    symbol.text = symbol.facts.data;
    return symbol;
}

}  // namespace korvane::detail
