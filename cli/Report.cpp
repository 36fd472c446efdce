// JSON reports, written with nlohmann::json so every byte is escaped correctly.

#include "Report.h"

#include "Settings.h"

#include <korvane/Facts.h>
#include <nlohmann/json.hpp>

#include <cmath>

namespace korvane::cli {
namespace {

using nlohmann::json;

bool validUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra;
        std::uint32_t cp;
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
            cp = c & 0x1F;
        } else if ((c >> 4) == 0xE) {
            extra = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + static_cast<std::size_t>(extra) >= s.size())
            return false;
        for (int k = 1; k <= extra; ++k) {
            const unsigned char cc = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
            if ((cc >> 6) != 0x2)
                return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
        if ((extra == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
            (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)))
            return false;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

std::string hex(std::string_view s) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(s.size() * 2);
    for (char c : s) {
        out += digits[static_cast<unsigned char>(c) >> 4];
        out += digits[static_cast<unsigned char>(c) & 15];
    }
    return out;
}

// A byte string as a JSON string; when it is not UTF-8, its bytes as Latin-1
// and a "<key>Hex" field beside it.
void putText(json& o, const char* key, std::string_view s) {
    if (validUtf8(s)) {
        o[key] = std::string(s);
        return;
    }
    std::string latin1;
    for (char c : s) {
        const unsigned char b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            latin1 += c;
        } else {
            latin1 += static_cast<char>(0xC0 | (b >> 6));
            latin1 += static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    o[key] = latin1;
    o[std::string(key) + "Hex"] = hex(s);
}

// Rounded to `places` decimals; dividing last gives the double nearest the
// decimal, which prints without binary noise.
double rounded(double v, int places = 4) {
    const double scale = std::pow(10.0, places);
    return std::round(v * scale) / scale;
}

double dotsToMm(double dots, double dpi) { return dpi > 0 ? rounded(dots * 25.4 / dpi) : 0; }

void putFacts(json& o, const std::vector<Fact>& facts);

// One fact under `key`; text that is not UTF-8 gets its "<key>Hex" beside it.
void putFact(json& o, const std::string& key, const Fact& f) {
    switch (f.kind) {
    case Fact::Kind::Integer: o[key] = f.integer; break;
    case Fact::Kind::Boolean: o[key] = f.integer != 0; break;
    case Fact::Kind::Real: o[key] = rounded(f.real, 2); break;
    case Fact::Kind::Text:
    case Fact::Kind::Bytes: putText(o, key.c_str(), f.text); break;
    case Fact::Kind::List: {
        json items = json::array();
        for (const Fact& item : f.items) {
            json one;
            putFact(one, "item", item);
            items.push_back(one["item"]);
        }
        o[key] = items;
        break;
    }
    case Fact::Kind::Record: {
        json record = json::object();
        putFacts(record, f.items);
        o[key] = record;
        break;
    }
    }
}

void putFacts(json& o, const std::vector<Fact>& facts) {
    for (const Fact& f : facts)
        if (f.shownIn(REPORT_VIEW))
            putFact(o, factName(f.name, NameStyle::Camel), f);
}

void addSymbolFacts(json& o, const Made& m) {
    const Symbol& s = m.symbol;
    const Drawing& d = m.drawing;
    const SymbologyInfo& info = symbologyInfo(s.symbology);
    o["symbology"] = std::string(info.name);
    o["title"] = std::string(info.title);
    const double x = d.moduleDots > 0 ? d.moduleDots : 1;
    if (s.isMatrix() && s.moduleAspect == 1)
        o["modules"] = {{"width", s.columns}, {"height", s.rows}};
    else if (s.isMatrix())  // rows several modules tall (PDF417)
        o["modules"] = {{"width", s.columns}, {"height", rounded(s.rows * s.moduleAspect, 2)}};
    else
        o["modules"] = {{"width", s.widthModules}, {"height", rounded(d.symbolBox.height / x, 2)}};
    o["symbolMm"] = {{"width", dotsToMm(d.symbolBox.width, d.dpi)}, {"height", dotsToMm(d.symbolBox.height, d.dpi)}};
    o["drawingMm"] = {{"width", rounded(d.widthMm())}, {"height", rounded(d.heightMm())}};
    o["drawingDots"] = {{"width", d.width}, {"height", d.height}};
    o["dpi"] = d.dpi;
    o["xMm"] = rounded(d.xMm);
    o["xDots"] = d.moduleDots;
    o["barReductionDots"] = d.barReductionDots;
    o["rotation"] = d.rotation;
    o["quietZones"] = {
        {"modules",
         {{"left", rounded(d.quietLeft / x, 2)},
          {"right", rounded(d.quietRight / x, 2)},
          {"top", rounded(d.quietTop / x, 2)},
          {"bottom", rounded(d.quietBottom / x, 2)}}},
        {"mm",
         {{"left", dotsToMm(d.quietLeft, d.dpi)},
          {"right", dotsToMm(d.quietRight, d.dpi)},
          {"top", dotsToMm(d.quietTop, d.dpi)},
          {"bottom", dotsToMm(d.quietBottom, d.dpi)}}},
    };
    putFacts(o, factsRecord(s));
}

}  // namespace

std::string jsonReport(const ReportEntry& e) {
    json o;
    if (e.line > 0) {
        o["line"] = e.line;
        o["n"] = e.n;
    }
    putText(o, "input", e.input);
    o["status"] = e.status;
    o["written"] = !e.file.empty();
    if (!e.file.empty()) {
        putText(o, "file", e.file);
        o["format"] = e.format;
        if (e.page > 0)
            o["page"] = e.page;
        else if (e.made)
            o["bytes"] = e.made->bytes.size();
    }
    if (e.made) {
        addSymbolFacts(o, *e.made);
        json warnings = json::array();
        for (const std::string& w : e.made->warnings) {
            json one;
            putText(one, "w", w);
            warnings.push_back(one["w"]);
        }
        o["warnings"] = warnings;
        if (e.made->verdict) {
            const Verdict& v = *e.made->verdict;
            json verdict = {{"ok", v.ok}};
            putText(verdict, "read", v.read);
            putText(verdict, "reason", v.reason);
            verdict["firstDifference"] = v.firstDifference;
            if (v.zxingRan) {
                json z = {{"agrees", v.zxingAgrees}};
                putText(z, "read", v.zxingRead);
                verdict["zxing"] = z;
            }
            o["verify"] = verdict;
        }
        if (e.made->quality) {
            const QualityGrade& q = *e.made->quality;
            auto parameters = [](const std::vector<QualityParameter>& list) {
                json out = json::array();
                for (const QualityParameter& p : list) {
                    json one = {{"name", p.name}, {"value", p.value}, {"grade", std::string(1, gradeLetter(p.grade))}};
                    if (p.informative)
                        one["informative"] = true;
                    out.push_back(one);
                }
                return out;
            };
            json g = {{"graded", q.graded},       {"standard", q.standard},   {"grade", q.grade},
                      {"letter", std::string(1, q.letter)}, {"text", q.text}, {"aperture", q.aperture},
                      {"wavelength", q.wavelength}};
            putText(g, "reason", q.reason);
            g["printer"] = {{"name", q.profile.name}, {"dpi", q.profile.dpi}, {"dotGain", q.profile.dotGain},
                            {"blur", q.profile.blur}};
            g["parameters"] = parameters(q.parameters);
            json scans = json::array();
            for (const ScanGrade& s : q.scans)
                scans.push_back({{"grade", s.grade}, {"parameters", parameters(s.parameters)}});
            if (!q.scans.empty())
                g["scans"] = scans;
            o["grade"] = g;
        }
    }
    if (e.error) {
        json err = {{"code", errorCodeName(e.error->code)}};
        putText(err, "message", e.error->message);
        o["error"] = err;
    }
    return o.dump(-1, ' ', false, json::error_handler_t::replace) + "\n";
}

std::string jsonSymbologyList() {
    json list = json::array();
    const SymbologyInfo* all = allSymbologies();
    for (int i = 0; i < SYMBOLOGY_COUNT; ++i) {
        const SymbologyInfo& s = all[i];
        json aliases = json::array();
        for (std::string_view a : s.aliases)
            if (!a.empty())
                aliases.push_back(std::string(a));
        const char* check = s.check == CheckRule::None         ? "none"
                            : s.check == CheckRule::Optional   ? "optional"
                            : s.check == CheckRule::OptionalOn ? "optional, on by default"
                                                               : "always";
        list.push_back({{"name", std::string(s.name)},
                        {"title", std::string(s.title)},
                        {"aliases", aliases},
                        {"characters", std::string(s.characters)},
                        {"check", check},
                        {"matrix", s.matrix},
                        {"capabilities", capabilityNames(s)},
                        {"defaultXMm", s.defaultXMm},
                        {"maxDataBytes", s.maxDataBytes},
                        {"options", optionsFor(s.id)}});
    }
    return list.dump(2) + "\n";
}

}  // namespace korvane::cli
