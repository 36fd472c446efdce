#include "Aztec.h"

#include "ABitMap.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

// ISO/IEC 24778 Table 1 (symbol sizes and capacities).
const int Aztec::configuration[Aztec::CONFIGURATION_COUNT][9] = {
    // layers, columns, rows, codewords, codeword bits, capacity, digits, text, bytes
    {1, 15, 15, 17, 6, 102, 13, 12, 6},           // 15x15 compact
    {1, 19, 19, 21, 6, 126, 18, 15, 8},           // 19x19
    {2, 19, 19, 40, 6, 240, 40, 33, 19},          // 19x19 compact
    {2, 23, 23, 48, 6, 288, 49, 40, 24},          // 23x23
    {3, 23, 23, 51, 8, 408, 70, 57, 33},          // 23x23 compact
    {3, 27, 27, 60, 8, 480, 84, 68, 40},          // 27x27
    {4, 27, 27, 76, 8, 608, 110, 89, 53},         // 27x27 compact
    {4, 31, 31, 88, 8, 704, 128, 104, 62},        // 31x31
    {5, 37, 37, 120, 8, 960, 178, 144, 87},       // 37x37
    {6, 41, 41, 156, 8, 1248, 232, 187, 114},     // 41x41
    {7, 45, 45, 196, 8, 1568, 294, 236, 145},     // 45x45
    {8, 49, 49, 240, 8, 1920, 362, 291, 179},     // 49x49
    {9, 53, 53, 230, 10, 2300, 433, 348, 214},    // 53x53
    {10, 57, 57, 272, 10, 2720, 516, 414, 256},   // 57x57
    {11, 61, 61, 316, 10, 3160, 601, 482, 298},   // 61x61
    {12, 67, 67, 364, 10, 3640, 691, 554, 343},   // 67x67
    {13, 71, 71, 416, 10, 4160, 793, 636, 394},   // 71x71
    {14, 75, 75, 470, 10, 4700, 896, 718, 446},   // 75x75
    {15, 79, 79, 528, 10, 5280, 1008, 808, 502},  // 79x79
    {16, 83, 83, 588, 10, 5880, 1123, 900, 559},  // 83x83
    {17, 87, 87, 652, 10, 6520, 1246, 998, 621},  // 87x87
    {18, 91, 91, 720, 10, 7200, 1378, 1104, 687}, // 91x91
    {19, 95, 95, 790, 10, 7900, 1511, 1210, 753}, // 95x95
    {20, 101, 101, 864, 10, 8640, 1653, 1324, 824},   // 101x101
    {21, 105, 105, 940, 10, 9400, 1801, 1442, 898},   // 105x105
    {22, 109, 109, 1020, 10, 10200, 1956, 1566, 976}, // 109x109
    {23, 113, 113, 920, 12, 11040, 2116, 1694, 1056}, // 113x113
    {24, 117, 117, 992, 12, 11904, 2281, 1826, 1138}, // 117x117
    {25, 121, 121, 1066, 12, 12792, 2452, 1963, 1224}, // 121x121
    {26, 125, 125, 1144, 12, 13728, 2632, 2107, 1314}, // 125x125
    {27, 131, 131, 1224, 12, 14688, 2818, 2256, 1407}, // 131x131
    {28, 135, 135, 1306, 12, 15672, 3007, 2407, 1501}, // 135x135
    {29, 139, 139, 1392, 12, 16704, 3205, 2565, 1600}, // 139x139
    {30, 143, 143, 1480, 12, 17760, 3409, 2728, 1702}, // 143x143
    {31, 147, 147, 1570, 12, 18840, 3616, 2894, 1806}, // 147x147
    {32, 151, 151, 1664, 12, 19968, 3832, 3067, 1914}, // 151x151
};

