// MSI (Modified Plessey): each digit is its four-bit binary code, most
// significant bit first, each bit a bar and a space: wide bar and narrow space
// for 1, narrow bar and wide space for 0. Start: a 1 bit's pair; stop: a 0
// bit's pair and a narrow bar.

#include "Linear.h"

namespace korvane::detail {
namespace {

// Start: wide bar, narrow space; stop: narrow bar, wide space, narrow bar.
constexpr DigitFrame MSI = {"MSI", "wn", "nwn", 8};

// The MSI modulo-10 check digit: from the right, every other digit starting
// with the last is doubled and its digits summed; the check digit brings the
// total to a multiple of 10.
int mod10(const std::string& digits) {
    int sum = 0;
    bool doubled = true;
    for (auto c = digits.rbegin(); c != digits.rend(); ++c, doubled = !doubled) {
        const int d = *c - '0';
        sum += doubled ? (d < 5 ? 2 * d : 2 * d - 9) : d;
    }
    return (10 - sum % 10) % 10;
}

// The modulo-11 check value with the weights 2 to 7 from the right; 10 has no digit.
int mod11(const std::string& digits) {
    int sum = 0, weight = 2;
    for (auto c = digits.rbegin(); c != digits.rend(); ++c) {
        sum += (*c - '0') * weight;
        weight = weight == 7 ? 2 : weight + 1;
    }
    return (11 - sum % 11) % 11;
}

// Whether `checks` are valid check digits of `data` under one of the schemes
// with that many digits: modulo 10 or 11, then (for two) modulo 10 over the
// data and the first.
bool checksMatch(const std::string& data, const std::string& checks) {
    const int first = checks[0] - '0';
    if (checks.size() == 1)
        return first == mod10(data) || first == mod11(data);
    return (first == mod10(data) || first == mod11(data)) && checks[1] - '0' == mod10(data + checks[0]);
}

LineRead readFrom(const Runs& runs, int s, int end, const WidthClasses& c, const LinearReadOptions& o) {
    LineRead failure;
    const int stop = frameStop(runs, s, end, c, MSI, failure);
    if (stop < 0)
        return failure;
    LineRead r;
    for (int i = s + MSI.startCount; i < stop; i += MSI.perDigit) {
        int digit = 0;
        for (int bit = 0; bit < 4; ++bit) {
            const int pair = wideBits(runs, i + 2 * bit, 2, c);
            if (pair != 0b10 && pair != 0b01)
                return failed(COMPLETE, "MSI digit " + std::to_string(r.data.size() + 1) +
                                            " has a bit that is neither wide-narrow nor narrow-wide");
            digit = digit * 2 + (pair == 0b10 ? 1 : 0);
        }
        if (digit > 9)
            return failed(COMPLETE, "MSI digit " + std::to_string(r.data.size() + 1) + " reads " +
                                        std::to_string(digit) + ", which is no decimal digit");
        r.data += static_cast<char>('0' + digit);
    }
    const std::size_t checks = o.check ? static_cast<std::size_t>(o.msiCheckDigits == 2 ? 2 : 1) : 0;
    if (r.data.size() <= checks)
        return failed(COMPLETE, "the MSI symbol holds no data");
    if (checks > 0) {
        r.checkCharacters = r.data.substr(r.data.size() - checks);
        r.data.resize(r.data.size() - checks);
        if (!checksMatch(r.data, r.checkCharacters))
            return failed(COMPLETE, "the MSI check digits " + r.checkCharacters + " do not match the data " + r.data +
                                        " (modulo 10 gives " + std::to_string(mod10(r.data)) + ", modulo 11 " +
                                        std::to_string(mod11(r.data)) + ")");
    }
    r.found(s, end - 1, c.module());
    return r;
}

}  // namespace

LineRead decodeMsi(const ScanLine& line, const LinearReadOptions& o) {
    return eachStart(
        line.runs, MSI.startCount, [](int key) { return key == MSI.startKey; },
        [&](int s, int end, const WidthClasses& c) { return readFrom(line.runs, s, end, c, o); });
}

}  // namespace korvane::detail
