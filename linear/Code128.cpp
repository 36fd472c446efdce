// Code 128 (ISO/IEC 15417): the encoder shared with EAN-128 and its set-choice rules.

#include "Code128Tables.h"
#include "LinearSymbol.h"

#include <cassert>
#include <string>
#include <utility>
#include <vector>

namespace {

// Bytes of a Code 128 value that ask for a change of set instead of data.
constexpr unsigned char REQUEST_SET_C = 199;
constexpr unsigned char REQUEST_SET_B = 200;
constexpr unsigned char REQUEST_SET_A = 201;

bool isDigitByte(char c) { return c >= '0' && c <= '9'; }
bool isLowercaseByte(char c) { return c >= 'a' && c <= 'z'; }
// Bytes 128-255 count as control bytes: they are below 32 as signed bytes.
bool isControlByte(char c) { return static_cast<signed char>(c) < 32; }

bool fourDigitsAt(const std::string& value, std::size_t from) {
    if (value.size() < from + 4)
        return false;
    for (std::size_t k = from; k < from + 4; ++k)
        if (!isDigitByte(value[k]))
            return false;
    return true;
}

// The set choice, given where the next control byte and the next lowercase
// letter are.
char chooseSet(const std::string& value, int from, int controlIndex, int lowercaseIndex) {
    if (from >= 0 && fourDigitsAt(value, static_cast<std::size_t>(from)))
        return 'C';
    return controlIndex < lowercaseIndex ? 'A' : 'B';
}

int firstIndex(const std::string& value, int from, bool (*matches)(char)) {
    for (std::size_t i = from < 0 ? 0 : static_cast<std::size_t>(from); i < value.size(); ++i)
        if (matches(value[i]))
            return static_cast<int>(i);
    return detail::CODE128_NO_INDEX;
}

// Next control byte and next lowercase letter at or after every position,
// found in one backward pass so that a long value costs linear time.
class Lookahead {
public:
    explicit Lookahead(const std::string& value) : next_(value.size() + 1) {
        next_.back() = {detail::CODE128_NO_INDEX, detail::CODE128_NO_INDEX};
        for (std::size_t i = value.size(); i-- > 0;) {
            next_[i].control = isControlByte(value[i]) ? static_cast<int>(i) : next_[i + 1].control;
            next_[i].lowercase = isLowercaseByte(value[i]) ? static_cast<int>(i) : next_[i + 1].lowercase;
        }
    }
    int control(int from) const { return next_[clamp(from)].control; }
    int lowercase(int from) const { return next_[clamp(from)].lowercase; }
    bool controlFirst(int from) const { return control(from) < lowercase(from); }

private:
    struct Next {
        int control;
        int lowercase;
    };
    std::size_t clamp(int from) const {
        if (from < 0)
            return 0;
        const auto f = static_cast<std::size_t>(from);
        return f < next_.size() ? f : next_.size() - 1;
    }
    std::vector<Next> next_;
};

constexpr int SYMBOL_ELEMENTS = static_cast<int>(std::char_traits<char>::length(CODE128_SYMBOL_COLOURS));
constexpr int STOP_ELEMENTS = static_cast<int>(std::char_traits<char>::length(CODE128_STOP_COLOURS));

int startValue(char set) {
    return set == 'C' ? CODE128_START_C : set == 'B' ? CODE128_START_B : CODE128_START_A;
}

// What the encoder reads for one byte of the value: the byte itself (0-255),
// or FUNCTION + v for the function symbol of value v, which EAN-128 reads for a
// space and for its reserved bytes.
constexpr int FUNCTION = 256;

int ean128Token(unsigned char byte) {
    switch (byte) {
    case ' ':
    case 202: return FUNCTION + CODE128_FNC1;
    case 201: return FUNCTION + 101;
    case 200: return FUNCTION + 100;
    case 197: return FUNCTION + 97;  // FNC2
    case 196: return FUNCTION + 96;  // FNC3
    default: return byte;
    }
}

bool isDigitToken(int token) { return token >= '0' && token <= '9'; }

// The value of a token in set A, B or C, by index; -1 when the set lacks it.
// Set C holds no single byte (its digit pairs are read two bytes at a time)
// and of the functions only 100-102.
int valueInSet(char set, int token) {
    if (token >= FUNCTION)
        return set == 'A' || set == 'B' || (set == 'C' && token >= FUNCTION + 100) ? token - FUNCTION : -1;
    switch (set) {
    case 'A': return token < 32 ? token + 64 : token < 96 ? token - 32 : -1;
    case 'B': return token >= 32 && token < 128 ? token - 32 : -1;
    default: return -1;
    }
}

// One run of the encoder over a value: the position, the current set, the
// weight of the next symbol and the weighted sum. The sum is kept reduced
// modulo 103, so a value of any length neither overflows it nor loses
// precision.
class Code128Encoder {
public:
    Code128Encoder(LinearSymbol& symbol, bool gs1)
        : symbol_(symbol), code_(symbol.code), n_(static_cast<int>(code_.size())), gs1_(gs1), ahead_(code_),
          set_(gs1 ? 'C' : symbol.code128Set == 'B' || symbol.code128Set == 'C' ? symbol.code128Set : 'A') {
        symbol_.reserveElements(SYMBOL_ELEMENTS * (n_ + 3) + STOP_ELEMENTS);
        symbol_.addPatternCodes(code128Patterns[startValue(set_)], SYMBOL_ELEMENTS, symbol_.barHeightPixels);
        sum_ = startValue(set_) % CODE128_CHECK_MODULUS;
        if (!gs1_)
            outcome_.text.reserve(code_.size());
    }

