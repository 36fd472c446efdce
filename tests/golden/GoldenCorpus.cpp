#include "GoldenCorpus.h"

#include <cstdio>
#include <utility>

namespace golden {

namespace {

constexpr std::string_view DIGITS = "0123456789";
constexpr std::string_view CODE39 = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
constexpr std::string_view CODABAR = "0123456789-$:/.+ABCD";
constexpr std::string_view CODE11 = "0123456789-";
constexpr std::string_view UPPER = "ABCDEFGHIJKLMNOPQRSTUVWXYZ ";
constexpr std::string_view LOWER = "abcdefghijklmnopqrstuvwxyz ";
constexpr std::string_view PUNCTUATION = "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~\r\n\t ";

constexpr int CASES_PER_SYMBOLOGY = 200;

std::string printable() {
    std::string s;
    for (int c = 32; c < 127; ++c)
        s += static_cast<char>(c);
    return s;
}

std::string text(Rng& rng, std::string_view alphabet, int length) {
    std::string s;
    for (int i = 0; i < length; ++i)
        s += rng.from(alphabet);
    return s;
}

// Bytes 1-255: a command-line argument cannot hold 0.
std::string rawBytes(Rng& rng, int length) {
    std::string s;
    for (int i = 0; i < length; ++i)
        s += static_cast<char>(rng.between(1, 255));
    return s;
}

std::string escape(int value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "~d%03d", value);
    return buf;
}

// A symbology's own characters and the lengths its values usually have.
struct Native {
    std::string alphabet;
    int lengths[4];
};

Native native(int symbology) {
    const std::string all = printable();
    switch (symbology) {
    case 0: case 9: return {std::string(CODE39), {1, 5, 12, 20}};
    case 1: case 13: case 14: return {all, {1, 6, 12, 24}};
    case 2: return {std::string(DIGITS), {6, 7, 12, 13}};
    case 3: return {std::string(CODE11), {5, 10, 11, 14}};
    case 4: return {std::string(CODABAR), {4, 8, 12, 16}};
    case 6: return {std::string(DIGITS), {10, 11, 12, 13}};
    case 10: return {std::string(DIGITS), {11, 12, 13, 14}};
    case 11: return {std::string(DIGITS), {6, 7, 8, 9}};
    case 12: return {std::string(DIGITS), {6, 7, 8, 11}};
    case 15: return {std::string(DIGITS), {4, 5, 9, 11}};
    default: return {std::string(DIGITS), {3, 8, 12, 20}};
    }
}

// Application identifiers with data of a plausible length, separated by
// spaces or the byte 202; now and then one the encoder does not know.
std::string ean128Value(Rng& rng, bool unknownAis) {
    static const char* const AIS[] = {"00", "01", "02", "10", "11", "15", "17", "20", "21", "240", "30",
                                      "3102", "3922", "37", "400", "410", "421", "7001", "8005", "8020", "90", "99"};
    std::string s;
    const int fields = rng.between(1, 4);
    for (int f = 0; f < fields; ++f) {
        if (f > 0)
            s += rng.chance(70) ? " " : escape(202);
        s += unknownAis && rng.chance(5) ? std::string(rng.chance(50) ? "55" : "6") : rng.pick(AIS);
        s += rng.chance(70) ? text(rng, DIGITS, rng.between(0, 18)) : text(rng, printable(), rng.between(0, 12));
    }
    return s;
}

// A UPC-A number that zero-suppresses to UPC-E: six digits expanded by the
// rule their last digit selects, with or without a check digit (not always the
// right one).
std::string upcEValue(Rng& rng) {
    const std::string six = text(rng, DIGITS, 6);
    std::string v(1, rng.chance(85) ? '0' : '1');
    switch (six[5]) {
    case '0': case '1': case '2': v += six.substr(0, 2) + six[5] + "0000" + six.substr(2, 3); break;
    case '3': v += six.substr(0, 3) + "00000" + six.substr(3, 2); break;
    case '4': v += six.substr(0, 4) + "00000" + six[4]; break;
    default: v += six.substr(0, 5) + "0000" + six[5]; break;
    }
    if (rng.chance(50))
        return v;
    int sum = 0;
    for (int i = 0; i < 11; ++i)
        sum += (v[static_cast<std::size_t>(i)] - '0') * (i % 2 == 0 ? 3 : 1);
    return v + static_cast<char>(rng.chance(80) ? '0' + (10 - sum % 10) % 10 : rng.from(DIGITS));
}

std::string withEscapes(Rng& rng, std::string_view alphabet) {
    static const int SPECIAL[] = {0, 9, 13, 127, 128, 196, 197, 199, 200, 201, 202, 255, 256, 300};
    std::string s;
    const int parts = rng.between(1, 8);
    for (int p = 0; p < parts; ++p) {
        switch (rng.below(8)) {
        case 0: s += escape(rng.pick(SPECIAL)); break;
        case 1: s += escape(rng.between(0, 300)); break;
        case 2: s += "~~"; break;
        case 3: s += rng.chance(50) ? "~x065" : "~d6.5"; break;
        default: s += text(rng, alphabet, rng.between(1, 4)); break;
        }
    }
    if (rng.chance(10))
        s += rng.chance(50) ? "~" : "~d1";  // too short to be an escape
    return s;
}

ProgramCase barlaneCase(Rng& rng, const std::string& key, int symbology, const std::string& type) {
    static const char* const ODD_HEIGHTS[] = {"abc", "-5", "12.7", "2147483647", "99999999999", " 30"};
    static const char* const SETS[] = {"A", "B", "C", "A", "B", "C", "a", "", "Z", "CB"};
    ProgramCase c{key, Program::BARLANE, {}, "", false, "out.emf"};
    std::vector<std::pair<std::string, std::string>> pairs;
    pairs.emplace_back("-type", type);
    const int h = rng.below(100);
    if (h < 10)
        pairs.emplace_back("-height", "0");
    else if (h < 45)
        pairs.emplace_back("-height", std::to_string(rng.between(1, 120)));
    else if (h < 55)
        pairs.emplace_back("-height", rng.pick(ODD_HEIGHTS));
    if (rng.chance(50))
        pairs.emplace_back("-code128set", rng.pick(SETS));
    if (rng.chance(95))
        pairs.emplace_back("-code", linearValue(rng, symbology, true));
    if (rng.chance(5))
        pairs.emplace_back("-code", linearValue(rng, symbology, true));  // the last one counts
    if (rng.chance(5))
        pairs.emplace_back("-foo", "bar");
    if (rng.chance(95))
        pairs.emplace_back("-file", "out.emf");
    else
        c.output = "barcode.emf";
    if (rng.chance(10))
        for (std::size_t i = pairs.size(); i > 1; --i)
            std::swap(pairs[i - 1], pairs[static_cast<std::size_t>(rng.below(static_cast<int>(i)))]);
    for (const auto& [name, value] : pairs) {
        c.args.push_back(name);
        c.args.push_back(value);
    }
    if (rng.chance(3))
        c.args.push_back("-code");  // a name without a value
    return c;
}

void addAztecSettings(Rng& rng, std::vector<std::string>& args) {
    static const char* const ODD_LEVELS[] = {"-1", "100", "abc", "23x", " 50"};
    static const char* const ODD_FORMATS[] = {"-3", "36", "99", "x"};
    static const char* const ENCODINGS[] = {"1", "1", "0", "2", "-1", "x"};
    if (rng.chance(60)) {
        args.push_back("-level");
        args.push_back(rng.chance(90) ? std::to_string(rng.between(0, 99)) : rng.pick(ODD_LEVELS));
    }
    if (rng.chance(40)) {
        args.push_back("-format");
        args.push_back(rng.chance(90) ? std::to_string(rng.between(0, 35)) : rng.pick(ODD_FORMATS));
    }
    if (rng.chance(30)) {
        args.push_back("-encoding");
        args.push_back(rng.pick(ENCODINGS));
    }
}

ProgramCase aztecCase(Rng& rng, const std::string& key) {
    ProgramCase c{key, Program::AZTEC, {}, "", false, "out.bmp"};
    addAztecSettings(rng, c.args);
    if (rng.chance(95)) {
        c.args.push_back("-file");
        c.args.push_back("out.bmp");
    } else {
        c.output = "aztec.bmp";
    }
    return c;
}

std::string dataBytes(Rng& rng) {
    const int r = rng.below(100);
    const int length = r < 30 ? rng.between(0, 50) : r < 70 ? rng.between(51, 1000) : r < 90 ? rng.between(1001, 2000)
                                                                                           : rng.between(1900, 2600);
    std::string s;
    switch (rng.below(6)) {
    case 0: s = std::string(static_cast<std::size_t>(length), '\0'); break;
    case 1: s = std::string(static_cast<std::size_t>(length), '\xFF'); break;
    case 2: s = text(rng, UPPER, length); break;
    default:
        for (int i = 0; i < length; ++i)
            s += static_cast<char>(rng.below(256));
    }
    return s;
}

}  // namespace

