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
#include <memory>
#include <string_view>
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

bool writeAll(int fd, std::string_view bytes, int& err) {
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

}  // namespace

// Where the bytes go, chosen when the sink opens: standard output and devices
// directly, a regular file through a temporary file beside it.
struct FileSink::State {
    enum class Kind { StandardOutput, Device, Regular } kind = Kind::Regular;
    std::string path;       // as the caller named it, for messages
    std::string target;     // the file replaced (a link's target)
    std::string temporary;  // Regular: written here, renamed over target on commit()
    int fd = -1;
    bool replacing = false;
    mode_t mode = 0;
    bool failed = false;    // a write failed: nothing more is written, commit() refuses
    bool done = false;      // committed

    Status opened(const std::string& from) {
        const std::string folder = folderOf(target);
        struct stat st;
        if (::stat(folder.c_str(), &st) != 0)
            return failure(from, errno == ENOENT ? "the folder " + quoted(folder) + " does not exist"
                                                 : quoted(folder) + ": " + systemMessage(errno));
        if (!S_ISDIR(st.st_mode))
            return failure(from, quoted(folder) + " is not a folder");
        for (unsigned attempt = 0; fd < 0 && attempt < 100; ++attempt) {
            temporary = temporaryName(folder, baseOf(target), attempt);
            // 0666 less the umask, as for any new file; a replaced file keeps its mode on commit().
            fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd < 0 && errno != EEXIST && errno != EINTR)
                return failure(from, systemMessage(errno));
        }
        if (fd < 0)
            return failure(from, "no temporary file could be created in " + quoted(folder));
        return Done{};
    }
};

Result<std::unique_ptr<FileSink>> FileSink::open(const std::string& path) {
    if (path.empty())
        return Error{ErrorCode::WriteFailed, "no file name to write to"};
    std::unique_ptr<FileSink> sink(new FileSink);
    State& s = *sink->state_;
    s.path = path;
    s.target = path;
    if (path == "-") {
        std::fflush(stdout);  // whatever the caller printed comes first
        s.kind = State::Kind::StandardOutput;
        s.fd = STDOUT_FILENO;
        return sink;
    }
    if (path.back() == '/' || path.back() == '\\')
        return failure(path, "the name is a folder's, not a file's").error();
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return failure(path, "it is a folder").error();
        if (!S_ISREG(st.st_mode)) {
            // A device, pipe or socket: written in place, never created, truncated or removed.
            s.kind = State::Kind::Device;
            s.fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
            if (s.fd < 0)
                return failure(path, systemMessage(errno)).error();
            return sink;
        }
        // A symbolic link to a file: the file it names is replaced, the link stays.
        struct stat link;
        if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
            char resolved[PATH_MAX];
            if (::realpath(path.c_str(), resolved) != nullptr)
                s.target = resolved;
        }
        s.replacing = true;
        s.mode = st.st_mode & 07777;
    } else if (errno != ENOENT) {
        return failure(path, systemMessage(errno)).error();
    }
    if (const Status ok = s.opened(path); !ok)
        return ok.error();
    return sink;
}

FileSink::FileSink() : state_(std::make_unique<State>()) {}

FileSink::~FileSink() {
    State& s = *state_;
    if (s.kind == State::Kind::StandardOutput || s.done)
        return;
    if (s.fd >= 0)
        ::close(s.fd);
    if (s.kind == State::Kind::Regular && !s.temporary.empty())
        ::unlink(s.temporary.c_str());  // never renamed: the target stays as it was
}

Status FileSink::append(std::string_view bytes) {
    State& s = *state_;
    if (s.failed || s.done || s.fd < 0)
        return failure(s.path, "the file is closed after an earlier failure");
    int err = 0;
    if (writeAll(s.fd, bytes, err))
        return Done{};
    s.failed = true;
    return failure(s.path, (s.kind == State::Kind::StandardOutput ? "standard output: " : "") + systemMessage(err));
}

Status FileSink::commit() {
    State& s = *state_;
    if (s.failed || s.done)
        return failure(s.path, "the file is closed after an earlier failure");
    s.done = true;
    if (s.kind == State::Kind::StandardOutput)
        return Done{};
    int err = 0;
    bool ok = true;
    if (s.kind == State::Kind::Regular && s.replacing)
        (void)::fchmod(s.fd, s.mode);
    if (::close(s.fd) != 0) {
        err = errno;
        ok = false;
    }
    s.fd = -1;
    if (s.kind == State::Kind::Device)
        return ok ? Status(Done{}) : failure(s.path, systemMessage(err));
    if (ok && ::rename(s.temporary.c_str(), s.target.c_str()) != 0) {
        err = errno;
        ok = false;
    }
    if (!ok) {
        ::unlink(s.temporary.c_str());
        return failure(s.path, systemMessage(err));
    }
    return Done{};
}

Status writeBytesToFile(const std::vector<std::uint8_t>& bytes, const std::string& path) {
    Result<std::unique_ptr<FileSink>> sink = FileSink::open(path);
    if (!sink)
        return sink.error();
    if (const Status ok = (*sink)->append({reinterpret_cast<const char*>(bytes.data()), bytes.size()}); !ok)
        return ok;
    return (*sink)->commit();
}

}  // namespace korvane
