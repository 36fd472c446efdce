#include "Pdf417TestSupport.h"

#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace pdf417test {

std::string randomValue(std::mt19937& rng, Kind kind, int maxLength) {
    std::uniform_int_distribution<int> length(1, maxLength);
    const int n = length(rng);
    std::string s;
    auto pick = [&](const char* set) {
        const std::string chars(set);
        return chars[std::uniform_int_distribution<std::size_t>(0, chars.size() - 1)(rng)];
    };
    static const char* TEXT = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~\r\n\t";
    for (int i = 0; i < n; ++i) {
        switch (kind) {
        case Kind::Text: s += pick(TEXT); break;
        case Kind::Digits: s += pick("0123456789"); break;
        case Kind::Bytes: s += static_cast<char>(std::uniform_int_distribution<int>(0, 255)(rng)); break;
        case Kind::Mixed: {
            const int r = std::uniform_int_distribution<int>(0, 9)(rng);
            s += r < 6 ? pick(TEXT) : r < 8 ? pick("0123456789") : static_cast<char>(std::uniform_int_distribution<int>(0, 255)(rng));
            break;
        }
        case Kind::Utf8: {
            static const char* const PIECES[] = {"a", "Z", " ", "é", "ß", "Ω", "ж", "中", "文", "€", "😀", "7", "."};
            s += PIECES[std::uniform_int_distribution<std::size_t>(0, std::size(PIECES) - 1)(rng)];
            break;
        }
        case Kind::DigitRunsInText:
            if (std::uniform_int_distribution<int>(0, 7)(rng) == 0) {
                const int run = std::uniform_int_distribution<int>(5, 60)(rng);
                for (int j = 0; j < run; ++j)
                    s += pick("0123456789");
            } else {
                s += pick(TEXT);
            }
            break;
        }
    }
    return s;
}

testsupport::Decoded readWithZxing(const std::vector<std::uint8_t>& modules, int rows, int width, int rowHeight) {
    std::vector<bool> dark(static_cast<std::size_t>(rows) * rowHeight * width);
    for (int r = 0; r < rows * rowHeight; ++r)
        for (int c = 0; c < width; ++c)
            dark[static_cast<std::size_t>(r) * width + c] = modules[static_cast<std::size_t>(r / rowHeight) * width + c] != 0;
    return testsupport::decode(testsupport::renderMatrix(dark, rows * rowHeight, width, 2, 2), testsupport::Symbology::Pdf417);
}

std::vector<std::string> zintRows(int symbology, const std::string& args, const std::string& data, int width) {
    char path[] = "/tmp/pdf417-zint-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0)
        return {};
    close(fd);
    {
        std::ofstream out(path, std::ios::binary);
        out << data;
    }
    const std::string command = std::string(ZINT_EXE) + " -b " + std::to_string(symbology) + " " + args +
                                " --binary --dump -i " + path + " 2>/dev/null";
    std::vector<std::string> rows;
    if (FILE* p = popen(command.c_str(), "r")) {
        char line[4096];
        while (fgets(line, sizeof line, p)) {
            std::string s(line);
            while (!s.empty() && (s.back() == '\n' || s.back() == '\r'))
                s.pop_back();
            if (s.empty())
                continue;
            if (s.find_first_not_of("01") == std::string::npos) {
                rows.push_back(s.substr(0, static_cast<std::size_t>(width)));
                continue;
            }
            // Stacked symbols come as hex digits, four modules each, first module in the top bit.
            std::string bits;
            for (char h : s) {
                if (h == ' ')
                    continue;
                const int nibble = std::stoi(std::string(1, h), nullptr, 16);
                for (int b = 3; b >= 0; --b)
                    bits += (nibble >> b) & 1 ? '1' : '0';
            }
            rows.push_back(bits.substr(0, static_cast<std::size_t>(width)));
        }
        if (pclose(p) != 0)
            rows.clear();
    }
    std::remove(path);
    return rows;
}

std::vector<std::string> rowsOf(const std::vector<std::uint8_t>& modules, int rows, int width) {
    std::vector<std::string> out;
    for (int r = 0; r < rows; ++r) {
        std::string s;
        for (int c = 0; c < width; ++c)
            s += modules[static_cast<std::size_t>(r) * width + c] ? '1' : '0';
        out.push_back(s);
    }
    return out;
}

korvane::Message plain(const std::string& bytes) {
    korvane::Message m;
    m.bytes = bytes;
    return m;
}

}  // namespace pdf417test