std::string linearValue(Rng& rng, int symbology, bool unknownAis) {
    const Native n = native(symbology);
    const int r = rng.below(100);
    if (symbology == 16 && r < 50)
        return ean128Value(rng, unknownAis);
    if (symbology == 12 && r < 50)
        return upcEValue(rng);
    if (r < 45)
        return text(rng, n.alphabet, rng.chance(50) ? rng.pick(n.lengths) : rng.between(0, 30));
    if (r < 60)
        return text(rng, DIGITS, rng.between(0, 40));
    if (r < 72)
        return text(rng, printable(), rng.between(0, 30));
    if (r < 84)
        return withEscapes(rng, n.alphabet);
    if (r < 92)
        return rawBytes(rng, rng.between(1, 20));
    return text(rng, n.alphabet, rng.between(100, 500));
}

std::string aztecText(Rng& rng) {
    const std::string all = printable();
    const int r = rng.below(100);
    const int length = r < 70 ? rng.between(0, 60) : r < 95 ? rng.between(61, 1000) : rng.between(1001, 3100);
    switch (rng.below(7)) {
    case 0: return text(rng, UPPER, length);
    case 1: return text(rng, LOWER, length);
    case 2: return text(rng, std::string(UPPER) + std::string(DIGITS) + ".,", length);
    case 3: return text(rng, std::string(LOWER) + std::string(PUNCTUATION) + std::string(DIGITS), length);
    case 4: return rawBytes(rng, length / 4 + 1);
    default: return text(rng, all, length);
    }
}

