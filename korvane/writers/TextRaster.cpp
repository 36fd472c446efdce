// Glyphs of the raster formats through FreeType.
//
// FreeType faces are not safe to share between threads, and opening a face
// and rendering a glyph cost far more than the rest of a small PNG. Faces and
// rendered glyphs are therefore kept in one cache guarded by a mutex: a call
// holds it while it looks up (or renders) the glyphs of its text, then places
// them without it.

#include "writers/TextRaster.h"

#include "fonts/EmbeddedFonts.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <mutex>
#include <tuple>

namespace korvane::writers {
namespace {

// Largest em rendered, in pixels: beyond it a single glyph would be tens of
// megabytes, and nothing a layout makes comes near.
constexpr double MAX_EM_PIXELS = 4096;
// Glyph bitmaps one call renders at most: four times the canvas, and at least
// 16 MiB. A hostile drawing (thousands of characters at a huge size on a small
// canvas) gets part of its text, not all memory.
constexpr std::size_t MIN_TEXT_BYTES = 16 * 1024 * 1024;

// What the cache keeps of a glyph.
struct Glyph {
    std::shared_ptr<const GlyphBitmap> bitmap;  // null for an empty glyph (a space)
    int left = 0;                               // bitmap's offset from the pen, x right
    int top = 0;                                // and y up from the baseline
    double advance = 0;                         // pixels along the baseline
    bool missing = false;                       // neither face has the character: .notdef drawn
};

std::string upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    return s;
}

// The turned copy of a bitmap; `rotation` is 90, 180 or 270 degrees clockwise.
std::shared_ptr<const GlyphBitmap> turned(const GlyphBitmap& b, int rotation) {
    auto out = std::make_shared<GlyphBitmap>();
    const bool swap = rotation != 180;
    out->width = swap ? b.height : b.width;
    out->height = swap ? b.width : b.height;
    out->coverage.resize(b.coverage.size());
    for (int j = 0; j < b.height; ++j)
        for (int i = 0; i < b.width; ++i) {
            int x, y;
            switch (rotation) {
            case 90: x = b.height - 1 - j; y = i; break;
            case 180: x = b.width - 1 - i; y = b.height - 1 - j; break;
            default: x = j; y = b.width - 1 - i; break;
            }
            out->coverage[static_cast<std::size_t>(y) * out->width + x] =
                b.coverage[static_cast<std::size_t>(j) * b.width + i];
        }
    return out;
}

// Glyphs bigger than this are rendered for the call and not kept.
constexpr std::size_t MAX_CACHED_GLYPH_BYTES = 64 * 1024;
constexpr std::size_t MAX_CACHE_BYTES = 16 * 1024 * 1024;
constexpr std::size_t MAX_FACES = 16;

class FontCache {
public:
    ~FontCache() {
        for (auto& entry : faces_)
            FT_Done_Face(entry.second);
        for (FT_Face f : {ocrb_, sans_})
            if (f != nullptr)
                FT_Done_Face(f);
        if (library_ != nullptr)
            FT_Done_FreeType(library_);
    }

    std::mutex& mutex() { return mutex_; }

    // The face of a font file, loaded once; null when it cannot be loaded
    // (tried again next time: the file may appear). Needs the mutex. Loading a
    // face beyond MAX_FACES closes the other files' faces first, so callers
    // that name many font files keep a bounded number open; a caller holds no
    // other file's face while it asks for another.
    FT_Face face(const std::string& path) {
        auto it = faces_.find(path);
        if (it != faces_.end())
            return it->second;
        if (!started())
            return nullptr;
        FT_Face f = nullptr;
        if (FT_New_Face(library_, path.c_str(), 0, &f) != 0 || !unicode(f))
            return nullptr;
        if (faces_.size() >= MAX_FACES) {
            glyphs_.clear();  // keyed by the faces about to close
            cachedBytes_ = 0;
            for (auto& entry : faces_)
                FT_Done_Face(entry.second);
            faces_.clear();
        }
        faces_[path] = f;
        return f;
    }

    // The faces built into the library, loaded once and kept; null only when
    // FreeType cannot start. Need the mutex.
    FT_Face ocrb() { return builtIn(ocrb_, fonts::OCRB); }
    FT_Face sans() { return builtIn(sans_, fonts::SANS); }

