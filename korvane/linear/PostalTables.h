#pragma once
// What the postal encoders and their readers share: the bar states of the
// four-state codes as letters, the Intelligent Mail barcode's bar table,
// CRC-11 and codeword tables, and the character tables of Royal Mail's
// 4-state customer code (which KIX shares) and of PLANET.
//
// Bar states are written as letters: F full, A ascender, D descender,
// T tracker (the middle band alone).

#include <array>
#include <cstdint>
#include <string_view>

namespace korvane::postal {

// A state from whether the bar reaches up and whether it reaches down.
constexpr char stateOf(bool up, bool down) { return up ? (down ? 'F' : 'A') : (down ? 'D' : 'T'); }
constexpr bool reachesUp(char state) { return state == 'F' || state == 'A'; }
constexpr bool reachesDown(char state) { return state == 'F' || state == 'D'; }

// ---- Intelligent Mail barcode (USPS-B-3200) ----

// Ten 13-bit characters A-J spread over 65 bars. Bar i takes its descender
// from bit `descenderBit` of character `descender` and its ascender likewise
// (characters 0-9 for A-J, bits 0-12); the postal service's bar table, left
// to right.
struct ImbBar {
    std::uint8_t descender, descenderBit, ascender, ascenderBit;
};
constexpr int A = 0, B = 1, C = 2, D = 3, E = 4, F = 5, G = 6, H = 7, I = 8, J = 9;
constexpr ImbBar IMB_BARS[65] = {
    {H, 2, E, 3},   {B, 10, A, 0},  {J, 12, C, 8},  {F, 5, G, 11},  {I, 9, D, 1},   // bars 1-5
    {A, 1, F, 12},  {C, 5, B, 8},   {E, 4, J, 11},  {G, 3, I, 10},  {D, 9, H, 6},   // 6-10
    {F, 11, B, 4},  {I, 5, C, 12},  {J, 10, A, 2},  {H, 1, G, 7},   {D, 6, E, 9},   // 11-15
    {A, 3, I, 6},   {G, 4, C, 7},   {B, 1, J, 9},   {H, 10, F, 2},  {E, 0, D, 8},   // 16-20
    {G, 2, A, 4},   {I, 11, B, 0},  {J, 8, D, 12},  {C, 6, H, 7},   {F, 1, E, 10},  // 21-25
    {B, 12, G, 9},  {H, 3, I, 0},   {F, 8, J, 7},   {E, 6, C, 10},  {D, 4, A, 5},   // 26-30
    {I, 4, F, 7},   {H, 11, B, 9},  {G, 0, J, 6},   {A, 6, E, 8},   {C, 1, D, 2},   // 31-35
    {F, 9, I, 12},  {E, 11, G, 1},  {J, 5, H, 4},   {D, 3, B, 2},   {A, 7, C, 0},   // 36-40
    {B, 3, E, 1},   {G, 10, D, 5},  {I, 7, J, 4},   {C, 11, F, 6},  {A, 8, H, 12},  // 41-45
    {E, 2, I, 1},   {F, 10, D, 0},  {J, 3, A, 9},   {G, 5, C, 4},   {H, 8, B, 7},   // 46-50
    {F, 0, E, 5},   {C, 3, A, 10},  {G, 12, J, 2},  {D, 11, B, 6},  {I, 8, H, 9},   // 51-55
    {F, 4, A, 11},  {B, 5, C, 2},   {J, 1, E, 12},  {I, 3, G, 6},   {H, 0, D, 7},   // 56-60
    {E, 7, H, 5},   {A, 12, B, 11}, {C, 9, J, 0},   {G, 8, F, 3},   {D, 10, I, 2},  // 61-65
};

// Every bit of every character is drawn exactly once.
constexpr bool eachBitOnce() {
    int seen[10] = {};
    for (const ImbBar& b : IMB_BARS) {
        if (b.descender > 9 || b.ascender > 9 || b.descenderBit > 12 || b.ascenderBit > 12)
            return false;
        seen[b.descender] |= 1 << b.descenderBit;
        const int before = seen[b.ascender];
        seen[b.ascender] |= 1 << b.ascenderBit;
        if (before == seen[b.ascender])
            return false;
    }
    for (int s : seen)
        if (s != 0x1FFF)
            return false;
    return true;
}
static_assert(eachBitOnce());

constexpr int IMB_FIVE_OF_13 = 1287;  // 13 choose 5
constexpr int IMB_TWO_OF_13 = 78;     // 13 choose 2
constexpr int IMB_CODEWORDS = IMB_FIVE_OF_13 + IMB_TWO_OF_13;  // 1365

// The characters of the codewords: the 13-bit values with `n` bits set, in
// the order the postal service's rule gives (a value and its bit reversal
// side by side from the front, the symmetric ones from the back).
template <int Length>
constexpr std::array<std::uint16_t, Length> nOf13(int n) {
    std::array<std::uint16_t, Length> t{};
    int low = 0, high = Length - 1;
    for (int v = 0; v < 8192; ++v) {
        int bits = 0, reverse = 0;
        for (int k = 0; k < 13; ++k)
            if (v & (1 << k)) {
                ++bits;
                reverse |= 1 << (12 - k);
            }
        if (bits != n || reverse < v)
            continue;
        if (reverse == v) {
            t[high--] = static_cast<std::uint16_t>(v);
        } else {
            t[low++] = static_cast<std::uint16_t>(v);
            t[low++] = static_cast<std::uint16_t>(reverse);
        }
    }
    return t;
}

// The character of codeword 0-1364, and the codeword of a character (-1 for
// a value that is no character); made at first use.
std::uint16_t imbCharacter(int codeword);
int imbCodeword(std::uint16_t character);

// The frame check sequence over the 102-bit value in 13 bytes, most
// significant first (the top two bits of the first byte are left out):
// CRC-11 with the generator 0xF35, started at all ones.
constexpr int imbCrc(const std::uint8_t (&bytes)[13]) {
    int fcs = 0x7FF;
    for (int i = 0; i < 13; ++i) {
        int data = bytes[i] << (i == 0 ? 5 : 3);
        for (int bit = i == 0 ? 2 : 0; bit < 8; ++bit) {
            fcs = ((fcs ^ data) & 0x400) ? ((fcs << 1) ^ 0xF35) : (fcs << 1);
            fcs &= 0x7FF;
            data <<= 1;
        }
    }
    return fcs;
}

// The 102-bit value of the tracking and routing codes: four 32-bit limbs,
// the least significant first.
struct ImbValue {
    std::uint32_t limb[4] = {};

