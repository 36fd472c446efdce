// korvane runs as a process: every symbology and format, standard input and
// output, batches with bad rows and name collisions, sheets, JSON reports read
// back, and hostile command lines. Every run ends by itself with its exit
// status, a failure says why in one line starting "korvane: ", and no failure
// leaves a file behind.

#include "Process.h"

#include <korvane/korvane.hpp>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

constexpr int TIMEOUT_SECONDS = 120;  // sanitizer builds on a busy machine

using testsupport::listing;
using testsupport::Outcome;

// Runs korvane in `dir` with standard input from `stdinFile` (or /dev/null).
Outcome run(const std::vector<std::string>& args, const fs::path& dir, const std::string& stdinFile = "/dev/null") {
    return testsupport::runProcess(KORVANE_EXE, args, dir, stdinFile, TIMEOUT_SECONDS);
}

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find('\n', at);
        out.push_back(text.substr(at, end - at));
        at = end == std::string::npos ? text.size() : end + 1;
    }
    return out;
}

// The bytes a file of each format starts with (EMF: the header record's type).
void expectFormat(const std::string& name, const std::string& bytes) {
    SCOPED_TRACE(name);
    const std::string ext = fs::path(name).extension().string();
    ASSERT_GE(bytes.size(), 8u);
    const std::pair<const char*, std::string> magic[] = {
        {".pdf", "%PDF-"}, {".eps", "%!PS-Adobe"}, {".png", std::string("\x89PNG\r\n\x1a\n", 8)},
        {".bmp", "BM"},    {".emf", std::string("\x01\x00\x00\x00", 4)},
    };
    if (ext == ".svg") {
        EXPECT_NE(bytes.find("<svg"), std::string::npos);
    }
    for (const auto& [extension, start] : magic) {
        if (ext == extension) {
            EXPECT_EQ(bytes.substr(0, start.size()), start);
        }
    }
}

// Whether the library this build links has its writers yet; rows that must
// write a file through them wait for that.
bool writersPresent() {
    korvane::Drawing d;
    d.width = d.height = 4;
    const auto written = korvane::write(d, korvane::Format::Svg);
    return written.ok() || written.error().code != korvane::ErrorCode::UnknownFormat;
}

enum Fixture : unsigned {
    NONE = 0,
    CODES = 1,      // "codes.txt": three EAN-13 values, the second bad
    DIRECTORY = 2,  // "d"
    PLAIN = 4,      // "f", a short text file
    BINARY = 8,     // "bin", the 256 byte values
    READ_ONLY = 16, // "ro", a directory of mode 0555
    EMPTY = 32,     // "empty", no bytes
    CSV = 64,       // "labels.csv"
    MANY = 128,     // "many.txt": 50 EAN-13 values
    LINK = 256,     // "d/up", a symbolic link to the run's directory (above "d")
    LONG = 512,     // "long.txt": 10,000 EAN-13 values, more than two of a sheet run's windows
    LATE = 1024,    // "late.txt": 5,000 EAN-13 values, then a line of 2 MiB
};

void makeFixtures(const fs::path& dir, unsigned f) {
    if (f & CODES)
        writeFile(dir / "codes.txt", "590123412345\nnot digits\n400638133393\n");
    if (f & (DIRECTORY | LINK))
        fs::create_directory(dir / "d");
    if (f & LINK)
        fs::create_directory_symlink("..", dir / "d" / "up");
    if (f & PLAIN)
        writeFile(dir / "f", "plain");
    if (f & BINARY) {
        std::string bytes;
        for (int b = 0; b < 256; ++b)
            bytes += static_cast<char>(b);
        writeFile(dir / "bin", bytes);
    }
    if (f & READ_ONLY) {
        fs::create_directory(dir / "ro");
        fs::permissions(dir / "ro", fs::perms::owner_read | fs::perms::owner_exec);
    }
    if (f & EMPTY)
        writeFile(dir / "empty", "");
    if (f & CSV)
        writeFile(dir / "labels.csv", "data,file,symbology,no-text\n"
                                      "590123412345,ean.svg,ean13,\n"
                                      "\"Hello, world\",c128.png,,yes\n"
                                      "Aztec data,az.pdf,aztec,\n"
                                      "12,bad.svg,ean13,\n");
    if (f & (LONG | LATE)) {
        std::string codes;
        for (int i = 0; i < (f & LONG ? 10000 : 5000); ++i)
            codes += std::to_string(590123400000LL + i) + "\n";
        writeFile(dir / (f & LONG ? "long.txt" : "late.txt"), f & LONG ? codes : codes + std::string(2 << 20, '1') + "\n");
    }
    if (f & MANY) {
        std::string codes;
        for (int i = 0; i < 50; ++i)
            codes += std::to_string(590123412300 + i) + "\n";
        writeFile(dir / "many.txt", codes);
    }
}

enum class Err {
    ONE_LINE,  // a failure: exactly one line holding `err`; a success: nothing, or warnings
    BATCH,     // every line starts "korvane: "; one holds `err`; the last is the summary
};

struct Row {
    std::string label;
    std::vector<std::string> args;
    int status;
    std::string err = "";                // text the failure line (or a batch line) holds
    std::vector<std::string> files = {}; // what the run leaves besides the fixtures
    unsigned fixtures = NONE;
    bool writes = true;                  // needs the library's writers
    Err errKind = Err::ONE_LINE;
    std::string stdinText = "";
    std::function<void(const Outcome&, const fs::path&)> check = nullptr;
    bool nonRootOnly = false;
};

