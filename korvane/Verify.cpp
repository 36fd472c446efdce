// Placeholder until the readers land.

#include "korvane/Verify.h"

namespace korvane {

Verdict verify(const Drawing&, const Symbol&) {
    Verdict v;
    v.reason = "no reader yet";
    return v;
}

}  // namespace korvane
