// createAztec as a caller on Windows reaches it: the module loaded with
// LoadLibrary, the entry looked up by its exported name (createAztec@24, the
// standard-call decoration, in 32 bits; plain createAztec in 64 bits, which has
// one calling convention) and called through a standard-call pointer.
// aztec.exe exports it too, but the loader resolves no imports of an
// executable loaded as a library, so only the lookup is checked there; the
// calls go to aztec.dll.

#include "createAztec.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

#if defined(_WIN64)
constexpr const char* EXPORT_NAME = "createAztec";
#else
constexpr const char* EXPORT_NAME = "createAztec@24";
#endif

using CreateAztec = void(__stdcall*)(char, char, char, unsigned short, char*, char*);

// Build paths are Linux paths when the tests run under Wine, which shows the
// Linux root as drive Z:.
std::string windowsPath(std::string path) {
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    return path;
}

std::string tempFile(const char* name) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

std::vector<char> readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(AztecProgram, ExportsCreateAztec) {
    HMODULE program = LoadLibraryExA(windowsPath(AZTEC_EXE).c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(program, nullptr) << "cannot load " << AZTEC_EXE << ", error " << GetLastError();
    EXPECT_NE(GetProcAddress(program, EXPORT_NAME), nullptr) << EXPORT_NAME << " is not exported";
    FreeLibrary(program);
}

class AztecLibrary : public testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryA(windowsPath(AZTEC_DLL).c_str());
        ASSERT_NE(module, nullptr) << "cannot load " << AZTEC_DLL << ", error " << GetLastError();
        entry = reinterpret_cast<CreateAztec>(reinterpret_cast<void*>(GetProcAddress(module, EXPORT_NAME)));
        ASSERT_NE(entry, nullptr) << EXPORT_NAME << " is not exported";
    }
    void TearDown() override {
        if (module != nullptr)
            FreeLibrary(module);
    }
    HMODULE module = nullptr;
    CreateAztec entry = nullptr;
};

struct Call {
    const char* label;
    char format, encoding, level;
    std::string data;
};

const Call CALLS[] = {
    {"text in the character sets", 0, 0, 23, "Aztec from a DLL caller"},
    {"bytes in binary encoding", 0, 1, 50, std::string("\x00\x01\xfe\xff binary", 11)},
    {"preferred compact 27 x 27", 6, 0, 23, "ABC"},
    {"no data: an empty symbol", 0, 0, 23, ""},
};

// The exported entry writes exactly what the same function linked into this
// program writes: arguments arrive intact through the standard-call frame.
TEST_F(AztecLibrary, WritesWhatTheLinkedFunctionWrites) {
    for (const Call& c : CALLS) {
        SCOPED_TRACE(c.label);
        const std::string exported = tempFile("create_aztec_exported.bmp");
        const std::string linked = tempFile("create_aztec_linked.bmp");
        DeleteFileA(exported.c_str());
        DeleteFileA(linked.c_str());
        std::string data = c.data;
        entry(c.format, c.encoding, c.level, static_cast<unsigned short>(data.size()), data.data(),
              const_cast<char*>(exported.c_str()));
        createAztec(c.format, c.encoding, c.level, static_cast<unsigned short>(data.size()), data.data(),
                    const_cast<char*>(linked.c_str()));
        const std::vector<char> a = readAll(exported), b = readAll(linked);
        ASSERT_GT(a.size(), 54u);
        EXPECT_EQ(a[0], 'B');
        EXPECT_EQ(a[1], 'M');
        EXPECT_EQ(a, b);
        DeleteFileA(exported.c_str());
        DeleteFileA(linked.c_str());
    }
}

TEST_F(AztecLibrary, WritesNothingForALevelOutOfRange) {
    const std::string file = tempFile("create_aztec_refused.bmp");
    DeleteFileA(file.c_str());
    char data[] = "x";
    entry(0, 0, 100, 1, data, const_cast<char*>(file.c_str()));
    EXPECT_EQ(GetFileAttributesA(file.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