    void mulAdd(std::uint32_t m, std::uint32_t add) {
        std::uint64_t carry = add;
        for (std::uint32_t& l : limb) {
            const std::uint64_t v = static_cast<std::uint64_t>(l) * m + carry;
            l = static_cast<std::uint32_t>(v);
            carry = v >> 32;
        }
    }
    std::uint32_t divMod(std::uint32_t d) {
        std::uint64_t rest = 0;
        for (int i = 3; i >= 0; --i) {
            const std::uint64_t v = (rest << 32) | limb[i];
            limb[i] = static_cast<std::uint32_t>(v / d);
            rest = v % d;
        }
        return static_cast<std::uint32_t>(rest);
    }
    void bytes(std::uint8_t (&out)[13]) const {
        for (int k = 0; k < 13; ++k) {
            const int from = 12 - k;  // byte `from` counted from the least significant
            out[k] = static_cast<std::uint8_t>(limb[from / 4] >> (8 * (from % 4)));
        }
    }
};

// Routing codes of 5, 9 and 11 digits are told apart by ranges of the value:
// none is 0, a ZIP code adds 1, ZIP+4 a further 100,000, a delivery point a
// further 1,000,000,000.
constexpr std::uint64_t IMB_ROUTING_BASE[4] = {0, 1, 1 + 100000ull, 1 + 100000ull + 1000000000ull};
constexpr int IMB_ROUTING_LENGTHS[4] = {0, 5, 9, 11};

// ---- Royal Mail 4-state customer code and KIX ----

// Each character is four bars, two reaching up and two reaching down. The
// bars that reach up give the character's row, those that reach down its
// column, each 1-6 in the order of these patterns (1 for a bar that reaches).
constexpr const char* RM4SCC_TWO_OF_FOUR[6] = {"0011", "0101", "0110", "1001", "1010", "1100"};
constexpr std::string_view RM4SCC_CHARACTERS = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
static_assert(RM4SCC_CHARACTERS.size() == 36);

constexpr bool twoOfFourEach() {
    for (const char* p : RM4SCC_TWO_OF_FOUR) {
        int ones = 0;
        for (int i = 0; i < 4; ++i)
            ones += p[i] == '1';
        if (ones != 2)
            return false;
    }
    return true;
}
static_assert(twoOfFourEach());

// The four states of character `index` (row (index / 6) + 1, column (index % 6) + 1).
constexpr std::array<char, 4> rm4sccBars(int index) {
    std::array<char, 4> bars{};
    for (int i = 0; i < 4; ++i)
        bars[i] = stateOf(RM4SCC_TWO_OF_FOUR[index / 6][i] == '1', RM4SCC_TWO_OF_FOUR[index % 6][i] == '1');
    return bars;
}

// The index of a character's four states, -1 for none.
constexpr int rm4sccIndex(const char* bars) {
    int row = -1, column = -1;
    for (int p = 0; p < 6; ++p) {
        bool up = true, down = true;
        for (int i = 0; i < 4; ++i) {
            up = up && reachesUp(bars[i]) == (RM4SCC_TWO_OF_FOUR[p][i] == '1');
            down = down && reachesDown(bars[i]) == (RM4SCC_TWO_OF_FOUR[p][i] == '1');
        }
        if (up)
            row = p;
        if (down)
            column = p;
    }
    return row < 0 || column < 0 ? -1 : row * 6 + column;
}

// The check character: the rows and the columns of the data each summed
// modulo 6, a remainder of 0 standing for 6.
constexpr int rm4sccCheck(int rowSum, int columnSum) {
    const int row = rowSum % 6 == 0 ? 6 : rowSum % 6;
    const int column = columnSum % 6 == 0 ? 6 : columnSum % 6;
    return (row - 1) * 6 + column - 1;
}

// ---- PLANET ----

// Five bars a digit, three full and two half; the half bars stand where
// Postnet's full ones do: at the two places of weights 7, 4, 2, 1, 0 that sum
// to the digit (11 for 0).
constexpr std::array<bool, 5> planetFull(int digit) {
    constexpr int WEIGHTS[5] = {7, 4, 2, 1, 0};
    const int sum = digit == 0 ? 11 : digit;
    std::array<bool, 5> full{true, true, true, true, true};
    for (int i = 0; i < 5; ++i)
        for (int j = i + 1; j < 5; ++j)
            if (WEIGHTS[i] + WEIGHTS[j] == sum)
                full[i] = full[j] = false;
    return full;
}

// ---- Australia Post 4-state customer barcodes ----

// Bar values 0-3 are full, ascender, descender and tracker; three bars make
// a symbol of GF(64) (the first bar the highest two bits).
constexpr char AUS_STATES[4] = {'F', 'A', 'D', 'T'};
constexpr int ausValue(char state) { return state == 'F' ? 0 : state == 'A' ? 1 : state == 'D' ? 2 : 3; }

// Table N: a digit in two bars, 0-9 counting 00, 01, 02, 10, ... 22, 30.
constexpr std::array<char, 2> ausDigit(int d) { return {AUS_STATES[d / 3], AUS_STATES[d % 3]}; }

// The format control codes and what each barcode is: its bar count, the
// digits of customer information it carries in table N, and its row (0
// auspost, 1 ausreply, 2 ausroute, 3 ausredirect).
struct AusFormat {
    int fcc;
    int bars;
    int customerDigits;
    int row;
};
constexpr AusFormat AUS_FORMATS[] = {
    {11, 37, 0, 0},   // standard customer barcode
    {59, 52, 8, 0},   // customer barcode 2
    {62, 67, 15, 0},  // customer barcode 3
    {45, 37, 0, 1},   // reply paid
    {87, 37, 0, 2},   // routing
    {92, 37, 0, 3},   // redirection
};
constexpr const char* AUS_FCC_LIST = "11, 59, 62, 45, 87 and 92";
// Start and stop are each an ascender and a tracker; four parity symbols of
// three bars each precede the stop.
constexpr int AUS_FRAME_BARS = 2;
constexpr int AUS_PARITY_BARS = 12;

// GF(64) by the primitive polynomial x^6 + x + 1.
struct Gf64 {
    std::uint8_t exp[126] = {};
    std::uint8_t log[64] = {};
    constexpr Gf64() {
        int x = 1;
        for (int i = 0; i < 63; ++i) {
            exp[i] = exp[i + 63] = static_cast<std::uint8_t>(x);
            log[x] = static_cast<std::uint8_t>(i);
            x <<= 1;
            if (x & 64)
                x ^= 0x43;
        }
    }
    constexpr int mul(int a, int b) const { return a == 0 || b == 0 ? 0 : exp[log[a] + log[b]]; }
};
constexpr Gf64 GF64{};

// The Reed-Solomon generator with the roots a^1 to a^4: the coefficients of
// x^3, x^2, x and 1 (that of x^4 is 1).
constexpr std::array<int, 4> ausGenerator() {
    int g[5] = {1, 0, 0, 0, 0};  // g[k]: the coefficient of x^k
    for (int root = 1; root <= 4; ++root) {
        int next[5] = {};
        for (int k = 0; k < 5; ++k) {
            if (k > 0)
                next[k] ^= g[k - 1];
            next[k] ^= GF64.mul(g[k], GF64.exp[root]);
        }
        for (int k = 0; k < 5; ++k)
            g[k] = next[k];
    }
    return {g[3], g[2], g[1], g[0]};
}
// Australia Post gives the generator as 48 + 17x + 29x^2 + 30x^3 + x^4.
static_assert(ausGenerator()[0] == 30 && ausGenerator()[1] == 29 && ausGenerator()[2] == 17 &&
              ausGenerator()[3] == 48);

// The four parity symbols of data symbols [first, last), highest first.
template <typename It>
constexpr std::array<int, 4> ausParity(It first, It last) {
    constexpr std::array<int, 4> g = ausGenerator();
    std::array<int, 4> parity{};
    for (; first != last; ++first) {
        const int feedback = *first ^ parity[0];
        for (int i = 0; i < 3; ++i)
            parity[i] = parity[i + 1] ^ GF64.mul(feedback, g[i]);
        parity[3] = GF64.mul(feedback, g[3]);
    }
    return parity;
}

}  // namespace korvane::postal
