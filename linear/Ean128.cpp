// EAN-128 (GS1-128): Code 128 that starts with FNC1 and carries application
// identifiers (AIs); a space or byte 202 ends a field of variable length.

#include "Code128Tables.h"
#include "LinearSymbol.h"

#include <cstdio>

namespace {

constexpr unsigned char FIELD_SEPARATOR = 202;

bool endsField(char c) { return c == ' ' || static_cast<unsigned char>(c) == FIELD_SEPARATOR; }

// Reserved bytes of an EAN-128 value and the function symbols they stand for.
struct FunctionByte {
    unsigned char byte;
    const char* token;
};
constexpr FunctionByte EAN128_FUNCTION_BYTES[] = {
    {202, "_102"},  // FNC1, like a space
    {201, "_101"},
    {200, "_100"},
    {197, "_97"},  // FNC2
    {196, "_96"},  // FNC3
};
static_assert(std::size(EAN128_FUNCTION_BYTES) == 5);

}  // namespace

namespace detail {

std::string mapEan128Function(const std::string& token, bool spaceIsFnc1) {
    if (token.size() != 1)
        return token;
    if (token[0] == ' ')
        return spaceIsFnc1 ? "_102" : token;
    for (const FunctionByte& f : EAN128_FUNCTION_BYTES)
        if (static_cast<unsigned char>(token[0]) == f.byte)
            return f.token;
    return token;
}

int aiDigitCount(const std::string& s) {
    if (s.empty() || s[0] < '0' || s[0] > '9')
        return 0;
    const int n = LinearSymbol::parseNumber(s);
    switch (s[0]) {
    case '0': return n <= 4 ? 2 : 0;
    case '1': return 2;
    case '2': return n >= 20 && n <= 22 ? 2 : n >= 23 && n <= 25 ? 3 : 0;
    case '3': return n == 38 ? 0 : n == 30 || n == 37 ? 2 : 4;
    case '4': return n >= 40 && n <= 42 ? 3 : 0;
    case '7': return n == 70 ? 4 : 0;
    case '8': return n == 80 || n == 81 ? 4 : 0;
    case '9': return 2;
    default: return 0;  // '5' and '6'
    }
}

int aiFieldLength(int n) {
    if (n == 0)
        return 20;
    if (n <= 3)
        return 16;
    if (n == 4)
        return 18;
    if (n <= 10)
        return 0;
    if (n <= 19)
        return 8;
    if (n == 20)
        return 4;
    if (n <= 30)
        return 0;
    if (n <= 36)
        return 10;
    if (n == 41)
        return 16;
    return 0;
}

std::string ean128HumanText(const std::string& value) {
    std::string out;
    std::size_t pos = 0;
    while (pos < value.size()) {
        const std::string ai = value.substr(pos, 2);
        const auto digits = static_cast<std::size_t>(aiDigitCount(ai));
        if (digits == 0) {
            std::fputs("Unknown EAN128 App.Id. ", stdout);
            std::fwrite(ai.data(), 1, ai.size(), stdout);
            std::fflush(stdout);
            return value;
        }
        const auto fixedLength = static_cast<std::size_t>(aiFieldLength(LinearSymbol::parseNumber(ai)));
        std::size_t end = pos;
        while (end < value.size() && !endsField(value[end]) && (fixedLength == 0 || end - pos < fixedLength))
            ++end;
        const std::string field = value.substr(pos, end - pos);
        if (!out.empty())
            out += ' ';
        // A field cut short inside its AI shows the digits it has.
        out += "(" + field.substr(0, digits) + ")";
        if (field.size() > digits)
            out += field.substr(digits);
        pos = end;
        if (pos < value.size() && endsField(value[pos]))
            ++pos;
    }
    return out;
}

}  // namespace detail

void LinearSymbol::encodeEan128() {
    const std::string humanText = detail::ean128HumanText(code);
    code128Set = 'C';
    if (code.empty())
        warnings.push_back("the value is empty; the EAN-128 symbol holds no data");
    const detail::Code128Outcome outcome = detail::appendCode128(*this, detail::Code128Flavour::GS1);
    if (outcome.droppedBytes > 0)
        warnings.push_back(intToString(outcome.droppedBytes) +
                           " byte(s) of the value have no EAN-128 symbol and were left out");
    if (text.empty())
        text = humanText;
}
