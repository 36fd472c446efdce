// Writing bytes to a file whole: into a temporary file beside the target,
// then renamed over it, so readers see the old file or the new one and never
// half of one. Devices and pipes named as the output (/dev/null, /dev/stdout,
// a FIFO) are written directly and never replaced or removed.

#include "korvane/Write.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

#include <climits>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace korvane {
namespace {

// strerror_r comes in two flavours: GNU returns the message, XSI fills the buffer.
[[maybe_unused]] const char* messageOf(int result, const char* buffer) { return result == 0 ? buffer : "unknown error"; }
[[maybe_unused]] const char* messageOf(const char* result, const char*) { return result; }

std::string systemMessage(int err) {
    if (err == ENOSPC)
        return "no space left on the device";
    char buffer[256] = "";
    return messageOf(strerror_r(err, buffer, sizeof buffer), buffer);
}

std::string quoted(const std::string& s) { return "\"" + s + "\""; }

Status failure(const std::string& path, const std::string& why) {
    return Error{ErrorCode::WriteFailed, "cannot write " + quoted(path) + ": " + why};
}

// The folder a path names its file in.
std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return path.substr(0, 1);
    return path.substr(0, slash);
}

std::string baseOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A name for the temporary file, different for every attempt, thread and process.
std::string temporaryName(const std::string& folder, const std::string& base, unsigned attempt) {
    static_assert(sizeof(std::size_t) >= 4);
    int anchor = 0;
    const std::size_t seed = std::hash<std::thread::id>{}(std::this_thread::get_id()) ^
                             static_cast<std::size_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                             reinterpret_cast<std::uintptr_t>(&anchor) ^ (static_cast<std::size_t>(attempt) * 0x9E3779B9u);
    const long pid = static_cast<long>(getpid());
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, ".%ld.%08zx.tmp", pid, seed & 0xFFFFFFFFu);
    // Hidden, and short enough for the file system's name limit.
    return (folder == "/" ? std::string() : folder) + "/." + base.substr(0, 180) + suffix;
}

bool writeAll(int fd, const std::vector<std::uint8_t>& bytes, int& err) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            err = errno;
            return false;
        }
        if (n == 0) {
            err = ENOSPC;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

Status toStandardOutput(const std::vector<std::uint8_t>& bytes) {
    std::fflush(stdout);  // whatever the caller printed comes first
    int err = 0;
    if (!writeAll(STDOUT_FILENO, bytes, err))
        return failure("-", "standard output: " + systemMessage(err));
    return Done{};
}

// A device, pipe or socket: written in place, never created, truncated or removed.
Status toDevice(const std::vector<std::uint8_t>& bytes, const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return failure(path, systemMessage(errno));
    int err = 0;
    const bool written = writeAll(fd, bytes, err);
    if (::close(fd) != 0 && written)
        err = errno;
    if (!written || err != 0)
        return failure(path, systemMessage(err));
    return Done{};
}

Status toRegularFile(const std::vector<std::uint8_t>& bytes, const std::string& path, const std::string& target,
                     bool replacing, mode_t mode) {
    const std::string folder = folderOf(target);
    struct stat st;
    if (::stat(folder.c_str(), &st) != 0)
        return failure(path, errno == ENOENT ? "the folder " + quoted(folder) + " does not exist"
                                             : quoted(folder) + ": " + systemMessage(errno));
    if (!S_ISDIR(st.st_mode))
        return failure(path, quoted(folder) + " is not a folder");

    std::string temporary;
    int fd = -1;
    for (unsigned attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = temporaryName(folder, baseOf(target), attempt);
        // 0666 less the umask, as for any new file; a replaced file keeps its mode below.
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST && errno != EINTR)
            return failure(path, systemMessage(errno));
    }
    if (fd < 0)
        return failure(path, "no temporary file could be created in " + quoted(folder));

    int err = 0;
    bool ok = writeAll(fd, bytes, err);
    if (ok && replacing)
        (void)::fchmod(fd, mode);
    if (::close(fd) != 0 && ok) {
        err = errno;
        ok = false;
    }
    if (ok && ::rename(temporary.c_str(), target.c_str()) != 0) {
        err = errno;
        ok = false;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        return failure(path, systemMessage(err));
    }
    return Done{};
}

}  // namespace

Status writeBytesToFile(const std::vector<std::uint8_t>& bytes, const std::string& path) {
    if (path.empty())
        return Error{ErrorCode::WriteFailed, "no file name to write to"};
    if (path == "-")
        return toStandardOutput(bytes);
    if (path.back() == '/' || path.back() == '\\')
        return failure(path, "the name is a folder's, not a file's");
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return failure(path, "it is a folder");
        if (!S_ISREG(st.st_mode))
            return toDevice(bytes, path);
        // A symbolic link to a file: the file it names is replaced, the link stays.
        std::string target = path;
        struct stat link;
        if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
            char resolved[PATH_MAX];
            if (::realpath(path.c_str(), resolved) != nullptr)
                target = resolved;
        }
        return toRegularFile(bytes, path, target, true, st.st_mode & 07777);
    }
    if (errno != ENOENT)
        return failure(path, systemMessage(errno));
    return toRegularFile(bytes, path, path, false, 0);
}

}  // namespace korvane
