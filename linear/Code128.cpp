// Code 128 (ISO/IEC 15417): the encoder shared with EAN-128 and its set-choice rules.

#include "Code128Tables.h"
#include "LinearSymbol.h"

#include <cassert>
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
    explicit Lookahead(const std::string& value)
        : nextControl_(value.size() + 1, detail::CODE128_NO_INDEX),
          nextLowercase_(value.size() + 1, detail::CODE128_NO_INDEX) {
        for (std::size_t i = value.size(); i-- > 0;) {
            nextControl_[i] = isControlByte(value[i]) ? static_cast<int>(i) : nextControl_[i + 1];
            nextLowercase_[i] = isLowercaseByte(value[i]) ? static_cast<int>(i) : nextLowercase_[i + 1];
        }
    }
    int control(int from) const { return nextControl_[clamp(from)]; }
    int lowercase(int from) const { return nextLowercase_[clamp(from)]; }
    bool controlFirst(int from) const { return control(from) < lowercase(from); }

private:
    std::size_t clamp(int from) const {
        if (from < 0)
            return 0;
        const auto f = static_cast<std::size_t>(from);
        return f < nextControl_.size() ? f : nextControl_.size() - 1;
    }
    std::vector<int> nextControl_;
    std::vector<int> nextLowercase_;
};

int startValue(char set) {
    return set == 'C' ? CODE128_START_C : set == 'B' ? CODE128_START_B : CODE128_START_A;
}

// One run of the encoder over a value: the current set, the weight of the
// next symbol and the weighted sum. The sum is kept reduced modulo 103, so a
// value of any length neither overflows it nor loses precision.
class Code128Writer {
public:
    Code128Writer(LinearSymbol& symbol, char startSet) : symbol_(symbol), set_(startSet) {
        symbol_.addPattern(CODE128_SYMBOL_COLOURS, code128Patterns[startValue(startSet)]);
        sum_ = startValue(startSet) % CODE128_CHECK_MODULUS;
    }

    void emit(int value) {
        assert(value >= 0 && value < CODE128_DATA_VALUES);
        symbol_.addPattern(CODE128_SYMBOL_COLOURS, code128Patterns[value]);
        sum_ = static_cast<int>((sum_ + value * (weight_ % CODE128_CHECK_MODULUS)) % CODE128_CHECK_MODULUS);
    }
    void nextWeight() { ++weight_; }
    char set() const { return set_; }
    void setSet(char set) { set_ = set; }
    // Emits Code A or Code B to enter `set` from set C.
    void leaveSetC(char set) {
        set_ = set;
        emit(set == 'A' ? CODE128_CODE_A : CODE128_CODE_B);
    }

    void finish() {
        if (symbol_.checkCharacter)
            symbol_.addPattern(CODE128_SYMBOL_COLOURS, code128Patterns[sum_]);
        symbol_.addPattern(CODE128_STOP_COLOURS, CODE128_STOP);
    }

private:
    LinearSymbol& symbol_;
    char set_;
    int sum_ = 0;
    long long weight_ = 1;
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
    const bool gs1 = flavour == Code128Flavour::GS1;
    const std::string& code = s.code;
    const int n = static_cast<int>(code.size());
    const Lookahead ahead(code);
    const char requested = s.code128Set;
    Code128Writer out(s, gs1 ? 'C' : (requested == 'B' || requested == 'C' ? requested : 'A'));
    Code128Outcome result;

    if (gs1) {
        out.emit(CODE128_FNC1);
        out.nextWeight();
    }

    for (int i = 0; i < n; ++i) {
        auto byte = static_cast<unsigned char>(code[i]);
        if (!gs1) {
            // Requests for set A or B only act in set C; elsewhere the byte is skipped.
            if ((byte == REQUEST_SET_A || byte == REQUEST_SET_B) && out.set() != 'C') {
                if (i == n - 1)
                    break;
                byte = static_cast<unsigned char>(code[++i]);
            }
            if (out.set() != 'C' && byte == REQUEST_SET_C) {
                out.emit(CODE128_CODE_C);
                out.nextWeight();
                out.setSet('C');
                if (i == n - 1)
                    break;  // the request was the last byte: nothing left to encode
                byte = static_cast<unsigned char>(code[++i]);
            }
        }
        const std::string raw(1, static_cast<char>(byte));
        const std::string token = gs1 ? mapEan128Function(raw, true) : raw;
        const bool hasNext = i < n - 1;
        bool dropped = false;

        if (out.set() == 'C') {
            int value = -1;
            if (!gs1 && byte == REQUEST_SET_A) {
                out.leaveSetC('A');
            } else if (!gs1 && byte == REQUEST_SET_B) {
                out.leaveSetC('B');
            } else if (hasNext && isSingleDigit(token) && isDigitByte(code[i + 1])) {
                const std::string pair = token + code[i + 1];
                out.emit(code128ValueInSet('C', pair));
                if (!gs1)
                    result.text += pair;
                ++i;
            } else if (!isSingleDigit(token) && (value = code128ValueInSet('C', token)) >= 0) {
                out.emit(value);  // a function token that set C holds
            } else if (isSingleDigit(token)) {
                // The odd digit at the end of a run leaves set C.
                out.leaveSetC(hasNext && ahead.controlFirst(i + 1) ? 'A' : 'B');
                out.nextWeight();
                out.emit(code128ValueInSet('B', token));
                if (!gs1)
                    result.text += token;
            } else {
                // Not in set C: change set and read the byte again there.
                out.leaveSetC(chooseSet(code, i, ahead.control(i), ahead.lowercase(i)));
                --i;
            }
        } else if (chooseSet(code, i, ahead.control(i), ahead.lowercase(i)) == 'C') {
            out.emit(CODE128_CODE_C);
            out.setSet('C');
            --i;  // the digits from here are read again as pairs
        } else {
            char lookup = out.set();
            if (code128ValueInSet(lookup, token) < 0) {
                const char other = lookup == 'A' ? 'B' : 'A';
                if (code128ValueInSet(other, token) >= 0) {
                    // SHIFT out of A only while a control byte comes before the next
                    // lowercase letter; SHIFT out of B only in the opposite case.
                    const bool controlFirst = ahead.controlFirst(i);
                    const bool lowercaseFirst = ahead.control(i) > ahead.lowercase(i);
                    if (lookup == 'A' ? controlFirst : lowercaseFirst) {
                        out.emit(CODE128_SHIFT);
                    } else {
                        out.emit(other == 'A' ? CODE128_CODE_A : CODE128_CODE_B);
                        out.setSet(other);
                    }
                    out.nextWeight();
                    lookup = other;
                }
            }
            const int value = code128ValueInSet(lookup, token);
            if (value >= 0) {
                out.emit(value);
                if (!gs1)
                    result.text += token;
            } else {
                dropped = true;
                ++result.droppedBytes;
            }
        }
        if (!dropped)
            out.nextWeight();
    }
    out.finish();
    return result;
}

}  // namespace detail

void LinearSymbol::encodeCode128() {
    if (code128Set != 'A' && code128Set != 'B' && code128Set != 'C')
        warnings.push_back("the Code 128 start set is not A, B or C; set A was used");
    if (code.empty())
        warnings.push_back("the value is empty; the Code 128 symbol holds no data");
    const detail::Code128Outcome outcome = detail::appendCode128(*this, detail::Code128Flavour::PLAIN);
    if (outcome.droppedBytes > 0)
        warnings.push_back(intToString(outcome.droppedBytes) +
                           " byte(s) of the value have no Code 128 symbol and were left out");
    if (text.empty())
        text = outcome.text;
}
