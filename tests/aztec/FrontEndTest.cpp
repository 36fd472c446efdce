#include "AztecCli.h"
#include "AztecTestSupport.h"
#include "bitmapfile.h"
#include "createAztec.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using aztectest::Bmp;
using aztectest::readBmp;
using aztectest::readWhole;

namespace {

// A file name in the temporary directory, unique to this process, so that
// builds whose tests run at the same time do not meet.
std::string tempPath(const std::string& name) {
    return testing::TempDir() + "/aztec-" + std::to_string(getpid()) + "-" + name;
}

// ---- BMP writer ----------------------------------------------------------------

struct BmpCase {
    int rows, cols;
    std::uint32_t sizeImage;
};

TEST(BitmapFile, HeadersAndEveryPixel) {
    const BmpCase cases[] = {{15, 15, 720}, {19, 19, 1140}, {151, 151, 68856}, {3, 4, 36}, {2, 1, 8}};
    for (const BmpCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.rows) + "x" + std::to_string(c.cols));
        std::vector<int> colours(static_cast<size_t>(c.rows) * c.cols);
        for (size_t i = 0; i < colours.size(); ++i)
            colours[i] = static_cast<int>((i * 0x10203u + 0x0A0B0Cu) & 0xFFFFFFu);
        bitmapfile writer;
        const std::string path = tempPath("bitmapfile_test.bmp");
        ASSERT_TRUE(writer.write(path.c_str(), colours.data(), c.rows, c.cols));
        const std::string bytes = readWhole(path);
        EXPECT_EQ(bytes, writer.contents());
        const Bmp bmp = aztectest::parseBmp(bytes);
        ASSERT_TRUE(bmp.ok) << bmp.error;
        EXPECT_EQ(bmp.fileSize, 54 + c.sizeImage);
        EXPECT_EQ(bytes.size(), 54 + c.sizeImage);
        EXPECT_EQ(bmp.res1, 0);
        EXPECT_EQ(bmp.res2, 0);
        EXPECT_EQ(bmp.offset, 54u);
        EXPECT_EQ(bmp.headerSize, 40u);
        EXPECT_EQ(bmp.width, c.cols);
        EXPECT_EQ(bmp.height, c.rows);
        EXPECT_EQ(bmp.planes, 1);
        EXPECT_EQ(bmp.bitsPixel, 24);
        EXPECT_EQ(bmp.compression, 0u);
        EXPECT_EQ(bmp.sizeImage, c.sizeImage);
        EXPECT_EQ(bmp.xPels + bmp.yPels + bmp.clrUsed + bmp.clrImportant, 0u);
        EXPECT_TRUE(bmp.padZero);
        EXPECT_EQ(bmp.pixels, colours);
        std::remove(path.c_str());
    }
}

TEST(BitmapFile, ByteOrder) {
    const int colours[] = {0x123456, 0xFFFFFF, 0x000000, 0xABCDEF};
    bitmapfile writer;
    const std::string path = tempPath("bitmapfile_order.bmp");
    ASSERT_TRUE(writer.write(path.c_str(), colours, 2, 2));
    const std::string b = writer.contents();
    // Bottom row first: 0x000000, 0xABCDEF, 2 pad bytes, then 0x123456, 0xFFFFFF, pad.
    const std::string pixels("\x00\x00\x00\xEF\xCD\xAB\x00\x00\x56\x34\x12\xFF\xFF\xFF\x00\x00", 16);
    EXPECT_EQ(b.substr(54), pixels);
    EXPECT_EQ(b.substr(0, 6), std::string("BM\x46\x00\x00\x00", 6));
    char word[2], dword[4];
    EXPECT_EQ(std::string(bitmapfile::toWord(0x0118, word), 2), std::string("\x18\x01", 2));
    EXPECT_EQ(std::string(bitmapfile::toDWord(0x01020304, dword), 4), std::string("\x04\x03\x02\x01", 4));
    std::remove(path.c_str());
}

