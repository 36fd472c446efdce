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

Status writeOutputFile(const std::vector<std::uint8_t>& bytes, const std::string& path);

}  // namespace korvane::cli
