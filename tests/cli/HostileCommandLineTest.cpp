// barlane and aztec run as processes on hostile command lines. Every run must end
// by itself with its documented exit status, print exactly its echo, say why in
// one line when it writes nothing, and leave a complete file exactly when it
// succeeds.

#include "EmfReader.h"
#include "Process.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using testsupport::listing;
using testsupport::Outcome;

enum Program { BARLANE, AZTEC };

const std::string BARLANE_USAGE =
    "Korvane Barcode 1D\n- file: output filename\n- code: value to be encoded\n- height: bar height\n"
    "- code128Set: A, B or C\n"
    "- type: barcode type (0-code39, 1-code39 extended, 2-Interleaved25, 3-code11, 4 codebar, 5 MSI, 6 UPCA"
    "7-Industrial 2of5, 8-Matrix 2of5, 9-code93, 10-EAN13, 11-EAN8, 12-UPCE, 13-Code128, 14-Code93 extended"
    "15-Postnet, 16-EAN128)\n\n";
const std::string PLACEMENT = "Still  bit to be placed on the barcode. Try selecting another configuration.";

constexpr int TIMEOUT_SECONDS = 60;  // generous for sanitizer builds on a busy machine

// Files a row needs in its directory before the run.
enum Fixture : unsigned {
    NO_FIXTURE = 0,
    DIRECTORY = 1,  // "d", an empty directory
    PLAIN = 2,      // "f", a short text file
    BIG = 4,        // "big", 4 MiB of varied bytes
    LOCKED = 8,     // "locked", a file of mode 000
    READ_ONLY = 16  // "ro", a directory of mode 0555
};

// `err` is what standard error must hold: "" nothing; otherwise a failure must be
// exactly one line containing it, and a success only warning lines containing it.
// MAY_WARN accepts a success with or without warnings.
const std::string MAY_WARN = "*";

struct Row {
    std::string label;
    Program program;
    std::vector<std::string> args;
    int status;
    std::string err = "";
    std::string output = "";  // file written on success; "" means the program's default name
    unsigned fixtures = NO_FIXTURE;
    bool placement = false;   // aztec prints the placement message after the echo
    bool nonRootOnly = false; // permissions do not stop root
};

std::string big(std::size_t n, char c) { return std::string(n, c); }
std::string repeat(const std::string& s, int n) {
    std::string r;
    for (int i = 0; i < n; ++i)
        r += s;
    return r;
}
std::string escape(int byte) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "~d%03d", byte);
    return buf;
}

std::string expectedEcho(const Row& r) {
    std::string s = r.program == BARLANE ? BARLANE_USAGE : "\n";
    const std::string word = r.program == BARLANE ? "Paramameter  " : "Parameter  ";
    // barlane keeps the pending name as a string, so an empty name leaves nothing pending.
    bool pending = false;
    for (const std::string& a : r.args) {
        s += pending ? a + "\n" : word + a + " = ";
        pending = !pending && (r.program == AZTEC || !a.empty());
    }
    return r.placement ? s + PLACEMENT : s;
}