TEST(BitmapFile, RefusesWhatItCannotWrite) {
    const int one = 0;
    bitmapfile writer;
    EXPECT_FALSE(writer.write("/nonexistent-directory/x.bmp", &one, 1, 1));
    const std::string path = tempPath("bitmapfile_empty.bmp");
    EXPECT_FALSE(writer.write(path.c_str(), &one, 0, 1));
    struct stat st;
    EXPECT_NE(stat(path.c_str(), &st), 0);
    // A failed write removes a half-written file, never a device.
    if (stat("/dev/full", &st) == 0) {
        EXPECT_FALSE(writer.write("/dev/full", &one, 1, 1));
        EXPECT_EQ(stat("/dev/full", &st), 0);
    }
}

// ---- the aztec program, run as a process --------------------------------------------

struct ProcessResult {
    int status = -1;
    std::string out, err;
};

class Program : public testing::Test {
protected:
    std::string dir;

    void SetUp() override {
        std::string pattern = tempPath("aztec_cli_XXXXXX");
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

    static std::string quoted(const std::string& s) {
        std::string q = "'";
        for (char c : s)
            q += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return q + "'";
    }

    ProcessResult run(const std::vector<std::string>& args) const {
        std::string cmd = "cd " + quoted(dir) + " && " + quoted(AZTEC_EXE);
        for (const std::string& a : args)
            cmd += " " + quoted(a);
        cmd += " >" + quoted(dir + "/stdout.txt") + " 2>" + quoted(dir + "/stderr.txt");
        ProcessResult r;
        const int raw = std::system(cmd.c_str());
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = readWhole(dir + "/stdout.txt");
        r.err = readWhole(dir + "/stderr.txt");
        return r;
    }

    std::string path(const std::string& name) const { return dir + "/" + name; }

    bool exists(const std::string& name) const {
        struct stat st;
        return stat(path(name).c_str(), &st) == 0;
    }

    void writeFile(const std::string& name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }

    // Reads the BMP back, checks it against the matrix paint() makes for the same
    // settings, and decodes it.
    testsupport::Decoded decodeFile(const std::string& name, int expectedSize) const {
        const Bmp bmp = readBmp(path(name));
        EXPECT_TRUE(bmp.ok) << bmp.error;
        EXPECT_EQ(bmp.width, expectedSize);
        EXPECT_EQ(bmp.height, expectedSize);
        EXPECT_TRUE(bmp.padZero);
        std::vector<bool> dark(bmp.pixels.size());
        for (size_t i = 0; i < dark.size(); ++i) {
            EXPECT_TRUE(bmp.pixels[i] == 0 || bmp.pixels[i] == 0xFFFFFF);
            dark[i] = bmp.pixels[i] == 0;
        }
        return testsupport::decode(testsupport::renderMatrix(dark, bmp.height, bmp.width, 3, 4),
                                   testsupport::Symbology::Aztec);
    }
};

TEST_F(Program, DefaultsWriteTheDefaultSymbol) {
    const ProcessResult r = run({});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "\n");
    EXPECT_EQ(r.err, "");
    const Bmp bmp = readBmp(path("aztec.bmp"));
    ASSERT_TRUE(bmp.ok) << bmp.error;
    Aztec reference;
    reference.setCode("Aztec barcode");
    reference.paint();
    EXPECT_EQ(bmp.pixels, reference.bitmap);
    EXPECT_EQ(readWhole(path("aztec.bmp")).size(), 1194u);
}

struct CliCase {
    const char* label;
    std::vector<std::string> args;
    const char* echo;
    int size;
    std::string decoded;
};