std::string tildeText(Rng& rng) {
    std::string s;
    const int parts = rng.between(1, 10);
    for (int p = 0; p < parts; ++p) {
        char buf[32];
        switch (rng.below(10)) {
        case 0: s += rng.chance(50) ? "~F" : "~f"; break;
        case 1:
            std::snprintf(buf, sizeof buf, "~E%06d", rng.chance(50) ? rng.between(0, 999999) : rng.between(0, 30));
            s += buf;
            break;
        case 2: s += "~e12"; break;
        case 3:
            std::snprintf(buf, sizeof buf, "~%c%03d", rng.chance(50) ? 'd' : 'D', rng.between(0, 300));
            s += buf;
            break;
        case 4: s += "~~"; break;
        case 5: s += "~Q"; break;
        default: s += text(rng, printable(), rng.between(1, 12)); break;
        }
    }
    if (rng.chance(10))
        s += "~";
    return s;
}

std::vector<std::string> programGroups() {
    std::vector<std::string> groups;
    for (int t = 0; t < 17; ++t) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "barlane.t%02d", t);
        groups.push_back(buf);
    }
    for (const char* g : {"barlane.misc", "aztec.text", "aztec.tilde", "aztec.bytes"})
        groups.push_back(g);
    return groups;
}

std::vector<ProgramCase> programCases(const std::string& group) {
    Rng rng(group);
    std::vector<ProgramCase> cases;
    auto key = [&](std::size_t i) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%03zu", i);
        return group + "/" + buf;
    };
    if (group.rfind("barlane.t", 0) == 0) {
        const int symbology = std::stoi(group.substr(9));
        for (int i = 0; i < CASES_PER_SYMBOLOGY; ++i)
            cases.push_back(barlaneCase(rng, key(cases.size()), symbology, std::to_string(symbology)));
    } else if (group == "barlane.misc") {
        // Types outside the table, types written oddly, no arguments at all.
        static const char* const TYPES[] = {"-1", "17", "99", "13abc", " 10", "+6", "0x0d", "", "2147483648"};
        for (int i = 0; i < 40; ++i)
            cases.push_back(barlaneCase(rng, key(cases.size()), rng.below(17), rng.pick(TYPES)));
        cases.push_back({key(cases.size()), Program::BARLANE, {}, "", false, "barcode.emf"});
    } else if (group == "aztec.text") {
        for (int i = 0; i < 200; ++i) {
            ProgramCase c = aztecCase(rng, key(cases.size()));
            c.args.insert(c.args.begin(), {"-code", aztecText(rng)});
            cases.push_back(c);
        }
        cases.push_back({key(cases.size()), Program::AZTEC, {}, "", false, "aztec.bmp"});
    } else if (group == "aztec.tilde") {
        static const char* const TILDE[] = {"1", "1", "1", "1", "0", "01", "true"};
        for (int i = 0; i < 100; ++i) {
            ProgramCase c = aztecCase(rng, key(cases.size()));
            c.args.insert(c.args.end(), {"-tilde", rng.pick(TILDE), "-code", tildeText(rng)});
            cases.push_back(c);
        }
    } else if (group == "aztec.bytes") {
        for (int i = 0; i < 150; ++i) {
            ProgramCase c = aztecCase(rng, key(cases.size()));
            c.args.insert(c.args.end(), {"-dataFile", "data.bin"});
            if (rng.chance(4))
                c.args.back() = rng.chance(50) ? "missing.bin" : ".";
            c.dataFile = dataBytes(rng);
            c.writeDataFile = true;
            cases.push_back(c);
        }
        // The largest symbol from bytes, as bench/engines.sh measures it.
        ProgramCase largest{key(cases.size()), Program::AZTEC, {"-encoding", "1", "-dataFile", "data.bin", "-file", "out.bmp"},
                            "", true, "out.bmp"};
        std::uint32_t x = 12345;
        for (int i = 0; i < 1914; ++i) {
            x = (x * 1103515245u + 12345u) & 0x7fffffffu;
            largest.dataFile += static_cast<char>((x >> 16) & 0xFF);
        }
        cases.push_back(largest);
    }
    return cases;
}

std::string shown(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        if (c >= 32 && c < 127 && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x", c);
            out += buf;
        }
    }
    return out;
}

}  // namespace golden