class KorvaneCommand : public ::testing::Test {
protected:
    void runRows(const std::vector<Row>& rows) {
        const bool writers = writersPresent();
        int waiting = 0;
        for (const Row& r : rows) {
            SCOPED_TRACE(r.label);
            if ((r.writes && !writers) || (r.nonRootOnly && geteuid() == 0)) {
                ++waiting;
                continue;
            }
            std::string pattern = (fs::temp_directory_path() / "korvane_cli_XXXXXX").string();
            ASSERT_NE(mkdtemp(pattern.data()), nullptr);
            const fs::path dir = pattern;
            makeFixtures(dir, r.fixtures);
            std::string input = "/dev/null";
            if (!r.stdinText.empty()) {
                input = (dir.parent_path() / (dir.filename().string() + ".stdin")).string();
                writeFile(input, r.stdinText);
            }
            std::set<std::string> expected = listing(dir);
            const Outcome o = run(r.args, dir, input);
            EXPECT_FALSE(o.timedOut) << "hung";
            EXPECT_EQ(o.signal, 0) << o.err.substr(0, 2000);
            EXPECT_EQ(o.status, r.status) << o.err.substr(0, 1000);
            const std::vector<std::string> errLines = lines(o.err);
            for (const std::string& l : errLines)
                EXPECT_EQ(l.rfind("korvane: ", 0), 0u) << l.substr(0, 300);
            EXPECT_TRUE(o.err.empty() || o.err.back() == '\n');
            if (r.errKind == Err::BATCH) {
                EXPECT_NE(o.err.find(r.err), std::string::npos) << o.err.substr(0, 1000);
                ASSERT_FALSE(errLines.empty());
                EXPECT_NE(errLines.back().find(" in "), std::string::npos) << errLines.back();
            } else if (r.status != 0) {
                EXPECT_EQ(errLines.size(), 1u) << o.err.substr(0, 1000);
                EXPECT_NE(o.err.find(r.err), std::string::npos) << o.err.substr(0, 1000);
            } else {
                for (const std::string& l : errLines)
                    EXPECT_EQ(l.rfind("korvane: warning: ", 0), 0u) << l;
            }
            for (const std::string& f : r.files) {
                expected.insert(f);
                if (fs::is_regular_file(dir / f))
                    expectFormat(f, readFile(dir / f));
            }
            EXPECT_EQ(listing(dir), expected) << "files left behind differ";
            if (r.check)
                r.check(o, dir);
            fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add);
            if (fs::exists(dir / "ro"))
                fs::permissions(dir / "ro", fs::perms::owner_all, fs::perm_options::add);
            fs::remove_all(dir);
            if (input != "/dev/null")
                fs::remove(input);
        }
        if (waiting > 0)
            std::printf("%d rows wait for the library's writers (or need a non-root user)\n", waiting);
    }
};

// Every JSON line parses; `each` sees them.
std::function<void(const Outcome&, const fs::path&)> jsonLines(std::size_t count, std::function<void(const json&)> each) {
    return [count, each](const Outcome& o, const fs::path&) {
        const std::vector<std::string> ls = lines(o.out);
        EXPECT_EQ(ls.size(), count) << o.out.substr(0, 500);
        for (const std::string& l : ls) {
            const json j = json::parse(l, nullptr, false);
            ASSERT_FALSE(j.is_discarded()) << l.substr(0, 500);
            if (each)
                each(j);
        }
    };
}

const std::string LONG_VALUE(100000, '7');

TEST_F(KorvaneCommand, EverySymbologyAsSvg) {
    const std::pair<const char*, const char*> values[] = {
        {"code39", "CODE39"},       {"code39ext", "Code 39 ext"}, {"code93", "CODE93"},
        {"code93ext", "code 93"},   {"code11", "123-45"},         {"codabar", "A40156B"},
        {"msi", "80523"},           {"itf", "1234567890"},        {"industrial25", "12345"},
        {"matrix25", "12345"},      {"ean13", "590123412345"},    {"ean8", "9638507"},
        {"upca", "03600029145"},    {"upce", "0425261"},          {"code128", "Hello 128"},
        {"gs1-128", "(01)09501101530003(10)AB"}, {"postnet", "55555"}, {"aztec", "Aztec Code"},
    };
    std::vector<Row> rows;
    for (const auto& [name, value] : values)
        rows.push_back({name, {"-b", name, "-o", std::string(name) + ".svg", value}, 0, "", {std::string(name) + ".svg"}});
    runRows(rows);
}

