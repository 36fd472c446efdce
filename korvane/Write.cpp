// Format names, and the dispatch from a format to its writer; the writers
// themselves are in writers/, one file per format.

#include "korvane/Write.h"
#include "base/Text.h"
#include "writers/Writers.h"

#include <iterator>
#include <string>

namespace korvane {
namespace {

constexpr struct {
    Format format;
    const char* name;
    const char* mime;
} FORMATS[] = {
    {Format::Svg, "svg", "image/svg+xml"},     {Format::Pdf, "pdf", "application/pdf"},
    {Format::Eps, "eps", "application/postscript"}, {Format::Png, "png", "image/png"},
    {Format::Emf, "emf", "image/emf"},         {Format::Bmp, "bmp", "image/bmp"},
};

}  // namespace

std::optional<Format> findFormat(std::string_view name) {
    if (!name.empty() && name[0] == '.')
        name.remove_prefix(1);
    const std::string lower = detail::lowerCase(name);
    for (const auto& f : FORMATS)
        if (lower == f.name)
            return f.format;
    return std::nullopt;
}

std::optional<Format> formatForPath(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.find_last_of("/\\");
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return std::nullopt;
    return findFormat(path.substr(dot + 1));
}

const char* formatName(Format f) { return FORMATS[static_cast<int>(f)].name; }
const char* formatMimeType(Format f) { return FORMATS[static_cast<int>(f)].mime; }

Result<Written> writePdfPages(const std::vector<Drawing>& pages, const WriteOptions& options) {
    std::vector<const Drawing*> list;
    list.reserve(pages.size());
    for (const Drawing& d : pages)
        list.push_back(&d);
    return writers::writePdfPages(list.data(), list.size(), options);
}

Result<Written> write(const Drawing& drawing, Format format, const WriteOptions& options) {
    using Writer = Result<Written> (*)(const Drawing&, const WriteOptions&);
    // Indexed by Format.
    constexpr Writer WRITERS[] = {writers::writeSvg, writers::writePdf, writers::writeEps,
                                  writers::writePng, writers::writeEmf, writers::writeBmp};
    static_assert(std::size(WRITERS) == FORMAT_COUNT);
    const int index = static_cast<int>(format);
    if (index < 0 || index >= FORMAT_COUNT)
        return Error{ErrorCode::UnknownFormat, "no writer for format number " + std::to_string(index)};
    if (const Status ok = writers::checkDrawing(drawing); !ok)
        return ok.error();
    return WRITERS[index](drawing, options);
}

Result<Written> writeFile(const Drawing& drawing, const std::string& path, std::optional<Format> format,
                          const WriteOptions& options) {
    if (!format)
        format = formatForPath(path);
    if (!format)
        return Error{ErrorCode::UnknownFormat, "the file name \"" + path +
                                                   "\" does not say the format; end it in .svg, .pdf, .eps, .png, "
                                                   ".emf or .bmp, or name the format"};
    Result<Written> written = write(drawing, *format, options);
    if (!written)
        return written;
    if (const Status ok = writeBytesToFile(written->bytes, path); !ok)
        return ok.error();
    return written;
}

}  // namespace korvane
