// The PDF417 reader (ISO/IEC 15438): scan lines across the picture, each read
// from its start pattern as symbol characters of one cluster; the row
// indicators place every line in its row and give the symbol's shape; votes
// over the lines of a row give its codewords, Reed-Solomon over GF(929)
// corrects them (characters no line could read are erasures), and the
// codewords are decoded in their compaction modes.

#include "Readers.h"
#include "ReedSolomon.h"

#include "Pdf417Characters.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace korvane::detail {
namespace {

// --- the characters ---

// Eight element widths as one key, three bits each.
int keyOf(const int (&w)[8]) {
    int key = 0;
    for (int x : w)
        key = key * 8 + x;
    return key;
}

struct CharacterTable {
    std::array<std::vector<std::pair<int, int>>, 3> byKey;  // (key, codeword), sorted by key
    bool valid = true;
};

const CharacterTable& characters() {
    static const CharacterTable table = [] {
        CharacterTable t;
        for (int k = 0; k < 3; ++k) {
            for (int cw = 0; cw < 929; ++cw) {
                const char* s = PDF417_CHARACTERS[k][cw];
                int w[8] = {};
                int sum = 0;
                for (int i = 0; i < 8; ++i) {
                    w[i] = s[i] - '0';
                    sum += w[i];
                    t.valid = t.valid && w[i] >= 1 && w[i] <= 6;
                }
                t.valid = t.valid && s[8] == 0 && sum == 17 && (w[0] - w[2] + w[4] - w[6] + 9) % 9 == 3 * k;
                t.byKey[static_cast<std::size_t>(k)].push_back({keyOf(w), cw});
            }
            auto& v = t.byKey[static_cast<std::size_t>(k)];
            std::sort(v.begin(), v.end());
            t.valid = t.valid && std::adjacent_find(v.begin(), v.end(), [](auto a, auto b) {
                                     return a.first == b.first;
                                 }) == v.end();
        }
        return t;
    }();
    return table;
}

// The codeword of eight widths in cluster `k` (0-2), or -1.
int lookUp(const int (&w)[8], int k) {
    const auto& v = characters().byKey[static_cast<std::size_t>(k)];
    const int key = keyOf(w);
    const auto it = std::lower_bound(v.begin(), v.end(), std::make_pair(key, -1));
    return it != v.end() && it->first == key ? it->second : -1;
}

// Eight runs in pixels to widths in modules of a 17-module character: each run
// rounded, then the roundings that most missed corrected until they sum to 17.
bool toModules(const int* runs, int (&w)[8]) {
    int total = 0;
    for (int i = 0; i < 8; ++i)
        total += runs[i];
    if (total <= 0)
        return false;
    double exact[8];
    int sum = 0;
    for (int i = 0; i < 8; ++i) {
        exact[i] = runs[i] * 17.0 / total;
        w[i] = std::max(1, static_cast<int>(std::lround(exact[i])));
        sum += w[i];
    }
    while (sum != 17) {
        int pick = -1;
        double worst = -1;
        for (int i = 0; i < 8; ++i) {
            const double miss = sum > 17 ? w[i] - exact[i] : exact[i] - w[i];
            if ((sum < 17 || w[i] > 1) && miss > worst) {
                worst = miss;
                pick = i;
            }
        }
        if (pick < 0)
            return false;
        w[pick] += sum > 17 ? -1 : 1;
        sum += sum > 17 ? -1 : 1;
    }
    for (int x : w)
        if (x > 6)
            return false;
    return true;
}

// --- scan lines ---

struct Line {
    int cluster = -1;               // 0, 1, 2
    std::vector<int> codewords;     // left indicator, data..., right indicator (-1 unread)
    bool stop = false;              // ended in the full stop pattern
};

// The codeword of the eight runs at `r` in each cluster (-1 where none), a
// vote for each cluster it belongs to.
std::array<int, 3> readCharacter(const int* r, std::array<int, 3>& clusterVotes) {
    std::array<int, 3> cw{-1, -1, -1};
    int w[8];
    if (toModules(r, w)) {
        const int k = (w[0] - w[2] + w[4] - w[6] + 9) % 9;
        if (k % 3 == 0) {
            cw[static_cast<std::size_t>(k / 3)] = lookUp(w, k / 3);
            if (cw[static_cast<std::size_t>(k / 3)] >= 0)
                ++clusterVotes[static_cast<std::size_t>(k / 3)];
        }
    }
    return cw;
}

void settle(Line& line, const std::array<int, 3>& clusterVotes, const std::vector<std::array<int, 3>>& read) {
    const auto best = std::max_element(clusterVotes.begin(), clusterVotes.end());
    if (*best == 0)
        return;
    line.cluster = static_cast<int>(best - clusterVotes.begin());
    for (const auto& cw : read)
        line.codewords.push_back(cw[static_cast<std::size_t>(line.cluster)]);
}

// The stop pattern 711311121 ending at the line's last bar, and the characters
// before it read right to left (the right row indicator first), so that a
// row whose middle cannot be read from the start still gives its right part.
Line readBackward(const std::vector<int>& runs) {
    Line line;
    if (runs.size() < 11)
        return line;
    std::size_t last = runs.size() - 1;
    if (last % 2 == 0)
        --last;  // runs[0] is light: bars at odd indices
    const std::size_t stop = last - 8;
    static constexpr int STOP[9] = {7, 1, 1, 3, 1, 1, 1, 2, 1};
    int total = 0;
    for (std::size_t j = 0; j < 9; ++j)
        total += runs[stop + j];
    const double module = total / 18.0;
    if (module < 0.8)
        return line;
    for (std::size_t j = 0; j < 9; ++j)
        if (std::fabs(runs[stop + j] / module - STOP[j]) > 0.6)
            return line;
    line.stop = true;
    std::array<int, 3> clusterVotes{};
    std::vector<std::array<int, 3>> read;
    for (std::size_t end = stop; end >= 9; end -= 8) {
        int width = 0;
        for (std::size_t j = end - 8; j < end; ++j)
            width += runs[j];
        if (width > 17 * module * 1.5 || width < 17 * module * 0.6)
            break;
        read.push_back(readCharacter(&runs[end - 8], clusterVotes));
    }
    settle(line, clusterVotes, read);
    return line;
}

// Reads the characters after a start pattern at run `at` (a bar) of `runs`;
// with `untilUnread`, only up to the first it cannot read (the rest of the
// row comes from its stop pattern's side).
Line readLine(const std::vector<int>& runs, std::size_t at, bool untilUnread) {
    Line line;
    const double module = [&] {
        int t = 0;
        for (std::size_t i = 0; i < 8; ++i)
            t += runs[at + i];
        return t / 17.0;
    }();
    std::size_t i = at + 8;
    std::array<int, 3> clusterVotes{};
    std::vector<std::array<int, 3>> read;  // per character: codeword in each cluster, -1 if none
    while (i + 8 <= runs.size()) {
        // The stop pattern's first bar is 7 modules; no character has one over 6.
        if (runs[i] > 6.5 * module) {
            line.stop = true;
            break;
        }
        const std::array<int, 3> cw = readCharacter(&runs[i], clusterVotes);
        int total = 0;
        for (int j = 0; j < 8; ++j)
            total += runs[i + static_cast<std::size_t>(j)];
        if (total > 17 * module * 1.5 || total < 17 * module * 0.6)
            break;  // not a character: the quiet zone or the compact stop bar
        read.push_back(cw);
        i += 8;
    }
    settle(line, clusterVotes, read);
    if (untilUnread) {
        const auto unread = std::find(line.codewords.begin(), line.codewords.end(), -1);
        line.codewords.erase(unread, line.codewords.end());
    }
    return line;
}

// Start pattern 81111113 at run `i` (a bar), allowing a quarter module either way.
bool isStart(const std::vector<int>& runs, std::size_t i) {
    static constexpr int START[8] = {8, 1, 1, 1, 1, 1, 1, 3};
    int total = 0;
    for (int j = 0; j < 8; ++j)
        total += runs[i + static_cast<std::size_t>(j)];
    const double module = total / 17.0;
    if (module < 0.8)
        return false;
    for (int j = 0; j < 8; ++j)
        if (std::fabs(runs[i + static_cast<std::size_t>(j)] / module - START[j]) > 0.6)
            return false;
    return true;
}

// Run lengths along one line of the picture, starting with a light run.
template <typename Pixel>
void runsOf(int length, Pixel dark, std::vector<int>& runs) {
    runs.clear();
    bool colour = false;
    int run = 0;
    for (int x = 0; x < length; ++x) {
        const bool d = dark(x);
        if (d != colour) {
            runs.push_back(run);
            run = 0;
            colour = d;
        }
        ++run;
    }
    runs.push_back(run);
}

// --- decoding the codewords ---

// Text compaction values (ISO/IEC 15438 Table 3).
constexpr char MIXED_CHARS[] = "0123456789&\r\t,:#-.$/+%*=^";
constexpr char PUNCT_CHARS[] = ";<>@[\\]_`~!\r\t,:\n-.$/\"|*()?{}'";
static_assert(sizeof MIXED_CHARS - 1 == 25 && sizeof PUNCT_CHARS - 1 == 29);

struct TextState {
    int sub = 0;    // 0 alpha, 1 lower, 2 mixed, 3 punctuation
    int shift = -1; // the sub-mode of one shifted value: 0 alpha (as), 3 punctuation (ps)
};

void textValue(int v, TextState& t, std::string& out) {
    if (t.shift >= 0) {
        const int s = t.shift;
        t.shift = -1;
        if (s == 3 && v < 29)
            out += PUNCT_CHARS[v];
        else if (s == 0 && v < 26)
            out += static_cast<char>('A' + v);
        else if (s == 0 && v == 26)
            out += ' ';
        return;  // ps before a pad: nothing
    }
    switch (t.sub) {
    case 0:
    case 1:
        if (v < 26)
            out += static_cast<char>((t.sub == 0 ? 'A' : 'a') + v);
        else if (v == 26)
            out += ' ';
        else if (v == 27)
            t.sub == 0 ? void(t.sub = 1) : void(t.shift = 0);
        else if (v == 28)
            t.sub = 2;
        else
            t.shift = 3;
        break;
    case 2:
        if (v < 25)
            out += MIXED_CHARS[v];
        else if (v == 25)
            t.sub = 3;
        else if (v == 26)
            out += ' ';
        else if (v == 27)
            t.sub = 1;
        else if (v == 28)
            t.sub = 0;
        else
            t.shift = 3;
        break;
    default:
        if (v < 29)
            out += PUNCT_CHARS[v];
        else
            t.sub = 0;
        break;
    }
}

// Base 900 codewords to decimal digits, the leading 1 removed.
bool numericGroup(const int* words, int count, std::string& out) {
    std::vector<int> digits{0};  // decimal, most significant first
    for (int i = 0; i < count; ++i) {
        int carry = words[i];
        for (std::size_t j = digits.size(); j > 0; --j) {
            const int v = digits[j - 1] * 900 + carry;
            digits[j - 1] = v % 10;
            carry = v / 10;
        }
        while (carry > 0) {
            digits.insert(digits.begin(), carry % 10);
            carry /= 10;
        }
    }
    while (digits.size() > 1 && digits.front() == 0)
        digits.erase(digits.begin());
    if (digits.front() != 1)
        return false;
    for (std::size_t j = 1; j < digits.size(); ++j)
        out += static_cast<char>('0' + digits[j]);
    return true;
}

bool isModeWord(int cw) { return cw >= 900; }

struct Decoded {
    bool ok = false;
    std::string why;
    std::string data;
    bool readerInit = false;
    int segmentIndex = 0;  // 1-based, 0 outside a set
    int segmentCount = 0;
    std::string fileId;
    std::vector<std::pair<int, std::string>> macroFields;
};

// The end of the run of data codewords from `from`: the next mode word or `end`.
std::size_t runUntilMode(const std::vector<int>& cw, std::size_t from, std::size_t end) {
    std::size_t to = from;
    while (to < end && !isModeWord(cw[to]))
        ++to;
    return to;
}

// Byte compaction (mode word `w`, 901 or 924) of the codewords [i, to):
// groups of five codewords for six bytes, the rest (after 901) a byte each.
bool readBytes(const std::vector<int>& cw, std::size_t i, std::size_t to, int w, std::string& out, std::string& why) {
    const std::size_t count = to - i;
    std::size_t groups = count / 5;
    if (w == 901 && count > 0)
        groups = (count - ((count - 1) % 5 + 1)) / 5;
    if (w == 924 && count % 5 != 0) {
        why = "byte compaction 924 with a partial group";
        return false;
    }
    for (std::size_t g = 0; g < groups; ++g) {
        std::uint64_t v = 0;
        for (std::size_t j = 0; j < 5; ++j)
            v = v * 900 + static_cast<std::uint64_t>(cw[i + g * 5 + j]);
        if (v >= (1ULL << 48)) {
            why = "a byte group beyond six bytes";
            return false;
        }
        for (int b = 5; b >= 0; --b)
            out += static_cast<char>((v >> (8 * b)) & 0xFF);
    }
    for (std::size_t j = i + groups * 5; j < to; ++j) {
        if (cw[j] > 255) {
            why = "a byte codeword over 255";
            return false;
        }
        out += static_cast<char>(cw[j]);
    }
    return true;
}

// A Macro PDF417 control block from `i` (after 928): the segment index, the
// file ID and the optional fields; false with d.why when it is not one.
bool readMacro(const std::vector<int>& cw, std::size_t& i, std::size_t end, Decoded& d) {
    auto fail = [&](const std::string& why) {
        d.why = why;
        return false;
    };
    if (i + 2 > end)
        return fail("a Macro PDF417 control block without its segment index");
    std::string index;
    if (!numericGroup(&cw[i], 2, index) || index.size() != 5)
        return fail("a Macro PDF417 segment index that is not five digits");
    i += 2;
    d.segmentIndex = std::stoi(index) + 1;
    while (i < end && cw[i] < 900) {
        const std::string part = std::to_string(cw[i++]);
        d.fileId += std::string(3 - part.size(), '0') + part;
    }
    bool last = false;
    while (i < end) {
        if (cw[i] == 922) {
            last = true;
            ++i;
            continue;
        }
        if (cw[i] != 923 || i + 1 >= end)
            return fail("a Macro PDF417 field that is not one");
        const int field = cw[i + 1];
        i += 2;
        const std::size_t to = runUntilMode(cw, i, end);
        std::string value;
        if (field == 0 || field == 3 || field == 4) {  // text, from alpha
            TextState fieldText;
            for (std::size_t j = i; j < to; ++j) {
                textValue(cw[j] / 30, fieldText, value);
                textValue(cw[j] % 30, fieldText, value);
            }
        } else {
            for (std::size_t g = i; g < to; g += 15)
                if (!numericGroup(&cw[g], static_cast<int>(std::min<std::size_t>(15, to - g)), value))
                    return fail("a Macro PDF417 numeric field that is not a number");
        }
        if (field == 1)
            d.segmentCount = value.empty() || value.size() > 5 ? 0 : std::stoi(value);
        else
            d.macroFields.emplace_back(field, value);
        i = to;
    }
    if (d.segmentCount == 0 && last)
        d.segmentCount = d.segmentIndex;
    return true;
}

// Decodes the data codewords (length descriptor first).
Decoded decodeCodewords(const std::vector<int>& cw, int dataCount) {
    Decoded d;
    std::size_t i = 1;
    const std::size_t end = static_cast<std::size_t>(dataCount);
    TextState text;
    bool inText = true;
    auto fail = [&](const std::string& why) {
        d.why = why;
        return d;
    };
    while (i < end) {
        const int w = cw[i];
        if (!isModeWord(w)) {
            if (!inText)
                return fail("a data codeword outside any compaction mode");
            textValue(w / 30, text, d.data);
            textValue(w % 30, text, d.data);
            ++i;
            continue;
        }
        ++i;
        switch (w) {
        case 900:
            inText = true;
            text = TextState{};
            break;
        case 913:
            if (!inText || i >= end || cw[i] > 255)
                return fail("a byte shift without its byte");
            d.data += static_cast<char>(cw[i++]);
            text.shift = -1;  // a ps before it was the pad of its codeword
            break;
        case 901:
        case 924: {
            const std::size_t to = runUntilMode(cw, i, end);
            if (!readBytes(cw, i, to, w, d.data, d.why))
                return d;
            i = to;
            inText = false;
            break;
        }
        case 902: {
            const std::size_t to = runUntilMode(cw, i, end);
            for (std::size_t g = i; g < to; g += 15)
                if (!numericGroup(&cw[g], static_cast<int>(std::min<std::size_t>(15, to - g)), d.data))
                    return fail("a numeric group without its leading 1");
            i = to;
            inText = false;
            break;
        }
        case 921:
            if (i != 2)
                return fail("reader initialisation after the data has begun");
            d.readerInit = true;
            break;
        case 925:
        case 927:
            if (i >= end)
                return fail("an ECI designator without its value");
            ++i;  // the data stays bytes; the designator says how to read them
            text = TextState{};
            break;
        case 926:
            if (i + 1 >= end)
                return fail("an ECI designator without its value");
            i += 2;
            text = TextState{};
            break;
        case 928:
            if (!readMacro(cw, i, end, d))
                return d;
            break;
        default:
            return fail("codeword " + std::to_string(w) + " has no meaning here");
        }
    }
    d.ok = true;
    return d;
}

// --- the symbol ---

struct Shape {
    int rows = 0;
    int columns = 0;
    int level = -1;
};

// What the scan lines say: per row number, votes for each column's
// codeword, and the lines read from the stop pattern; votes for the shape;
// and the first and last line placed in each row.
struct Votes {
    std::map<int, std::vector<std::map<int, int>>> rows;  // row -> column -> codeword -> votes
    std::map<int, std::vector<std::vector<int>>> fromRight;  // row -> lines read from the stop pattern
    std::map<int, int> rowVotes, columnVotes, levelVotes;
    std::map<int, std::pair<int, int>> rowLines;