TEST_F(KorvaneCommand, EveryFormatStandardInputAndOutput) {
    auto stdoutIs = [](const char* magic) {
        return [magic](const Outcome& o, const fs::path&) { EXPECT_EQ(o.out.rfind(magic, 0), 0u) << o.out.substr(0, 40); };
    };
    runRows({
        {"svg", {"-b", "ean13", "-o", "a.svg", "590123412345"}, 0, "", {"a.svg"}},
        {"pdf", {"-b", "ean13", "-o", "a.pdf", "590123412345"}, 0, "", {"a.pdf"}},
        {"eps", {"-b", "ean13", "-o", "a.eps", "590123412345"}, 0, "", {"a.eps"}},
        {"png", {"-b", "ean13", "-o", "a.png", "590123412345"}, 0, "", {"a.png"}},
        {"emf", {"-b", "ean13", "-o", "a.emf", "590123412345"}, 0, "", {"a.emf"}},
        {"bmp", {"-b", "aztec", "-o", "a.bmp", "Aztec"}, 0, "", {"a.bmp"}},
        {"--format where the extension names none", {"-f", "png", "-o", "a.img", "x"}, 0, "", {"a.img"}},
        {"--format against the extension", {"-f", "svg", "-o", "out.png", "x"}, 2,
         "--format svg contradicts the extension of \"out.png\"; give --force-format", {}, NONE, false},
        {"--force-format over the extension, in either case", {"-f", "svg", "--force-format", "-o", "out.PNG", "x"}, 0,
         "", {"out.PNG"}, NONE, true, Err::ONE_LINE, "", [](const Outcome&, const fs::path& dir) {
             std::ifstream in(dir / "out.PNG");
             std::string head(5, '\0');
             in.read(head.data(), 5);
             EXPECT_EQ(head, "<?xml");
         }},
        {"no extension, no --format", {"-o", "label", "x"}, 2, "cannot tell the format of label", {}, NONE, false},
        {"default name", {"x"}, 0, "", {"barcode.svg"}},
        {"default name takes --format", {"-f", "eps", "x"}, 0, "", {"barcode.eps"}},
        {"data on standard input, its line end dropped", {"-b", "ean13", "--json", "-o", "a.svg"}, 0, "", {"a.svg"},
         NONE, true, Err::ONE_LINE, "5901234123457\r\n",
         jsonLines(1, [](const json& j) { EXPECT_EQ(j["checkSupplied"], true); })},
        {"--input - keeps every byte", {"-b", "code128", "--input", "-", "--json", "-o", "a.svg"}, 0, "", {"a.svg"},
         NONE, true, Err::ONE_LINE, "AB\n", jsonLines(1, [](const json& j) { EXPECT_EQ(j["data"], "AB\n"); })},
        {"svg to standard output", {"-o", "-", "x"}, 0, "", {}, NONE, true, Err::ONE_LINE, "", stdoutIs("<")},
        {"png to standard output", {"-f", "png", "-o", "-", "x"}, 0, "", {}, NONE, true, Err::ONE_LINE, "",
         stdoutIs("\x89PNG")},
        {"pdf sheet to standard output", {"--batch", "-", "--sheet", "A6", "-f", "pdf", "-o", "-"}, 0, "", {}, NONE, false,
         Err::BATCH, "abc\ndef\n", stdoutIs("%PDF-")},
    });
}

TEST_F(KorvaneCommand, JsonReportsParseBack) {
    runRows({
        {"EAN-13 facts", {"-b", "ean13", "--json", "-o", "a.svg", "590123412345"}, 0, "", {"a.svg"}, NONE, true,
         Err::ONE_LINE, "",
         jsonLines(1,
                   [](const json& j) {
                       EXPECT_EQ(j["symbology"], "ean13");
                       EXPECT_EQ(j["data"], "5901234123457");
                       EXPECT_EQ(j["checkCharacters"], "7");
                       EXPECT_EQ(j["modules"]["width"], 95);
                       EXPECT_NEAR(j["xMm"].get<double>(), 0.3387, 1e-4);
                       EXPECT_EQ(j["quietZones"]["modules"]["left"], 11);
                       EXPECT_EQ(j["written"], true);
                       EXPECT_EQ(j["file"], "a.svg");
                       EXPECT_EQ(j["status"], 0);
                   })},
        {"Aztec of every byte", {"-b", "aztec", "--json", "--input", "bin", "-o", "a.png"}, 0, "", {"a.png"}, BINARY,
         true, Err::ONE_LINE, "",
         jsonLines(1,
                   [](const json& j) {
                       EXPECT_EQ(j["dataHex"].get<std::string>().substr(0, 8), "00010203");
                       EXPECT_EQ(j["aztec"]["compact"], false);
                       EXPECT_GT(j["aztec"]["layers"].get<int>(), 4);
                   })},
        {"a refused value is reported too", {"-b", "ean13", "--json", "59012341234X"}, 1, "'X' at position 12", {},
         NONE, false, Err::ONE_LINE, "",
         jsonLines(1,
                   [](const json& j) {
                       EXPECT_EQ(j["error"]["code"], "invalid-data");
                       EXPECT_EQ(j["written"], false);
                   })},
        {"a usage error is reported too", {"--json", "--rotate", "45", "ABC"}, 2, "--rotate", {}, NONE, false,
         Err::ONE_LINE, "",
         jsonLines(1,
                   [](const json& j) {
                       EXPECT_EQ(j["error"]["code"], "invalid-option");
                       EXPECT_EQ(j["status"], 2);
                   })},
        {"--list --json", {"--list", "--json"}, 0, "", {}, NONE, false, Err::ONE_LINE, "",
         [](const Outcome& o, const fs::path&) {
             const json j = json::parse(o.out);
             ASSERT_EQ(j.size(), static_cast<std::size_t>(korvane::SYMBOLOGY_COUNT));
             EXPECT_EQ(j[17]["name"], "aztec");
             EXPECT_EQ(j[18]["name"], "qr");
             EXPECT_EQ(j[19]["name"], "datamatrix");
             EXPECT_NE(j[19]["options"].dump().find("--dm-shape"), std::string::npos);
             EXPECT_NE(j[17]["options"].dump().find("--ecc"), std::string::npos);
             EXPECT_EQ(j[17]["capabilities"].dump(),
                       R"(["gs1","fnc1","eci","structured-append","reader-init"])");
             EXPECT_EQ(j[18]["name"], "qr");
             EXPECT_NE(j[18]["options"].dump().find("--qr-level"), std::string::npos);
         }},
        {"gs1 answers in JSON", {"gs1", "dl", "--json", "(01)09506000134352(10)AB"}, 0, "", {}, NONE, false,
         Err::ONE_LINE, "",
         jsonLines(1, [](const json& j) { EXPECT_EQ(j["uri"], "https://id.gs1.org/01/09506000134352/10/AB"); })},
        {"gs1 refusals in JSON", {"gs1", "check", "(01)09506000134352(17)271301", "--json"}, 1, "month 13", {}, NONE,
         false, Err::ONE_LINE, "",
         jsonLines(1,
                   [](const json& j) {
                       EXPECT_EQ(j["error"]["code"], "invalid-data");
                       EXPECT_NE(j["error"]["message"].get<std::string>().find("month 13"), std::string::npos);
                   })},
        {"batch reports one line per row in order", {"-b", "ean13", "--json", "--batch", "codes.txt", "-o", "{line}.svg"},
         1, "line 2: ", {"1.svg", "3.svg"}, CODES, true, Err::BATCH, "", jsonLines(3, nullptr)},
    });
}