// ISO/IEC 24778 Table 2 (character sets).
const int Aztec::charSets[Aztec::CHARSETLEN][6] = {
    // code, upper, lower, mixed, punctuation, digit
    {0, -1, -1, -1, -1, -1},
    {1, ' ', ' ', ' ', '\r', ' '},
    {2, 'A', 'a', 1, '\r' * 256 + '\n', '0'},
    {3, 'B', 'b', 2, '.' * 256 + ' ', '1'},
    {4, 'C', 'c', 3, ',' * 256 + ' ', '2'},
    {5, 'D', 'd', 4, ':' * 256 + ' ', '3'},
    {6, 'E', 'e', 5, '!', '4'},
    {7, 'F', 'f', 6, '"', '5'},
    {8, 'G', 'g', 7, '#', '6'},
    {9, 'H', 'h', 8, '$', '7'},
    {10, 'I', 'i', 9, '%', '8'},
    {11, 'J', 'j', 10, '&', '9'},
    {12, 'K', 'k', 11, '\'', ','},
    {13, 'L', 'l', 12, '(', '.'},
    {14, 'M', 'm', 13, ')', -1},
    {15, 'N', 'n', 27, '*', -1},
    {16, 'O', 'o', 28, '+', -1},
    {17, 'P', 'p', 29, ',', -1},
    {18, 'Q', 'q', 30, '-', -1},
    {19, 'R', 'r', 31, '.', -1},
    {20, 'S', 's', '@', '/', -1},
    {21, 'T', 't', '\\', ':', -1},
    {22, 'U', 'u', '^', ';', -1},
    {23, 'V', 'v', '_', '<', -1},
    {24, 'W', 'w', '`', '=', -1},
    {25, 'X', 'x', '|', '>', -1},
    {26, 'Y', 'y', '~', '?', -1},
    {27, 'Z', 'z', 127, '[', -1},
    {28, -1, -1, -1, ']', -1},
    {29, -1, -1, -1, '{', -1},
    {30, -1, -1, -1, '}', -1},
    {31, -1, -1, -1, -1, -1},
};

namespace {

constexpr int NOT_FOUND = -1;

// Reverse lookups of charSets, built once: the code of each byte in each set (the
// first row wins, as in a scan of the table) and the first set holding each byte.
struct SetIndex {
    std::array<std::array<signed char, 256>, 7> code{};
    std::array<signed char, 256> firstSet{};

