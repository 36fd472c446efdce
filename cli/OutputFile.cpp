// Output files: new ones written in place, existing ones replaced whole.

#include "OutputFile.h"

#include <korvane/Write.h>

#include <cerrno>

#include <climits>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace korvane::cli {

Status writeOutputFile(const std::vector<std::uint8_t>& bytes, const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        // An existing file is replaced whole; any other failure is described
        // by the library's path, which looks at the folder to say why.
        return writeBytesToFile(bytes, path);
    }
    // The file is ours from here: created empty by this call, so removing it
    // on a failure removes nothing anyone else wrote.
    std::size_t done = 0;
    int error = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? errno : EIO;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0) {
        // Tried once more through the library: a passing shortage may be
        // over, and a lasting one is reported in the library's words.
        ::unlink(path.c_str());
        return writeBytesToFile(bytes, path);
    }
    return Done{};
}

bool folderUnusable(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    struct stat st;
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || ::access(folder.c_str(), W_OK | X_OK) != 0)
        return true;
    struct statvfs fs;
    return ::statvfs(folder.c_str(), &fs) == 0 && ((fs.f_flag & ST_RDONLY) != 0 || fs.f_bavail == 0);
}

Status insideFolder(const std::string& folder, const std::string& path) {
    char base[PATH_MAX];
    if (::realpath(folder.c_str(), base) == nullptr)
        return Done{};
    const std::string root = base;
    const auto inside = [&root](const char* real) {
        const std::string p = real;
        return root == "/" || p == root || p.compare(0, root.size() + 1, root + "/") == 0;
    };
    const auto outside = [&](const std::string& how) -> Status {
        const std::string shown = path.size() > 200 ? path.substr(0, 200) + "..." : path;
        return Error{ErrorCode::InvalidOption,
                     "\"" + shown + "\" leads out of the folder of -o (" + folder + ")" + how + "; --allow-paths allows it"};
    };
    const std::size_t slash = path.find_last_of('/');
    const std::string parent = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    char real[PATH_MAX];
    if (::realpath(parent.c_str(), real) != nullptr && !inside(real))
        return outside(" through a symbolic link");
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode) && ::realpath(path.c_str(), real) != nullptr &&
        !inside(real))
        return outside(", a symbolic link to " + std::string(real).substr(0, 200));
    return Done{};
}

}  // namespace korvane::cli
