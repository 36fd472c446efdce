// Code 128 (ISO/IEC 15417) and GS1-128: ASCII by the set-choice rules the
// suite has always used, Latin-1 through FNC4 by the shortest encoding, GS1
// element strings after start C and FNC1.

#include "LinearBars.h"

#include "../encode/Gs1.h"
#include "Code128Latin1.h"

#include <climits>
#include <cstdio>
#include <iterator>
#include <vector>

namespace korvane::linear {
namespace {

// ISO/IEC 15417 Table 1: the module widths of each symbol value, bar first,
// eleven modules in all; 103-105 are the start characters.
constexpr const char* CODE128_PATTERNS[] = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312",  // 0-7
    "132212", "221213", "221312", "231212", "112232", "122132", "122231", "113222",  // 8-15
    "123122", "123221", "223211", "221132", "221231", "213212", "223112", "312131",  // 16-23
    "311222", "321122", "321221", "312212", "322112", "322211", "212123", "212321",  // 24-31
    "232121", "111323", "131123", "131321", "112313", "132113", "132311", "211313",  // 32-39
    "231113", "231311", "112133", "112331", "132131", "113123", "113321", "133121",  // 40-47
    "313121", "211331", "231131", "213113", "213311", "213131", "311123", "311321",  // 48-55
    "331121", "312113", "312311", "332111", "314111", "221411", "431111", "111224",  // 56-63
    "111422", "121124", "121421", "141122", "141221", "112214", "112412", "122114",  // 64-71
    "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111",  // 72-79
    "111242", "121142", "121241", "114212", "124112", "124211", "411212", "421112",  // 80-87
    "421211", "212141", "214121", "412121", "111143", "111341", "131141", "114113",  // 88-95
    "114311", "411113", "411311", "113141", "114131", "311141", "411131",            // 96-102
    "211412", "211214", "211232",                                                    // start A, B, C
};
static_assert(std::size(CODE128_PATTERNS) == 106);
// The stop character and its final bar: 2331112.

constexpr bool elevenModulesEach() {
    for (const char* p : CODE128_PATTERNS) {
        int modules = 0, barModules = 0;
        for (int i = 0; i < 6; ++i) {
            modules += p[i] - '0';
            barModules += i % 2 == 0 ? p[i] - '0' : 0;
        }
        // Bars take an even number of modules: a reader's parity check.
        if (modules != 11 || barModules % 2 != 0 || p[6] != '\0')
            return false;
    }
    return true;
}
static_assert(elevenModulesEach());
constexpr auto CODE128_WIDTHS = moduleTable<106, 6>(CODE128_PATTERNS);
constexpr int STOP_WIDTHS[] = {2, 3, 3, 1, 1, 1, 2};

constexpr int SHIFT = 98;
constexpr int CODE_C = 99;
constexpr int CODE_B = 100;
constexpr int CODE_A = 101;
constexpr int FNC1 = 102;
constexpr int START_A = 103;
constexpr int CHECK_MODULUS = 103;

constexpr char GS = 0x1D;
// What the encoder reads for a byte: the byte, or this for the FNC1 that GS
// stands for in GS1 data.
constexpr int FNC1_TOKEN = 256 + FNC1;

bool isDigitByte(unsigned char c) { return c >= '0' && c <= '9'; }
bool isDigitToken(int t) { return t >= '0' && t <= '9'; }

// A token's value in set A or B, -1 where the set lacks it.
int valueInA(int t) { return t >= 256 ? t - 256 : t < 32 ? t + 64 : t < 96 ? t - 32 : -1; }
int valueInB(int t) { return t >= 256 ? t - 256 : t >= 32 && t < 128 ? t - 32 : -1; }
int valueIn(char set, int t) { return set == 'A' ? valueInA(t) : valueInB(t); }

// The symbol values: the start, FNC1, and at most two a byte on average (a
// change of set or SHIFT, then the character; the one byte that costs three,
// a change out of set C then SHIFT, follows a start C or a run of digits that
// cost less than two a byte). On the stack for the usual lengths.
class Values {
public:
    explicit Values(std::size_t bytes) {
        if (2 * bytes + 4 > SMALL) {
            large_.resize(2 * bytes + 4);
            at_ = large_.data();
        }
    }
    void push(int v) { at_[size_++] = static_cast<unsigned char>(v); }
    int operator[](std::size_t i) const { return at_[i]; }
    std::size_t size() const { return size_; }

private:
    static constexpr std::size_t SMALL = 128;
    unsigned char small_[SMALL];
    std::vector<unsigned char> large_;
    unsigned char* at_ = small_;
    std::size_t size_ = 0;
};

// The next position at or after `from` whose byte matches, INT_MAX when none.
// The encoder's questions move forward (a byte read again asks the same one),
// so the last answer serves until `from` passes it: the scans add up to one
// pass over the data, not one per byte.
template <bool (*Match)(unsigned char)>
class NextOf {
public:
    explicit NextOf(std::string_view s) : s_(s) {}
    int operator()(int from) {
        if (from < from_ || at_ < from) {
            from_ = from;
            at_ = INT_MAX;
            for (std::size_t i = static_cast<std::size_t>(from); i < s_.size(); ++i)
                if (Match(static_cast<unsigned char>(s_[i]))) {
                    at_ = static_cast<int>(i);
                    break;
                }
        }
        return at_;
    }

private:
    std::string_view s_;
    int from_ = INT_MAX;
    int at_ = -1;
};
// What the set choice counts as a control character: set A's, and any byte
// beyond ASCII (which the ASCII path never sees).
bool isControlByte(unsigned char c) { return c < 32 || c >= 128; }
bool isLowercaseByte(unsigned char c) { return c >= 'a' && c <= 'z'; }

// The suite's set choice for ASCII: set C where four digits follow, else A
// while a control character comes before the next lower-case letter, else B;
// a SHIFT for a lone character of the other set of A and B.
class AsciiEncoder {
public:
    AsciiEncoder(std::string_view code, bool gs1, Values& out)
        : code_(code), n_(static_cast<int>(code.size())), gs1_(gs1), out_(out), control_(code), lowercase_(code) {}

