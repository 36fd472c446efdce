#pragma once
// A progress bar for batches on standard error, drawn only when standard error
// is a terminal: the count, the rate and the time left, redrawn at most ten
// times a second and cleared at the end.

#include "Console.h"

#include <chrono>
#include <cstddef>

namespace korvane::cli {

class Progress {
public:
    Progress(Console& console, std::size_t total);  // total 0: not known yet
    void update(std::size_t done);  // rows finished so far
    void clear();                   // removes the bar before the summary
    double seconds() const;         // since the start

private:
    Console& console_;
    std::size_t total_;
    bool shown_ = false;
    bool enabled_;
    std::chrono::steady_clock::time_point start_, last_;
};

}  // namespace korvane::cli
