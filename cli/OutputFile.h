#pragma once
// Writing an output file. A file that does not exist yet is created and
// written in place (three system calls, as a batch of thousands of files
// wants), and removed again if the write fails, so a failure leaves nothing
// behind. An existing file, a device or a pipe goes through the library's
// writeBytesToFile (a temporary file renamed over the old one, devices
// written directly), so a failure never destroys what was there.

#include <korvane/Result.h>

#include <cstdint>
#include <string>
#include <vector>

namespace korvane::cli {

// Errors (WriteFailed) are worded by the library's writeBytesToFile, so a
// missing folder or a full disk reads the same whichever path failed.
Status writeOutputFile(const std::vector<std::uint8_t>& bytes, const std::string& path);

// After a failed write: whether the cause is the folder `path` names its file
// in, or the device under it (missing, not a folder, not writable, read-only,
// full), so that every other file written there would fail the same way.
bool folderUnusable(const std::string& path);

// Whether `path` stays inside `folder` once symbolic links are followed: its
// own folder and, when it is a link, the file it points to. Names that do not
// exist yet are left for the write to report.
Status insideFolder(const std::string& folder, const std::string& path);

}  // namespace korvane::cli