    char chooseSet(int from) {
        if (fourDigitsAt(from))
            return 'C';
        return control_(from) < lowercase_(from) ? 'A' : 'B';
    }

    void run(char start) {
        set_ = start;
        out_.push(START_A + (start - 'A'));
        if (gs1_)
            out_.push(FNC1);
        for (i_ = 0; i_ < n_; ++i_) {
            const auto byte = static_cast<unsigned char>(code_[static_cast<std::size_t>(i_)]);
            const int token = gs1_ && byte == GS ? FNC1_TOKEN : byte;
            if (set_ == 'C')
                inSetC(token);
            else
                inSetAOrB(token);
        }
    }

private:
    std::string_view code_;
    int n_;
    bool gs1_;
    Values& out_;
    NextOf<isControlByte> control_;
    NextOf<isLowercaseByte> lowercase_;
    char set_ = 'A';
    int i_ = 0;

    bool fourDigitsAt(int from) const {
        if (n_ - from < 4)
            return false;
        for (int k = from; k < from + 4; ++k)
            if (!isDigitByte(static_cast<unsigned char>(code_[static_cast<std::size_t>(k)])))
                return false;
        return true;
    }
    void leaveSetC(char set) {
        set_ = set;
        out_.push(set == 'A' ? CODE_A : CODE_B);
    }

    // Digit pairs, FNC1, the odd digit at the end of a run in A or B, or a
    // change of set and the byte read again there.
    void inSetC(int token) {
        const bool hasNext = i_ < n_ - 1;
        if (hasNext && isDigitToken(token) && isDigitByte(static_cast<unsigned char>(code_[static_cast<std::size_t>(i_ + 1)]))) {
            out_.push(10 * (token - '0') + (code_[static_cast<std::size_t>(i_ + 1)] - '0'));
            ++i_;
        } else if (token == FNC1_TOKEN) {
            out_.push(FNC1);
        } else if (isDigitToken(token)) {
            leaveSetC(hasNext && control_(i_ + 1) < lowercase_(i_ + 1) ? 'A' : 'B');
            out_.push(valueInB(token));
        } else {
            leaveSetC(chooseSet(i_));
            --i_;
        }
    }

