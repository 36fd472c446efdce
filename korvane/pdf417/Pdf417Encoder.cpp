// PDF417 (ISO/IEC 15438): error correction, the symbol's shape, and encode(),
// which runs the stages: data codewords (Pdf417Compaction.cpp), shape and
// symbol codewords (here) and rows (Pdf417Rows.cpp).

#include "Pdf417.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace korvane::pdf417 {
namespace {

constexpr int MOD = 929;
constexpr int MAX_CODEWORDS = 928;  // Reed-Solomon over GF(929): at most 928 codewords in a symbol
constexpr int PAD = 900;
constexpr int MACRO_CONTROL_BLOCK = 928;  // the codeword that begins one
constexpr int MAX_COLUMNS = 30;
constexpr int MIN_ROWS = 3;
constexpr int MAX_ROWS = 90;

// The generator polynomials (x - 3)(x - 3^2)...(x - 3^k) of the nine levels,
// k = 2^(level+1), lowest coefficient first, the leading 1 left out, level 0
// first. Multiplying them out is too much for some compilers' constant
// evaluation and too slow to repeat per symbol, so they are written out; the
// tests have zxing-cpp and our reader check the words they give at every level.
constexpr int GENERATOR_OFFSET[9] = {0, 2, 6, 14, 30, 62, 126, 254, 510};
constexpr std::uint16_t GENERATOR_COEFFICIENTS[1022] = {
    27, 917, 522, 568, 723, 809, 237, 308, 436, 284, 646, 653, 428, 379, 274, 562,
    232, 755, 599, 524, 801, 132, 295, 116, 442, 428, 295, 42, 176, 65, 361, 575,
    922, 525, 176, 586, 640, 321, 536, 742, 677, 742, 687, 284, 193, 517, 273, 494,
    263, 147, 593, 800, 571, 320, 803, 133, 231, 390, 685, 330, 63, 410, 539, 422,
    6, 93, 862, 771, 453, 106, 610, 287, 107, 505, 733, 877, 381, 612, 723, 476,
    462, 172, 430, 609, 858, 822, 543, 376, 511, 400, 672, 762, 283, 184, 440, 35,
    519, 31, 460, 594, 225, 535, 517, 352, 605, 158, 651, 201, 488, 502, 648, 733,
    717, 83, 404, 97, 280, 771, 840, 629, 4, 381, 843, 623, 264, 543, 521, 310,
    864, 547, 858, 580, 296, 379, 53, 779, 897, 444, 400, 925, 749, 415, 822, 93,
    217, 208, 928, 244, 583, 620, 246, 148, 447, 631, 292, 908, 490, 704, 516, 258,
    457, 907, 594, 723, 674, 292, 272, 96, 684, 432, 686, 606, 860, 569, 193, 219,
    129, 186, 236, 287, 192, 775, 278, 173, 40, 379, 712, 463, 646, 776, 171, 491,
    297, 763, 156, 732, 95, 270, 447, 90, 507, 48, 228, 821, 808, 898, 784, 663,
    627, 378, 382, 262, 380, 602, 754, 336, 89, 614, 87, 432, 670, 616, 157, 374,
    242, 726, 600, 269, 375, 898, 845, 454, 354, 130, 814, 587, 804, 34, 211, 330,
    539, 297, 827, 865, 37, 517, 834, 315, 550, 86, 801, 4, 108, 539, 524, 894,
    75, 766, 882, 857, 74, 204, 82, 586, 708, 250, 905, 786, 138, 720, 858, 194,
    311, 913, 275, 190, 375, 850, 438, 733, 194, 280, 201, 280, 828, 757, 710, 814,
    919, 89, 68, 569, 11, 204, 796, 605, 540, 913, 801, 700, 799, 137, 439, 418,
    592, 668, 353, 859, 370, 694, 325, 240, 216, 257, 284, 549, 209, 884, 315, 70,
    329, 793, 490, 274, 877, 162, 749, 812, 684, 461, 334, 376, 849, 521, 307, 291,
    803, 712, 19, 358, 399, 908, 103, 511, 51, 8, 517, 225, 289, 470, 637, 731,
    66, 255, 917, 269, 463, 830, 730, 433, 848, 585, 136, 538, 906, 90, 2, 290,
    743, 199, 655, 903, 329, 49, 802, 580, 355, 588, 188, 462, 10, 134, 628, 320,
    479, 130, 739, 71, 263, 318, 374, 601, 192, 605, 142, 673, 687, 234, 722, 384,
    177, 752, 607, 640, 455, 193, 689, 707, 805, 641, 48, 60, 732, 621, 895, 544,
    261, 852, 655, 309, 697, 755, 756, 60, 231, 773, 434, 421, 726, 528, 503, 118,
    49, 795, 32, 144, 500, 238, 836, 394, 280, 566, 319, 9, 647, 550, 73, 914,
    342, 126, 32, 681, 331, 792, 620, 60, 609, 441, 180, 791, 893, 754, 605, 383,
    228, 749, 760, 213, 54, 297, 134, 54, 834, 299, 922, 191, 910, 532, 609, 829,
    189, 20, 167, 29, 872, 449, 83, 402, 41, 656, 505, 579, 481, 173, 404, 251,
    688, 95, 497, 555, 642, 543, 307, 159, 924, 558, 648, 55, 497, 10, 352, 77,
    373, 504, 35, 599, 428, 207, 409, 574, 118, 498, 285, 380, 350, 492, 197, 265,
    920, 155, 914, 299, 229, 643, 294, 871, 306, 88, 87, 193, 352, 781, 846, 75,
    327, 520, 435, 543, 203, 666, 249, 346, 781, 621, 640, 268, 794, 534, 539, 781,
    408, 390, 644, 102, 476, 499, 290, 632, 545, 37, 858, 916, 552, 41, 542, 289,
    122, 272, 383, 800, 485, 98, 752, 472, 761, 107, 784, 860, 658, 741, 290, 204,
    681, 407, 855, 85, 99, 62, 482, 180, 20, 297, 451, 593, 913, 142, 808, 684,
    287, 536, 561, 76, 653, 899, 729, 567, 744, 390, 513, 192, 516, 258, 240, 518,
    794, 395, 768, 848, 51, 610, 384, 168, 190, 826, 328, 596, 786, 303, 570, 381,
    415, 641, 156, 237, 151, 429, 531, 207, 676, 710, 89, 168, 304, 402, 40, 708,
    575, 162, 864, 229, 65, 861, 841, 512, 164, 477, 221, 92, 358, 785, 288, 357,
    850, 836, 827, 736, 707, 94, 8, 494, 114, 521, 2, 499, 851, 543, 152, 729,
    771, 95, 248, 361, 578, 323, 856, 797, 289, 51, 684, 466, 533, 820, 669, 45,
    902, 452, 167, 342, 244, 173, 35, 463, 651, 51, 699, 591, 452, 578, 37, 124,
    298, 332, 552, 43, 427, 119, 662, 777, 475, 850, 764, 364, 578, 911, 283, 711,
    472, 420, 245, 288, 594, 394, 511, 327, 589, 777, 699, 688, 43, 408, 842, 383,
    721, 521, 560, 644, 714, 559, 62, 145, 873, 663, 713, 159, 672, 729, 624, 59,
    193, 417, 158, 209, 563, 564, 343, 693, 109, 608, 563, 365, 181, 772, 677, 310,
    248, 353, 708, 410, 579, 870, 617, 841, 632, 860, 289, 536, 35, 777, 618, 586,
    424, 833, 77, 597, 346, 269, 757, 632, 695, 751, 331, 247, 184, 45, 787, 680,
    18, 66, 407, 369, 54, 492, 228, 613, 830, 922, 437, 519, 644, 905, 789, 420,
    305, 441, 207, 300, 892, 827, 141, 537, 381, 662, 513, 56, 252, 341, 242, 797,
    838, 837, 720, 224, 307, 631, 61, 87, 560, 310, 756, 665, 397, 808, 851, 309,
    473, 795, 378, 31, 647, 915, 459, 806, 590, 731, 425, 216, 548, 249, 321, 881,
    699, 535, 673, 782, 210, 815, 905, 303, 843, 922, 281, 73, 469, 791, 660, 162,
    498, 308, 155, 422, 907, 817, 187, 62, 16, 425, 535, 336, 286, 437, 375, 273,
    610, 296, 183, 923, 116, 667, 751, 353, 62, 366, 691, 379, 687, 842, 37, 357,
    720, 742, 330, 5, 39, 923, 311, 424, 242, 749, 321, 54, 669, 316, 342, 299,
    534, 105, 667, 488, 640, 672, 576, 540, 316, 486, 721, 610, 46, 656, 447, 171,
    616, 464, 190, 531, 297, 321, 762, 752, 533, 175, 134, 14, 381, 433, 717, 45,
    111, 20, 596, 284, 736, 138, 646, 411, 877, 669, 141, 919, 45, 780, 407, 164,
    332, 899, 165, 726, 600, 325, 498, 655, 357, 752, 768, 223, 849, 647, 63, 310,
    863, 251, 366, 304, 282, 738, 675, 410, 389, 244, 31, 121, 303, 263,
};
// Level 0: (x - 3)(x - 9) = x^2 - 12 x + 27, and -12 is 917 modulo 929.
static_assert(GENERATOR_COEFFICIENTS[0] == 27 && GENERATOR_COEFFICIENTS[1] == 917);

}  // namespace

