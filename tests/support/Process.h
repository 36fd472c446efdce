#pragma once
// Programs run as processes for end-to-end tests (POSIX only): standard input
// from a file, both output streams captured, a time limit, and the files a run
// leaves behind.

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace testsupport {

struct Outcome {
    bool timedOut = false;
    int status = -1;  // exit status, or -1 when a signal ended the process
    int signal = 0;
    std::string out, err;
};

// Runs `exe` with `args` in the directory `dir`, standard input read from
// `stdinFile` (opened before the change of directory), standard output and
// error captured whole. A run still going after `timeoutSeconds` is killed and
// reported as timed out.
Outcome runProcess(const char* exe, const std::vector<std::string>& args, const std::filesystem::path& dir,
                   const std::string& stdinFile, int timeoutSeconds);

// Every file and directory below `dir`, as paths relative to it.
std::set<std::string> listing(const std::filesystem::path& dir);

}  // namespace testsupport
