// The process's standard streams.

#include "Console.h"

#include <cstdio>

#include <unistd.h>

namespace korvane::cli {

void StdioConsole::out(std::string_view bytes) { std::fwrite(bytes.data(), 1, bytes.size(), stdout); }

void StdioConsole::err(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

std::size_t StdioConsole::read(char* buffer, std::size_t size) { return std::fread(buffer, 1, size, stdin); }

bool StdioConsole::inputIsTerminal() const { return isatty(0) == 1; }
bool StdioConsole::errIsTerminal() const { return isatty(2) == 1; }

bool StdioConsole::outputFailed() const { return std::fflush(stdout) != 0 || std::ferror(stdout) != 0; }

}  // namespace korvane::cli