    SetIndex() {
        for (auto& set : code)
            set.fill(NOT_FOUND);
        firstSet.fill(NOT_FOUND);
        for (int row = Aztec::CHARSETLEN - 1; row >= 0; --row) {
            for (int set = Aztec::SET_DIGIT; set >= Aztec::SET_UPPER; --set) {
                const int byte = Aztec::charSets[row][set];
                if (byte < 0 || byte > 255)
                    continue;
                code[set][byte] = static_cast<signed char>(Aztec::charSets[row][0]);
                firstSet[byte] = static_cast<signed char>(set);
            }
        }
    }
};

const SetIndex& setIndex() {
    static const SetIndex index;
    return index;
}

int widthIn(int mode) { return mode == Aztec::SET_DIGIT ? 4 : 5; }

// Longest run one byte shift can announce: 31 plus an 11-bit count.
constexpr int MAX_BYTE_RUN = 31 + 2047;

// Aztec bit stuffing over the bits `bs` holds, which stay where they are:
// B-1 bits at a time (a short tail padded with 1-bits), then one more bit
// unless the B-1 bits were all zeros (a stuffed 1) or all ones (a stuffed 0).
int stuffCodewords(const BitString& bs, int B, int* codewords) {
    if (B < 2 || B > 31)
        return 0;  // no codeword has room for a data bit and a stuffed one
    const int allOnes = (1 << (B - 1)) - 1;
    const int length = bs.getLength();
    int pos = 0;
    int count = 0;
    while (pos < length) {
        const int taken = std::min(B - 1, length - pos);
        const int padding = B - 1 - taken;
        const int v = (bs.getBits(pos, taken) << padding) | ((1 << padding) - 1);
        pos += taken;
        if (v == 0) {
            codewords[count++] = 1;  // stuffed 1; the next data bit stays in the stream
        } else if (v == allOnes) {
            codewords[count++] = 2 * v;  // stuffed 0
        } else {
            const int next = pos < length ? bs.getBits(pos, 1) : 1;
            if (pos < length)
                ++pos;
            codewords[count++] = 2 * v + next;
        }
    }
    return count;
}

int cutCodewords(const BitString& bs, int codewordBits, std::vector<int>& words) {
    words.assign(static_cast<size_t>(bs.getLength() / (codewordBits - 1) + 2), 0);
    return stuffCodewords(bs, codewordBits, words.data());
}

// The prefix codes that reach a target set from the current mode, and the mode
// afterwards; a shift keeps the current mode. The first code has 4 bits from
// digit, else 5; the second always 5.
struct Prefix {
    int first;
    int second;
    int after;
};
constexpr int NO_CODE = -1;
constexpr int KEEP = 0;
constexpr int U = Aztec::SET_UPPER, L = Aztec::SET_LOWER, M = Aztec::SET_MIXED, D = Aztec::SET_DIGIT;
// Rows: target upper, lower, mixed, punctuation, digit, byte. Columns: current
// mode upper, lower, mixed, (punctuation: any mode that is none of the four),
// digit. A target the current mode holds never gets here.
constexpr Prefix PREFIXES[6][5] = {
    {{NO_CODE, NO_CODE, KEEP}, {28, NO_CODE, KEEP}, {29, NO_CODE, U}, {NO_CODE, NO_CODE, KEEP}, {14, NO_CODE, U}},
    {{28, NO_CODE, L}, {28, NO_CODE, L}, {28, NO_CODE, L}, {28, NO_CODE, L}, {14, 28, L}},
    {{29, NO_CODE, M}, {29, NO_CODE, M}, {29, NO_CODE, M}, {29, NO_CODE, M}, {14, 29, M}},
    {{0, NO_CODE, KEEP}, {0, NO_CODE, KEEP}, {0, NO_CODE, KEEP}, {0, NO_CODE, KEEP}, {0, NO_CODE, KEEP}},
    {{30, NO_CODE, D}, {30, NO_CODE, D}, {29, 30, D}, {30, NO_CODE, D}, {30, NO_CODE, D}},
    {{31, NO_CODE, KEEP}, {31, NO_CODE, KEEP}, {31, NO_CODE, KEEP}, {31, NO_CODE, KEEP}, {14, 31, U}},
};
// Upper from digit latches only when two upper-set characters follow; else it shifts.
constexpr Prefix UPPER_SHIFT_FROM_DIGIT = {Aztec::SHIFT_UPPERCASE_FROM_DIGIT, NO_CODE, KEEP};

}  // namespace

int Aztec::primePolynomial(int codewordBits) {
    switch (codewordBits) {
    case 6: return 67;     // x^6 + x + 1
    case 8: return 301;    // x^8 + x^5 + x^3 + x^2 + 1
    case 10: return 1033;  // x^10 + x^3 + 1
    default: return 4201;  // x^12 + x^6 + x^5 + x^3 + 1
    }
}

bool Aztec::isCompactRow(int row) {
    return row == CONFIGURATION_15X15_COMPACT || row == CONFIGURATION_19X19_COMPACT ||
           row == CONFIGURATION_23X23_COMPACT || row == CONFIGURATION_27X27_COMPACT;
}

int Aztec::findInSet(int c, int set) {
    if (c < 0 || c > 255 || set < SET_UPPER || set > SET_DIGIT)
        return NOT_FOUND;
    return setIndex().code[set][c];
}

int Aztec::findChartSet(int c) {
    if (c < 0 || c > 255)
        return NOT_FOUND;
    return setIndex().firstSet[c];
}

