// Output name templates.

#include "OutputNames.h"
#include "Units.h"

#include <cctype>
#include <cstdio>
#include <filesystem>

namespace korvane::cli {
namespace {

constexpr std::size_t MAX_DATA_IN_NAME = 64;
constexpr int MAX_FIELD_WIDTH = 20;

constexpr struct {
    std::string_view name;
    Field field;
} FIELDS[] = {{"n", Field::N}, {"line", Field::Line}, {"data", Field::Data}, {"page", Field::Page},
              {"input", Field::Input}};

}  // namespace

Result<NameTemplate> NameTemplate::parse(std::string_view text) {
    NameTemplate t;
    t.text_ = std::string(text);
    std::string literal;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if ((c == '{' || c == '}') && i + 1 < text.size() && text[i + 1] == c) {
            literal += c;
            ++i;
            continue;
        }
        if (c == '}')
            return invalidOption("the output name has a '}' without its '{'; write }} for a brace");
        if (c != '{') {
            literal += c;
            continue;
        }
        const std::size_t close = text.find('}', i);
        if (close == std::string_view::npos)
            return invalidOption("the output name has a '{' without its '}'; write {{ for a brace");
        const std::string_view inside = text.substr(i + 1, close - i - 1);
        const std::string_view name = inside.substr(0, inside.find(':'));
        Piece p;
        p.isField = true;
        bool known = false;
        for (const auto& f : FIELDS)
            if (f.name == name) {
                p.field = f.field;
                known = true;
            }
        if (!known)
            return invalidOption("the output name has {" + std::string(inside.substr(0, 20)) +
                                 "}; the fields are {n}, {line}, {data}, {input} and {page}");
        if (name.size() < inside.size()) {
            std::string_view spec = inside.substr(name.size() + 1);
            if (p.field == Field::Data || p.field == Field::Input)
                return invalidOption("{" + std::string(name) + "} takes no width");
            if (!spec.empty() && spec[0] == '0') {
                p.zeroPad = true;
                spec.remove_prefix(1);
            }
            if (spec.empty() || spec.size() > 2)
                return invalidOption("the width in {" + std::string(inside.substr(0, 20)) +
                                     "} is not a number up to 20");
            for (char d : spec)
                if (!std::isdigit(static_cast<unsigned char>(d)))
                    return invalidOption("the width in {" + std::string(inside.substr(0, 20)) + "} is not a number");
            p.width = std::stoi(std::string(spec));
            if (p.width > MAX_FIELD_WIDTH)
                return invalidOption("the width in {" + std::string(inside) + "} is over 20");
        }
        if (!literal.empty()) {
            Piece l;
            l.literal = std::move(literal);
            t.pieces_.push_back(std::move(l));
            literal.clear();
        }
        t.pieces_.push_back(p);
        i = close;
    }
    if (!literal.empty()) {
        Piece l;
        l.literal = std::move(literal);
        t.pieces_.push_back(std::move(l));
    }
    return t;
}

std::string NameTemplate::expand(const NameFields& f, bool rawData) const {
    std::string out;
    for (const Piece& p : pieces_) {
        if (!p.isField) {
            out += p.literal;
            continue;
        }
        if (p.field == Field::Data || p.field == Field::Input) {
            const std::string_view v = p.field == Field::Input && !f.input.empty() ? f.input : f.data;
            out += rawData ? std::string(v) : safeForFileName(v);
            continue;
        }
        const long long v = p.field == Field::N ? f.n : p.field == Field::Line ? f.line : f.page;
        char buf[48];
        std::snprintf(buf, sizeof buf, p.zeroPad ? "%0*lld" : "%*lld", p.width, v);
        out += buf;
    }
    return out;
}

bool NameTemplate::uses(Field f) const {
    for (const Piece& p : pieces_)
        if (p.isField && p.field == f)
            return true;
    return false;
}

bool NameTemplate::hasFields() const {
    for (const Piece& p : pieces_)
        if (p.isField)
            return true;
    return false;
}

std::string safeForFileName(std::string_view data) {
    std::string out;
    for (char c : data.substr(0, MAX_DATA_IN_NAME)) {
        const bool keep = std::isalnum(static_cast<unsigned char>(c)) != 0 && static_cast<unsigned char>(c) < 128;
        out += keep || c == '-' || c == '_' || c == '.' || c == '+' || c == '=' ? c : '_';
    }
    if (!out.empty() && out[0] == '.')
        out[0] = '_';
    return out.empty() ? "_" : out;
}

std::string withPageNumber(const std::string& path, long long page) {
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.rfind('.');
    const std::string suffix = "-" + std::to_string(page);
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash) ||
        dot == (slash == std::string::npos ? 0 : slash + 1))
        return path + suffix;
    return path.substr(0, dot) + suffix + path.substr(dot);
}

std::string canonicalName(const std::string& path) {
    return std::filesystem::path(path).lexically_normal().string();
}

}  // namespace korvane::cli
