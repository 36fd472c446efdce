#include "AztecCli.h"

#include "Aztec.h"
#include "bitmapfile.h"

#include <climits>
#include <cstdlib>
#include <cstdio>
#include <string>

namespace {

// Decimal number as strtol reads it: leading blanks and a sign allowed, reading
// stops at the first non-digit, no digits give 0.
long parseNumber(const std::string& text) { return std::strtol(text.c_str(), nullptr, 10); }

int toInt(long v) {
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return static_cast<int>(v);
}

}  // namespace

bool readFile(const std::string& filename, std::vector<int>& data) {
    data.clear();
    std::FILE* in = std::fopen(filename.c_str(), "rb");
    if (in == nullptr)
        return false;
    // A failing read (a directory, an I/O error) shows as ferror; the cap stops an
    // endless source such as a device or a pipe.
    // fread fills the whole chunk unless the file ends or fails, so a short
    // chunk is the last one.
    unsigned char chunk[65536];
    std::size_t got = sizeof chunk;
    while (data.size() <= MAX_DATA_FILE_BYTES && got == sizeof chunk) {
        got = std::fread(chunk, 1, sizeof chunk, in);
        data.insert(data.end(), chunk, chunk + got);
    }
    const bool failed = std::ferror(in) != 0;
    std::fclose(in);
    if (failed) {
        data.clear();
        return false;
    }
    if (data.size() > MAX_DATA_FILE_BYTES)
        data.resize(MAX_DATA_FILE_BYTES + 1);
    return true;
}

int aztec(int argc, char** argv, AztecOutput& out, AztecOutput& err) {
    Aztec encoder;
    encoder.setCode("Aztec barcode");
    encoder.setEncoding(Aztec::ENC_NORMAL);
    encoder.setErrorCorrectionLevel(23);
    encoder.setPreferredConfiguration(0);
    encoder.setAutoConfigurate(true);
    encoder.setConfigurationType(Aztec::CONFIGURATION_ANY);
    std::string file = AZTEC_DEFAULT_OUTPUT;
    long format = 0;
    long level = 23;
    std::vector<int> data;
    std::string dataFileProblem;  // set by the last -dataFile that failed

    out.write("\n");
    bool pending = false;
    std::string option;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i] != nullptr ? argv[i] : "";
        if (!pending) {
            option = arg;
            pending = true;
            out.write("Parameter  " + option + " = ");
            continue;
        }
        out.write(arg + "\n");
        pending = false;
        if (option == "-file") {
            file = arg;
        } else if (option == "-encoding") {
            encoder.setEncoding(toInt(parseNumber(arg)));
        } else if (option == "-format") {
            format = parseNumber(arg);
        } else if (option == "-level") {
            level = parseNumber(arg);
        } else if (option == "-code") {
            encoder.setCode(arg);
        } else if (option == "-tilde") {
            encoder.setProcessTilde(arg == "1");
        } else if (option == "-dataFile") {
            dataFileProblem.clear();
            if (!readFile(arg, data))
                dataFileProblem = "cannot read data file " + arg;
            else if (data.size() > MAX_DATA_FILE_BYTES)
                dataFileProblem = "data file " + arg + " holds more than " + std::to_string(MAX_DATA_FILE_BYTES) +
                                  " bytes, more than any symbol holds; no file written";
        }
    }
    out.flush();

    if (format > 35) {
        err.write("aztec: -format must be between 0 and 35, not " + std::to_string(format) + "\n");
        return EXIT_BAD_SETTING;
    }
    if (level < 0 || level > 99) {
        err.write("aztec: -level must be between 0 and 99, not " + std::to_string(level) + "\n");
        return EXIT_BAD_SETTING;
    }
    if (!dataFileProblem.empty()) {
        err.write("aztec: " + dataFileProblem + "\n");
        return EXIT_NOT_WRITTEN;
    }
    encoder.setPreferredConfiguration(format < 0 ? 0 : static_cast<int>(format));
    encoder.setErrorCorrectionLevel(static_cast<int>(level));
    // Bytes from a data file take precedence over the text whenever there are any.
    encoder.setBinaryCode(data.data(), static_cast<int>(data.size()));

    encoder.paint();
    if (encoder.getStatus() != Aztec::STATUS_OK) {
        out.write("Still  bit to be placed on the barcode. Try selecting another configuration.");
        out.flush();
        err.write("aztec: the data needs " + std::to_string(encoder.getDataBits()) +
                  " bits but the symbol holds at most " + std::to_string(encoder.getMaxDataBits()) +
                  " at error-correction level " + std::to_string(level) + "; no file written\n");
        return EXIT_NOT_WRITTEN;
    }

    bitmapfile writer;
    if (!writer.write(file.c_str(), encoder.bitmap.data(), encoder.rows, encoder.cols)) {
        err.write("aztec: cannot write " + file + "\n");
        return EXIT_NOT_WRITTEN;
    }
    return EXIT_WRITTEN;
}
