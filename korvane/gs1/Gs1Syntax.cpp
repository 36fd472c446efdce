// Checks GS1 element strings against the Barcode Syntax Dictionary's entries:
// each component's character set and length, the checks the dictionary names
// for it, and the rules between the AIs of a message.

#include "Gs1Syntax.h"

#include "Gs1Codes.h"
#include "Gs1Dictionary.h"

#include "encode/Checks.h"
#include "encode/Gs1.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>

namespace korvane::detail {
namespace {

constexpr std::string_view CSET82 = "!\"%&'()*+,-./0123456789:;<=>?ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz";
constexpr std::string_view CSET39 = "#-/0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::string_view BASE64URL = "-0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz";
// The characters of GS1's check character pair for alphanumeric keys.
constexpr std::string_view CSET32 = "23456789ABCDEFGHJKLMNPQRSTUVWXYZ";
static_assert(CSET82.size() == 82 && CSET39.size() == 39 && BASE64URL.size() == 64 && CSET32.size() == 32);

bool digit(char c) { return c >= '0' && c <= '9'; }

bool allDigits(std::string_view s) { return std::all_of(s.begin(), s.end(), digit); }

int number(std::string_view s) {
    int n = 0;
    for (char c : s)
        n = n * 10 + (c - '0');
    return n;
}

Error invalid(std::string_view ai, const std::string& what) {
    return Error{ErrorCode::InvalidData, "GS1 AI (" + std::string(ai) + ") " + what};
}

std::string_view csetOf(Gs1Cset c) {
    switch (c) {
    case Gs1Cset::Numeric: return "0123456789";
    case Gs1Cset::Cset82: return CSET82;
    case Gs1Cset::Cset39: return CSET39;
    case Gs1Cset::Base64Url: return BASE64URL;
    }
    return {};
}

const char* csetName(Gs1Cset c) {
    switch (c) {
    case Gs1Cset::Numeric: return "digits";
    case Gs1Cset::Cset82: return "GS1 characters";
    case Gs1Cset::Cset39: return "GS1 characters of set 39 (A-Z, 0-9, # - /)";
    case Gs1Cset::Base64Url: return "base64url characters";
    }
    return "";
}

// One YYMMDD or YYYYMMDD date; a two-digit year stands for a year of either
// century alike, so February has 29 days in every fourth one.
Status checkDate(std::string_view ai, std::string_view date, bool dayZero) {
    constexpr int DAYS[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const std::size_t y = date.size() - 6;
    const int year = number(date.substr(0, y + 2)), month = number(date.substr(y + 2, 2)),
              day = number(date.substr(y + 4, 2));
    const std::string shown(date);
    if (month < 1 || month > 12)
        return invalid(ai, "date " + shown + " has month " + std::to_string(month));
    const bool leap = y == 0 ? year % 4 == 0 : (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int days = month == 2 && !leap ? 28 : DAYS[month - 1];
    if ((day == 0 && !dayZero) || day > days)
        return invalid(ai, "date " + shown + " has day " + std::to_string(day) +
                               (day == 0 ? "" : "; the month has " + std::to_string(days)));
    return Done{};
}

Status checkClock(std::string_view ai, std::string_view part, int most, const char* name) {
    if (number(part) > most)
        return invalid(ai, "has " + std::string(name) + " " + std::string(part) + "; at most " + std::to_string(most));
    return Done{};
}

// The check character pair of alphanumeric keys (GMN): the characters'
// values in set 82 weighted by the primes from the right, modulo 1021,
// written as two characters of set 32.
std::string checkPair(std::string_view s) {
    constexpr int PRIMES[] = {2,  3,  5,  7,  11, 13, 17, 19, 23, 29, 31, 37, 41, 43,
                              47, 53, 59, 61, 67, 71, 73, 79, 83, 89, 97, 101, 103, 107};
    int sum = 0;
    for (std::size_t i = 0; i < s.size(); ++i)
        sum += static_cast<int>(CSET82.find(s[s.size() - 1 - i])) * PRIMES[i];
    sum %= 1021;
    return {CSET32[static_cast<std::size_t>(sum >> 5)], CSET32[static_cast<std::size_t>(sum & 31)]};
}

// The IBAN's own check: the first four characters moved to the end, letters
// as 10-35, the number modulo 97 is 1 (ISO 13616).
bool ibanValid(std::string_view s) {
    if (s.size() < 5 || !(s[0] >= 'A' && s[0] <= 'Z') || !(s[1] >= 'A' && s[1] <= 'Z') || !digit(s[2]) ||
        !digit(s[3]))
        return false;
    int rest = 0;
    for (std::size_t k = 0; k < s.size(); ++k) {
        const char c = s[(k + 4) % s.size()];
        if (digit(c))
            rest = (rest * 10 + (c - '0')) % 97;
        else if (c >= 'A' && c <= 'Z')
            rest = (rest * 100 + (c - 'A' + 10)) % 97;
        else
            return false;
    }
    return rest == 1;
}

// The check digits and characters of keys, and the Company Prefix they begin with.
Status lintKey(std::string_view ai, std::string_view v, unsigned long long linters) {
    const std::string shown(v);
    if ((linters & GS1_CSUM) && v.back() != gs1CheckDigit(v.substr(0, v.size() - 1)))
        return Error{ErrorCode::CheckDigit, "GS1 AI (" + std::string(ai) + ") check digit " + v.back() + " of " +
                                                shown + " does not match; it should be " +
                                                gs1CheckDigit(v.substr(0, v.size() - 1))};
    if (linters & GS1_CSUMALPHA) {
        if (v.size() < 3)
            return invalid(ai, shown + " is too short for its check character pair");
        const std::string pair = checkPair(v.substr(0, v.size() - 2));
        if (v.substr(v.size() - 2) != pair)
            return Error{ErrorCode::CheckDigit, "GS1 AI (" + std::string(ai) + ") check characters " +
                                                    shown.substr(shown.size() - 2) + " of " + shown +
                                                    " do not match; they should be " + pair};
    }
    // A key begins with a GS1 Company Prefix, which is digits, four at least.
    const std::size_t prefixFrom = (linters & GS1_KEYOFF1) ? 1 : 0;
    if ((linters & (GS1_KEY | GS1_KEYOFF1)) &&
        (v.size() < prefixFrom + 4 || !allDigits(v.substr(prefixFrom, 4))))
        return invalid(ai, shown + " does not begin with a GS1 Company Prefix (four digits at least)");
    return Done{};
}

// Dates and times.
Status lintTime(std::string_view ai, std::string_view v, unsigned long long linters) {
    if (linters & (GS1_YYMMD0 | GS1_YYMMDD | GS1_YYYYMMDD))
        if (const Status ok = checkDate(ai, v, (linters & GS1_YYMMD0) != 0); !ok)
            return ok;
    if (linters & GS1_HHMI) {
        if (const Status ok = checkClock(ai, v.substr(0, 2), 23, "hour"); !ok)
            return ok;
        if (const Status ok = checkClock(ai, v.substr(2, 2), 59, "minute"); !ok)
            return ok;
    }
    if (linters & GS1_HH)
        if (const Status ok = checkClock(ai, v, 23, "hour"); !ok)
            return ok;
    if (linters & (GS1_MI | GS1_SS))
        if (const Status ok = checkClock(ai, v, 59, (linters & GS1_MI) ? "minute" : "second"); !ok)
            return ok;
    return Done{};
}

// Codes of other standards: countries, currencies, bank accounts, percent-encoded text.
Status lintCode(std::string_view ai, std::string_view v, unsigned long long linters) {
    const std::string shown(v);
    if ((linters & GS1_ISO3166) && !iso3166Numeric(number(v)))
        return invalid(ai, shown + " is no ISO 3166 country code");
    if ((linters & GS1_ISO3166999) && v != "999" && !iso3166Numeric(number(v)))
        return invalid(ai, shown + " is no ISO 3166 country code, nor 999");
    if ((linters & GS1_ISO3166ALPHA2) && !iso3166Alpha2(v))
        return invalid(ai, shown + " is no ISO 3166 two-letter country code");
    if ((linters & GS1_ISO4217) && !iso4217Numeric(number(v)))
        return invalid(ai, shown + " is no ISO 4217 currency code");
    if ((linters & GS1_IBAN) && !ibanValid(v))
        return invalid(ai, shown + " is no valid IBAN (its country, check digits or characters)");
    if (linters & GS1_PCENC)
        for (std::size_t i = 0; i < v.size(); ++i)
            if (v[i] == '%' && (i + 2 >= v.size() || !std::isxdigit(static_cast<unsigned char>(v[i + 1])) ||
                                !std::isxdigit(static_cast<unsigned char>(v[i + 2]))))
                return invalid(ai, "has '%' at position " + std::to_string(i + 1) +
                                       " without two hexadecimal digits after it");
    return Done{};
}

// Values of a field with a meaning of their own: coordinates, flags, counts.
Status lintValue(std::string_view ai, std::string_view v, unsigned long long linters) {
    const std::string shown(v);
    if ((linters & GS1_LATITUDE) && number(v.substr(0, 4)) * 1000000LL + number(v.substr(4)) > 1800000000LL)
        return invalid(ai, "latitude " + shown + " is over 1800000000 (90 degrees north)");
    if ((linters & GS1_LONGITUDE) && number(v.substr(0, 4)) * 1000000LL + number(v.substr(4)) > 3600000000LL)
        return invalid(ai, "longitude " + shown + " is over 3600000000 (180 degrees east)");
    if ((linters & GS1_YESNO) && v != "0" && v != "1")
        return invalid(ai, "is " + shown + "; it must be 0 (no) or 1 (yes)");
    if ((linters & GS1_HYPHEN) && v != "-")
        return invalid(ai, "has " + shown + " where only '-' (below zero) may stand");
    if ((linters & GS1_NONZERO) && v.find_first_not_of('0') == std::string_view::npos)
        return invalid(ai, "has " + shown + " where a dimension must be more than zero");
    if ((linters & GS1_ZERO) && v != "0")
        return invalid(ai, "has " + shown + " where 0 must stand");
    if ((linters & GS1_WINDING) && v != "0" && v != "1" && v != "9")
        return invalid(ai, "has winding direction " + shown + "; it must be 0, 1 or 9");
    if (linters & GS1_PIECEOFTOTAL) {
        const int piece = number(v.substr(0, 2)), total = number(v.substr(2, 2));
        if (piece == 0 || total == 0 || piece > total)
            return invalid(ai, "piece " + std::to_string(piece) + " of " + std::to_string(total) + " cannot be");
    }
    if ((linters & GS1_NOZEROPREFIX) && v.size() > 1 && v[0] == '0')
        return invalid(ai, shown + " begins with 0");
    if ((linters & GS1_HASNONDIGIT) && allDigits(v))
        return invalid(ai, shown + " must hold a character other than a digit");
    if ((linters & GS1_ISO5218) && v != "0" && v != "1" && v != "2" && v != "9")
        return invalid(ai, "is " + shown + "; ISO/IEC 5218 gives 0, 1, 2 and 9");
    if ((linters & GS1_IMPORTERIDX) && !(std::isalnum(static_cast<unsigned char>(v[0])) || v[0] == '-' ||
                                         v[0] == '_'))
        return invalid(ai, "importer index " + shown + " is no letter, digit, '-' or '_'");
    if (linters & GS1_POSINSEQSLASH) {
        const bool form = v.size() == 3 && digit(v[0]) && v[1] == '/' && digit(v[2]);
        if (!form || v[0] == '0' || v[0] > v[2])
            return invalid(ai, shown + " is no position in a sequence (\"1/2\")");
    }
    return Done{};
}

// The named checks of one component (its character set and length passed).
Status lint(std::string_view ai, std::string_view v, unsigned long long linters) {
    if (linters == 0)
        return Done{};
    for (const auto check : {lintKey, lintTime, lintCode, lintValue})
        if (const Status ok = check(ai, v, linters); !ok)
            return ok;
    return Done{};
}

}  // namespace

const Gs1AiEntry* findGs1Ai(std::string_view ai) {
    if (ai.size() < 2 || ai.size() > 4 || !allDigits(ai))
        return nullptr;
    // The entries stand in lexical order of their first AI and no AI is a
    // prefix of another, so the AI's entry, if any, is the last whose first
    // AI is not after it.
    const auto* after = std::upper_bound(std::begin(GS1_DICTIONARY), std::end(GS1_DICTIONARY), ai,
                                         [](std::string_view a, const Gs1AiEntry& e) { return a < e.first; });
    if (after == std::begin(GS1_DICTIONARY))
        return nullptr;
    const Gs1AiEntry* e = after - 1;
    return std::strlen(e->first) == ai.size() && ai <= e->last ? e : nullptr;
}

int gs1FixedLength(const Gs1AiEntry& entry) {
    int n = 0;
    for (int i = 0; i < entry.componentCount; ++i) {
        const Gs1Component& c = entry.components[i];
        if (c.optional || c.minLength != c.maxLength)
            return 0;
        n += c.maxLength;
    }
    return n;
}

// The components as GS1 writes them: "N6 N2 [N2] [N2]".
std::string formOf(const Gs1AiEntry& entry) {
    std::string out;
    for (int k = 0; k < entry.componentCount; ++k) {
        const Gs1Component& c = entry.components[k];
        out += k ? " " : "";
        out += c.optional ? "[" : "";
        out += "NXYZ"[static_cast<int>(c.cset)];
        out += (c.minLength == c.maxLength ? "" : "..") + std::to_string(c.maxLength);
        out += c.optional ? "]" : "";
    }
    return out;
}

// "takes 14 characters" or "takes 8 to 12 characters", for all components.
std::string lengthWanted(const Gs1AiEntry& entry) {
    int least = 0, most = 0;
    for (int k = 0; k < entry.componentCount; ++k) {
        least += entry.components[k].optional ? 0 : entry.components[k].minLength;
        most += entry.components[k].maxLength;
    }
    return least == most ? std::to_string(least) : std::to_string(least) + " to " + std::to_string(most);
}

Status checkGs1Field(const Gs1AiEntry& entry, std::string_view ai, std::string_view value) {
    const auto tooShortOrLong = [&] {
        return invalid(ai, "takes " + lengthWanted(entry) + " characters; " + quoted(value) + " has " +
                               std::to_string(value.size()));
    };
    int least = 0, most = 0;
    for (int k = 0; k < entry.componentCount; ++k) {
        least += entry.components[k].optional ? 0 : entry.components[k].minLength;
        most += entry.components[k].maxLength;
    }
    if (value.size() < static_cast<std::size_t>(least) || value.size() > static_cast<std::size_t>(most))
        return tooShortOrLong();
    // Each component takes its length from what is left; optional ones may
    // be left out once the data ends.
    std::size_t at = 0;
    for (int i = 0; i < entry.componentCount; ++i) {
        const Gs1Component& c = entry.components[i];
        if (at == value.size() && c.optional)
            break;
        const std::size_t n = std::min<std::size_t>(value.size() - at, c.maxLength);
        if (n < c.minLength)
            return invalid(ai, quoted(value) + " is no field of its form (" + formOf(entry) + ")");
        const std::string_view part = value.substr(at, n);
        const std::string_view set = csetOf(c.cset);
        for (std::size_t k = 0; k < part.size(); ++k)
            if (set.find(part[k]) == std::string_view::npos)
                return invalid(ai, "cannot hold " + describeByte(static_cast<unsigned char>(part[k])) +
                                       " at position " + std::to_string(at + k + 1) + " of its field (it takes " +
                                       csetName(c.cset) + ")");
        if (const Status ok = lint(ai, part, c.linters); !ok)
            return ok;
        at += n;
    }
    if (at < value.size())
        return tooShortOrLong();
    return Done{};
}

namespace {

// Whether `ai` matches `pattern`: an AI, or one with 'n' for any digit ("310n", "31nn").
bool matches(std::string_view ai, std::string_view pattern) {
    if (ai.size() != pattern.size())
        return false;
    for (std::size_t i = 0; i < ai.size(); ++i)
        if (pattern[i] != 'n' && pattern[i] != ai[i])
            return false;
    return true;
}

bool present(const std::vector<Gs1AiValue>& elements, std::string_view pattern) {
    return std::any_of(elements.begin(), elements.end(), [&](const Gs1AiValue& e) { return matches(e.ai, pattern); });
}

// Splits `s` at `separator`, calling `each` with every piece.
template <typename Each>
void split(std::string_view s, char separator, Each&& each) {
    for (;;) {
        const std::size_t end = s.find(separator);
        each(s.substr(0, end));
        if (end == std::string_view::npos)
            return;
        s.remove_prefix(end + 1);
    }
}

// "(01) or (02) or (8006) with (21)" from "01,02,8006+21".
std::string alternatives(std::string_view group) {
    std::string out;
    split(group, ',', [&](std::string_view alternative) {
        out += out.empty() ? "" : " or ";
        std::string all;
        split(alternative, '+', [&](std::string_view ai) { all += (all.empty() ? "(" : " with (") + std::string(ai) + ")"; });
        out += all;
    });
    return out;
}

}  // namespace

Status checkGs1Pairs(const std::vector<Gs1AiValue>& elements, std::vector<std::string>* missing) {
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const Gs1AiValue& e = elements[i];
        for (std::size_t j = i + 1; j < elements.size(); ++j)
            if (elements[j].ai == e.ai && elements[j].value != e.value)
                return invalid(e.ai, "is given twice with different values");
        const Gs1AiEntry* entry = findGs1Ai(e.ai);
        if (entry == nullptr)
            continue;
        if (entry->excludes != nullptr) {
            Status refused = Done{};
            split(entry->excludes, ',', [&](std::string_view pattern) {
                for (const Gs1AiValue& other : elements)
                    if (refused && other.ai != e.ai && matches(other.ai, pattern))
                        refused = invalid(e.ai, "cannot stand with (" + std::string(other.ai) + ")");
            });
            if (!refused)
                return refused;
        }
        if (entry->requires_ == nullptr || missing == nullptr)
            continue;
        split(entry->requires_, ' ', [&](std::string_view group) {
            bool met = false;
            split(group, ',', [&](std::string_view alternative) {
                bool all = true;
                split(alternative, '+', [&](std::string_view ai) { all = all && present(elements, ai); });
                met = met || all;
            });
            if (!met)
                missing->push_back("GS1 AI (" + std::string(e.ai) + ") needs " + alternatives(group));
        });
    }
    return Done{};
}

}  // namespace korvane::detail
