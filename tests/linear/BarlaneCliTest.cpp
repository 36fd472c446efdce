// The barlane command line: usage text, echo, exit statuses and the file it writes.

#include "BarlaneCli.h"
#include "EmfReader.h"
#include "LinearSymbol.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string USAGE =
    "Korvane Barcode 1D\n"
    "- file: output filename\n"
    "- code: value to be encoded\n"
    "- height: bar height\n"
    "- code128Set: A, B or C\n"
    "- type: barcode type (0-code39, 1-code39 extended, 2-Interleaved25, 3-code11, 4 codebar, 5 MSI, 6 UPCA"
    "7-Industrial 2of5, 8-Matrix 2of5, 9-code93, 10-EAN13, 11-EAN8, 12-UPCE, 13-Code128, 14-Code93 extended"
    "15-Postnet, 16-EAN128)\n"
    "\n";

struct CliRun {
    int status;
    std::string out, err;
};

// Runs the command line in a fresh temporary directory.
class BarlaneCli : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("barlane_cli_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        previous_ = fs::current_path();
        fs::current_path(dir_);
    }
    void TearDown() override {
        fs::current_path(previous_);
        fs::remove_all(dir_);
    }
    static CliRun run(std::vector<const char*> args) {
        args.insert(args.begin(), "barlane");
        std::ostringstream out, err;
        const int status = runBarlane(static_cast<int>(args.size()), args.data(), out, err);
        return {status, out.str(), err.str()};
    }
    fs::path dir_, previous_;
};

TEST_F(BarlaneCli, DefaultsDrawCode39Of123456789012) {
    const CliRun r = run({});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, USAGE);
    EXPECT_EQ(r.err, "");
    const auto f = testsupport::readEmf(testsupport::readFileBytes("barcode.emf"));
    ASSERT_EQ(f.error, "");
    ASSERT_EQ(f.texts.size(), 1u);
    EXPECT_EQ(f.texts[0].text, "1234567890125");  // digit sum 48, check row 48 mod 43 = 5
}

struct EchoCase {
    const char* label;
    std::vector<const char*> args;
    const char* echo;
};

const EchoCase ECHO_CASES[] = {
    {"three pairs", {"-type", "13", "-code128set", "C", "-code", "123456"},
     "Paramameter  -type = 13\nParamameter  -code128set = C\nParamameter  -code = 123456\n"},
    {"option without value", {"-file"}, "Paramameter  -file = "},
    {"case matters", {"-Type", "5"}, "Paramameter  -Type = 5\n"},
    {"unknown option consumed with its value", {"-what", "-type", "-code", "AB"},
     "Paramameter  -what = -type\nParamameter  -code = AB\n"},
};

TEST_F(BarlaneCli, EchoIsByteExact) {
    for (const EchoCase& c : ECHO_CASES) {
        SCOPED_TRACE(c.label);
        const CliRun r = run(c.args);
        EXPECT_EQ(r.out, USAGE + c.echo);
    }
}

TEST_F(BarlaneCli, OptionsReachTheSymbol) {
    ASSERT_EQ(run({"-height", "80", "-code", "AB", "-file", "h.emf"}).status, 0);
    const auto f = testsupport::readEmf(testsupport::readFileBytes("h.emf"));
    ASSERT_EQ(f.error, "");
    EXPECT_EQ(f.rectangles[1].rect.bottom, 160);  // bars 80 units high, doubled
    EXPECT_EQ(f.texts[0].text, "ABL");

    // A non-numeric type reads as 0 (Code 39); tildes are always processed.
    ASSERT_EQ(run({"-type", "x", "-code", "~d065", "-file", "t.emf"}).status, 0);
    const auto t = testsupport::readEmf(testsupport::readFileBytes("t.emf"));
    EXPECT_EQ(t.texts[0].text, "AA");  // A alone is its own check character
}

struct FailureCase {
    const char* label;
    std::vector<const char*> args;
    const char* errorContains;
};

const FailureCase FAILURE_CASES[] = {
    {"unknown type", {"-type", "17"}, "barcode type 17 does not exist"},
    {"negative type", {"-type", "-3"}, "barcode type -3 does not exist"},
    {"missing directory", {"-file", "no/such/dir/x.emf"}, "cannot write \"no/such/dir/x.emf\""},
    {"directory as file", {"-file", "."}, "cannot write \".\""},
};

TEST_F(BarlaneCli, RunsThatWriteNoFileSayWhyAndFail) {
    for (const FailureCase& c : FAILURE_CASES) {
        SCOPED_TRACE(c.label);
        const CliRun r = run(c.args);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(c.errorContains), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
        EXPECT_EQ(r.out.substr(0, USAGE.size()), USAGE);
        EXPECT_FALSE(fs::exists("barcode.emf"));
    }
}

TEST_F(BarlaneCli, ProgramExitStatusAndStreams) {
    const std::string cmd = std::string(BARLANE_EXE) + " -type 99 -code X 2>err.txt";
    FILE* p = popen(cmd.c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::string out;
    std::array<char, 512> buf;
    while (size_t n = fread(buf.data(), 1, buf.size(), p))
        out.append(buf.data(), n);
    const int status = pclose(p);
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(out, USAGE + "Paramameter  -type = 99\nParamameter  -code = X\n");
    EXPECT_EQ(std::system((std::string(BARLANE_EXE) + " -code HELLO >/dev/null 2>&1").c_str()), 0);
    EXPECT_TRUE(fs::exists("barcode.emf"));
}

}  // namespace