TEST_F(Program, OptionsEchoAndEffect) {
    const CliCase cases[] = {
        {"code and file", {"-code", "ABC", "-file", "x.bmp"},
         "\nParameter  -code = ABC\nParameter  -file = x.bmp\n", 15, "ABC"},
        {"tilde off unless exactly 1", {"-tilde", "yes", "-code", "A~d066", "-file", "x.bmp"},
         "\nParameter  -tilde = yes\nParameter  -code = A~d066\nParameter  -file = x.bmp\n", 15, "A~d066"},
        {"tilde on", {"-tilde", "1", "-code", "A~d066", "-file", "x.bmp"}, nullptr, 15, "AB"},
        {"format 6 keeps a starting row that fits", {"-format", "6", "-code", "A", "-file", "x.bmp"}, nullptr, 27, "A"},
        {"negative format means 0", {"-format", "-3", "-code", "A", "-file", "x.bmp"}, nullptr, 15, "A"},
        {"level abc is 0", {"-level", "abc", "-file", "x.bmp"}, nullptr, 15, "Aztec barcode"},
        {"number prefix as strtol reads it", {"-format", "7x", "-code", "A", "-file", "x.bmp"}, nullptr, 31, "A"},
        {"binary encoding", {"-encoding", "1", "-code", "ab", "-file", "x.bmp"}, nullptr, 15, "ab"},
        {"repeated option keeps the last", {"-code", "X", "-code", "YZ", "-file", "x.bmp"}, nullptr, 15, "YZ"},
        {"unknown option consumed", {"-color", "red", "-file", "x.bmp"},
         "\nParameter  -color = red\nParameter  -file = x.bmp\n", 19, "Aztec barcode"},
        {"option names are case-sensitive", {"-CODE", "Q", "-file", "x.bmp"}, nullptr, 19, "Aztec barcode"},
    };
    for (const CliCase& c : cases) {
        SCOPED_TRACE(c.label);
        const ProcessResult r = run(c.args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "");
        if (c.echo != nullptr) {
            EXPECT_EQ(r.out, c.echo);
        }
        const auto d = decodeFile("x.bmp", c.size);
        ASSERT_TRUE(d.ok) << d.error;
        EXPECT_EQ(d.text, c.decoded);
        std::remove(path("x.bmp").c_str());
    }
}

