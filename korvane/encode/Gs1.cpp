// GS1 element strings: the parser that splits them into AIs and fields and
// checks each against GS1's Barcode Syntax Dictionary (korvane/gs1/).

#include "Gs1.h"

#include "Adapters.h"
#include "gs1/Gs1Syntax.h"

#include <cstring>
#include <iterator>

namespace korvane::detail {
namespace {

// Two-digit prefixes of the AIs whose fields have a predefined length, so that
// no FNC1 follows them; the number is the length of AI and field together.
constexpr struct {
    const char* prefix;
    int length;
} PREDEFINED_LENGTH[] = {
    {"00", 20}, {"01", 16}, {"02", 16}, {"03", 16}, {"04", 18}, {"11", 8}, {"12", 8}, {"13", 8}, {"14", 8},
    {"15", 8},  {"16", 8},  {"17", 8},  {"18", 8},  {"19", 8},  {"20", 4}, {"31", 10}, {"32", 10}, {"33", 10},
    {"34", 10}, {"35", 10}, {"36", 10}, {"41", 16},
};

constexpr char GS = 0x1D;

// The entry of the AI that `s` begins with (AIs are 2-4 digits long and none
// is a prefix of another), and the AI's length.
const Gs1AiEntry* findAi(std::string_view s, std::size_t& aiLength) {
    for (std::size_t n = 2; n <= 4 && n <= s.size(); ++n)
        if (const Gs1AiEntry* entry = findGs1Ai(s.substr(0, n))) {
            aiLength = n;
            return entry;
        }
    return nullptr;
}

bool predefined(std::string_view ai) {
    for (const auto& p : PREDEFINED_LENGTH)
        if (ai.substr(0, 2) == p.prefix)
            return true;
    return false;
}

// "(01)...(10)..." with round or square brackets.
Result<std::vector<Gs1Element>> parseBracketed(std::string_view s, char open, char close) {
    std::vector<Gs1Element> out;
    std::size_t i = 0;
    while (i < s.size()) {
        if (s[i] != open)
            return Error{ErrorCode::InvalidData, std::string("GS1 data expected '") + open + "' at position " +
                                                     std::to_string(i + 1)};
        const std::size_t end = s.find(close, i + 1);
        if (end == std::string_view::npos)
            return Error{ErrorCode::InvalidData, std::string("GS1 AI opened at position ") + std::to_string(i + 1) +
                                                     " is not closed with '" + close + "'"};
        Gs1Element e;
        e.ai = std::string(s.substr(i + 1, end - i - 1));
        if (e.ai.empty() || e.ai.size() > 4 || firstRefused(e.ai, isDigit) != std::string::npos)
            return Error{ErrorCode::InvalidData, "unknown GS1 AI " + quoted(e.ai)};
        const std::size_t next = s.find(open, end + 1);
        e.value = std::string(s.substr(end + 1, (next == std::string_view::npos ? s.size() : next) - end - 1));
        out.push_back(std::move(e));
        i = next == std::string_view::npos ? s.size() : next;
    }
    return out;
}

// AIs and fields run together, GS after variable-length fields.
Result<std::vector<Gs1Element>> parsePlain(std::string_view s) {
    std::vector<Gs1Element> out;
    std::size_t i = 0;
    while (i < s.size()) {
        std::size_t aiLength = 0;
        const Gs1AiEntry* f = findAi(s.substr(i), aiLength);
        if (!f)
            return Error{ErrorCode::InvalidData, "no GS1 AI begins at position " + std::to_string(i + 1) + " (" +
                                                     quoted(s.substr(i, 4)) + ")"};
        Gs1Element e;
        e.ai = std::string(s.substr(i, aiLength));
        i += aiLength;
        std::size_t end;
        if (const int fixed = gs1FixedLength(*f); fixed > 0 && predefined(e.ai))
            end = std::min(s.size(), i + static_cast<std::size_t>(fixed));
        else
            end = std::min(s.find(GS, i), s.size());
        e.value = std::string(s.substr(i, end - i));
        out.push_back(std::move(e));
        i = end;
        if (i < s.size() && s[i] == GS)
            ++i;
    }
    return out;
}

}  // namespace

Result<std::vector<Gs1Element>> parseGs1(std::string_view data) {
    if (data.empty())
        return Error{ErrorCode::InvalidData, "the GS1 data is empty"};
    Result<std::vector<Gs1Element>> parsed = data[0] == '(' ? parseBracketed(data, '(', ')')
                                             : data[0] == '[' ? parseBracketed(data, '[', ']')
                                                              : parsePlain(data);
    if (!parsed)
        return parsed;
    std::vector<Gs1AiValue> pairs;
    pairs.reserve(parsed->size());
    for (Gs1Element& e : *parsed) {
        const Gs1AiEntry* f = findGs1Ai(e.ai);
        if (!f)
            return Error{ErrorCode::InvalidData, "unknown GS1 AI " + quoted(e.ai)};
        if (const Status s = checkGs1Field(*f, e.ai, e.value); !s)
            return s.error();
        e.predefinedLength = predefined(e.ai);
        pairs.push_back({e.ai, e.value});
    }
    if (const Status s = checkGs1Pairs(pairs); !s)
        return s.error();
    return parsed;
}

char gs1CheckDigit(std::string_view digits) {
    int sum = 0;
    bool three = true;
    for (auto c = digits.rbegin(); c != digits.rend(); ++c) {
        sum += (*c - '0') * (three ? 3 : 1);
        three = !three;
    }
    return static_cast<char>('0' + (10 - sum % 10) % 10);
}

std::string gs1HumanText(const std::vector<Gs1Element>& elements) {
    std::string out;
    for (const Gs1Element& e : elements)
        out += "(" + e.ai + ")" + e.value;
    return out;
}

std::string gs1Data(const std::vector<Gs1Element>& elements, char separator) {
    std::string out;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        out += elements[i].ai + elements[i].value;
        if (!elements[i].predefinedLength && i + 1 < elements.size())
            out += separator;
    }
    return out;
}

}  // namespace korvane::detail
