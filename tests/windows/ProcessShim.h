#pragma once
// Force-included into the cross-built unit tests: the POSIX process calls the
// native tests use, on the C runtime of Windows, and BARLANE_EXE as a Windows
// path (Wine shows the Linux root as drive Z:).

#include <cstdio>
#include <string>

#define popen _popen
#define pclose _pclose

namespace windowstest {
inline const char* windowsPath(const char* path) {
    static std::string converted;
    converted = path;
    if (!converted.empty() && converted[0] == '/')
        converted = "Z:" + converted;
    for (char& c : converted)
        if (c == '/')
            c = '\\';
    return converted.c_str();
}
}  // namespace windowstest

#ifdef BARLANE_EXE_PATH
#define BARLANE_EXE ::windowstest::windowsPath(BARLANE_EXE_PATH)
#endif
