#pragma once
// Command-line fuzzing: the input is split at NUL bytes into arguments, and the
// program runs in a private temporary directory so the files it writes stay there.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

class FuzzArguments {
public:
    FuzzArguments(const char* program, const std::uint8_t* data, std::size_t size) {
        static const bool inWorkDirectory = enterWorkDirectory();
        (void)inWorkDirectory;
        args_.emplace_back(program);
        std::string current;
        for (std::size_t i = 0; i < size; ++i) {
            if (data[i] == 0) {
                args_.push_back(current);
                current.clear();
            } else {
                current += static_cast<char>(data[i]);
            }
        }
        args_.push_back(current);
        for (std::string& a : args_)
            argv_.push_back(a.data());
        argv_.push_back(nullptr);
    }

    int argc() const { return static_cast<int>(args_.size()); }
    char** argv() { return argv_.data(); }

private:
    static bool enterWorkDirectory() {
        char name[] = "/tmp/barcode_fuzz_XXXXXX";
        if (mkdtemp(name) == nullptr || chdir(name) != 0)
            std::abort();
        return true;
    }

    std::vector<std::string> args_;
    std::vector<char*> argv_;
};