    // The glyph of `c` at `em` pixels (26.6), from `primary` or else
    // `fallback` where the primary face has no such character. Needs the mutex.
    Glyph glyph(FT_Face primary, FT_Face fallback, long em, char32_t c) {
        const Key key{primary, fallback, em, c};
        auto it = glyphs_.find(key);
        if (it != glyphs_.end())
            return it->second;
        Glyph g = render(primary, fallback, em, c);
        const std::size_t bytes = g.bitmap ? g.bitmap->coverage.size() : 0;
        if (bytes <= MAX_CACHED_GLYPH_BYTES) {
            if (cachedBytes_ + bytes + 64 > MAX_CACHE_BYTES) {
                glyphs_.clear();
                cachedBytes_ = 0;
            }
            glyphs_.emplace(key, g);
            cachedBytes_ += bytes + 64;
        }
        return g;
    }

private:
    using Key = std::tuple<FT_Face, FT_Face, long, char32_t>;

    bool started() {
        if (library_ == nullptr && FT_Init_FreeType(&library_) != 0)
            library_ = nullptr;
        return library_ != nullptr;
    }

    // Takes the face if it maps Unicode, else closes it.
    static bool unicode(FT_Face f) {
        if (FT_Select_Charmap(f, FT_ENCODING_UNICODE) == 0)
            return true;
        FT_Done_Face(f);
        return false;
    }

    FT_Face builtIn(FT_Face& slot, const fonts::EmbeddedFont& font) {
        if (slot == nullptr && started()) {
            FT_Face f = nullptr;
            if (FT_New_Memory_Face(library_, font.bytes, static_cast<FT_Long>(font.size), 0, &f) == 0 && unicode(f))
                slot = f;
        }
        return slot;
    }

    static Glyph render(FT_Face primary, FT_Face fallback, long em, char32_t c) {
        FT_Face face = primary;
        FT_UInt index = FT_Get_Char_Index(primary, c);
        if (index == 0 && fallback != nullptr && fallback != primary) {
            const FT_UInt other = FT_Get_Char_Index(fallback, c);
            if (other != 0) {
                face = fallback;
                index = other;
            }
        }
        Glyph g;
        g.missing = index == 0;
        if (FT_Set_Char_Size(face, 0, em, 72, 72) != 0 ||
            FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0)
            return g;
        const FT_GlyphSlot slot = face->glyph;
        g.advance = static_cast<double>(slot->linearHoriAdvance) / 65536.0;
        g.left = slot->bitmap_left;
        g.top = slot->bitmap_top;
        const FT_Bitmap& bm = slot->bitmap;
        if (bm.width == 0 || bm.rows == 0 || bm.pixel_mode != FT_PIXEL_MODE_GRAY)
            return g;
        auto bitmap = std::make_shared<GlyphBitmap>();
        bitmap->width = static_cast<int>(bm.width);
        bitmap->height = static_cast<int>(bm.rows);
        bitmap->coverage.resize(static_cast<std::size_t>(bm.width) * bm.rows);
        for (unsigned row = 0; row < bm.rows; ++row) {
            const unsigned char* src = bm.buffer + static_cast<std::ptrdiff_t>(row) * bm.pitch;
            std::copy(src, src + bm.width, bitmap->coverage.begin() + static_cast<std::ptrdiff_t>(row) * bm.width);
        }
        g.bitmap = std::move(bitmap);
        return g;
    }