std::string Aztec::applyTilde(const std::string& text) {
    const int n = static_cast<int>(text.size());
    controlChars.assign(text.size(), CONTROL_NONE);
    std::string result;
    result.reserve(text.size());
    int i = 0;
    while (i < n) {
        const char c = text[i];
        if (c != '~') {
            result += c;
            ++i;
            continue;
        }
        if (i == n - 1)
            break;  // a lone tilde at the end is dropped
        const char next = text[i + 1];
        if (next == '~') {
            result += '~';
            i += 2;
            continue;
        }
        // ~Ennnnnn is an escape only with one more character after the six digits.
        if ((next == 'e' || next == 'E') && i < n - 8) {
            const long eci = std::strtol(text.substr(i + 2, 6).c_str(), nullptr, 10);
            // A negative number is no ECI: its marker would read as "no marker" or an
            // FNC1, so the text is kept as it stands (the tilde alone is dropped).
            if (eci >= 0) {
                controlChars[result.size()] = static_cast<int>(eci);
                result += '0';
                i += 8;
                continue;
            }
        } else if (next == 'f' || next == 'F') {
            controlChars[result.size()] = CONTROL_FNC;
            result += '0';
            i += 2;
            continue;
        } else if ((next == 'd' || next == 'D') && i < n - 4) {
            long value = std::strtol(text.substr(i + 2, 3).c_str(), nullptr, 10);
            if (value >= 256)
                value = 255;
            result += static_cast<char>(static_cast<unsigned char>(value & 0xFF));
            i += 5;
            continue;
        }
        ++i;  // unknown escape: the tilde is dropped, the next character stays
    }
    return result;
}

namespace {

bool inSet(int c, int set) { return Aztec::findInSet(c, set) != NOT_FOUND; }

void appendControlMarker(BitString* bs, int mode, int marker) {
    // P/S, FLG(n), then n = 0 for FNC1 or the number of ECI digits and the digits.
    bs->addBits(Aztec::SHIFT_PUNCTUATION, widthIn(mode));
    bs->addBits(0, 5);
    if (marker == Aztec::CONTROL_FNC) {
        bs->addBits(0, 3);
        return;
    }
    const std::string digits = std::to_string(marker);
    bs->addBits(static_cast<int>(digits.size()), 3);
    for (char d : digits)
        bs->addBits(d - '0' + 2, 4);
}

int appendPrefix(BitString* bs, int mode, int target, bool upperFollows) {
    const int column = mode == Aztec::SET_DIGIT ? 4 : (mode >= Aztec::SET_UPPER && mode <= Aztec::SET_MIXED ? mode - 1 : 3);
    const Prefix& p = target == Aztec::SET_UPPER && mode == Aztec::SET_DIGIT && !upperFollows ? UPPER_SHIFT_FROM_DIGIT
                                                                                  : PREFIXES[target - 1][column];
    if (p.first != NO_CODE)
        bs->addBits(p.first, widthIn(mode));
    if (p.second != NO_CODE)
        bs->addBits(p.second, 5);
    return p.after == KEEP ? mode : p.after;
}

void appendCharacter(BitString* bs, int c, int set) {
    if (set == Aztec::SET_BYTE) {
        bs->addBits(1, 5);  // a byte shift of length 1
        bs->addBits(c, 8);
    } else {
        bs->addBits(Aztec::findInSet(c, set), widthIn(set));
    }
}

}  // namespace

void Aztec::encodeBytes(const int* b, int len, int initialSet, bool useControlChars, bool addHeader,
                        BitString* bs) const {
    if (addHeader)
        addStructuredAppend(bs);
    int mode = initialSet;
    for (int i = 0; i < len; ++i) {
        const int c = b[i];
        if (useControlChars && i < static_cast<int>(controlChars.size()) && controlChars[i] != CONTROL_NONE) {
            appendControlMarker(bs, mode, controlChars[i]);
            continue;
        }
        // Two characters of the digit set in a row are worth a latch to digit.
        const bool digitAhead =
            mode != SET_DIGIT && i + 1 < len && inSet(c, SET_DIGIT) && inSet(b[i + 1], SET_DIGIT);
        const int codeValue = digitAhead ? NOT_FOUND : findInSet(c, mode);
        if (codeValue != NOT_FOUND) {
            bs->addBits(codeValue, widthIn(mode));
            continue;
        }
        int target = digitAhead ? SET_DIGIT : findChartSet(c);
        if (target == NOT_FOUND)
            target = SET_BYTE;
        const bool upperFollows = i + 2 < len && inSet(b[i + 1], SET_UPPER) && inSet(b[i + 2], SET_UPPER);
        mode = appendPrefix(bs, mode, target, upperFollows);
        appendCharacter(bs, c, target);
    }
}