// --verify: a symbol is written exactly when it reads back (or with --keep-failed).
TEST_F(KorvaneCommand, VerifyWritesOnlyWhatReadsBack) {
    auto consistent = [](bool keep) {
        return [keep](const Outcome& o, const fs::path& dir) {
            const json j = json::parse(lines(o.out).at(0));
            const bool ok = j["verify"]["ok"].get<bool>();
            EXPECT_EQ(o.status, ok ? 0 : 4);
            EXPECT_EQ(fs::exists(dir / "a.svg"), ok || keep);
            if (!ok) {
                EXPECT_NE(o.err.find("verification failed"), std::string::npos);
            }
        };
    };
    for (const bool keep : {false, true}) {
        std::vector<std::string> args{"-b", "ean13", "--verify", "--json", "-o", "a.svg", "590123412345"};
        if (keep)
            args.push_back("--keep-failed");
        const bool writers = writersPresent();
        if (!writers)
            continue;
        std::string pattern = (fs::temp_directory_path() / "korvane_verify_XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        const Outcome o = run(args, pattern);
        consistent(keep)(o, pattern);
        fs::remove_all(pattern);
    }
}

// --grade reports, --min-grade fails a symbol below it as --verify does (status 4, not written unless --keep-failed).
TEST_F(KorvaneCommand, GradesAndMinimumGrade) {
    const auto graded = [](const char* letter) {
        return [letter](const Outcome& o, const fs::path&) {
            const json j = json::parse(lines(o.out).at(0));
            EXPECT_EQ(j["grade"]["letter"], letter);
            EXPECT_EQ(j["grade"]["parameters"].size(), 8u);
            EXPECT_EQ(j["grade"]["scans"].size(), 10u);
        };
    };
    runRows({
        {"--grade at whole dots", {"-b", "ean13", "--json", "-o", "a.svg", "590123412345", "--grade"}, 0, "", {"a.svg"},
         NONE, true, Err::ONE_LINE, "", graded("A")},
        {"grey bars below C", {"-b", "code128", "--fg", "808080", "--min-grade", "C", "-o", "a.svg", "Hello"}, 4,
         "minimum reflectance grades F", {}},
        {"kept with --keep-failed", {"-b", "code128", "--fg", "808080", "--min-grade", "C", "--keep-failed", "--json",
                                     "-o", "a.svg", "Hello"},
         4, "below the minimum", {"a.svg"}, NONE, true, Err::ONE_LINE, "", graded("F")},
        {"in a batch", {"-b", "ean13", "--fg", "808080", "--min-grade", "D", "--batch", "codes.txt", "-o", "{n}.svg"},
         4, "line 1: ", {}, CODES, true, Err::BATCH},
        {"an unknown printer", {"-b", "ean13", "--grade", "inkjet", "590123412345"}, 2, "unknown printer profile", {}, NONE,
         false},
    });
}

TEST_F(KorvaneCommand, BatchesWithBadRowsAndCollisions) {
    auto has = [](const char* file, const char* text) {
        return [file, text](const Outcome&, const fs::path& dir) {
            EXPECT_NE(readFile(dir / file).find(text), std::string::npos) << file;
        };
    };
    runRows({
        {"bad row reported, batch goes on", {"-b", "ean13", "--batch", "codes.txt", "-o", "label-{n:05}.svg"}, 1,
         "line 2: EAN-13 cannot encode 'n' at position 1", {"label-00001.svg", "label-00003.svg"}, CODES, true, Err::BATCH,
         "", [](const Outcome& o, const fs::path&) { EXPECT_NE(o.err.find("2 written, 1 failed"), std::string::npos); }},
        {"--fail-fast stops at the bad row", {"-b", "ean13", "--batch", "codes.txt", "--fail-fast", "-o", "{n}.svg"}, 1,
         "line 2:", {"1.svg"}, CODES, true, Err::BATCH},
        {"two rows, one file", {"--batch", "-", "-o", "{data}.svg"}, 3, "line 3: A_B.svg is written by line 1 already",
         {"A_B.svg", "C.svg"}, NONE, true, Err::BATCH, "A B\nC\nA/B\n"},
        {"a fixed name for many rows", {"--batch", "codes.txt", "-o", "same.svg"}, 2, "names one file for 3 values", {},
         CODES, false},
        {"CSV names, symbologies and options per row", {"--csv", "--batch", "labels.csv", "-o", "unused-{n}.svg"}, 1,
         "line 5: EAN-13", {"ean.svg", "c128.png", "az.pdf"}, CSV, true, Err::BATCH, "", has("ean.svg", "<svg")},
        {"CSV file cells stay in the folder of -o", {"-b", "ean13", "--csv", "--batch", "-", "-o", "d/{n}.svg"}, 2,
         "line 2: the file cell \"../escape.svg\" names a file outside the folder of -o (d); --allow-paths allows it",
         {"d/ok.svg"}, DIRECTORY, true, Err::BATCH,
         "data,file\n590123412345,../escape.svg\n590123412345,/tmp/korvane-escape.svg\n400638133393,ok.svg\n",
         [](const Outcome& o, const fs::path&) {
             EXPECT_NE(o.err.find("line 3: the file cell \"/tmp/korvane-escape.svg\""), std::string::npos) << o.err;
             EXPECT_FALSE(fs::exists("/tmp/korvane-escape.svg"));
         }},
        {"--allow-paths lets them out", {"-b", "ean13", "--csv", "--allow-paths", "--batch", "-", "-o", "d/{n}.svg"}, 0,
         "", {"escape.svg", "d/ok.svg"}, DIRECTORY, true, Err::BATCH,
         "data,file\n590123412345,../escape.svg\n400638133393,ok.svg\n"},
        {"no symbolic link out of the folder of -o", {"-b", "ean13", "--csv", "--batch", "-", "-o", "d/{n}.svg"}, 2,
         "line 2: \"d/up/x.svg\" leads out of the folder of -o (d) through a symbolic link", {}, LINK, true,
         Err::BATCH, "data,file\n590123412345,up/x.svg\n"},
        {"CSV column that is no option", {"--csv", "--batch", "-"}, 2, "'colour' is not data, file or an option", {},
         NONE, false, Err::ONE_LINE, "data,colour\nx,red\n"},
        {"every row bad", {"-b", "ean13", "--batch", "-", "-o", "{n}.svg"}, 1, "line 2: ", {}, NONE, false, Err::BATCH,
         "x\ny\n"},
        {"warnings of a row, one line each", {"-b", "ean13", "--x-dim", "0.1mm", "--batch", "-", "-o", "{n}.svg"}, 0,
         "line 1: warning: X of 0.1 mm becomes", {"1.svg"}, NONE, true, Err::BATCH, "590123412345\n",
         [](const Outcome& o, const fs::path&) {
             EXPECT_EQ(lines(o.err).size(), 3u) << o.err;
             EXPECT_NE(o.err.find("line 1: warning: X of 0.08467 mm is below"), std::string::npos) << o.err;
         }},
        {"a missing folder stops the batch at once, on every thread",
         {"-b", "ean13", "--jobs", "4", "--batch", "many.txt", "-o", "nosuch/{n}.svg"}, 3,
         "line 1: cannot write \"nosuch/1.svg\": the folder \"nosuch\" does not exist", {}, MANY, true, Err::BATCH, "",
         [](const Outcome& o, const fs::path&) { EXPECT_EQ(lines(o.err).size(), 2u) << o.err; }},
        {"empty batch", {"--batch", "empty", "-o", "{n}.svg"}, 1, "the batch holds no values", {}, EMPTY, false},
        {"endless batch line", {"--batch", "/dev/zero", "-o", "{n}.svg"}, 1, "longer than 1 MiB", {}, NONE, false},
        {"missing batch file", {"--batch", "missing.txt"}, 2, "cannot read missing.txt: No such file", {}, NONE, false},
        {"batch to standard output", {"--batch", "codes.txt", "-o", "-"}, 2, "one file per value", {}, CODES, false},
    });
}

// The files of a batch are the same whatever the number of threads.
TEST_F(KorvaneCommand, ThreadsWriteWhatOneThreadWrites) {
    if (!writersPresent())
        GTEST_SKIP() << "waits for the library's writers";
    std::vector<std::map<std::string, std::string>> results;
    for (const char* jobs : {"1", "4"}) {
        std::string pattern = (fs::temp_directory_path() / "korvane_jobs_XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        makeFixtures(pattern, MANY);
        const Outcome o = run({"-b", "ean13", "--jobs", jobs, "--batch", "many.txt", "-o", "{n:03}.png"}, pattern);
        EXPECT_EQ(o.status, 0) << o.err;
        std::map<std::string, std::string> files;
        for (const auto& e : fs::directory_iterator(pattern))
            files[e.path().filename().string()] = readFile(e.path());
        EXPECT_EQ(files.size(), 51u);
        results.push_back(files);
        fs::remove_all(pattern);
    }
    EXPECT_TRUE(results[0] == results[1]);
}

TEST_F(KorvaneCommand, LabelSheets) {
    // Standard error has `count` lines, one of them holding `text`.
    auto countLines = [](std::size_t count, const char* text) {
        return [count, text](const Outcome& o, const fs::path&) {
            EXPECT_EQ(lines(o.err).size(), count) << o.err;
            EXPECT_NE(o.err.find(text), std::string::npos) << o.err;
        };
    };
    auto pages = [](const char* file, int count) {
        return [file, count](const Outcome&, const fs::path& dir) {
            const std::string pdf = readFile(dir / file);
            EXPECT_NE(pdf.find("/Count " + std::to_string(count) + " "), std::string::npos);
        };
    };
    runRows({
        {"50 labels on 3x8 A4 pages", {"-b", "ean13", "--height", "12mm", "--batch", "many.txt", "--sheet", "A4", "--grid",
                                       "3x8", "--cut-marks", "--label-text", "{data}", "-o", "sheet.pdf"},
         0, "50 labels on 3 pages", {"sheet.pdf"}, MANY, true, Err::BATCH, "", pages("sheet.pdf", 3)},
        {"one SVG per page", {"-b", "ean13", "--height", "12mm", "--batch", "many.txt", "--sheet", "Letter", "--grid",
                              "4x10", "-o", "sheet.svg"},
         0, "50 labels on 2 pages", {"sheet-1.svg", "sheet-2.svg"}, MANY, true, Err::BATCH},
        {"--json: each label's page and file, in row order", {"-b", "ean13", "--json", "--batch", "many.txt", "--sheet",
                                                              "A4", "--grid", "3x8", "-o", "sheet.svg"},
         0, "50 labels on 3 pages", {"sheet-1.svg", "sheet-2.svg", "sheet-3.svg"}, MANY, true, Err::BATCH, "",
         jsonLines(50, [n = 0LL](const json& j) mutable {
             EXPECT_EQ(j["n"], ++n);
             const long long page = (n - 1) / 24 + 1;
             EXPECT_EQ(j["page"], page);
             EXPECT_EQ(j["file"], "sheet-" + std::to_string(page) + ".svg");
         })},
        {"{page} names the pages", {"--batch", "-", "--sheet", "100x150mm", "--grid", "1x1", "-o", "p{page:02}.png"}, 0,
         "2 labels on 2 pages", {"p01.png", "p02.png"}, NONE, true, Err::BATCH, "one\ntwo\n"},
        {"one label: count words agree", {"--batch", "-", "--sheet", "A6", "--grid", "1x1", "-o", "one.pdf"}, 0,
         "korvane: 1 label on 1 page, 0 failed", {"one.pdf"}, NONE, true, Err::BATCH, "one\n"},
        // X shrinks to fit unless given: one line per cause, status 2 (the data is fine), a hint naming the option.
        {"labels larger than their cells at the X given", {"-b", "ean13", "--x-dim", "0.33mm", "--batch", "many.txt",
                                                          "--sheet", "A4", "--grid", "8x20", "-o", "s.pdf"},
         2, "50 labels do not fit a cell of the sheet, the first on line 1", {}, MANY, false, Err::BATCH, "",
         countLines(2, "fewer columns in --grid or no --x-dim")},
        // A4 less 10 mm margins in ten rows: cells 190 x 27.7 mm, wide enough and too low for a 40 mm bar.
        {"labels too tall for their cells, narrow enough", {"-b", "ean13", "--x-dim", "0.33mm", "--height", "40mm",
                                                            "--batch", "many.txt", "--sheet", "A4", "--grid", "1x10",
                                                            "-o", "s.pdf"},
         2, "50 labels do not fit a cell of the sheet, the first on line 1", {}, MANY, false, Err::BATCH, "",
         countLines(2, "fewer rows in --grid, a lower --height")},
        {"X fitted to the cells", {"-b", "ean13", "--batch", "many.txt", "--sheet", "A4", "--grid", "8x20", "-o", "s.pdf"},
         0, "to fit a cell of the sheet", {"s.pdf"}, MANY, true, Err::BATCH, "", countLines(3, "(50 labels, the first on line 1)")},
        {"a small sheet's margins", {"-b", "ean13", "--x-dim", "0.33mm", "--batch", "codes.txt", "--sheet", "50x30mm",
                                     "-o", "s.pdf"},
         2, "smaller --margins", {}, CODES, false, Err::BATCH},
        {"a missing output folder", {"-b", "ean13", "--batch", "many.txt", "--sheet", "A4", "--grid", "3x8", "-o",
                                     "nosuch/sheet.pdf"},
         3, "the folder \"nosuch\" does not exist", {}, MANY, false, Err::BATCH, "",
         countLines(2, "no sheet written: 50 labels not written")},
        {"a page that cannot be written", {"-b", "ean13", "--batch", "many.txt", "--sheet", "A4", "--grid", "3x8", "-o",
                                           "f/p{page}.svg"},
         3, "cannot write \"f/p1.svg\"", {}, MANY | PLAIN, false, Err::BATCH, "",
         countLines(2, "no sheet written: 50 labels not written, 0 failed")},
        {"margins leave no room", {"--batch", "codes.txt", "--sheet", "A6", "--margins", "60mm", "-o", "s.pdf"}, 2,
         "no room for the cells", {}, CODES, false},
        {"sheet without a batch", {"--sheet", "A4", "x"}, 2, "--sheet places the symbols of a --batch", {}, NONE, false},
        // The batch is read a window at a time: labels in order across windows,
        // and a fault far into the file still refuses the whole PDF.
        {"10,000 labels", {"-b", "ean13", "--height", "12mm", "--batch", "long.txt", "--sheet", "A4", "--grid", "4x10",
                           "--label-text", "{n}", "-o", "s.pdf"},
         0, "10000 labels on 250 pages, 0 failed", {"s.pdf"}, LONG, true, Err::BATCH, "",
         [](const Outcome&, const fs::path& dir) {
             const std::string pdf = readFile(dir / "s.pdf");
             EXPECT_NE(pdf.find("/Count 250 "), std::string::npos);
             EXPECT_NE(pdf.find("(10000)"), std::string::npos);  // the last label's text
         }},
        {"a line too long after the first window", {"-b", "ean13", "--batch", "late.txt", "--sheet", "A4", "--grid",
                                                    "4x10", "-o", "s.pdf"},
         1, "line 5001 of the batch is longer than 1 MiB", {}, LATE, false, Err::BATCH},
    });
}

// The command's sheets are the library's: the same labels on the same pages
// give the same bytes, one PDF or an SVG file per page.
TEST_F(KorvaneCommand, SheetsAsTheLibraryMakesThem) {
    if (!writersPresent())
        GTEST_SKIP() << "waits for the library's writers";
    std::string pattern = (fs::temp_directory_path() / "korvane_sheet_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const fs::path dir = pattern;
    makeFixtures(dir, MANY);
    for (const korvane::Format format : {korvane::Format::Pdf, korvane::Format::Svg}) {
        const std::string ext = korvane::formatName(format);
        SCOPED_TRACE(ext);
        const Outcome o = run({"-b", "ean13", "--height", "12mm", "--batch", "many.txt", "--sheet", "A4", "--grid", "3x8",
                               "--margins", "7,13,19,4", "--gap", "3,5", "--cut-marks", "--label-text",
                               "{n}: {data} / {input}", "-o", "sheet." + ext},
                              dir);
        ASSERT_EQ(o.status, 0) << o.err;

        korvane::SheetOptions options;
        options.columns = 3;
        options.rows = 8;
        // Margins T, R, B, L and gaps H, V all different: each reaches its own side.
        options.marginTopMm = 7;
        options.marginRightMm = 13;
        options.marginBottomMm = 19;
        options.marginLeftMm = 4;
        options.gapHorizontalMm = 3;
        options.gapVerticalMm = 5;
        options.cutMarks = options.textLine = true;
        const auto sheet = korvane::sheetGeometry(options);
        ASSERT_TRUE(sheet) << sheet.error().message;
        auto file = korvane::FileSink::open((dir / ("library.pdf")).string());
        ASSERT_TRUE(file);
        const auto name = [&](long long page) { return (dir / ("library-" + std::to_string(page) + ".svg")).string(); };
        const std::unique_ptr<korvane::PageOutput> pages =
            format == korvane::Format::Pdf ? korvane::pdfPages(**file) : korvane::pageFiles(format, name);
        korvane::SheetWriter writer(*sheet, *pages);
        std::istringstream values(readFile(dir / "many.txt"));
        long long n = 0;
        for (std::string value; std::getline(values, value);) {
            const auto symbol = korvane::encode(korvane::Symbology::Ean13, value);
            ASSERT_TRUE(symbol);
            korvane::LayoutOptions layout;
            layout.height = korvane::mm(12);
            const auto label = korvane::layoutForCell(*symbol, layout, *sheet, true);
            ASSERT_TRUE(label);
            // {data} as encoded (with its check digit, as under the bars), {input} as typed.
            ASSERT_TRUE(writer.add(*label, std::to_string(++n) + ": " + symbol->text + " / " + value));
        }
        ASSERT_TRUE(writer.finish());
        if (format == korvane::Format::Pdf) {
            ASSERT_TRUE((*file)->commit());
            EXPECT_TRUE(readFile(dir / "sheet.pdf") == readFile(dir / "library.pdf"));
            continue;
        }
        ASSERT_EQ(writer.pagesDone(), 3);
        for (int page = 1; page <= 3; ++page)
            EXPECT_TRUE(readFile(dir / ("sheet-" + std::to_string(page) + ".svg")) == readFile(name(page))) << page;
    }
    fs::remove_all(dir);
}

TEST_F(KorvaneCommand, HostileCommandLines) {
    const std::string huge = "99999999999999999999";
    runRows({
        {"unknown option", {"--bogus", "x"}, 2, "--bogus", {}, NONE, false},
        {"missing value", {"x", "-b"}, 2, "--symbology: 1 required NAME missing", {}, NONE, false},
        {"bad unit", {"--x-dim", "3furlongs", "x"}, 2, "'3furlongs' is not a length", {}, NONE, false},
        {"negative length", {"--height", "-5mm", "x"}, 2, "negative", {}, NONE, false},
        {"huge resolution", {"--dpi", huge, "x"}, 2, "--dpi", {}, NONE, false},
        // Every option out of its range is a usage error, its range named.
        {"huge X", {"--x-dim", "999999mm", "x"}, 2, "beyond the 10 mm", {}, NONE, false},
        {"X of 5 cm", {"--x-dim", "50mm", "x"}, 2, "an X-dimension of 50 mm is beyond the 10 mm", {}, NONE, false},
        {"height of 10 m", {"--height", "10000mm", "x"}, 2, "a height of 10000 mm is beyond the 2,000 mm", {}, NONE, false},
        {"quiet zone of 100,000 modules", {"--quiet-zone", "100000", "x"}, 2, "beyond the 1,000", {}, NONE, false},
        {"font of half a metre", {"--font-size", "500mm", "x"}, 2, "a font size of 500 mm is beyond the 50 mm", {}, NONE,
         false},
        {"huge jobs", {"--jobs", huge, "--batch", "codes.txt"}, 2, "--jobs", {}, CODES, false},
        {"huge Aztec size", {"-b", "aztec", "--aztec-size", huge, "x"}, 2, "--aztec-size", {}, NONE, false},
        {"unknown symbology", {"-b", "qrc", "x"}, 2, "'qrc' is no symbology", {}, NONE, false},
        {"option for another symbology", {"-b", "ean13", "--wide-ratio", "3", "590123412345"}, 2,
         "--wide-ratio does not apply to EAN-13", {}, NONE, false},
        {"two data sources", {"x", "--input", "f"}, 2, "one way", {}, PLAIN, false},
        {"empty argument", {"-b", "ean13", ""}, 1, "the data is empty", {}, NONE, false},
        {"empty standard input", {"-b", "ean13"}, 1, "the data is empty", {}, NONE, false},
        {"empty input file", {"--input", "empty"}, 1, "the data is empty", {}, EMPTY, false},
        {"binary input EAN-13: longer than any EAN-13", {"-b", "ean13", "--input", "bin"}, 1, "EAN-13 takes at most 19",
         {}, BINARY, false},
        {"binary input Code 128: bytes 128-255 through FNC4", {"-b", "code128", "--input", "bin"}, 0, "",
         {"barcode.svg"}, BINARY},
        {"Code 128 of UTF-8 beyond Latin-1", {"-b", "code128", "5 \xE2\x82\xAC"}, 1, "'\xE2\x82\xAC' (U+20AC) at position 3",
         {}, NONE, false},
        {"endless input", {"--input", "/dev/zero"}, 1, "larger than 16 MiB", {}, NONE, false},
        {"input is a directory", {"--input", "d"}, 2, "cannot read d", {}, DIRECTORY, false},
        {"missing input", {"--input", "missing"}, 2, "cannot read missing: No such file", {}, NONE, false},
        {"100,000 digits of EAN-13", {"-b", "ean13", LONG_VALUE}, 1, "EAN-13", {}, NONE, false},
        {"100,000 characters of Aztec", {"-b", "aztec", LONG_VALUE}, 1, "no Aztec Code holds more than 7,987", {},
         NONE, false},
        {"100,000 digits of PDF417: nothing written", {"-b", "pdf417", LONG_VALUE}, 1,
         "the data is 100,000 bytes; no PDF417 holds more than 2,710", {}, NONE, false},
        {"100,000 digits of QR Code", {"-b", "qr", LONG_VALUE}, 1, "no QR Code holds more than 7,089", {}, NONE, false},
        {"100,000 characters of Code 128", {"-b", "code128", LONG_VALUE}, 1, "Code 128 takes at most 1,000", {}, NONE,
         false},
        {"100,000-character option value", {"--fg", LONG_VALUE, "x"}, 2, "is not a colour", {}, NONE, false},
        {"100,000-character output name", {"-o", LONG_VALUE + ".svg", "x"}, 3, "", {}, NONE},
        {"missing directory", {"-o", "missing/a.svg", "x"}, 3,
         "cannot write \"missing/a.svg\": the folder \"missing\" does not exist", {}, NONE},
        {"output is a directory", {"-o", "d", "-f", "svg", "x"}, 3, "d", {}, DIRECTORY},
        {"inside a regular file", {"-o", "f/a.svg", "x"}, 3, "f/a.svg", {}, PLAIN},
        {"under /proc", {"-o", "/proc/korvane-test.svg", "x"}, 3, "/proc/korvane-test.svg", {}, NONE},
        {"read-only directory", {"-o", "ro/a.svg", "x"}, 3, "ro/a.svg", {}, READ_ONLY, true, Err::ONE_LINE, "", nullptr,
         true},
        {"unwritable batch row", {"--batch", "-", "-o", "{data}/x.svg"}, 3, "line 1: ", {"d/x.svg"}, DIRECTORY, true,
         Err::BATCH, "missing\nd\n", nullptr},
        {"help", {"--help"}, 0, "", {}, NONE, false, Err::ONE_LINE, "",
         [](const Outcome& o, const fs::path&) {
             EXPECT_NE(o.out.find("EXIT STATUS"), std::string::npos);
             EXPECT_NE(o.out.find("default 7 after EAN-13 and EAN-8, 9 after UPC-A"), std::string::npos);
         }},
        {"version", {"--version"}, 0, "", {}, NONE, false, Err::ONE_LINE, "",
         [](const Outcome& o, const fs::path&) { EXPECT_EQ(o.out.rfind("korvane ", 0), 0u); }},
    });
}

}  // namespace