    std::mutex mutex_;
    FT_Library library_ = nullptr;
    FT_Face ocrb_ = nullptr;
    FT_Face sans_ = nullptr;
    std::map<std::string, FT_Face> faces_;
    std::map<Key, Glyph> glyphs_;
    std::size_t cachedBytes_ = 0;
};

FontCache& cache() {
    static FontCache instance;
    return instance;
}

// Places a run's glyphs on the canvas: `pens` are the pen positions along the
// baseline from the run's start, in pixels.
void place(const TextRun& t, const std::vector<Glyph>& glyphs, const std::vector<double>& pens, double length,
           const Drawing& d, std::vector<PlacedGlyph>& out) {
    const int rotation = normalRotation(t.rotation);
    const Direction dir = direction(rotation);
    const double back = t.anchor == Anchor::Start ? 0 : t.anchor == Anchor::Middle ? length / 2 : length;
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        const Glyph& g = glyphs[i];
        if (!g.bitmap)
            continue;
        const double along = pens[i] - back;
        const double bx = std::round(t.x + along * dir.cos);
        const double by = std::round(t.y + along * dir.sin);
        if (std::fabs(bx) > 1e9 || std::fabs(by) > 1e9)
            continue;
        const long long w = g.bitmap->width, h = g.bitmap->height;
        const long long x = static_cast<long long>(bx), y = static_cast<long long>(by);
        long long left, top;
        switch (rotation) {
        case 90: left = x + g.top - h; top = y + g.left; break;
        case 180: left = x - g.left - w; top = y + g.top - h; break;
        case 270: left = x - g.top; top = y - g.left - w; break;
        default: left = x + g.left; top = y - g.top; break;
        }
        const long long width = rotation % 180 == 0 ? w : h, height = rotation % 180 == 0 ? h : w;
        if (left >= d.width || top >= d.height || left + width <= 0 || top + height <= 0)
            continue;
        PlacedGlyph p;
        p.left = static_cast<int>(left);
        p.top = static_cast<int>(top);
        p.bitmap = rotation == 0 ? g.bitmap : turned(*g.bitmap, rotation);
        out.push_back(std::move(p));
    }
}

}  // namespace

RasterText rasterizeText(const Drawing& d, const WriteOptions& options, const char* format) {
    RasterText result;
    bool any = false;
    for (const TextRun& t : d.texts)
        any = any || drawable(t);
    if (!any)
        return result;
    FontCache& fonts = cache();
    char32_t missing = 0;  // the first character no font has
    std::vector<std::vector<Glyph>> runs(d.texts.size());
    std::size_t textBytes = 0;
    const std::size_t maxTextBytes =
        std::max(MIN_TEXT_BYTES, 4 * static_cast<std::size_t>(std::max(d.width, 0)) * static_cast<std::size_t>(std::max(d.height, 0)));
    {
        std::lock_guard<std::mutex> lock(fonts.mutex());
        FT_Face custom = nullptr;
        if (!options.fontFile.empty()) {
            custom = fonts.face(options.fontFile);
            if (custom == nullptr)
                result.warnings.push_back("the font file \"" + options.fontFile +
                                          "\" could not be loaded; the built-in fonts are used");
        }
        // Characters OCR-B lacks come from DejaVu Sans; a font file stands alone.
        const FT_Face sans = custom ? custom : fonts.sans();
        const FT_Face ocrb = custom ? custom : fonts.ocrb();
        if (sans == nullptr || ocrb == nullptr) {
            result.warnings.push_back("no font could be loaded; the " + upper(format) + " has no text");
            return result;
        }
        for (std::size_t k = 0; k < d.texts.size(); ++k) {
            const TextRun& t = d.texts[k];
            if (!drawable(t))
                continue;
            const FT_Face primary = t.font == Font::OcrB ? ocrb : sans;
            const long em = std::lround(std::min(t.size, MAX_EM_PIXELS) * 64);
            if (em < 1)
                continue;
            for (char32_t c : codePoints(t.text)) {
                if (textBytes > maxTextBytes)
                    break;
                runs[k].push_back(fonts.glyph(primary, sans, em, c));
                if (runs[k].back().missing && missing == 0)
                    missing = c;
                if (runs[k].back().bitmap)
                    textBytes += runs[k].back().bitmap->coverage.size();
            }
        }
    }
    if (missing != 0) {
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(missing));
        result.warnings.push_back(std::string("the fonts have no glyph for ") + code + "; the " + upper(format) +
                                  " shows a box in its place");
    }
    if (textBytes > maxTextBytes)
        result.warnings.push_back("the text is too large to draw whole; the " + upper(format) + " leaves part of it out");
    for (std::size_t k = 0; k < d.texts.size(); ++k) {
        if (runs[k].empty())
            continue;
        std::vector<double> pens;
        double pen = 0;
        for (const Glyph& g : runs[k]) {
            pens.push_back(pen);
            pen += g.advance;
        }
        place(d.texts[k], runs[k], pens, pen, d, result.glyphs);
    }
    return result;
}

}  // namespace korvane::writers