    // One scan line's runs, read from both ends.
    void add(const std::vector<int>& lineRuns, int lineIndex) {
        const Line back = readBackward(lineRuns);
        const bool right = back.cluster >= 0 && !back.codewords.empty() && back.codewords[0] >= 0;
        if (right) {
            // The right indicator: columns, rows and level in the other order.
            const int info = back.codewords[0] % 30;
            if (back.cluster == 0)
                ++columnVotes[info + 1];
            else if (back.cluster == 1)
                ++rowVotes[info * 3];
            else
                ++levelVotes[info];
        }
        Line line;
        for (std::size_t i = 1; i + 8 <= lineRuns.size(); i += 2)
            if (isStart(lineRuns, i)) {
                line = readLine(lineRuns, i, back.stop);
                break;
            }
        const bool left = line.cluster >= 0 && !line.codewords.empty() && line.codewords[0] >= 0;
        if (left) {
            const int info = line.codewords[0] % 30;
            if (line.cluster == 0)
                ++rowVotes[info * 3];  // (rows - 1) / 3, in steps of three rows
            else if (line.cluster == 1)
                ++levelVotes[info];    // 3 level + (rows - 1) % 3
            else
                ++columnVotes[info + 1];
        }
        if (left && right && line.cluster != back.cluster)
            return;  // the two ends disagree: a line across two rows
        if (!left && !right)
            return;
        const int row = left ? 3 * (line.codewords[0] / 30) + line.cluster : 3 * (back.codewords[0] / 30) + back.cluster;
        const auto seen = rowLines.try_emplace(row, lineIndex, lineIndex);
        seen.first->second.second = lineIndex;
        auto& columns = rows[row];
        for (std::size_t c = 1; left && c < line.codewords.size(); ++c) {
            if (columns.size() < c)
                columns.resize(c);
            if (line.codewords[c] >= 0)
                ++columns[c - 1][line.codewords[c]];
        }
        if (right)
            fromRight[row].push_back(back.codewords);
    }
};

// The codewords by majority (a right indicator read as data is cut off by
// the column count), and the positions no line read.
void majorityCodewords(Votes& v, int rowCount, int columns, std::vector<int>& words, std::vector<int>& erasures) {
    // Characters read from the right: the right indicator, then data columns
    // from the last. (Read from the left, a right indicator lands past the
    // last column, where nothing looks.)
    for (const auto& [row, list] : v.fromRight) {
        auto& cells = v.rows[row];
        if (static_cast<int>(cells.size()) < columns)
            cells.resize(static_cast<std::size_t>(columns));
        for (const std::vector<int>& read : list)
            for (std::size_t p = 1; p < read.size() && static_cast<int>(p) <= columns; ++p)
                if (read[p] >= 0)
                    ++cells[static_cast<std::size_t>(columns) - p][read[p]];
    }
    words.assign(static_cast<std::size_t>(rowCount * columns), 0);
    erasures.clear();
    for (int r = 0; r < rowCount; ++r) {
        const auto found = v.rows.find(r);
        for (int c = 0; c < columns; ++c) {
            int best = -1, count = 0;
            if (found != v.rows.end() && static_cast<int>(found->second.size()) > c)
                for (auto [v, n] : found->second[static_cast<std::size_t>(c)])
                    if (n > count) {
                        best = v;
                        count = n;
                    }
            if (best < 0)
                erasures.push_back(r * columns + c);
            words[static_cast<std::size_t>(r * columns + c)] = std::max(best, 0);
        }
    }
}

Reading readUpright(const std::vector<std::vector<int>>& lines) {
    Reading out;
    Votes votes;
    for (std::size_t lineIndex = 0; lineIndex < lines.size(); ++lineIndex)
        votes.add(lines[lineIndex], static_cast<int>(lineIndex));
    auto& rows = votes.rows;
    const auto& rowLines = votes.rowLines;
    auto top = [](const std::map<int, int>& votes) {
        int best = -1, count = 0;
        for (auto [v, n] : votes)
            if (n > count) {
                best = v;
                count = n;
            }
        return best;
    };
    if (rows.empty()) {
        out.failure = "no PDF417 start pattern with a readable row indicator";
        return out;
    }
    const int rowGroups = top(votes.rowVotes);
    const int levelInfo = top(votes.levelVotes);
    const int columns = top(votes.columnVotes);
    if (rowGroups < 0 || levelInfo < 0 || columns < 1) {
        out.failure = "the row indicators do not give the symbol's shape";
        return out;
    }
    const int rowCount = rowGroups + levelInfo % 3 + 1;
    const int level = levelInfo / 3;
    if (rowCount < 3 || rowCount > 90 || level > 8 || columns > 30 || rowCount * columns > 928) {
        out.failure = "the row indicators give an impossible shape";
        return out;
    }
    const int checks = 2 << level;
    std::vector<int> words, erasures;
    majorityCodewords(votes, rowCount, columns, words, erasures);
    // Two check words are kept for detection, as the symbology asks.
    const int corrected = correctErasures929(words, checks, erasures, 2);
    if (corrected < 0) {
        out.failure = "the PDF417 codewords are beyond correction (" + std::to_string(erasures.size()) +
                      " unread of " + std::to_string(checks) + " check words)";
        return out;
    }
    const int dataCount = words[0];
    if (dataCount < 1 || dataCount + checks != rowCount * columns) {
        out.failure = "the length descriptor gives " + std::to_string(dataCount) + " data codewords in a symbol of " +
                      std::to_string(rowCount * columns - checks);
        return out;
    }
    const Decoded d = decodeCodewords(words, dataCount);
    if (!d.ok) {
        out.failure = d.why;
        return out;
    }
    out.ok = true;
    out.data = d.data;
    out.readerInit = d.readerInit;
    out.structuredIndex = d.segmentIndex;
    out.structuredCount = d.segmentCount;
    out.structuredId = d.fileId;
    out.macroFields = d.macroFields;
    out.dataCodewords = dataCount;
    out.correctedCodewords = corrected;
    out.erasedCodewords = static_cast<int>(erasures.size());
    out.checkCodewords = checks;
    out.rows = rowCount;
    out.columns = columns;
    out.pdf417RowLines.assign(static_cast<std::size_t>(rowCount), {-1, -1});
    for (const auto& [row, span] : rowLines)
        if (row < rowCount)
            out.pdf417RowLines[static_cast<std::size_t>(row)] = span;
    return out;
}

}  // namespace

