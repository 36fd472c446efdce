#pragma once
// Standard input, output and error as the command sees them, so that tests
// and the fuzz target can run the whole command in-process.

#include <cstddef>
#include <string_view>

namespace korvane::cli {

class Console {
public:
    virtual ~Console() = default;
    virtual void out(std::string_view bytes) = 0;
    virtual void err(std::string_view text) = 0;
    // Up to `size` bytes of standard input; 0 at its end (or on an error).
    virtual std::size_t read(char* buffer, std::size_t size) = 0;
    virtual bool inputIsTerminal() const = 0;
    virtual bool errIsTerminal() const = 0;
};

// The process's own streams, through C stdio (the command runs once per
// symbol, and iostreams would cost it more at start-up than the symbol).
class StdioConsole : public Console {
public:
    void out(std::string_view bytes) override;
    void err(std::string_view text) override;
    std::size_t read(char* buffer, std::size_t size) override;
    bool inputIsTerminal() const override;
    bool errIsTerminal() const override;
    // Whether everything written to standard output reached it.
    bool outputFailed() const;
};

}  // namespace korvane::cli
