#pragma once
// verify(): read a laid-out symbol back as a scanner would and compare what
// it holds with the data that was asked for.

#include "Export.h"
#include "Drawing.h"
#include "Symbol.h"

#include <string>

namespace korvane {

struct Verdict {
    bool ok = false;
    std::string read;       // the data the reader returned (empty when it read nothing)
    // Why it failed: what differs and where ("character 4 reads 'B', expected 'A'"),
    // or the check that failed ("Reed-Solomon syndromes do not vanish").
    std::string reason;
    int firstDifference = -1;  // index into the expected data, -1 when none

    // A second opinion from zxing-cpp, where it was built in and reads this
    // symbology; it is reported but does not decide.
    bool zxingRan = false;
    bool zxingAgrees = false;
    std::string zxingRead;
};

KORVANE_API Verdict verify(const Drawing& drawing, const Symbol& symbol);

}  // namespace korvane