    detail::Code128Outcome run() {
        if (gs1_) {
            emit(CODE128_FNC1);
            ++weight_;
        }
        for (i_ = 0; i_ < n_; ++i_) {
            auto byte = static_cast<unsigned char>(code_[static_cast<std::size_t>(i_)]);
            if (!gs1_ && !readRequests(byte))
                break;
            const int token = gs1_ ? ean128Token(byte) : byte;
            if (set_ == 'C' ? encodeInSetC(token) : encodeInSetAOrB(token))
                ++weight_;
        }
        finish();
        return outcome_;
    }

private:
    LinearSymbol& symbol_;
    const std::string& code_;
    int n_;
    bool gs1_;
    Lookahead ahead_;
    char set_;
    int i_ = 0;
    int sum_ = 0;
    long long weight_ = 1;
    detail::Code128Outcome outcome_;

    void emit(int value) {
        assert(value >= 0 && value < CODE128_DATA_VALUES);
        symbol_.addPatternCodes(code128Patterns[value], SYMBOL_ELEMENTS, symbol_.barHeightPixels);
        sum_ = static_cast<int>((sum_ + value * (weight_ % CODE128_CHECK_MODULUS)) % CODE128_CHECK_MODULUS);
    }
    void keepText(int token) {
        if (!gs1_)
            outcome_.text += static_cast<char>(token);
    }
    // The set to encode the value in from position `from` on.
    char chooseSet(int from) const { return ::chooseSet(code_, from, ahead_.control(from), ahead_.lowercase(from)); }
    // Emits Code A or Code B to enter `set` from set C.
    void leaveSetC(char set) {
        set_ = set;
        emit(set == 'A' ? CODE128_CODE_A : CODE128_CODE_B);
    }

    // Request bytes (Code 128 only): 200 and 201 only act in set C, elsewhere
    // they are skipped; 199 out of sets A and B enters set C. False when the
    // value ends with a request.
    bool readRequests(unsigned char& byte) {
        if ((byte == REQUEST_SET_A || byte == REQUEST_SET_B) && set_ != 'C') {
            if (i_ == n_ - 1)
                return false;
            byte = static_cast<unsigned char>(code_[static_cast<std::size_t>(++i_)]);
        }
        if (set_ != 'C' && byte == REQUEST_SET_C) {
            emit(CODE128_CODE_C);
            ++weight_;
            set_ = 'C';
            if (i_ == n_ - 1)
                return false;  // the request was the last byte: nothing left to encode
            byte = static_cast<unsigned char>(code_[static_cast<std::size_t>(++i_)]);
        }
        return true;
    }

