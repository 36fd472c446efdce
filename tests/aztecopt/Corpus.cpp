#include "Corpus.h"

#include <ZXing/BitMatrix.h>
#include <ZXing/MultiFormatWriter.h>

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>

namespace aztecopt {

namespace {

// std::mt19937 is specified to the bit; the distributions are not, so picks
// are taken modulo by hand.
class Picker {
public:
    explicit Picker(unsigned seed) : rng(seed) {}
    int below(int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); }
    template <typename T, std::size_t N>
    const T& of(const T (&pool)[N]) {
        return pool[below(static_cast<int>(N))];
    }

private:
    std::mt19937 rng;
};

const char* const WORDS[] = {
    "the",   "of",      "and",    "to",      "in",     "is",     "was",    "for",    "that",   "with",
    "on",    "as",      "by",     "at",      "from",   "his",    "her",    "they",   "which",  "this",
    "label", "parcel",  "order",  "invoice", "stock",  "item",   "batch",  "serial", "north",  "river",
    "quick", "brown",   "fox",    "lazy",    "dog",    "jumps",  "over",   "market", "street", "harbour",
    "paper", "printer", "module", "symbol",  "reader", "camera", "window", "letter", "number", "warehouse",
};
const char* const NAMES[] = {"Berlin", "Paris",  "Oslo", "Lima",  "Tokyo", "Quebec", "Dakar",
                             "Alice",  "Bob",    "Chen", "Dana",  "Emeka", "Farah",  "ACME",
                             "IBM",    "NASA",   "ISO",  "DHL",   "USB",   "HTTP",   "PDF"};
const char* const PUNCT[] = {", ", ". ", "; ", ": ", "! ", "? ", " - ", " (", ") ", " & ", " / ", "\r\n", " #", " @"};
const char* const LATIN1_WORDS[] = {
    "caf\xe9",         "cr\xe8me",     "br\xfbl\xe9" "e", "na\xefve",      "fa\xe7" "ade", "\xe0",
    "gar\xe7on",       "No\xebl",      "\xfc" "ber",      "sch\xf6n",      "Stra\xdf" "e",  "M\xe4" "dchen",
    "Gr\xfc\xdf" "e",  "ma\xf1" "ana", "espa\xf1ol",      "coraz\xf3n",    "ni\xf1o",       "S\xe3o",
    "Paulo",           "p\xe1gina",    "\xbfqu\xe9",      "\xa1" "hola", "\xe9t\xe9",     "h\xf4tel",
    "for\xeat",        "d\xe9j\xe0",   "Z\xfcrich",       "K\xf6ln",       "\xc5sa",        "\xd8resund",
    "le",              "la",           "und",             "der",           "el",            "de",
    "et",              "mit",          "f\xfcr",          "tr\xe8s",
};
const char* const TLDS[] = {"com", "org", "net", "de", "co.uk", "io", "fr"};
const char* const HOSTS[] = {"www.example", "shop.acme", "api.data-service", "files.archive", "m.news", "go"};

std::string sentence(Picker& p, bool capital) {
    std::string s;
    const int words = 4 + p.below(12);
    for (int i = 0; i < words; ++i) {
        std::string w = p.below(8) == 0 ? p.of(NAMES) : p.of(WORDS);
        if (i == 0 && capital)
            w[0] = static_cast<char>(w[0] >= 'a' && w[0] <= 'z' ? w[0] - 32 : w[0]);
        s += (i > 0 ? (p.below(10) == 0 ? ", " : " ") : "") + w;
    }
    return s + (p.below(6) == 0 ? "? " : ". ");
}

std::string mixed(Picker& p, int length) {
    std::string s;
    while (static_cast<int>(s.size()) < length) {
        switch (p.below(7)) {
        case 0: s += p.of(NAMES); break;
        case 1: s += std::to_string(p.below(100000)); break;
        case 2: s += p.of(PUNCT); break;
        case 3: {
            std::string w = p.of(WORDS);
            for (char& c : w)
                c = static_cast<char>(c - 32);
            s += w;
            break;
        }
        default: s += p.of(WORDS);
        }
        if (p.below(3) != 0)
            s += ' ';
    }
    return s.substr(0, static_cast<std::size_t>(length));
}

std::string url(Picker& p) {
    std::string s = p.below(4) == 0 ? "http://" : "https://";
    s += p.of(HOSTS) + std::string(".") + p.of(TLDS);
    const int segments = p.below(5);
    for (int i = 0; i < segments; ++i)
        s += "/" + std::string(p.of(WORDS)) + (p.below(3) == 0 ? std::to_string(p.below(1000)) : "");
    if (p.below(2) == 0) {
        s += "?id=" + std::to_string(p.below(10000000)) + "&lang=" + (p.below(2) == 0 ? "en" : "de-AT");
        if (p.below(2) == 0)
            s += "&ref=" + std::string(p.of(NAMES)) + "_" + std::to_string(p.below(99));
    }
    return s;
}

std::string digits(Picker& p, int n) {
    std::string s;
    for (int i = 0; i < n; ++i)
        s += static_cast<char>('0' + p.below(10));
    return s;
}

// A GS1 element string: fixed-length fields run on, a variable-length field
// is followed by FNC1 (GS) unless it ends the data.
void gs1(Picker& p, CorpusEntry& e) {
    struct Field {
        const char* ai;
        int length;  // fixed length, or 0 for variable (up to 20)
        bool alpha;
    };
    static const Field FIELDS[] = {{"01", 14, false}, {"17", 6, false},   {"10", 0, true},   {"21", 0, true},
                                   {"3103", 6, false}, {"400", 0, true},  {"00", 18, false}, {"11", 6, false},
                                   {"240", 0, true},   {"8004", 0, true}, {"392", 0, false}, {"15", 6, false}};
    const char* const ALNUM = "ABCDEFGHJKLMNPQRSTUVWXYZ0123456789-/";
    const int count = 2 + p.below(5);
    e.data = "~F";
    for (int i = 0; i < count; ++i) {
        const Field& f = p.of(FIELDS);
        std::string value;
        const int length = f.length > 0 ? f.length : 3 + p.below(18);
        for (int k = 0; k < length; ++k)
            value += f.alpha && p.below(2) == 0 ? ALNUM[p.below(36)] : static_cast<char>('0' + p.below(10));
        e.data += f.ai + value;
        e.content += f.ai + value;
        e.zintGs1 += "[" + std::string(f.ai) + "]" + value;
        if (f.length == 0 && i + 1 < count) {
            e.data += "~F";
            e.content += '\x1d';
        }
    }
    e.escapes = true;
}

}  // namespace