namespace detail {

std::vector<int> checkWords(const std::vector<int>& data, int count) {
    const int level = __builtin_ctz(static_cast<unsigned>(count)) - 1;
    const std::uint16_t* g = &GENERATOR_COEFFICIENTS[GENERATOR_OFFSET[level]];
    // The remainder of data(x) * x^count over g(x), rem[0] its top
    // coefficient, kept unreduced: a coefficient gathers at most `count` terms
    // of under 929^2 as it moves down (512 x 863,041 < 2^32), so only the
    // feedback term is reduced, once per data codeword.
    std::vector<std::uint32_t> negated(static_cast<std::size_t>(count));
    for (int j = 0; j < count; ++j)
        negated[static_cast<std::size_t>(j)] = static_cast<std::uint32_t>((MOD - g[count - 1 - j]) % MOD);
    // Two coefficients ride in one 64-bit word: t times a pair of 10-bit
    // factors adds under 2^20 to each 32-bit half, which stays below 2^32 (see
    // above), so no carry crosses between them. `count` is even.
    std::vector<std::uint32_t> rem(static_cast<std::size_t>(count) + 1, 0);
    std::vector<std::uint32_t> shifted(static_cast<std::size_t>(count) + 1, 0);
    for (int d : data) {
        const std::uint64_t t = (static_cast<std::uint32_t>(d) + rem[0]) % MOD;
        const std::uint32_t* in = rem.data() + 1;
        const std::uint32_t* by = negated.data();
        std::uint32_t* out = shifted.data();
        for (std::size_t j = 0; j < static_cast<std::size_t>(count); j += 2) {
            std::uint64_t a, b;
            std::memcpy(&a, in + j, sizeof a);
            std::memcpy(&b, by + j, sizeof b);
            a += t * b;
            std::memcpy(out + j, &a, sizeof a);
        }
        rem.swap(shifted);
    }
    std::vector<int> checks(static_cast<std::size_t>(count));
    for (std::size_t j = 0; j < checks.size(); ++j)
        checks[j] = static_cast<int>((MOD - rem[j] % MOD) % MOD);
    return checks;
}

int recommendedLevel(int dataCodewords) {
    if (dataCodewords <= 40)
        return 2;
    if (dataCodewords <= 160)
        return 3;
    if (dataCodewords <= 320)
        return 4;
    return 5;
}

}  // namespace detail

