// GS1 application identifiers: a table of the AIs in general use, and the
// parser that splits and checks element strings against it.

#include "Gs1.h"

#include "Adapters.h"

#include <cstring>
#include <iterator>

namespace korvane::detail {
namespace {

enum Content : unsigned char {
    N,   // digits
    X,   // GS1 character set 82
    NX,  // `fixedPart` digits, then set 82 characters
};

// One AI, or a range of them sharing a format (3100-3169: the last digit is a
// decimal point position). `minLength` = `maxLength` for fixed-length fields.
struct AiFormat {
    const char* first;
    const char* last;
    Content content;
    int minLength;
    int maxLength;
    bool checkDigit;  // the last digit is a GS1 modulo-10 check digit
};

// The GS1 application identifiers in common use, with their formats.
constexpr AiFormat AI_TABLE[] = {
    {"00", "00", N, 18, 18, true},        // SSCC
    {"01", "02", N, 14, 14, true},        // GTIN, content GTIN
    {"10", "10", X, 1, 20, false},        // batch or lot
    {"11", "13", N, 6, 6, false},         // dates YYMMDD (there is no AI 14)
    {"15", "17", N, 6, 6, false},
    {"20", "20", N, 2, 2, false},         // variant
    {"21", "22", X, 1, 20, false},        // serial, CPV
    {"235", "235", X, 1, 28, false},      // TPX
    {"240", "241", X, 1, 30, false},      // additional product id, customer part
    {"242", "242", N, 1, 6, false},       // made-to-order variation
    {"243", "243", X, 1, 20, false},      // packaging component
    {"250", "251", X, 1, 30, false},      // secondary serial, reference to source
    {"253", "253", NX, 14, 30, false},    // GDTI: GLN-style prefix and serial
    {"254", "254", X, 1, 20, false},      // GLN extension
    {"255", "255", N, 13, 25, false},     // GCN
    {"30", "30", N, 1, 8, false},         // variable count
    {"3100", "3699", N, 6, 6, false},     // trade and logistic measures
    {"37", "37", N, 1, 8, false},         // count of trade items
    {"3900", "3909", N, 1, 15, false},    // amount payable
    {"3910", "3919", N, 4, 18, false},    // amount payable with ISO currency
    {"3920", "3929", N, 1, 15, false},    // amount payable, single area
    {"3930", "3939", N, 4, 18, false},    // price with ISO currency
    {"3940", "3943", N, 4, 4, false},     // percentage discount
    {"3950", "3955", N, 6, 6, false},     // amount per unit
    {"400", "400", X, 1, 30, false},      // customer's purchase order
    {"401", "401", X, 1, 30, false},      // GINC
    {"402", "402", N, 17, 17, true},      // GSIN
    {"403", "403", X, 1, 30, false},      // routing code
    {"410", "417", N, 13, 13, true},      // GLNs
    {"420", "420", X, 1, 20, false},      // ship-to postal code
    {"421", "421", NX, 4, 12, false},     // ship-to postal code with ISO country
    {"422", "422", N, 3, 3, false},       // country of origin
    {"423", "423", N, 3, 15, false},      // countries of initial processing
    {"424", "424", N, 3, 3, false},
    {"425", "425", N, 3, 15, false},
    {"426", "426", N, 3, 3, false},
    {"427", "427", X, 1, 3, false},
    {"7001", "7001", N, 13, 13, false},   // NSN
    {"7002", "7002", X, 1, 30, false},
    {"7003", "7003", N, 10, 10, false},   // expiration date and time
    {"7004", "7004", N, 1, 4, false},
    {"7005", "7005", X, 1, 12, false},
    {"7006", "7006", N, 6, 6, false},
    {"7007", "7007", N, 6, 12, false},
    {"7008", "7008", X, 1, 3, false},
    {"7009", "7009", X, 1, 10, false},
    {"7010", "7010", X, 1, 2, false},
    {"7020", "7022", X, 1, 20, false},
    {"7023", "7023", X, 1, 30, false},
    {"7030", "7039", NX, 3, 30, false},   // approval number of processor with ISO country
    {"710", "715", X, 1, 20, false},      // national healthcare reimbursement numbers
    {"8001", "8001", N, 14, 14, false},
    {"8002", "8002", X, 1, 20, false},
    {"8003", "8003", NX, 14, 30, false},  // GRAI
    {"8004", "8004", X, 1, 30, false},    // GIAI
    {"8005", "8005", N, 6, 6, false},
    {"8006", "8006", N, 18, 18, false},
    {"8007", "8007", X, 1, 34, false},    // IBAN
    {"8008", "8008", N, 8, 12, false},
    {"8010", "8010", X, 1, 30, false},
    {"8011", "8011", N, 1, 12, false},
    {"8012", "8012", X, 1, 20, false},
    {"8013", "8013", X, 1, 25, false},
    {"8017", "8018", N, 18, 18, true},    // GSRN
    {"8019", "8019", N, 1, 10, false},
    {"8020", "8020", X, 1, 25, false},
    {"8026", "8026", N, 18, 18, false},
    {"8110", "8110", X, 1, 70, false},    // coupon codes
    {"8111", "8111", N, 4, 4, false},
    {"8112", "8112", X, 1, 70, false},
    {"8200", "8200", X, 1, 70, false},    // product URL
    {"90", "90", X, 1, 30, false},        // mutually agreed
    {"91", "99", X, 1, 90, false},        // company internal
};

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

// The AIs whose fields are dates, YYMMDD, some with a time after them: a
// month 13 or a 31st of April is refused as the GS1 General Specifications
// refuse it (AIs 11-17 take day 00 for "the whole month").
constexpr struct {
    const char* first;
    const char* last;
    bool dayZero;
    int timeDigits;  // hh, hhmm or hhmmss after the date; a range for 8008
    int timeDigitsMax;
} DATED[] = {
    {"11", "17", true, 0, 0},        // production, due, packaging, best before, sell by, expiry
    {"7003", "7003", false, 4, 4},   // expiration date and time YYMMDDhhmm
    {"7006", "7006", false, 0, 0},   // first freeze date
    {"7007", "7007", false, 0, 0},   // harvest date, or a span of two dates
    {"8008", "8008", false, 2, 6},   // date and time of production YYMMDDhh[mm[ss]]
};

constexpr char GS = 0x1D;

// GS1 character set 82: the characters allowed in alphanumeric fields.
bool inSet82(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           (c != 0 && std::strchr("!\"%&'()*+,-./:;<=>?_", c) != nullptr);
}

// The format of the AI that `s` begins with (the table's AIs are 2-4 digits
// long and none is a prefix of another), and its length.
// In the measures 3100-3699 the third digit names the measure (310-316,
// 320-329, 330-337, 340-349, 350-357, 360-369) and the last places the
// decimal point, 0 to 5: the range's other AIs do not exist.
bool measureExists(std::string_view ai) {
    constexpr char LAST_MEASURE[] = "697979";
    return ai.size() != 4 || ai[0] != '3' || ai[1] < '1' || ai[1] > '6' ||
           (ai[2] <= LAST_MEASURE[ai[1] - '1'] && ai[3] <= '5');
}

const AiFormat* findAi(std::string_view s, std::size_t& aiLength) {
    // An AI is digits: a byte that is none ends the search (it once matched
    // a table range by its sign and was then left out of the symbol).
    if (s.size() < 2 || !isDigit(static_cast<unsigned char>(s[0])))
        return nullptr;
    for (std::size_t n = 2; n <= 4 && n <= s.size(); ++n) {
        if (!isDigit(static_cast<unsigned char>(s[n - 1])))
            return nullptr;
        const std::string_view ai = s.substr(0, n);
        if (!measureExists(ai))
            return nullptr;
        for (const AiFormat& f : AI_TABLE)
            if (std::strlen(f.first) == n && ai >= f.first && ai <= f.last) {
                aiLength = n;
                return &f;
            }
    }
    return nullptr;
}

bool predefined(std::string_view ai) {
    for (const auto& p : PREDEFINED_LENGTH)
        if (ai.substr(0, 2) == p.prefix)
            return true;
    return false;
}

Status checkField(const AiFormat& f, const Gs1Element& e) {
    const std::string where = "GS1 AI (" + e.ai + ")";
    const auto n = static_cast<int>(e.value.size());
    if (n < f.minLength || n > f.maxLength) {
        const std::string wanted = f.minLength == f.maxLength
                                       ? std::to_string(f.minLength)
                                       : std::to_string(f.minLength) + " to " + std::to_string(f.maxLength);
        return Error{ErrorCode::InvalidData,
                     where + " takes " + wanted + " characters; " + quoted(e.value) + " has " + std::to_string(n)};
    }
    for (int i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(e.value[static_cast<std::size_t>(i)]);
        const bool digitOnly = f.content == N || (f.content == NX && i < f.minLength);
        if (digitOnly ? !isDigit(c) : !inSet82(c))
            return Error{ErrorCode::InvalidData, where + " cannot hold " + describeByte(c) + " at position " +
                                                     std::to_string(i + 1) + " of its field (it takes " +
                                                     (digitOnly ? "digits" : "GS1 characters") + ")"};
    }
    if (f.checkDigit) {
        const char expected = gs1CheckDigit(std::string_view(e.value).substr(0, e.value.size() - 1));
        if (e.value.back() != expected)
            return Error{ErrorCode::CheckDigit, where + " check digit " + e.value.back() + " of " + e.value +
                                                    " does not match; it should be " + expected};
    }
    return Done{};
}

int twoDigits(std::string_view s, std::size_t at) { return (s[at] - '0') * 10 + (s[at + 1] - '0'); }

// One YYMMDD date (digits already checked); its two-digit year stands for a
// year of either century alike, so February has 29 days in every fourth one.
Status checkDate(const std::string& where, std::string_view date, bool dayZero) {
    constexpr int DAYS[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int year = twoDigits(date, 0), month = twoDigits(date, 2), day = twoDigits(date, 4);
    const std::string shown(date);
    if (month < 1 || month > 12)
        return Error{ErrorCode::InvalidData, where + " date " + shown + " has month " + std::to_string(month)};
    const int days = month == 2 && year % 4 != 0 ? 28 : DAYS[month - 1];
    if ((day == 0 && !dayZero) || day > days)
        return Error{ErrorCode::InvalidData, where + " date " + shown + " has day " + std::to_string(day) +
                                                 (day == 0 ? "" : "; the month has " + std::to_string(days))};
    return Done{};
}

Status checkDates(const Gs1Element& e) {
    for (const auto& d : DATED) {
        if (e.ai < d.first || e.ai > d.last || e.ai.size() != std::strlen(d.first))
            continue;
        const std::string where = "GS1 AI (" + e.ai + ")";
        const std::string_view v = e.value;
        // 7007 carries one date or two; the others one date and perhaps a time.
        const std::size_t dates = e.ai == "7007" && v.size() == 12 ? 2 : 1;
        const std::size_t time = v.size() - 6 * dates;
        if (e.ai == "7007" && v.size() != 6 && v.size() != 12)
            return Error{ErrorCode::InvalidData, where + " takes a date YYMMDD or two; " + quoted(e.value) + " has " +
                                                     std::to_string(v.size()) + " digits"};
        if (time < static_cast<std::size_t>(d.timeDigits) || time > static_cast<std::size_t>(d.timeDigitsMax) ||
            time % 2 != 0)
            return Error{ErrorCode::InvalidData, where + " " + quoted(e.value) + " is no date and time of its form"};
        for (std::size_t i = 0; i < dates; ++i)
            if (const Status ok = checkDate(where, v.substr(6 * i, 6), d.dayZero); !ok)
                return ok;
        constexpr int LIMITS[] = {23, 59, 59};  // hours, minutes, seconds
        for (std::size_t at = 6 * dates, part = 0; at < v.size(); at += 2, ++part)
            if (twoDigits(v, at) > LIMITS[part])
                return Error{ErrorCode::InvalidData, where + " " + quoted(e.value) + " has " +
                                                         (part == 0 ? "hour " : part == 1 ? "minute " : "second ") +
                                                         std::to_string(twoDigits(v, at))};
        return Done{};
    }
    return Done{};
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
        const AiFormat* f = findAi(s.substr(i), aiLength);
        if (!f)
            return Error{ErrorCode::InvalidData, "no GS1 AI begins at position " + std::to_string(i + 1) + " (" +
                                                     quoted(s.substr(i, 4)) + ")"};
        Gs1Element e;
        e.ai = std::string(s.substr(i, aiLength));
        i += aiLength;
        std::size_t end;
        if (f->minLength == f->maxLength && predefined(e.ai))
            end = std::min(s.size(), i + static_cast<std::size_t>(f->maxLength));
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
    for (Gs1Element& e : *parsed) {
        std::size_t aiLength = 0;
        const AiFormat* f = findAi(e.ai, aiLength);
        if (!f || aiLength != e.ai.size())
            return Error{ErrorCode::InvalidData, "unknown GS1 AI " + quoted(e.ai)};
        if (const Status s = checkField(*f, e); !s)
            return s.error();
        if (const Status s = checkDates(e); !s)
            return s.error();
        e.predefinedLength = predefined(e.ai);
    }
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
