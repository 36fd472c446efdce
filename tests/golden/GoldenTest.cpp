// Output of barlane, aztec and their engines, compared with digests of the
// output they have always given. A few thousand cases from a seeded generator
// (GoldenCorpus.cpp); digests.txt holds one FNV-1a digest per case of the
// exit status, standard output, standard error and the file written (program
// groups, run through the programs' entry points, every tenth case also as the
// program itself), or of every result field and file the engine gives (engine
// groups).
//
// After a deliberate change of output, rewrite the digests and review the
// difference:
//   rm -f /tmp/d; GOLDEN_DIGESTS_OUT=/tmp/d build/tests/golden/golden_tests
//   { head -1 tests/golden/digests.txt; sort /tmp/d; } > new && mv new tests/golden/digests.txt

#include "Aztec.h"
#include "AztecCli.h"
#include "BarlaneCli.h"
#include "Digest.h"
#include "EmfPainter.h"
#include "GoldenCorpus.h"
#include "LinearSymbol.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;
using golden::Program;
using golden::ProgramCase;
using golden::Rng;
using testsupport::Digest;

namespace {

using Digests = std::vector<std::pair<std::string, std::string>>;  // key, digest

std::string readWhole(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeWhole(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// A fresh directory per test process and group.
class Scratch {
public:
    explicit Scratch(const std::string& group) {
        std::string pattern = testing::TempDir() + "golden-" + group + "-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr)
            std::abort();
        dir_ = pattern;
    }
    ~Scratch() {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    const fs::path& dir() const { return dir_; }

private:
    fs::path dir_;
};

// Everything a run gave: exit status, both output streams and the file.
std::string digestOfRun(int status, const std::string& out, const std::string& err, const fs::path& output) {
    Digest d;
    d.number(status).field(out).field(err);
    d.number(fs::exists(output) ? 1 : 0).field(fs::exists(output) ? readWhole(output) : "");
    return d.hex();
}

void clear(const fs::path& dir) {
    for (const auto& entry : fs::directory_iterator(dir))
        fs::remove_all(entry.path());
}

// Runs the case's program in `dir`: standard input from /dev/null, both
// output streams to files.
std::string runAsProcess(const ProgramCase& c, const fs::path& dir) {
    const char* exe = c.program == Program::BARLANE ? BARLANE_EXE : AZTEC_EXE;
    if (c.writeDataFile)
        writeWhole(dir / "data.bin", c.dataFile);
    std::vector<char*> argv{const_cast<char*>(exe)};
    for (const std::string& a : c.args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "stdout.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, "stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, exe, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int wstatus = 0;
    if (spawned != 0 || waitpid(pid, &wstatus, 0) != pid)
        return "spawn failed";
    const std::string digest = digestOfRun(WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -WTERMSIG(wstatus),
                                           readWhole(dir / "stdout.txt"), readWhole(dir / "stderr.txt"),
                                           dir / c.output);
    clear(dir);
    return digest;
}

// Standard output as the programs write it, through C stdio, and standard
// error as a string.
class Sinks : public TextOutput, public AztecOutput {
public:
    explicit Sinks(bool toStdout) : toStdout_(toStdout) {}
    void write(const std::string& text) override {
        if (toStdout_)
            std::fwrite(text.data(), 1, text.size(), stdout);
        else
            text_ += text;
    }
    void flush() override {
        if (toStdout_)
            std::fflush(stdout);
    }
    const std::string& text() const { return text_; }

private:
    bool toStdout_;
    std::string text_;
};

// Runs the case through the program's entry point in this process, in `dir`,
// with standard output sent to a file for the run: what the process would
// write, without the cost of starting one (a sanitized program takes a fifth
// of a second to start).
std::string runInProcess(const ProgramCase& c, const fs::path& dir) {
    if (c.writeDataFile)
        writeWhole(dir / "data.bin", c.dataFile);
    const std::string name = c.program == Program::BARLANE ? "barlane" : "aztec";
    std::vector<char*> argv{const_cast<char*>(name.c_str())};
    for (const std::string& a : c.args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const int argc = static_cast<int>(argv.size()) - 1;

    const fs::path previous = fs::current_path();
    fs::current_path(dir);
    std::fflush(stdout);
    const int savedStdout = dup(1);
    const int captured = open("stdout.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(captured, 1);
    close(captured);
    Sinks out(true), err(false);
    const int status = c.program == Program::BARLANE ? runBarlane(argc, argv.data(), out, err)
                                                     : aztec(argc, argv.data(), out, err);
    std::fflush(stdout);
    dup2(savedStdout, 1);
    close(savedStdout);
    fs::current_path(previous);

    const std::string digest = digestOfRun(status, readWhole(dir / "stdout.txt"), err.text(), dir / c.output);
    clear(dir);
    return digest;
}

std::string describe(const ProgramCase& c) {
    std::string s = c.program == Program::BARLANE ? "barlane" : "aztec";
    for (const std::string& a : c.args)
        s += " '" + golden::shown(a) + "'";
    if (c.writeDataFile)
        s += " (data.bin: " + std::to_string(c.dataFile.size()) + " bytes)";
    return s;
}

// ---- Engine groups: settings no command line reaches -------------------------

Digests aztecEngineDigests(std::map<std::string, std::string>& described) {
    Rng rng("aztec.engine");
    Digests out;
    for (int i = 0; i < 200; ++i) {
        Aztec a;
        std::vector<int> bytes;
        if (rng.chance(30)) {
            bytes.resize(static_cast<std::size_t>(rng.between(1, rng.chance(80) ? 200 : 2000)));
            for (int& b : bytes)
                b = rng.below(256);
            a.setBinaryCode(bytes.data(), static_cast<int>(bytes.size()));
        }
        a.setProcessTilde(rng.chance(30));
        a.setCode(a.getProcessTilde() ? golden::tildeText(rng) : golden::aztecText(rng));
        a.setEncoding(rng.chance(30) ? Aztec::ENC_BINARY : Aztec::ENC_NORMAL);
        if (rng.chance(30)) {
            a.setStructuredAppend(true);
            std::string id;
            for (int k = rng.between(0, 10); k > 0; --k)
                id += rng.from(rng.chance(90) ? "ABCDEFGHIJKLMNOPQRSTUVWXYZ" : "a1 ");
            a.setFileId(id);
            a.setStructuredAppendIndex(rng.chance(95) ? rng.between(1, 26) : rng.between(-1, 30));
            a.setStructuredAppendCounter(rng.chance(95) ? rng.between(1, 26) : rng.between(-1, 30));
        }
        a.setReaderInitilization(rng.chance(25));
        a.setConfigurationType(rng.chance(95) ? rng.between(0, 2) : 3);
        a.setAutoConfigurate(rng.chance(85));
        a.setPreferredConfiguration(rng.chance(50) ? 0 : rng.chance(95) ? rng.between(-1, 35) : 36);
        a.setErrorCorrectionLevel(rng.chance(95) ? rng.between(0, 99) : rng.chance(50) ? -1 : 100);
        a.paint();
        Digest d;
        d.number(a.getStatus()).number(a.selectedConfiguration).number(a.getDataBits()).number(a.getMaxDataBits());
        d.number(a.getDataCodewords()).number(a.rows).number(a.cols).numbers(a.bitmap.data(), a.bitmap.size());
        char key[32];
        std::snprintf(key, sizeof key, "aztec.engine/%03d", i);
        out.emplace_back(key, d.hex());
        described[key] = "Aztec code '" + golden::shown(a.getCode()) + "', " + std::to_string(bytes.size()) + " bytes";
    }
    return out;
}

Digests linearEngineDigests(std::map<std::string, std::string>& described) {
    Rng rng("linear.engine");
    Digests out;
    for (int t = 0; t < LinearSymbol::SYMBOLOGY_COUNT; ++t) {
        for (int i = 0; i < 30; ++i) {
            LinearSymbol s;
            s.symbology = t;
            s.code = golden::linearValue(rng, t, false);
            s.processTilde = rng.chance(70);
            s.checkCharacter = rng.chance(70);
            s.narrowBarWidth = rng.between(0, 3);
            s.wideRatio = rng.between(1, 3);
            s.interCharGap = rng.between(0, 2);
            s.guardBars = rng.chance(80);
            s.heightRatio = rng.chance(70) ? 0.45 : rng.chance(50) ? 0.3 : 1.0;
            s.barHeight = rng.chance(60) ? 0.0 : rng.chance(80) ? rng.between(1, 80) : 12.6;
            s.leftMargin = rng.chance(70) ? 0.0 : 5.7;
            s.topMargin = rng.chance(70) ? 0.0 : 3.2;
            static const char* const SUPPLEMENTS[] = {"", "", "", "12", "12345", "12a", "1"};
            s.supplement = rng.pick(SUPPLEMENTS);
            s.supplement2 = rng.chance(20);
            s.supplement5 = rng.chance(20);
            s.supplementGap = rng.chance(80) ? 10 : rng.between(-3, 0);
            s.upceSystem = rng.chance(50) ? '0' : '1';
            s.codabarStartChar = rng.from("ABCDAE");
            s.codabarStopChar = rng.from("ABCDBx");
            s.msiCheckMode = rng.between(0, 3);
            s.code128Set = rng.from("ABCBAX");
            s.postnetTallBarHeight = rng.chance(80) ? 40.0 : 33.3;
            s.postnetShortBarHeight = rng.chance(80) ? 20.0 : 11.1;
            if (rng.chance(5))
                s.text = "preset";
            s.buildSymbol();
            if (rng.chance(10))
                s.buildSymbol();  // a second build on the same object
            Digest d;
            d.numbers(s.barWidths.data(), s.barWidths.size()).numbers(s.barHeights.data(), s.barHeights.size());
            d.number(s.barCount).field(s.text).field(s.supplementText).field(s.failureReason);
            for (const std::string& w : s.warnings)
                d.field(w);
            d.numbers(s.guardMarks, 5).number(s.supplementStartX).number(s.supplementEndX);
            d.number(s.guardBarHeightPixels).number(s.narrowBarPixels).number(s.wideBarPixels);
            d.number(s.barHeightPixels).number(s.estimatedWidth).number(s.currentX).number(s.textY);
            char height[32];
            std::snprintf(height, sizeof height, "%.17g", s.barHeight);
            d.field(height);
            const std::vector<std::uint8_t> emf = EmfPainter::barsMetafile(
                s.barWidths.data(), s.barHeights.data(), s.barCount, s.text, 20, static_cast<int>(s.text.size()));
            d.bytes(emf.data(), emf.size());
            char key[32];
            std::snprintf(key, sizeof key, "linear.engine/t%02d.%02d", t, i);
            out.emplace_back(key, d.hex());
            described[key] = "symbology " + std::to_string(t) + " code '" + golden::shown(s.code) + "'";
        }
    }
    return out;
}

// ---- Comparison -------------------------------------------------------------

const std::map<std::string, std::string>& expectedDigests() {
    static const std::map<std::string, std::string> digests = [] {
        std::map<std::string, std::string> m;
        std::ifstream in(GOLDEN_DIGESTS);
        std::string key, digest;
        while (in >> key) {
            if (key[0] == '#') {
                std::getline(in, key);
                continue;
            }
            in >> digest;
            m[key] = digest;
        }
        return m;
    }();
    return digests;
}

void compare(const std::string& group, const Digests& actual, const std::map<std::string, std::string>& described) {
    if (const char* path = std::getenv("GOLDEN_DIGESTS_OUT")) {
        std::ofstream out(path, std::ios::app);
        for (const auto& [key, digest] : actual)
            out << key << ' ' << digest << '\n';
        return;
    }
    const auto& expected = expectedDigests();
    int mismatches = 0;
    for (const auto& [key, digest] : actual) {
        const auto it = expected.find(key);
        if (it != expected.end() && it->second == digest)
            continue;
        if (++mismatches <= 10)
            ADD_FAILURE() << key << (it == expected.end() ? ": no digest kept" : ": output differs") << "\n  "
                          << described.at(key);
    }
    std::size_t kept = 0;
    for (const auto& entry : expected)
        kept += entry.first.compare(0, group.size() + 1, group + "/") == 0 ? 1 : 0;
    EXPECT_EQ(mismatches, 0) << "cases of " << group << " whose output changed";
    EXPECT_EQ(kept, actual.size()) << "digests kept for " << group;
}

class ProgramGroup : public testing::TestWithParam<std::string> {};

TEST_P(ProgramGroup, OutputMatchesDigests) {
    const std::string& group = GetParam();
    const Scratch scratch(group);
    Digests actual;
    std::map<std::string, std::string> described;
    int index = 0;
    for (const ProgramCase& c : golden::programCases(group)) {
        const std::string digest = runInProcess(c, scratch.dir());
        actual.emplace_back(c.key, digest);
        described[c.key] = describe(c);
        // Every tenth case also runs as the program itself, which must agree.
        if (index++ % 10 == 0) {
            EXPECT_EQ(runAsProcess(c, scratch.dir()), digest) << "the program and its entry point differ: "
                                                              << describe(c);
        }
    }
    ASSERT_GE(actual.size(), 40u);
    compare(group, actual, described);
}

INSTANTIATE_TEST_SUITE_P(Golden, ProgramGroup, testing::ValuesIn(golden::programGroups()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             for (char& ch : name)
                                 if (ch == '.')
                                     ch = '_';
                             return name;
                         });

TEST(GoldenEngines, AztecMatchesDigests) {
    std::map<std::string, std::string> described;
    compare("aztec.engine", aztecEngineDigests(described), described);
}

TEST(GoldenEngines, LinearMatchesDigests) {
    std::map<std::string, std::string> described;
    compare("linear.engine", linearEngineDigests(described), described);
}

// The digest itself, against the published FNV-1a 64 vectors.
TEST(GoldenDigest, KnownVectors) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "cbf29ce484222325"}, {"a", "af63dc4c8601ec8c"}, {"foobar", "85944171f73967e8"}};
    for (const auto& [input, digest] : cases)
        EXPECT_EQ(Digest().bytes(input, std::char_traits<char>::length(input)).hex(), digest) << input;
}

}  // namespace