namespace {

Status checkOptions(const Options& o) {
    if (o.level < -1 || o.level > 8)
        return Error{ErrorCode::InvalidOption, "the PDF417 error-correction level is 0-8, not " + std::to_string(o.level)};
    if (o.columns != 0 && (o.columns < 1 || o.columns > MAX_COLUMNS))
        return Error{ErrorCode::InvalidOption, "PDF417 has 1-30 data columns, not " + std::to_string(o.columns)};
    if (o.rows != 0 && (o.rows < MIN_ROWS || o.rows > MAX_ROWS))
        return Error{ErrorCode::InvalidOption, "PDF417 has 3-90 rows, not " + std::to_string(o.rows)};
    if (o.rowHeight < 1 || o.rowHeight > 20)
        return Error{ErrorCode::InvalidOption, "a PDF417 row is 1-20 modules tall, not " + std::to_string(o.rowHeight)};
    if (!(o.aspect > 0.01 && o.aspect < 100))
        return Error{ErrorCode::InvalidOption, "the PDF417 width-to-height ratio is 0.01-100"};
    return Done{};
}

// The shape nearest the ratio asked for; among equals the fewest codewords,
// then the wider. Columns 0 when no shape holds `needed` codewords.
detail::Shape nearestShape(int needed, const Options& o) {
    detail::Shape best;
    double bestScore = 0;
    for (int c = 1; c <= MAX_COLUMNS; ++c) {
        const int r = std::max(MIN_ROWS, (needed + c - 1) / c);
        if (r > MAX_ROWS || r * c > MAX_CODEWORDS)
            continue;
        const double ratio = static_cast<double>(detail::widthFor(c, o.compact)) / (r * o.rowHeight);
        const double score = std::fabs(std::log(ratio / o.aspect));
        if (best.columns == 0 || score < bestScore - 1e-9 ||
            (score < bestScore + 1e-9 && r * c <= best.rows * best.columns)) {
            bestScore = score;
            best = {r, c};
        }
    }
    return best;
}

}  // namespace