void Aztec::encodeBytesAsBinary(const int* b, int len, BitString* bs) const {
    addStructuredAppend(bs);
    // One byte shift announces at most 2,078 bytes; longer data gets one shift per
    // run of that length, so the count field never overflows.
    for (int pos = 0; pos < len;) {
        const int run = std::min(len - pos, MAX_BYTE_RUN);
        bs->addBits(SHIFT_BYTE, 5);
        if (run < 32) {
            bs->addBits(run, 5);
        } else {
            bs->addBits(0, 5);
            bs->addBits(run - 31, 11);
        }
        // Four bytes per append; each keeps its low eight bits.
        const int* bytes = b + pos;
        int i = 0;
        for (; i + 4 <= run; i += 4) {
            const std::uint32_t four = (static_cast<std::uint32_t>(bytes[i]) & 0xFF) << 24 |
                                       (static_cast<std::uint32_t>(bytes[i + 1]) & 0xFF) << 16 |
                                       (static_cast<std::uint32_t>(bytes[i + 2]) & 0xFF) << 8 |
                                       (static_cast<std::uint32_t>(bytes[i + 3]) & 0xFF);
            bs->addBits(static_cast<int>(four), 32);
        }
        for (; i < run; ++i)
            bs->addBits(bytes[i], 8);
        pos += run;
    }
}

void Aztec::addStructuredAppend(BitString* bs) const {
    if (!structuredAppend)
        return;
    bs->addBits(LATCH_MIXED, 5);
    bs->addBits(LATCH_UPPERCASE_FROM_MIXED, 5);
    bs->addBits(findInSet(' ', SET_UPPER), 5);
    std::vector<int> id(fileId.begin(), fileId.end());
    for (int& v : id)
        v &= 0xFF;
    encodeBytes(id.data(), static_cast<int>(id.size()), SET_UPPER, false, false, bs);
    bs->addBits(findInSet(' ', SET_UPPER), 5);
    bs->addBits(findInSet(64 + structuredAppendIndex, SET_UPPER), 5);
    bs->addBits(findInSet(64 + structuredAppendCounter, SET_UPPER), 5);
}

int Aztec::createCodewords(int B, BitString* bs, int* codewords) {
    const int count = stuffCodewords(*bs, B, codewords);
    bs->removeFront(bs->getLength());
    return count;
}

void Aztec::getModeMessage(int layers, int codewords, bool compact, BitString* bs) const {
    BitString message;
    int n = codewords - 1;
    int words;
    int checks;
    if (compact) {
        message.addBits(layers - 1, 2);
        if (readerInitialization && n < 32)
            n += 32;
        message.addBits(n, 6);
        words = 2;
        checks = 5;
    } else {
        message.addBits(layers - 1, 5);
        if (readerInitialization && n < 1024)
            n += 1024;
        message.addBits(n, 11);
        words = 4;
        checks = 6;
    }
    int wd[11] = {};
    for (int i = 0; i < words; ++i)
        wd[i] = message.getAndRemoveBits(4);
    ReedSolomon(wd, words, checks, 16, 19);  // GF(16), x^4 + x + 1
    for (int i = 0; i < words + checks; ++i)
        bs->addBits(wd[i], 4);
}

bool Aztec::eligible(int row) const {
    switch (configurationType) {
    case CONFIGURATION_ANY: return true;
    case CONFIGURATION_COMPACT: return isCompactRow(row);
    case CONFIGURATION_FULL: return !isCompactRow(row);
    default: return false;
    }
}

