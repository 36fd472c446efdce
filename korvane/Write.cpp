// Format names, and the dispatch from a format to its writer.

#include "korvane/Write.h"

#include <cctype>
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
    std::string lower;
    for (char c : name)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
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

Result<Written> write(const Drawing&, Format format, const WriteOptions&) {
    return Error{ErrorCode::UnknownFormat, std::string("no writer for ") + formatName(format) + " yet"};
}

Result<Written> writeFile(const Drawing& drawing, const std::string&, std::optional<Format> format,
                          const WriteOptions& options) {
    return write(drawing, format.value_or(Format::Svg), options);
}

Status writeBytesToFile(const std::vector<std::uint8_t>&, const std::string&) {
    return Error{ErrorCode::WriteFailed, "no file writer yet"};
}

}  // namespace korvane
