#pragma once
// Writers: a Drawing to the bytes of a file format. A writer knows its format
// and nothing about symbologies.

#include "Export.h"
#include "Drawing.h"
#include "Result.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

enum class Format { Svg, Pdf, Eps, Png, Emf, Bmp };
constexpr int FORMAT_COUNT = 6;

// "svg", "pdf", "eps", "png", "emf", "bmp" (case-insensitive, a leading dot allowed).
KORVANE_API std::optional<Format> findFormat(std::string_view name);
// The format a file name's extension asks for.
KORVANE_API std::optional<Format> formatForPath(std::string_view path);
KORVANE_API const char* formatName(Format f);       // "svg"
KORVANE_API const char* formatMimeType(Format f);   // "image/svg+xml"

struct WriteOptions {
    // A TrueType/OpenType file for the text of raster formats; empty: the
    // fonts built into the library, the same on every machine (OCR-B for
    // EAN/UPC digits, DejaVu Sans otherwise, with the characters of
    // WinAnsiEncoding; others are drawn as boxes, with a warning). A file that
    // cannot be loaded gives a warning and the built-in fonts.
    std::string fontFile;
    // Dots per inch to use when the drawing has none (dpi 0): the resolution
    // PNG and BMP record, and the page size of PDF, EPS and EMF. SVG is then
    // sized in pixels.
    double fallbackDpi = 96;
};

struct Written {
    std::vector<std::uint8_t> bytes;
    std::vector<std::string> warnings;  // e.g. "no font could be loaded; the PNG has no text"
};

// The file's bytes, built in memory. Refuses rasters over MAX_CANVAS_DOTS
// before allocating them, and drawings without a canvas (InvalidData).
// Rectangles are clipped to the canvas; text runs without a positive finite
// size are skipped, and text turned by other than a multiple of 90 degrees is
// refused. Each thread that writes PNG keeps its compressor's working memory
// (at most 1 MiB) for its next picture, until the thread ends.
KORVANE_API Result<Written> write(const Drawing& drawing, Format format, const WriteOptions& options = {});

// One PDF with a page per drawing, in order (label sheets): each page as large
// as its drawing. Refuses an empty list.
KORVANE_API Result<Written> writePdfPages(const std::vector<Drawing>& pages, const WriteOptions& options = {});

// Writes the file whole: to a temporary file in the same folder, then renamed
// over `path`, so a failure never leaves half a file (nor removes a device
// such as /dev/null named as the output). "-" writes to standard output.
// Without `format`, the path's extension chooses it.
KORVANE_API Result<Written> writeFile(const Drawing& drawing, const std::string& path, std::optional<Format> format = {},
                          const WriteOptions& options = {});

// Writes bytes to `path` the same way (temporary file and rename, "-" for
// standard output): for callers that made the bytes themselves.
KORVANE_API Status writeBytesToFile(const std::vector<std::uint8_t>& bytes, const std::string& path);

// Bytes made piece by piece (the pages of a sheet as they fill), taken in order.
class KORVANE_API ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual Status append(std::string_view bytes) = 0;
};

// A file written whole from pieces, as writeBytesToFile writes it: into a
// temporary file beside `path`, renamed over it by commit(); destroyed without
// commit() (a failure, a run given up) it removes the temporary file and
// leaves `path` as it was. "-" is standard output and a device or pipe is
// written in place: what was appended there stays. After a failed append the
// sink refuses everything.
class KORVANE_API FileSink : public ByteSink {
public:
    // Errors (WriteFailed) at once for what can be known before any byte:
    // a missing folder, a folder named as the file, no permission.
    static Result<std::unique_ptr<FileSink>> open(const std::string& path);
    ~FileSink() override;
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;

    Status append(std::string_view bytes) override;
    Status commit();

private:
    FileSink();
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace korvane