std::vector<CorpusEntry> aztecCorpus() {
    std::vector<CorpusEntry> corpus;
    Picker p(24778);
    const auto add = [&](const char* kind, std::string data) {
        CorpusEntry e;
        e.kind = kind;
        e.content = data;
        e.data = std::move(data);
        corpus.push_back(std::move(e));
    };
    // Forty inputs of each kind. Texts, digits and bytes take the same
    // lengths, 8 to 1,200 in even steps of ratio; URLs and GS1 element strings
    // are as long as they come.
    constexpr int PER_KIND = 40;
    int lengths[PER_KIND];
    for (int i = 0; i < PER_KIND; ++i)
        lengths[i] = static_cast<int>(std::lround(8.0 * std::pow(150.0, i / (PER_KIND - 1.0))));
    const auto cut = [](std::string s, int n) { return s.substr(0, static_cast<std::size_t>(n)); };
    for (int n : lengths)
        add("mixed", mixed(p, n));
    for (int n : lengths) {
        std::string s;
        while (static_cast<int>(s.size()) < n)
            s += sentence(p, true);
        add("prose", cut(s, n));
    }
    for (int i = 0; i < PER_KIND; ++i)
        add("url", url(p));
    for (int i = 0; i < PER_KIND; ++i) {
        CorpusEntry e;
        e.kind = "gs1";
        gs1(p, e);
        corpus.push_back(e);
    }
    for (int i = 0; i < PER_KIND; ++i) {
        std::string s = digits(p, lengths[i]);
        if (i % 3 == 1)  // grouped, as on invoices and meter readings
            for (std::size_t k = 4; k < s.size(); k += 5)
                s[k] = i % 2 == 0 ? ' ' : '-';
        add("digits", s);
    }
    for (int n : lengths) {
        std::string s;
        for (int k = 0; k < n; ++k)
            s += static_cast<char>(p.below(256));
        add("bytes", s);
    }
    for (int n : lengths) {
        std::string s;
        while (static_cast<int>(s.size()) < n) {
            std::string w = p.of(LATIN1_WORDS);
            if (p.below(5) == 0)
                w[0] = static_cast<char>(w[0] >= 'a' && w[0] <= 'z' ? w[0] - 32 : w[0]);
            s += w + (p.below(7) == 0 ? ", " : p.below(12) == 0 ? ". " : " ");
        }
        add("latin1", cut(s, n));
    }
    return corpus;
}