bool Aztec::countFits(int row, int count) const {
    // The mode message counts data codewords in 6 bits (compact) or 11 bits
    // (full-range); reader initialisation takes the top bit of the count.
    const int countBits = isCompactRow(row) ? 6 : 11;
    const int limit = 1 << (readerInitialization ? countBits - 1 : countBits);
    return count <= limit;
}

int Aztec::mostDataBits(int start, int margin, double dataShare) const {
    if (!autoConfigurate)
        return configuration[start][CONF_CAPACITY];
    int largest = start;
    for (int row = start; row < CONFIGURATION_COUNT; ++row)
        if (eligible(row))
            largest = row;
    // The longest stream whose scaled size still passes the sizing test there.
    const int room = configuration[largest][CONF_CAPACITY] - margin;
    int bits = static_cast<int>(room * dataShare / 100.0) + 1;
    while (bits > 0 && static_cast<int>(std::ceil(bits * 100.0 / dataShare)) > room)
        --bits;
    return std::max(bits, 0);
}

void Aztec::fail(Status why) {
    status = why;
    bitmap.clear();
    rows = 0;
    cols = 0;
    selectedConfiguration = -1;
    controlChars.clear();
}

void Aztec::paint() { encodeBitmap(); }

// The sizing test: correctionLevel percent of the symbol, plus three codewords
// scaled the same way, are kept for check words. The margin uses the codeword
// size of the starting row for every candidate.
struct Aztec::Sizing {
    double dataShare;
    int requiredSize;
    int start;
    int margin;
    bool passes(int row) const { return configuration[row][CONF_CAPACITY] >= margin + requiredSize; }
};

Aztec::Sizing Aztec::sizeFor(int bits) const {
    Sizing s;
    s.dataShare = 100.0 - correctionLevel;
    s.requiredSize = static_cast<int>(std::ceil(bits * 100.0 / s.dataShare));
    const int requiredExtraChars = static_cast<int>(std::ceil(300.0 / s.dataShare));
    s.start = std::max(preferredConfiguration, 0);
    s.margin = configuration[s.start][CONF_CODEWORD_SIZE] * requiredExtraChars;
    return s;
}

int Aztec::selectRow(const Sizing& sizing) const {
    if (!autoConfigurate || sizing.passes(sizing.start))
        return sizing.start;
    for (int row = sizing.start; row < CONFIGURATION_COUNT; ++row)
        if (eligible(row) && sizing.passes(row))
            return row;
    return sizing.start;
}

void Aztec::encodeMessage(BitString* bs) {
    // The bytes when given, else the text after its tilde escapes.
    std::vector<int> message;
    bool useControlChars = false;
    if (codeBinaryLen < 1 || codeBinary == nullptr) {
        controlChars.assign(code.size(), CONTROL_NONE);
        const std::string text = processTilde ? applyTilde(code) : code;
        message.reserve(text.size());
        for (char ch : text)
            message.push_back(static_cast<unsigned char>(ch));
        useControlChars = true;
    } else {
        message.assign(codeBinary, codeBinary + codeBinaryLen);
    }
    // The binary encoder cannot write FNC1 or ECI: it would encode their
    // placeholders as the byte '0' and the symbol would read as other data. A
    // message with such markers takes the character encoder, which writes them
    // and any byte as well.
    const bool hasMarkers = useControlChars && std::any_of(controlChars.begin(), controlChars.end(),
                                                           [](int c) { return c != CONTROL_NONE; });
    const int len = static_cast<int>(message.size());
    if (encoding == ENC_BINARY && !hasMarkers)
        encodeBytesAsBinary(message.data(), len, bs);
    else
        encodeBytes(message.data(), len, SET_UPPER, useControlChars, true, bs);
    controlChars.clear();
}

