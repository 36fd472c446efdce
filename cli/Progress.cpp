// The batch progress bar.

#include "Progress.h"

#include <cstdio>
#include <string>

namespace korvane::cli {
namespace {

constexpr int BAR_WIDTH = 30;
constexpr auto REDRAW = std::chrono::milliseconds(100);

}  // namespace

Progress::Progress(Console& console, std::size_t total)
    : console_(console), total_(total), enabled_(console.errIsTerminal()), start_(std::chrono::steady_clock::now()),
      last_(start_) {}

double Progress::seconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

void Progress::update(std::size_t done) {
    if (!enabled_)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (now - last_ < REDRAW && (total_ == 0 || done < total_))
        return;
    last_ = now;
    const double elapsed = std::chrono::duration<double>(now - start_).count();
    const double rate = elapsed > 0 ? done / elapsed : 0;
    if (total_ == 0) {  // a batch still being read: the count and the rate
        char numbers[96];
        std::snprintf(numbers, sizeof numbers, "\r%zu done  %.0f/s\x1b[K", done, rate);
        console_.err(numbers);
        shown_ = true;
        return;
    }
    const double left = rate > 0 ? (total_ - done) / rate : 0;
    const int filled = static_cast<int>(BAR_WIDTH * done / total_);
    std::string bar = "\r[" + std::string(static_cast<std::size_t>(filled), '#') +
                      std::string(static_cast<std::size_t>(BAR_WIDTH - filled), '.') + "] ";
    char numbers[160];
    std::snprintf(numbers, sizeof numbers, "%zu/%zu  %.0f/s  %.0f s left\x1b[K", done, total_, rate, left);
    console_.err(bar + numbers);
    shown_ = true;
}

void Progress::clear() {
    if (shown_)
        console_.err("\r\x1b[K");
    shown_ = false;
}

}  // namespace korvane::cli