namespace {

// Reads layers and data codewords from the mode message around the finder;
// a full-range symbol has a dark ring 6 modules out, a compact one does not.
void readModeMessage(PeerSymbol& p) {
    const int c = p.side / 2;
    const auto dark = [&](int x, int y) {
        return p.rows[static_cast<std::size_t>(c + y)][static_cast<std::size_t>(c + x)] == '1';
    };
    bool ring = true;
    for (int k = -6; k <= 6; ++k)
        ring = ring && dark(k, -6) && dark(k, 6) && dark(-6, k) && dark(6, k);
    p.compact = p.side <= 27 && !ring;
    std::vector<int> bits;
    if (p.compact) {
        for (int k = -3; k <= 3; ++k)
            bits.push_back(dark(k, -5));
        for (int k = -3; k <= 3; ++k)
            bits.push_back(dark(5, k));
    } else {
        for (int k = -5; k <= 5; ++k)
            if (k != 0)
                bits.push_back(dark(k, -7));
        for (int k = -5; k <= 5; ++k)
            if (k != 0)
                bits.push_back(dark(7, k));
    }
    const int layerBits = p.compact ? 2 : 5;
    const int countBits = p.compact ? 6 : 11;
    int layers = 0, count = 0;
    for (int i = 0; i < layerBits; ++i)
        layers = layers * 2 + bits[static_cast<std::size_t>(i)];
    for (int i = 0; i < countBits; ++i)
        count = count * 2 + bits[static_cast<std::size_t>(layerBits + i)];
    p.layers = layers + 1;
    p.dataCodewords = count + 1;
}

}  // namespace

PeerSymbol readSymbol(std::vector<std::string> rows) {
    PeerSymbol p;
    p.side = static_cast<int>(rows.size());
    p.rows = std::move(rows);
    if (p.side >= 15)
        readModeMessage(p);
    return p;
}

PeerSymbol zintSymbol(const std::string& zintExe, const CorpusEntry& e, int secure) {
    PeerSymbol p;
    char path[] = "/tmp/aztecopt-zint-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0)
        return p;
    close(fd);
    {
        std::ofstream out(path, std::ios::binary);
        out << (e.zintGs1.empty() ? e.data : e.zintGs1);
    }
    const std::string command = zintExe + " -b 92 --secure=" + std::to_string(secure) + " --dump " +
                                (e.zintGs1.empty() ? "--binary" : "--gs1 --gs1nocheck") + " -i " + path +
                                " 2>/dev/null";
    if (FILE* pipe = popen(command.c_str(), "r")) {
        // One line per row: the modules as hexadecimal digits, four to a digit.
        char line[1024];
        while (std::fgets(line, sizeof line, pipe) != nullptr) {
            std::string bits;
            for (const char* s = line; *s != '\0'; ++s) {
                const char digit[2] = {*s, '\0'};
                if (std::isxdigit(static_cast<unsigned char>(*s)) == 0)
                    continue;
                const long v = std::strtol(digit, nullptr, 16);
                for (int b = 3; b >= 0; --b)
                    bits += (v >> b & 1) != 0 ? '1' : '0';
            }
            p.rows.push_back(bits);
        }
        if (pclose(pipe) != 0)
            p.rows.clear();
    }
    std::remove(path);
    p.side = static_cast<int>(p.rows.size());
    if (p.side == 0)
        return p;
    for (std::string& r : p.rows)
        r.resize(static_cast<std::size_t>(p.side));
    readModeMessage(p);
    return p;
}

PeerSymbol zxingSymbol(const std::string& content, int eccLevel) {
    PeerSymbol p;
    std::wstring wide;
    for (char c : content)
        wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
    try {
        const ZXing::BitMatrix m =
            ZXing::MultiFormatWriter(ZXing::BarcodeFormat::Aztec).setEccLevel(eccLevel).setMargin(0).encode(wide, 0, 0);
        p.side = m.width();
        for (int y = 0; y < m.height(); ++y) {
            std::string row;
            for (int x = 0; x < m.width(); ++x)
                row += m.get(x, y) ? '1' : '0';
            p.rows.push_back(row);
        }
    } catch (...) {
        return p;
    }
    readModeMessage(p);
    return p;
}

}  // namespace aztecopt