bool Aztec::cutIntoCodewords(const BitString& bs, int& selected, std::vector<int>& words, int& nd) const {
    nd = cutCodewords(bs, configuration[selected][CONF_CODEWORD_SIZE], words);
    if (!countFits(selected, nd) && nd <= configuration[selected][CONF_CODEWORDS] && autoConfigurate) {
        for (int row = selected + 1; row < CONFIGURATION_COUNT; ++row) {
            if (!eligible(row))
                continue;
            const bool sameSize =
                configuration[row][CONF_CODEWORD_SIZE] == configuration[selected][CONF_CODEWORD_SIZE];
            std::vector<int> rowWords;
            const int rowNd = sameSize ? nd : cutCodewords(bs, configuration[row][CONF_CODEWORD_SIZE], rowWords);
            if (countFits(row, rowNd) && rowNd <= configuration[row][CONF_CODEWORDS]) {
                if (!sameSize)
                    words.swap(rowWords);
                nd = rowNd;
                selected = row;
                break;
            }
        }
    }
    if (!countFits(selected, nd) || nd > configuration[selected][CONF_CODEWORDS])
        return false;
    if (nd == 0) {
        // An empty message still needs one data codeword for the mode message to
        // count: padding 1-bits ending in a stuffed 0.
        nd = 1;
        words.assign(1, (1 << configuration[selected][CONF_CODEWORD_SIZE]) - 2);
    }
    return true;
}

int Aztec::addCheckWords(int selected, std::vector<int>& words, int nd) {
    const int B = configuration[selected][CONF_CODEWORD_SIZE];
    const int nc = std::max(configuration[selected][CONF_CODEWORDS] - nd, 0);
    words.resize(static_cast<size_t>(nd) + nc + 1);
    if (nc > 0)
        ReedSolomon(words.data(), nd, nc, 1 << B, primePolynomial(B));
    return nc;
}

void Aztec::layOut(int selected, const std::vector<int>& words, int nd, int count) {
    const bool compact = isCompactRow(selected);
    cols = configuration[selected][CONF_COLUMNS];
    rows = configuration[selected][CONF_ROWS];
    bitmap.assign(static_cast<size_t>(rows) * cols, ABitMap::EMPTY);
    ABitMap map(cols, rows, compact, bitmap.data());
    BitString modeMessage;
    getModeMessage(configuration[selected][CONF_DATA_LAYERS], nd, compact, &modeMessage);
    map.placeModeMessage(&modeMessage, compact);
    // The codewords go in as the stream of them, B bits each, would.
    map.placeCodewords(words.data(), count, configuration[selected][CONF_CODEWORD_SIZE], compact);
}

void Aztec::encodeBitmap() {
    dataBits = 0;
    maxDataBits = 0;
    dataCodewords = 0;
    if (preferredConfiguration >= CONFIGURATION_COUNT)
        return fail(STATUS_BAD_CONFIGURATION);
    if (correctionLevel < 0 || correctionLevel > 99)
        return fail(STATUS_BAD_LEVEL);

    // 1-2. The message and its bit stream.
    BitString bs;
    encodeMessage(&bs);
    dataBits = bs.getLength();

    // 3. Size.
    const Sizing sizing = sizeFor(dataBits);
    int selected = selectRow(sizing);

    // 4. Codewords with bit stuffing. When the row's mode message cannot express
    // the count of data codewords, the next larger allowed row that can is taken.
    std::vector<int> words;
    int nd = 0;
    if (!cutIntoCodewords(bs, selected, words, nd)) {
        maxDataBits = mostDataBits(sizing.start, sizing.margin, sizing.dataShare);
        return fail(STATUS_DATA_TOO_LARGE);
    }
    selectedConfiguration = selected;
    dataCodewords = nd;

    // 5. Every codeword slot the data leaves free becomes a check word.
    const int nc = addCheckWords(selected, words, nd);

    // 6-8. The matrix: fixed patterns, mode message, data.
    layOut(selected, words, nd, nd + nc);

    // 9. Colours: white and grey modules, and any left empty, are light.
    for (int& v : bitmap)
        v = ABitMap::isBlack(v) ? 0x000000 : 0xFFFFFF;
    status = STATUS_OK;
}
