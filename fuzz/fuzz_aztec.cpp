// Fuzzes the Aztec encoder with arbitrary data and settings. Every symbol it
// produces must decode to the bytes that were given, with its reader
// initialisation and structured-append header; a symbol that does not is
// reported as a crash. The library's own reader decodes the module matrix (one
// pixel a module), so a campaign runs thousands of inputs a second; zxing-cpp
// reads the encoders' symbols in the round-trip tests.

#include "Aztec.h"
#include "FuzzInput.h"

#include "verify/Readers.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

// What a reader returns as content for the message after tilde escapes: FNC1
// in first position marks GS1 data and is not content, a later FNC1 reads as
// GS (29), an ECI designator is not content.
std::string expectedContent(const std::string& text, const std::vector<int>& controls) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int control = i < controls.size() ? controls[i] : Aztec::CONTROL_NONE;
        if (control == Aztec::CONTROL_NONE) {
            out += text[i];
            continue;
        }
        if (control == Aztec::CONTROL_FNC && i > 0)
            out += '\x1d';
    }
    return out;
}

void printBytes(const char* label, const std::string& s) {
    std::fprintf(stderr, "%s (%zu):", label, s.size());
    for (unsigned char c : s)
        std::fprintf(stderr, " %02x", c);
    std::fprintf(stderr, "\n");
}

[[noreturn]] void fail(const char* what, const Aztec& a, bool binaryInput, const std::string& message,
                       const std::string& expected, const std::string& got) {
    std::fprintf(stderr,
                 "%s\nbinary input %d, encoding %d, level %d, preferred %d, type %d, reader init %d, tilde %d, "
                 "structured append %d (%d of %d, id '%s'), symbol %d x %d\n",
                 what, binaryInput, a.getEncoding(), a.getErrorCorrectionLevel(), a.getPreferredConfiguration(),
                 a.getConfigurationType(), a.getReaderInitilization(), a.getProcessTilde(), a.getStructuredAppend(),
                 a.getStructuredAppendIndex(), a.getStructuredAppendCounter(), a.getFileId().c_str(), a.rows, a.cols);
    printBytes("message", message);
    printBytes("expected", expected);
    printBytes("decoded", got);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Header: byte input, encoding, level, starting row, configuration type,
    // reader initialisation, tilde escapes, structured append (counter, index,
    // identifier length and letters); then the message.
    FuzzInput in(data, size);
    Aztec a;
    const bool binaryInput = in.flag();
    a.setEncoding(in.range(0, 1));
    a.setErrorCorrectionLevel(in.range(-2, 101));
    a.setPreferredConfiguration(in.range(-2, 37));
    a.setConfigurationType(in.range(0, 2));
    a.setReaderInitilization(in.flag());
    a.setProcessTilde(in.flag() && !binaryInput);
    const bool structured = in.flag();
    a.setStructuredAppend(structured);
    const int counter = in.range(1, 26);
    const int index = in.range(1, counter);
    std::string id;
    for (int n = in.range(0, 4); n > 0; --n)
        id += static_cast<char>('A' + in.range(0, 25));
    if (structured) {
        a.setStructuredAppendCounter(counter);
        a.setStructuredAppendIndex(index);
        a.setFileId(id);
    }
    const std::string message = in.rest();
    std::vector<int> bytes(message.begin(), message.end());
    for (int& b : bytes)
        b &= 0xFF;
    if (binaryInput)
        a.setBinaryCode(bytes.data(), static_cast<int>(bytes.size()));
    else
        a.setCode(message);

    a.paint();
    if (a.getStatus() != Aztec::STATUS_OK) {
        if (a.rows != 0 || a.cols != 0 || !a.bitmap.empty())
            std::abort();  // a refused symbol leaves nothing behind
        return 0;
    }
    if (a.rows != a.cols || a.bitmap.size() != static_cast<std::size_t>(a.rows) * a.cols)
        std::abort();

    std::string expected = message;
    if (a.getProcessTilde()) {
        Aztec escapes;
        const std::string text = escapes.applyTilde(message);
        expected = expectedContent(text, escapes.controlChars);
    }

    // The matrix at one pixel a module with two modules of quiet zone.
    const int quiet = 2;
    korvane::GrayRaster raster;
    raster.width = raster.height = a.cols + 2 * quiet;
    raster.pixels.assign(static_cast<std::size_t>(raster.width) * static_cast<std::size_t>(raster.height), 255);
    for (int r = 0; r < a.rows; ++r)
        for (int c = 0; c < a.cols; ++c)
            if (a.bitmap[static_cast<std::size_t>(r) * a.cols + c] == 0)
                raster.pixels[static_cast<std::size_t>(r + quiet) * static_cast<std::size_t>(raster.width) +
                              static_cast<std::size_t>(c + quiet)] = 0;
    const korvane::detail::Reading read = korvane::detail::readAztec(raster);
    // The engine marks reader initialisation in symbols too large for the
    // mode message to carry the mark (the engine stays as it is); the reader
    // rightly refuses those.
    if (a.getReaderInitilization() && (!read.ok || !read.readerInit))
        return 0;
    // Likewise a structured-append header of a set of one, which the reader refuses.
    if (!read.ok && structured && counter < 2)
        return 0;
    if (!read.ok)
        fail(("symbol does not decode: " + read.failure).c_str(), a, binaryInput, message, expected, "");
    // The encoder writes a GS byte as FNC1, which in first position marks GS1
    // data rather than content.
    const bool gsAsMarker = !expected.empty() && expected[0] == '\x1d' && read.gs1 && read.data == expected.substr(1);
    if (read.data != expected && !gsAsMarker)
        fail("symbol decodes to other bytes", a, binaryInput, message, expected, read.data);
    if (read.readerInit != a.getReaderInitilization())
        fail("reader initialisation reads otherwise", a, binaryInput, message, expected, read.data);
    const bool structuredRead = read.structuredCount > 0;
    if (structuredRead != structured ||
        (structured && (read.structuredIndex != index || read.structuredCount != counter)))
        fail("the structured-append header reads otherwise", a, binaryInput, message, expected, read.data);
    return 0;
}
