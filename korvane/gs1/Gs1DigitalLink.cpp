// GS1 data for callers: element strings checked with their notes, their
// human-readable form, and GS1 Digital Link URIs from element strings and
// back (the primary key and its qualifiers as path segments in the order the
// Syntax Dictionary gives, the data attributes as query parameters, values
// percent-encoded).

#include "korvane/Gs1.h"

#include "Gs1Syntax.h"
#include "encode/Gs1.h"

#include "base/Text.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace korvane {
namespace {

using detail::Gs1AiEntry;
using detail::Gs1Element;

Error invalid(std::string message) { return Error{ErrorCode::InvalidData, std::move(message)}; }

// Characters a URI carries as they are (RFC 3986's unreserved ones).
bool unreserved(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

std::string percentEncoded(std::string_view value) {
    static constexpr char HEX[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : value) {
        if (unreserved(c)) {
            out += c;
        } else {
            const auto b = static_cast<unsigned char>(c);
            out += {'%', HEX[b >> 4], HEX[b & 15]};
        }
    }
    return out;
}

int hexValue(char c) {
    return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

Result<std::string> percentDecoded(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        const int hi = i + 2 < text.size() ? hexValue(text[i + 1]) : -1, lo = hi >= 0 ? hexValue(text[i + 2]) : -1;
        if (lo < 0)
            return invalid("the URI has '%' at " + std::to_string(i + 1) + " without two hexadecimal digits after it");
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return out;
}

std::vector<std::string_view> split(std::string_view s, char separator) {
    std::vector<std::string_view> out;
    for (;;) {
        const std::size_t at = s.find(separator);
        out.push_back(s.substr(0, at));
        if (at == std::string_view::npos)
            return out;
        s.remove_prefix(at + 1);
    }
}

// The qualifier sequence of `key` that holds every qualifier in `present`,
// or an empty one when none does (qualifiers of two sequences, or of none).
std::vector<std::string_view> qualifierOrder(const Gs1AiEntry& key, const std::vector<std::string_view>& present) {
    if (present.empty())
        return {};
    for (const std::string_view sequence : split(key.dlpkey, '|')) {
        const std::vector<std::string_view> order = split(sequence, ',');
        if (std::all_of(present.begin(), present.end(),
                        [&](std::string_view ai) { return std::find(order.begin(), order.end(), ai) != order.end(); }))
            return order;
    }
    return {};
}

bool isQualifierOf(const Gs1AiEntry& key, std::string_view ai) {
    if (key.dlpkey == nullptr || *key.dlpkey == '\0')
        return false;
    for (const std::string_view sequence : split(key.dlpkey, '|'))
        for (const std::string_view q : split(sequence, ','))
            if (q == ai)
                return true;
    return false;
}

// The element strings checked once more as a whole: each field and the rules between AIs.
Result<std::string> checkedElements(const std::vector<Gs1Element>& elements) {
    std::vector<detail::Gs1AiValue> pairs;
    for (const Gs1Element& e : elements) {
        const Gs1AiEntry* entry = detail::findGs1Ai(e.ai);
        if (entry == nullptr)
            return invalid("unknown GS1 AI " + detail::quoted(e.ai));
        if (const Status ok = detail::checkGs1Field(*entry, e.ai, e.value); !ok)
            return ok.error();
        pairs.push_back({e.ai, e.value});
    }
    if (const Status ok = detail::checkGs1Pairs(pairs); !ok)
        return ok.error();
    // A value that holds a bracket cannot stand in brackets: the plain form then.
    const bool bracketed = std::none_of(elements.begin(), elements.end(), [](const Gs1Element& e) {
        return e.value.find_first_of("()") != std::string::npos;
    });
    return bracketed ? detail::gs1HumanText(elements) : detail::gs1Data(elements, '\x1D');
}

}  // namespace

Result<std::string> gs1DigitalLink(std::string_view elementStrings, std::string_view domain) {
    const Result<std::vector<Gs1Element>> parsed = detail::parseGs1(elementStrings);
    if (!parsed)
        return parsed.error();
    const auto keyAt = std::find_if(parsed->begin(), parsed->end(), [](const Gs1Element& e) {
        const Gs1AiEntry* entry = detail::findGs1Ai(e.ai);
        return entry != nullptr && entry->dlpkey != nullptr;
    });
    if (keyAt == parsed->end())
        return invalid("GS1 Digital Link needs a primary key (GTIN, SSCC, GLN, ...); the data has none");
    const Gs1AiEntry& key = *detail::findGs1Ai(keyAt->ai);
    std::vector<std::string_view> qualifiers;
    for (const Gs1Element& e : *parsed)
        if (isQualifierOf(key, e.ai))
            qualifiers.push_back(e.ai);
    const std::vector<std::string_view> order = qualifierOrder(key, qualifiers);
    if (!qualifiers.empty() && order.empty())
        return invalid("GS1 AI (" + keyAt->ai + ") takes its qualifiers in one of the orders " + key.dlpkey +
                       ", not all of these together");
    while (!domain.empty() && domain.back() == '/')
        domain.remove_suffix(1);
    std::string uri = std::string(domain) + "/" + keyAt->ai + "/" + percentEncoded(keyAt->value);
    for (const std::string_view q : order) {
        const auto given = std::find_if(parsed->begin(), parsed->end(), [&](const Gs1Element& e) { return e.ai == q; });
        if (given != parsed->end())  // an AI given twice has one value (parseGs1 checked)
            uri += "/" + given->ai + "/" + percentEncoded(given->value);
    }
    char separator = '?';
    for (auto e = parsed->begin(); e != parsed->end(); ++e) {
        const bool earlier = std::any_of(parsed->begin(), e, [&](const Gs1Element& o) { return o.ai == e->ai; });
        if (earlier || e->ai == keyAt->ai || isQualifierOf(key, e->ai))
            continue;
        const Gs1AiEntry* entry = detail::findGs1Ai(e->ai);
        if (!entry->dlAttribute || entry->dlpkey != nullptr)
            return invalid("GS1 AI (" + e->ai + ") cannot stand in a GS1 Digital Link URI");
        uri += separator + e->ai + "=" + percentEncoded(e->value);
        separator = '&';
    }
    return uri;
}

Result<std::vector<std::string>> checkGs1(std::string_view elementStrings) {
    const Result<std::vector<Gs1Element>> parsed = detail::parseGs1(elementStrings);
    if (!parsed)
        return parsed.error();
    std::vector<detail::Gs1AiValue> pairs;
    for (const Gs1Element& e : *parsed)
        pairs.push_back({e.ai, e.value});
    std::vector<std::string> notes;
    if (const Status ok = detail::checkGs1Pairs(pairs, &notes); !ok)
        return ok.error();
    return notes;
}

Result<std::string> gs1HumanReadable(std::string_view elementStrings) {
    const Result<std::vector<Gs1Element>> parsed = detail::parseGs1(elementStrings);
    if (!parsed)
        return parsed.error();
    std::string out;
    for (const Gs1Element& e : *parsed)
        out += (out.empty() ? "(" : " (") + e.ai + ") " + e.value;
    return out;
}

Result<std::string> gs1FromDigitalLink(std::string_view uri) {
    const std::size_t scheme = uri.find("://");
    if (scheme == std::string_view::npos || (uri.substr(0, scheme) != "https" && uri.substr(0, scheme) != "http"))
        return invalid("a GS1 Digital Link URI begins with https:// or http://");
    std::string_view rest = uri.substr(scheme + 3);
    rest = rest.substr(0, rest.find('#'));
    const std::size_t question = rest.find('?');
    const std::string_view query = question == std::string_view::npos ? std::string_view() : rest.substr(question + 1);
    const std::vector<std::string_view> path = split(rest.substr(0, question), '/');  // path[0] is the host
    std::size_t at = 1;
    while (at < path.size() && !(detail::findGs1Ai(path[at]) && detail::findGs1Ai(path[at])->dlpkey))
        ++at;
    if (at >= path.size())
        return invalid("the URI's path holds no GS1 primary key (such as /01/ and a GTIN)");
    if ((path.size() - at) % 2 != 0)
        return invalid("the URI's path ends with AI " + detail::quoted(path.back()) + " without its value");
    const Gs1AiEntry& key = *detail::findGs1Ai(path[at]);
    std::vector<Gs1Element> elements;
    std::vector<std::string_view> qualifiers;
    for (std::size_t i = at; i < path.size(); i += 2) {
        if (i > at && !isQualifierOf(key, path[i]))
            return invalid("AI " + detail::quoted(path[i]) + " is no qualifier of (" + std::string(path[at]) + ")");
        Result<std::string> value = percentDecoded(path[i + 1]);
        if (!value)
            return value.error();
        if (i > at)
            qualifiers.push_back(path[i]);
        elements.push_back({std::string(path[i]), std::move(*value), false});
    }
    // A GTIN-8, -12 or -13 in the path stands for the GTIN-14 with zeros before it.
    if (elements[0].ai == "01" && elements[0].value.size() < 14 && elements[0].value.size() >= 8)
        elements[0].value.insert(0, 14 - elements[0].value.size(), '0');
    const std::vector<std::string_view> order = qualifierOrder(key, qualifiers);
    if (!qualifiers.empty() && (order.empty() || !std::is_sorted(qualifiers.begin(), qualifiers.end(),
                                                                  [&](std::string_view a, std::string_view b) {
                                                                      return std::find(order.begin(), order.end(), a) <
                                                                             std::find(order.begin(), order.end(), b);
                                                                  })))
        return invalid("the qualifiers of (" + std::string(path[at]) + ") stand in none of the orders " + key.dlpkey);
    for (const std::string_view parameter : query.empty() ? std::vector<std::string_view>() : split(query, '&')) {
        const std::size_t equals = parameter.find('=');
        const std::string_view name = parameter.substr(0, equals);
        const Gs1AiEntry* entry = detail::findGs1Ai(name);
        if (entry == nullptr)
            continue;  // no AI: linkType and the like
        if (!entry->dlAttribute || entry->dlpkey != nullptr)
            return invalid("AI (" + std::string(name) + ") cannot be a query parameter of a GS1 Digital Link URI");
        Result<std::string> value =
            percentDecoded(equals == std::string_view::npos ? std::string_view() : parameter.substr(equals + 1));
        if (!value)
            return value.error();
        elements.push_back({std::string(name), std::move(*value), false});
    }
    return checkedElements(elements);
}

}  // namespace korvane