    // In set C: digit pairs, the functions set C holds, the odd digit at the
    // end of a run, or a change of set and the byte read again there.
    bool encodeInSetC(int token) {
        const bool hasNext = i_ < n_ - 1;
        int value = -1;
        if (!gs1_ && token == REQUEST_SET_A) {
            leaveSetC('A');
        } else if (!gs1_ && token == REQUEST_SET_B) {
            leaveSetC('B');
        } else if (hasNext && isDigitToken(token) && isDigitByte(code_[static_cast<std::size_t>(i_ + 1)])) {
            const int next = code_[static_cast<std::size_t>(i_ + 1)];
            emit(10 * (token - '0') + (next - '0'));
            keepText(token);
            keepText(next);
            ++i_;
        } else if (!isDigitToken(token) && (value = valueInSet('C', token)) >= 0) {
            emit(value);  // a function that set C holds
        } else if (isDigitToken(token)) {
            leaveSetC(hasNext && ahead_.controlFirst(i_ + 1) ? 'A' : 'B');
            ++weight_;
            emit(valueInSet('B', token));
            keepText(token);
        } else {
            leaveSetC(chooseSet(i_));
            --i_;  // read again in the new set
        }
        return true;
    }

    // In sets A and B: a change to set C before four digits, else the token in
    // the current set, after a SHIFT or a change of set when only the other set
    // holds it. False when neither set holds it: the byte is dropped.
    bool encodeInSetAOrB(int token) {
        if (chooseSet(i_) == 'C') {
            emit(CODE128_CODE_C);
            set_ = 'C';
            --i_;  // the digits from here are read again as pairs
            return true;
        }
        char lookup = set_;
        const char other = lookup == 'A' ? 'B' : 'A';
        if (valueInSet(lookup, token) < 0 && valueInSet(other, token) >= 0) {
            // SHIFT out of A only while a control byte comes before the next
            // lowercase letter; SHIFT out of B only in the opposite case.
            const bool controlFirst = ahead_.controlFirst(i_);
            const bool lowercaseFirst = ahead_.control(i_) > ahead_.lowercase(i_);
            if (lookup == 'A' ? controlFirst : lowercaseFirst) {
                emit(CODE128_SHIFT);
            } else {
                emit(other == 'A' ? CODE128_CODE_A : CODE128_CODE_B);
                set_ = other;
            }
            ++weight_;
            lookup = other;
        }
        const int value = valueInSet(lookup, token);
        if (value < 0) {
            ++outcome_.droppedBytes;
            return false;
        }
        emit(value);
        keepText(token);
        return true;
    }

    void finish() {
        if (symbol_.checkCharacter)
            symbol_.addPatternCodes(code128Patterns[sum_], SYMBOL_ELEMENTS, symbol_.barHeightPixels);
        symbol_.addPatternCodes(CODE128_STOP, STOP_ELEMENTS, symbol_.barHeightPixels);
    }
};

}  // namespace

namespace detail {

int findCode128Value(const std::string_view (&table)[CODE128_DATA_VALUES], std::string_view token) {
    for (int v = 0; v < CODE128_DATA_VALUES; ++v)
        if (table[v] == token)
            return v;
    return -1;
}

int code128ValueInSet(char setChar, std::string_view token) {
    switch (setChar) {
    case 'A': return findCode128Value(code128SetA, token);
    case 'B': return findCode128Value(code128SetB, token);
    case 'C': return findCode128Value(code128SetC, token);
    default: return -1;
    }
}

bool isSingleDigit(std::string_view token) { return token.size() == 1 && isDigitByte(token[0]); }

int firstControlIndex(const std::string& value, int from) { return firstIndex(value, from, isControlByte); }

int firstLowercaseIndex(const std::string& value, int from) { return firstIndex(value, from, isLowercaseByte); }

char chooseCode128Set(const std::string& value, int from) {
    return chooseSet(value, from, firstControlIndex(value, from), firstLowercaseIndex(value, from));
}

Code128Outcome appendCode128(LinearSymbol& s, Code128Flavour flavour) {
    return Code128Encoder(s, flavour == Code128Flavour::GS1).run();
}

}  // namespace detail

void LinearSymbol::encodeCode128() {
    if (code128Set != 'A' && code128Set != 'B' && code128Set != 'C')
        warnings.push_back("the Code 128 start set is not A, B or C; set A was used");
    if (code.empty())
        warnings.push_back("the value is empty; the Code 128 symbol holds no data");
    detail::Code128Outcome outcome = detail::appendCode128(*this, detail::Code128Flavour::PLAIN);
    if (outcome.droppedBytes > 0)
        warnings.push_back(intToString(outcome.droppedBytes) +
                           " byte(s) of the value have no Code 128 symbol and were left out");
    if (text.empty())
        text = std::move(outcome.text);
}