Result<detail::Shape> detail::chooseShape(int needed, const Options& o) {
    int rows = o.rows;
    int columns = o.columns;
    if (rows != 0 && columns != 0) {
        if (rows * columns < needed || rows * columns > MAX_CODEWORDS)
            return Error{ErrorCode::DataTooLong, "the data needs " + std::to_string(needed) + " codewords; " +
                                                     std::to_string(rows) + " rows of " + std::to_string(columns) +
                                                     " columns " +
                                                     (rows * columns > MAX_CODEWORDS ? "exceed 928" : "hold " +
                                                          std::to_string(rows * columns))};
    } else if (columns != 0) {
        rows = std::max(MIN_ROWS, (needed + columns - 1) / columns);
        if (rows > MAX_ROWS || rows * columns > MAX_CODEWORDS)
            return Error{ErrorCode::DataTooLong, "the data needs " + std::to_string(needed) + " codewords; " +
                                                     std::to_string(columns) + " columns hold at most " +
                                                     std::to_string(std::min(MAX_ROWS * columns, MAX_CODEWORDS / columns * columns))};
    } else if (rows != 0) {
        columns = (needed + rows - 1) / rows;
        if (columns > MAX_COLUMNS || rows * columns > MAX_CODEWORDS)
            return Error{ErrorCode::DataTooLong, "the data needs " + std::to_string(needed) + " codewords; " +
                                                     std::to_string(rows) + " rows hold at most " +
                                                     std::to_string(std::min(MAX_COLUMNS * rows, MAX_CODEWORDS / rows * rows))};
        columns = std::max(columns, 1);
    } else {
        const detail::Shape nearest = nearestShape(needed, o);
        if (nearest.columns == 0)
            return Error{ErrorCode::DataTooLong, "the data needs " + std::to_string(needed) +
                                                     " codewords; no PDF417 shape holds them"};
        return nearest;
    }
    return detail::Shape{rows, columns};
}

std::vector<int> detail::symbolCodewords(const std::vector<int>& stream, int dataCodewords, int check) {
    std::vector<int> cw;
    cw.reserve(static_cast<std::size_t>(dataCodewords + check));
    cw.push_back(dataCodewords);
    // Padding goes before a Macro PDF417 control block, which must end the data.
    // (928 begins it; no data or ECI codeword reaches 900.)
    const auto macroAt = std::find(stream.begin(), stream.end(), MACRO_CONTROL_BLOCK);
    cw.insert(cw.end(), stream.begin(), macroAt);
    cw.insert(cw.end(), static_cast<std::size_t>(dataCodewords) - stream.size() - 1, PAD);
    cw.insert(cw.end(), macroAt, stream.end());
    const std::vector<int> checks = checkWords(cw, check);
    cw.insert(cw.end(), checks.begin(), checks.end());
    return cw;
}

Result<Symbol> encode(const Message& message, const Options& o) {
    if (const Status ok = checkOptions(o); !ok)
        return ok.error();
    // Past 2,710 digits (925 data codewords, 44 digits in 15) nothing fits:
    // longer data is refused before the search sizes its tables by it.
    constexpr std::size_t MOST_CHARACTERS = 2710;
    std::size_t characters = message.bytes.size() + message.markers.size();
    if (message.structuredAppend.index > 0)
        characters += o.macro.fileName.size() + o.macro.sender.size() + o.macro.addressee.size();
    if (characters > MOST_CHARACTERS)
        return Error{ErrorCode::DataTooLong, "the data and Macro fields have " + std::to_string(characters) +
                                                 " characters; a PDF417 symbol holds at most 2710 (digits)"};
    auto stream = detail::dataCodewords(message, o.macro);
    if (!stream)
        return stream.error();
    const int data = static_cast<int>(stream->size()) + 1;  // with the length descriptor
    int level = o.level;
    if (level < 0) {
        level = detail::recommendedLevel(data);
        while (level > 0 && data + (2 << level) > MAX_CODEWORDS)
            --level;  // the most data the largest symbol holds, with less protection
    }
    const int check = 2 << level;
    const int needed = data + check;
    if (needed > MAX_CODEWORDS)
        return Error{ErrorCode::DataTooLong, "the data needs " + std::to_string(needed) +
                                                 " codewords at level " + std::to_string(level) +
                                                 "; a PDF417 symbol holds 928"};
    const Result<detail::Shape> shape = detail::chooseShape(needed, o);
    if (!shape)
        return shape.error();
    Symbol s;
    s.rows = shape->rows;
    s.columns = shape->columns;
    s.level = level;
    s.checkCodewords = check;
    s.dataCodewords = s.rows * s.columns - check;
    s.padCodewords = s.dataCodewords - data;
    s.codewords = detail::symbolCodewords(*stream, s.dataCodewords, check);
    detail::drawRows(s, o.compact);
    return s;
}

}  // namespace korvane::pdf417