TEST_F(Program, TrailingOptionWithoutValue) {
    const ProcessResult r = run({"-file", "x.bmp", "-code"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "\nParameter  -file = x.bmp\nParameter  -code = ");
    const auto d = decodeFile("x.bmp", 19);
    EXPECT_EQ(d.text, "Aztec barcode");
}

TEST_F(Program, DataFileTakesPrecedence) {
    std::string all;
    for (int i = 0; i < 256; ++i)
        all += static_cast<char>(i);
    writeFile("data.bin", all);
    writeFile("empty.bin", "");
    for (const auto& args : {std::vector<std::string>{"-dataFile", "data.bin", "-code", "TEXT", "-file", "x.bmp"},
                             std::vector<std::string>{"-code", "TEXT", "-dataFile", "data.bin", "-file", "x.bmp"}}) {
        const ProcessResult r = run(args);
        EXPECT_EQ(r.status, 0) << r.err;
        const Bmp bmp = readBmp(path("x.bmp"));
        ASSERT_TRUE(bmp.ok);
        const auto d = decodeFile("x.bmp", bmp.width);
        ASSERT_TRUE(d.ok) << d.error;
        EXPECT_EQ(aztectest::bytesOf(testsupport::bytesToString(d.bytes)), aztectest::bytesOf(all));
    }
    const ProcessResult r = run({"-dataFile", "empty.bin", "-code", "TEXT", "-file", "y.bmp"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(decodeFile("y.bmp", 15).text, "TEXT");
}

struct FailureCase {
    const char* label;
    std::vector<std::string> args;
    int status;
    const char* errPrefix;
};

TEST_F(Program, FailuresWriteNoFile) {
    writeFile("huge.bin", std::string(150000, 'x'));
    const std::string tooLong(4000, 'A');
    const FailureCase cases[] = {
        {"format above 35", {"-format", "36", "-file", "x.bmp"}, 2, "aztec: -format must be between 0 and 35"},
        {"level 100", {"-level", "100", "-file", "x.bmp"}, 2, "aztec: -level must be between 0 and 99"},
        {"negative level", {"-level", "-1", "-file", "x.bmp"}, 2, "aztec: -level must be between 0 and 99"},
        {"huge level", {"-level", "99999999999999999999", "-file", "x.bmp"}, 2, "aztec: -level"},
        {"data too large", {"-code", tooLong, "-file", "x.bmp"}, 1, "aztec: the data needs 20000 bits"},
        {"data file too large", {"-dataFile", "huge.bin", "-file", "x.bmp"}, 1, "aztec: the data needs"},
        {"missing data file", {"-dataFile", "missing.bin", "-file", "x.bmp"}, 1, "aztec: cannot read data file"},
        {"output not writable", {"-file", "no/such/dir/x.bmp"}, 1, "aztec: cannot write"},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.label);
        const ProcessResult r = run(c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.err.rfind(c.errPrefix, 0), 0u) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line: " << r.err;
        EXPECT_FALSE(exists("x.bmp"));
    }
    const ProcessResult r = run({"-code", tooLong, "-file", "x.bmp"});
    const std::string message = "Still  bit to be placed on the barcode. Try selecting another configuration.";
    ASSERT_GE(r.out.size(), message.size());
    EXPECT_EQ(r.out.substr(r.out.size() - message.size()), message);
}

TEST(ProgramInProcess, EchoGoesToTheGivenStream) {
    std::string file = tempPath("inprocess.bmp");
    std::vector<std::string> args = {"aztec", "-code", "Hi", "-file", file};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    std::ostringstream out, err;
    EXPECT_EQ(aztec(static_cast<int>(argv.size()), argv.data(), out, err), 0);
    EXPECT_EQ(out.str(), "\nParameter  -code = Hi\nParameter  -file = " + file + "\n");
    EXPECT_EQ(readBmp(file).width, 15);
    std::remove(file.c_str());
}

// ---- createAztec, loaded at run time ---------------------------------------------------

using CreateAztecFn = void (*)(char, char, char, unsigned short, char*, char*);

class SharedLibrary : public testing::Test {
protected:
    void* handle = nullptr;
    CreateAztecFn create = nullptr;

    void SetUp() override {
        handle = dlopen(AZTEC_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << dlerror();
        create = reinterpret_cast<CreateAztecFn>(dlsym(handle, "createAztec"));
        ASSERT_NE(create, nullptr) << dlerror();
    }
    void TearDown() override {
        if (handle != nullptr)
            dlclose(handle);
    }
};

TEST_F(SharedLibrary, WritesWhatItIsGivenAndNothingWhenRefused) {
    struct Case {
        const char* label;
        char format, encoding, level;
        std::string data;
        bool written;
        int size;
    };
    const Case cases[] = {
        {"text bytes", 0, 0, 23, "Hello, World", true, 19},
        {"binary", 0, 1, 23, std::string("\x00\xFF\x80 z", 5), true, 15},
        {"tilde has no effect on bytes", 0, 0, 23, "A~d066", true, 15},
        {"starting row", 8, 0, 50, "X", true, 37},
        {"negative format is 0", -5, 0, 23, "X", true, 15},
        {"format 36", 36, 0, 23, "X", false, 0},
        {"level 100", 0, 0, 100, "X", false, 0},
        {"negative level", 0, 0, -1, "X", false, 0},
        {"data too large", 0, 1, 23, std::string(3000, 'b'), false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::string file = tempPath("createAztec.bmp");
        std::remove(file.c_str());
        std::string data = c.data;
        create(c.format, c.encoding, c.level, static_cast<unsigned short>(data.size()), data.data(), file.data());
        const Bmp bmp = readBmp(file);
        ASSERT_EQ(bmp.ok, c.written) << bmp.error;
        if (!c.written)
            continue;
        EXPECT_EQ(bmp.width, c.size);
        std::vector<bool> dark(bmp.pixels.size());
        for (size_t i = 0; i < dark.size(); ++i)
            dark[i] = bmp.pixels[i] == 0;
        const auto d = testsupport::decode(testsupport::renderMatrix(dark, bmp.height, bmp.width, 3, 4),
                                           testsupport::Symbology::Aztec);
        ASSERT_TRUE(d.ok) << d.error;
        EXPECT_EQ(testsupport::bytesToString(d.bytes), c.data);
        std::remove(file.c_str());
    }
    // No data: the (empty) text is encoded; the decoder reports no content, so
    // only the file is checked.
    std::string file = tempPath("createAztec-empty.bmp");
    create(0, 0, 23, 0, nullptr, file.data());
    EXPECT_EQ(readBmp(file).width, 15);
    std::remove(file.c_str());
    create(0, 0, 23, 3, nullptr, nullptr);  // null pointers: nothing happens
}

}  // namespace
