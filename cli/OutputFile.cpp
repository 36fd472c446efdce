// Output files: new ones written in place, existing ones replaced whole.

#include "OutputFile.h"

#include <korvane/Write.h>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace korvane::cli {
namespace {

Status failure(const std::string& path, int error) {
    const std::string shown = path.size() > 200 ? path.substr(0, 200) + "..." : path;
    return Error{ErrorCode::WriteFailed, "cannot write " + shown + ": " + std::strerror(error)};
}

}  // namespace

Status writeOutputFile(const std::vector<std::uint8_t>& bytes, const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (errno == EEXIST)
            return writeBytesToFile(bytes, path);
        return failure(path, errno);
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
        ::unlink(path.c_str());
        return failure(path, error);
    }
    return Done{};
}

}  // namespace korvane::cli