Reading readPdf417(const GrayRaster& raster) {
    if (!characters().valid) {
        Reading r;
        r.failure = "the reader's PDF417 character table is damaged";
        return r;
    }
    const int w = raster.width;
    const int h = raster.height;
    Reading first;
    // Upright, upside down, and turned either way: rows across, then down.
    for (int turn = 0; turn < 4; ++turn) {
        const bool across = turn < 2;
        const bool reversed = turn % 2 == 1;
        const int lines = across ? h : w;
        const int length = across ? w : h;
        std::vector<std::vector<int>> all;
        all.reserve(static_cast<std::size_t>(lines));
        std::vector<int> runs;
        for (int l = 0; l < lines; ++l) {
            const int line = reversed ? lines - 1 - l : l;
            runsOf(length,
                   [&](int x) {
                       const int p = reversed ? length - 1 - x : x;
                       return (across ? raster.at(p, line) : raster.at(line, p)) < 128;
                   },
                   runs);
            all.push_back(runs);
        }
        Reading r = readUpright(all);
        if (r.ok) {
            // Line indices in the order read to lines of the picture.
            r.pdf417Turn = turn;
            for (auto& [firstLine, lastLine] : r.pdf417RowLines)
                if (reversed && firstLine >= 0) {
                    firstLine = lines - 1 - firstLine;
                    lastLine = lines - 1 - lastLine;
                    std::swap(firstLine, lastLine);
                }
            return r;
        }
        if (turn == 0)
            first = r;
    }
    return first;
}

}  // namespace korvane::detail
