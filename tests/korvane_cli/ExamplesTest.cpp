// Every example command printed in README.md, in the pages of docs/ and in
// `korvane --help` runs as printed and succeeds: the first thing a new user
// tries must work.

#include "Process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int TIMEOUT_SECONDS = 120;

bool startsWith(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

bool isOurProgram(const std::string& name) { return name == "korvane" || name == "barlane" || name == "aztec"; }

// A line that runs one of this project's programs, alone or at the end of a
// pipe, by its name or by its path in a build folder (build-release/cli/korvane).
bool runsOurProgram(const std::string& line) {
    const std::string first = line.substr(0, line.find(' '));
    if (isOurProgram(first) || (first.find('/') != std::string::npos && isOurProgram(fs::path(first).filename())))
        return true;
    return first == "echo" && line.find("| korvane ") != std::string::npos;
}

// The line with a program's path replaced by its name: the program under test.
std::string byName(const std::string& line) {
    const std::size_t space = line.find(' ');
    const std::string first = line.substr(0, space);
    if (first.find('/') == std::string::npos || !isOurProgram(fs::path(first).filename()))
        return line;
    return fs::path(first).filename().string() + (space == std::string::npos ? "" : line.substr(space));
}

// The command lines of the sh blocks of one page.
std::vector<std::string> pageExamples(const fs::path& page) {
    std::ifstream in(page);
    std::vector<std::string> found;
    bool inShell = false;
    for (std::string line; std::getline(in, line);) {
        if (startsWith(line, "```")) {
            inShell = !inShell && line == "```sh";
            continue;
        }
        if (inShell && runsOurProgram(line))
            found.push_back(byName(line));
    }
    return found;
}

// The pages of docs/, in name order.
std::set<fs::path> docsPages() {
    std::set<fs::path> found;
    for (const fs::directory_entry& e : fs::directory_iterator(fs::path(README_MD).parent_path() / "docs"))
        if (e.path().extension() == ".md")
            found.insert(e.path());
    return found;
}

// The example lines of korvane's help text: indented commands.
std::vector<std::string> helpExamples(const std::string& help) {
    std::vector<std::string> found;
    std::istringstream in(help);
    for (std::string line; std::getline(in, line);)
        if (startsWith(line, "  korvane -") || (startsWith(line, "  echo ") && runsOurProgram(line.substr(2))))
            found.push_back(line.substr(2));
    return found;
}

// What the examples name: a list of EAN-13 values, a CSV of labels, a payload.
void makeFixtures(const fs::path& dir) {
    std::ofstream(dir / "codes.txt") << "590123412345\n400638133393\n501234567890\n";
    std::ofstream(dir / "labels.csv") << "data,file,symbology,no-text\n590123412345,ean.svg,ean13,\nHello,,,yes\n";
    std::ofstream(dir / "payload.bin", std::ios::binary) << std::string("\x00\x01\xFF payload", 11);
}

void runEach(const std::vector<std::string>& commands) {
    // The programs by their names, as the examples call them.
    std::string path = fs::path(KORVANE_EXE).parent_path().string() + ":" +
                       fs::path(BARLANE_EXE).parent_path().string() + ":" +
                       fs::path(AZTEC_EXE).parent_path().string();
    if (const char* old = std::getenv("PATH"))
        path += std::string(":") + old;
    setenv("PATH", path.c_str(), 1);
    for (const std::string& command : commands) {
        SCOPED_TRACE(command);
        std::string pattern = (fs::temp_directory_path() / "korvane_example_XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        makeFixtures(pattern);
        const testsupport::Outcome o =
            testsupport::runProcess("/bin/sh", {"-c", command}, pattern, "/dev/null", TIMEOUT_SECONDS);
        EXPECT_EQ(o.status, 0) << o.err.substr(0, 1000);
        fs::remove_all(pattern);
    }
}

TEST(Examples, EveryReadmeCommandRuns) {
    const std::vector<std::string> commands = pageExamples(README_MD);
    EXPECT_GE(commands.size(), 2u) << "the README's examples were not found";
    runEach(commands);
}

// The pages of docs/ each show examples; together they keep at least as many
// as the README held before they moved there.
TEST(Examples, EveryDocsPageCommandRuns) {
    std::size_t total = 0;
    for (const fs::path& page : docsPages()) {
        SCOPED_TRACE(page.string());
        const std::vector<std::string> commands = pageExamples(page);
        total += commands.size();
        runEach(commands);
    }
    EXPECT_GE(total, 15u) << "the examples of docs/ were not found";
}

TEST(Examples, EveryHelpCommandRuns) {
    const testsupport::Outcome help =
        testsupport::runProcess(KORVANE_EXE, {"--help"}, ".", "/dev/null", TIMEOUT_SECONDS);
    ASSERT_EQ(help.status, 0);
    const std::vector<std::string> commands = helpExamples(help.out);
    EXPECT_GE(commands.size(), 5u) << help.out.substr(0, 1000);
    runEach(commands);
}

}  // namespace