    // Into set C before four digits; else the token in the current set, or
    // after a SHIFT or a change when only the other set holds it.
    void inSetAOrB(int token) {
        if (chooseSet(i_) == 'C') {
            out_.push(CODE_C);
            set_ = 'C';
            --i_;
            return;
        }
        char lookup = set_;
        const char other = lookup == 'A' ? 'B' : 'A';
        if (valueIn(lookup, token) < 0 && valueIn(other, token) >= 0) {
            // SHIFT out of A while a control character comes before the next
            // lower-case letter, out of B in the opposite case; else change.
            const int control = control_(i_);
            const int lowercase = lowercase_(i_);
            if (lookup == 'A' ? control < lowercase : control > lowercase) {
                out_.push(SHIFT);
            } else {
                out_.push(other == 'A' ? CODE_A : CODE_B);
                set_ = other;
            }
            lookup = other;
        }
        // A byte beyond ASCII in GS1 data (only a Message built by a caller
        // carries one: the GS1 check refuses them) has no value in any set:
        // it is left out, as ever.
        if (const int value = valueIn(lookup, token); value >= 0)
            out_.push(value);
    }
};

// Latin-1 as UTF-8, for the human-readable line; C0 and C1 controls as spaces.
std::string readableLatin1(const std::string& latin1) {
    std::string out;
    out.reserve(latin1.size() * 2);
    for (char ch : latin1) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 32 || (c >= 127 && c < 160)) {
            out += ' ';
        } else if (c < 128) {
            out += ch;
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Start, the values, the check character and stop, as widths.
template <typename V>
Result<Symbol> symbolOf(Symbology s, const V& values, std::size_t count) {
    // The weights are taken modulo 103 too, so a term is below 106 x 103 and
    // the sum overflows 64 bits only after 10^15 characters.
    unsigned long long sum = static_cast<unsigned long long>(values[0]);
    unsigned long long weight = 0;
    for (std::size_t k = 1; k < count; ++k) {
        weight = weight == CHECK_MODULUS - 1 ? 0 : weight + 1;
        sum += static_cast<unsigned long long>(values[k]) * weight;
    }
    const int check = static_cast<int>(sum % CHECK_MODULUS);
    Result<Symbol> result = newSymbol(s, 0);
    Symbol& symbol = *result;
    BarWriter bars(symbol, 6 * (count + 1) + 7);
    for (std::size_t k = 0; k < count; ++k)
        bars.copy<6>(CODE128_WIDTHS.widths[values[k]]);
    bars.copy<6>(CODE128_WIDTHS.widths[check]);
    bars.copy<7>(STOP_WIDTHS);
    // Eleven modules a character, thirteen for the stop.
    bars.finish(static_cast<int>(11 * (count + 1) + 13));
    return result;
}

Result<Symbol> encodeLatin1(std::string_view data, char start) {
    const detail::Latin1Text text = detail::latin1Text(data);
    if (text.refused != std::string::npos) {
        char code[16];
        std::snprintf(code, sizeof code, "U+%04lX", text.codePoint);
        return Error{ErrorCode::InvalidData, "Code 128 cannot encode '" +
                                                 std::string(data.substr(text.refusedAt, text.refusedLength)) + "' (" +
                                                 code + ") at position " + std::to_string(text.refused + 1) +
                                                 " (it takes " +
                                                 std::string(symbologyInfo(Symbology::Code128).characters) + ")"};
    }
    const std::vector<int> values = detail::code128Values(text.bytes, start);
    if (values.empty())
        return Error{ErrorCode::InvalidData, "the data is empty"};
    // Built where it is returned from, so that the symbol is never moved.
    return [&] {
        Result<Symbol> result = symbolOf(Symbology::Code128, values, values.size());
        result->facts.data = text.bytes;
        result->text = readableLatin1(text.bytes);
        centredText(*result);
        return result;
    }();
}

}  // namespace

Result<Symbol> encodeCode128(std::string_view data, const EncodeOptions& o) {
    const Result<LinearSettings> settings = detail::linearSettings(Symbology::Code128, o);
    if (!settings)
        return settings.error();
    char start = o.code128Start;
    if (start >= 'a' && start <= 'c')
        start = static_cast<char>(start - 'a' + 'A');
    if (start != 0 && start != 'A' && start != 'B' && start != 'C')
        return Error{ErrorCode::InvalidOption, "the Code 128 start set is A, B or C"};
    // One look at every byte: beyond ASCII (Latin-1 through FNC4), or a
    // control character (which the human-readable line shows as a space).
    unsigned bits = 0;
    bool controls = false;
    for (char ch : data) {
        const auto c = static_cast<unsigned char>(ch);
        bits |= c;
        controls |= c < 32 || c == 127;
    }
    if (bits >= 128)
        return encodeLatin1(data, start);

    Values values(data.size());
    AsciiEncoder encoder(data, false, values);
    encoder.run(start != 0 ? start : encoder.chooseSet(0));
    // Built where it is returned from, so that the symbol is never moved.
    return [&] {
        Result<Symbol> result = symbolOf(Symbology::Code128, values, values.size());
        result->facts.data.append(data);
        if (controls)
            appendReadable(result->text, data);
        else
            result->text.append(data);
        centredText(*result);
        return result;
    }();
}

Result<Symbol> encodeGs1_128(std::string_view data, const EncodeOptions& o) {
    const Result<std::vector<detail::Gs1Element>> elements = detail::parseGs1(data);
    if (!elements)
        return elements.error();
    const Result<LinearSettings> settings = detail::linearSettings(Symbology::Gs1_128, o);
    if (!settings)
        return settings.error();
    std::string plain = detail::gs1Data(*elements, GS);
    Values values(plain.size());
    AsciiEncoder(plain, true, values).run('C');
    // Built where it is returned from, so that the symbol is never moved.
    return [&] {
        Result<Symbol> result = symbolOf(Symbology::Gs1_128, values, values.size());
        result->facts.data = std::move(plain);
        result->text = detail::gs1HumanText(*elements);
        centredText(*result);
        return result;
    }();
}

}  // namespace korvane::linear