std::vector<std::uint8_t> bytesOf(const fs::path& p) { return testsupport::readFileBytes(p.string()); }
std::uint32_t u32At(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

// An EMF header record with the " EMF" signature and the file's size, then records to an EOF.
void expectCompleteEmf(const fs::path& p) {
    const auto b = bytesOf(p);
    ASSERT_GE(b.size(), 108u);
    EXPECT_EQ(u32At(b, 0), 1u);
    EXPECT_EQ(u32At(b, 40), 0x464D4520u);
    EXPECT_EQ(u32At(b, 48), b.size());
    EXPECT_EQ(testsupport::readEmf(b).error, "");
}

// A 24-bit BMP whose size field and pixel rows add up to the file's size.
void expectCompleteBmp(const fs::path& p) {
    const auto b = bytesOf(p);
    ASSERT_GE(b.size(), 54u);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(u32At(b, 2), b.size());
    const std::uint32_t width = u32At(b, 18), height = u32At(b, 22);
    ASSERT_GT(width, 0u);
    ASSERT_GT(height, 0u);
    EXPECT_EQ(54u + (3u * width + 3u) / 4u * 4u * height, b.size());
}

void makeFixtures(const fs::path& dir, unsigned fixtures) {
    if (fixtures & DIRECTORY)
        fs::create_directory(dir / "d");
    if (fixtures & PLAIN)
        std::ofstream(dir / "f") << "plain text";
    if (fixtures & BIG) {
        std::string bytes(4u << 20, '\0');
        std::uint32_t x = 12345;
        for (char& c : bytes)
            c = static_cast<char>((x = x * 1103515245u + 12345u) >> 24);
        std::ofstream(dir / "big", std::ios::binary) << bytes;
    }
    if (fixtures & LOCKED) {
        std::ofstream(dir / "locked") << "secret";
        fs::permissions(dir / "locked", fs::perms::none);
    }
    if (fixtures & READ_ONLY) {
        fs::create_directory(dir / "ro");
        fs::permissions(dir / "ro", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                        fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    }
}

void runRows(const std::vector<Row>& rows) {
    for (const Row& r : rows) {
        SCOPED_TRACE(r.label);
        if (r.nonRootOnly && geteuid() == 0)
            continue;  // root writes and reads whatever the mode bits say
        std::string pattern = (fs::temp_directory_path() / "cli_hostile_XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        const fs::path dir = pattern;
        makeFixtures(dir, r.fixtures);
        const std::set<std::string> before = listing(dir);

        const Outcome o = testsupport::runProcess(r.program == BARLANE ? BARLANE_EXE : AZTEC_EXE, r.args, dir, "/dev/null",
                                                  TIMEOUT_SECONDS);
        EXPECT_FALSE(o.timedOut) << "hung";
        EXPECT_EQ(o.signal, 0) << "crashed; stderr: " << o.err.substr(0, 2000);
        EXPECT_EQ(o.status, r.status) << o.err.substr(0, 500);
        EXPECT_TRUE(o.out == expectedEcho(r)) << "stdout differs; its last 300 bytes: "
                                              << o.out.substr(o.out.size() - std::min<std::size_t>(300, o.out.size()));

        const std::string program = r.program == BARLANE ? "barlane: " : "aztec: ";
        if (r.status != 0) {
            EXPECT_EQ(o.err.find('\n'), o.err.size() - 1) << "not one line: " << o.err.substr(0, 500);
            EXPECT_EQ(o.err.rfind(program, 0), 0u) << o.err.substr(0, 500);
            EXPECT_NE(o.err.find(r.err), std::string::npos) << o.err.substr(0, 500);
        } else if (r.err.empty()) {
            EXPECT_EQ(o.err, "");
        } else {
            for (std::size_t at = 0; at < o.err.size() && at != std::string::npos;) {
                EXPECT_EQ(o.err.compare(at, program.size() + 9, program + "warning: "), 0) << o.err.substr(0, 500);
                const std::size_t end = o.err.find('\n', at);
                at = end == std::string::npos ? end : end + 1;
            }
            if (r.err != MAY_WARN) {
                EXPECT_NE(o.err.find(r.err), std::string::npos) << o.err.substr(0, 500);
            }
            EXPECT_TRUE(o.err.empty() || o.err.back() == '\n');
        }

        std::set<std::string> expected = before;
        const std::string output = !r.output.empty() ? r.output : r.program == BARLANE ? "barcode.emf" : "aztec.bmp";
        if (o.status == 0) {
            expected.insert(output);
            if (r.program == BARLANE)
                expectCompleteEmf(dir / output);
            else
                expectCompleteBmp(dir / output);
        }
        EXPECT_EQ(listing(dir), expected) << "files left behind differ";

        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add);
        if (fs::exists(dir / "ro"))
            fs::permissions(dir / "ro", fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir);
    }
}

const std::string LONG_VALUE(100000, '7');

TEST(HostileCommandLine, NoArgumentsAndOptionsWithoutValues) {
    runRows({
        {"barlane, no arguments", BARLANE, {}, 0},
        {"barlane, -file without value", BARLANE, {"-file"}, 0},
        {"barlane, -type without value after a pair", BARLANE, {"-file", "x.emf", "-type"}, 0, "", "x.emf"},
        {"barlane, lone empty argument", BARLANE, {""}, 0},
        {"barlane, an empty name takes no value", BARLANE, {"", "-file", "x.emf"}, 0, "", "x.emf"},
        {"aztec, an empty name takes the next argument", AZTEC, {"", "-file", "x.bmp"}, 0},
        {"aztec, no arguments", AZTEC, {}, 0},
        {"aztec, -file without value", AZTEC, {"-file"}, 0},
        {"aztec, -level without value", AZTEC, {"-level"}, 0},
        {"aztec, -dataFile without value", AZTEC, {"-dataFile"}, 0},
    });
}

TEST(HostileCommandLine, UnknownAndRepeatedOptions) {
    runRows({
        {"barlane, unknown names consumed with their values", BARLANE,
         {"-Type", "5", "-bogus", "x", "--file", "y.emf", "-dataFile", "missing", "", ""}, 0},
        {"barlane, repeated -file keeps the last", BARLANE, {"-file", "a.emf", "-file", "b.emf"}, 0, "", "b.emf"},
        {"barlane, repeated -type keeps the last", BARLANE, {"-type", "99", "-type", "13", "-code", "AB"}, 0},
        {"barlane, option name as a value", BARLANE, {"-code", "-file", "-file", "-code"}, 0, "", "-code"},
        {"aztec, unknown names consumed with their values", AZTEC,
         {"-File", "x.bmp", "-nothing", "1", "-datafile", "missing", "", ""}, 0},
        {"aztec, repeated -file keeps the last", AZTEC, {"-file", "a.bmp", "-file", "b.bmp"}, 0, "", "b.bmp"},
        {"aztec, repeated -level keeps the last", AZTEC, {"-level", "100", "-level", "23"}, 0},
        {"aztec, readable data file after a missing one", AZTEC, {"-dataFile", "missing", "-dataFile", "f"}, 0,
         "", "", PLAIN},
        {"aztec, missing data file after a readable one", AZTEC, {"-dataFile", "f", "-dataFile", "missing"}, 1,
         "cannot read data file missing", "", PLAIN},
        {"aztec, first bad setting reported alone", AZTEC, {"-format", "36", "-dataFile", "missing", "-file", "/proc/x"},
         2, "-format"},
    });
}

TEST(HostileCommandLine, HugeNegativeAndNonNumericNumbers) {
    const std::string huge = "99999999999999999999", hugeNegative = "-99999999999999999999";
    runRows({
        {"barlane, type beyond any integer", BARLANE, {"-type", huge}, 1, "barcode type 2147483647 does not exist"},
        {"barlane, type far below zero", BARLANE, {"-type", hugeNegative}, 1, "does not exist"},
        {"barlane, type -1", BARLANE, {"-type", "-1"}, 1, "barcode type -1 does not exist"},
        {"barlane, type 17", BARLANE, {"-type", "17"}, 1, "barcode type 17 does not exist"},
        {"barlane, type of 100,000 digits", BARLANE, {"-type", big(100000, '9')}, 1, "does not exist"},
        {"barlane, negative height", BARLANE, {"-height", "-50"}, 0},
        {"barlane, huge height", BARLANE, {"-height", huge}, 0},
        {"barlane, huge height with guard bars", BARLANE, {"-type", "10", "-code", "400638133393", "-height", huge}, 0},
        {"barlane, huge negative height", BARLANE, {"-height", hugeNegative}, 0},
        {"barlane, non-numeric type reads as 0", BARLANE, {"-type", "abc"}, 0},
        {"barlane, non-numeric height", BARLANE, {"-height", "tall"}, 0},
        {"barlane, number prefix", BARLANE, {"-type", " 13abc", "-code", "x"}, 0},
        {"aztec, negative format means 0", AZTEC, {"-format", "-5"}, 0},
        {"aztec, format far below zero", AZTEC, {"-format", hugeNegative}, 0},
        {"aztec, format 35", AZTEC, {"-format", "35"}, 0},
        {"aztec, format 36", AZTEC, {"-format", "36"}, 2, "-format must be between 0 and 35, not 36"},
        {"aztec, format beyond any integer", AZTEC, {"-format", huge}, 2, "-format must be between 0 and 35"},
        {"aztec, level 99", AZTEC, {"-level", "99"}, 0},
        {"aztec, level 100", AZTEC, {"-level", "100"}, 2, "-level must be between 0 and 99, not 100"},
        {"aztec, level -1", AZTEC, {"-level", "-1"}, 2, "-level must be between 0 and 99, not -1"},
        {"aztec, level beyond any integer", AZTEC, {"-level", huge}, 2, "-level must be between 0 and 99"},
        {"aztec, level far below zero", AZTEC, {"-level", hugeNegative}, 2, "-level must be between 0 and 99"},
        {"aztec, level of 100,000 digits", AZTEC, {"-level", big(100000, '9')}, 2, "-level"},
        {"aztec, huge encoding", AZTEC, {"-encoding", huge}, 0},
        {"aztec, negative encoding", AZTEC, {"-encoding", "-5"}, 0},
        {"aztec, non-numeric format, level and encoding", AZTEC,
         {"-format", "abc", "-level", "x", "-encoding", "binary"}, 0},
        {"aztec, -tilde other than 1", AZTEC, {"-tilde", "yes", "-code", "~d001"}, 0},
    });
}

TEST(HostileCommandLine, EmptyAndHundredThousandCharacterValues) {
    runRows({
        {"barlane, empty code", BARLANE, {"-code", ""}, 0},
        {"barlane, empty type and height", BARLANE, {"-type", "", "-height", ""}, 0},
        {"barlane, empty file name", BARLANE, {"-file", ""}, 1, "cannot write"},
        {"barlane, empty Code 128 set", BARLANE, {"-type", "13", "-code128set", "", "-code", "x"}, 0,
         "start set is not A, B or C"},
        {"barlane, empty UPC-A value", BARLANE, {"-type", "6", "-code", ""}, 0, "has 0; the symbol is drawn as given"},
        {"barlane, 100,000 digits of Code 39", BARLANE, {"-code", LONG_VALUE}, 0},
        {"barlane, 100,000 letters of Code 128", BARLANE, {"-type", "13", "-code", big(100000, 'A')}, 0},
        {"barlane, 100,000 digits of UPC-E", BARLANE, {"-type", "12", "-code", LONG_VALUE}, 1, "UPC-E"},
        {"barlane, 100,000 tildes", BARLANE, {"-type", "1", "-code", big(100000, '~')}, 0},
        {"barlane, 20,000 escapes of 255", BARLANE, {"-type", "13", "-code", repeat("~d255", 20000)}, 0, MAY_WARN},
        {"barlane, file name of 100,000 characters", BARLANE, {"-file", big(100000, 'f')}, 1, "cannot write"},
        {"barlane, option name of 100,000 characters", BARLANE, {big(100000, '-'), "x"}, 0},
        {"aztec, empty code", AZTEC, {"-code", ""}, 0},
        {"aztec, empty file name", AZTEC, {"-file", ""}, 1, "cannot write"},
        {"aztec, empty data file name", AZTEC, {"-dataFile", ""}, 1, "cannot read data file"},
        {"aztec, empty numbers", AZTEC, {"-level", "", "-format", "", "-encoding", "", "-tilde", ""}, 0},
        {"aztec, code of 100,000 characters", AZTEC, {"-code", big(100000, 'A')}, 1,
         "the data needs 500000 bits", "", NO_FIXTURE, true},
        {"aztec, binary code of 100,000 characters", AZTEC, {"-encoding", "1", "-code", LONG_VALUE}, 1,
         "the data needs", "", NO_FIXTURE, true},
        {"aztec, 20,000 escapes of 255", AZTEC, {"-tilde", "1", "-code", repeat("~d255", 20000)}, 1,
         "the data needs", "", NO_FIXTURE, true},
        {"aztec, too large and unwritable", AZTEC, {"-code", LONG_VALUE, "-file", "missing/x.bmp"}, 1,
         "the data needs", "", NO_FIXTURE, true},
        {"aztec, file name of 100,000 characters", AZTEC, {"-file", big(100000, 'f')}, 1, "cannot write"},
        {"aztec, option name of 100,000 characters", AZTEC, {big(100000, '-'), "x"}, 0},
    });
}

// Five bytes per run keep the sanitizer build quick; every byte still reaches each encoder.
TEST(HostileCommandLine, EveryByteThroughTildeEscapes) {
    std::vector<Row> rows;
    std::string all;
    for (int first = 1; first <= 255; first += 5) {
        std::string code;
        for (int byte = first; byte < first + 5; ++byte)
            code += escape(byte);
        all += code;
        const std::string bytes = " bytes " + std::to_string(first) + "-" + std::to_string(first + 4);
        rows.push_back({"barlane, Code 39 extended," + bytes, BARLANE, {"-type", "1", "-code", code}, 0});
        rows.push_back({"barlane, Code 128," + bytes, BARLANE, {"-type", "13", "-code", code}, 0,
                        first + 4 < 128 ? "" : MAY_WARN});
        rows.push_back({"aztec," + bytes, AZTEC, {"-tilde", "1", "-code", code}, 0});
    }
    rows.push_back({"barlane, Code 39 extended, all bytes", BARLANE, {"-type", "1", "-code", all}, 0});
    rows.push_back({"barlane, Code 128, all bytes", BARLANE, {"-type", "13", "-code", all}, 0, MAY_WARN});
    rows.push_back({"aztec, all bytes", AZTEC, {"-tilde", "1", "-code", all}, 0});
    // Code 128 set requests (199-201) and EAN-128 function bytes (196-202) alone, last, between digits;
    // EAN-128 values start with a known application identifier, 10.
    for (const char* odd : {"~d199", "~d200", "~d201", "12~d199", "~d19912~d200", "~d19912~d201x", "~d202",
                            "~d196~d197"}) {
        rows.push_back({std::string("barlane, Code 128, ") + odd, BARLANE, {"-type", "13", "-code", odd}, 0, MAY_WARN});
        rows.push_back({std::string("barlane, EAN-128, 10") + odd, BARLANE, {"-type", "16", "-code", std::string("10") + odd},
                        0, MAY_WARN});
    }
    for (const char* odd : {"~", "~d", "~d2", "~d999", "~E-00001xy", "~E999999xy", "~E000000xy", "~F", "~Fx"}) {
        rows.push_back({std::string("barlane, Code 128, ") + odd, BARLANE, {"-type", "13", "-code", odd}, 0, MAY_WARN});
        rows.push_back({std::string("aztec, ") + odd, AZTEC, {"-tilde", "1", "-code", odd}, 0});
    }
    runRows(rows);
}

TEST(HostileCommandLine, DataFiles) {
    runRows({
        {"missing data file", AZTEC, {"-dataFile", "missing"}, 1, "cannot read data file missing"},
        {"directory as data file", AZTEC, {"-dataFile", "d"}, 1, "cannot read data file d", "", DIRECTORY},
        {"unreadable data file", AZTEC, {"-dataFile", "locked"}, 1, "cannot read data file locked", "", LOCKED,
         false, true},
        {"data file of 4 MiB", AZTEC, {"-dataFile", "big"}, 1, "the data needs", "", BIG, true},
        {"endless data file", AZTEC, {"-dataFile", "/dev/zero"}, 1, "data file /dev/zero"},
        {"empty data file keeps the text", AZTEC, {"-dataFile", "/dev/null"}, 0},
        {"barlane has no data file option", BARLANE, {"-dataFile", "big"}, 0, "", "", BIG},
    });
}

TEST(HostileCommandLine, OutputPaths) {
    runRows({
        {"barlane, missing directory", BARLANE, {"-file", "missing/x.emf"}, 1, "No such file or directory"},
        {"barlane, inside a regular file", BARLANE, {"-file", "f/x.emf"}, 1, "Not a directory", "", PLAIN},
        {"barlane, existing directory", BARLANE, {"-file", "d"}, 1, "Is a directory", "", DIRECTORY},
        {"barlane, directory with a slash", BARLANE, {"-file", "d/"}, 1, "cannot write", "", DIRECTORY},
        {"barlane, under /proc", BARLANE, {"-file", "/proc/barlane-test.emf"}, 1, "cannot write"},
        {"barlane, read-only directory", BARLANE, {"-file", "ro/x.emf"}, 1, "Permission denied", "", READ_ONLY,
         false, true},
        {"barlane, existing file is replaced", BARLANE, {"-file", "f"}, 0, "", "f", PLAIN},
        {"aztec, missing directory", AZTEC, {"-file", "missing/x.bmp"}, 1, "cannot write missing/x.bmp"},
        {"aztec, inside a regular file", AZTEC, {"-file", "f/x.bmp"}, 1, "cannot write", "", PLAIN},
        {"aztec, existing directory", AZTEC, {"-file", "d"}, 1, "cannot write d", "", DIRECTORY},
        {"aztec, under /proc", AZTEC, {"-file", "/proc/aztec-test.bmp"}, 1, "cannot write"},
        {"aztec, read-only directory", AZTEC, {"-file", "ro/x.bmp"}, 1, "cannot write", "", READ_ONLY, false, true},
        {"aztec, existing file is replaced", AZTEC, {"-file", "f"}, 0, "", "f", PLAIN},
    });
}

}  // namespace
