#pragma once
// The measurement layer of grade(): the drawing printed in simulation
// (resolution, dot gain, blur), scan reflectance profiles through an
// aperture along a line, and the reflectance of each module of a grid. The
// parameters (GradeParameters.h) grade what these measure.

#include "Quality.h"
#include "Readers.h"

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace korvane::detail {

constexpr double MM_PER_MIL = 0.0254;

// The least and the greatest of the values (0 and 0 for none), in one pass
// over their pointer: std::minmax_element's iterators and comparisons are a
// call each at -Oz (the npm module), where they took a sixth of a grade.
// Inline, as the loops that call it are the measurement's inner ones.
template <typename Allocator>
inline std::pair<double, double> lowHigh(const std::vector<double, Allocator>& v) {
    if (v.empty())
        return {0, 0};
    const double* p = v.data();
    double low = p[0], high = p[0];
    for (std::size_t i = 1; i < v.size(); ++i) {
        low = p[i] < low ? p[i] : low;
        high = high < p[i] ? p[i] : high;
    }
    return {low, high};
}

// A colour's reflectance over white paper, as a verifier lit at 670 nm sees it.
double reflectanceOf(Colour c);

// The printer's view of the drawing: dots per drawing dot, and dots per inch.
struct Printing {
    double scale = 1;  // printer dots per drawing dot
    double dpi = 300;  // printer dots per inch (300 when the drawing has no resolution)
    double gain = 0, blur = 0;
};
Printing printingOf(const Drawing& d, const PrinterProfile& p);

// The drawing's module in its dots (1 where it draws in pixels of no set
// module), and in millimetres at its resolution (300 dpi where it has none).
double moduleDotsOf(const Drawing& d);
double xMmOf(const Drawing& d);

// Separable smoothing of a line of samples by `kernel` (odd length, centred),
// the ends continued with their last value.
void convolve(std::vector<double>& v, const std::vector<double>& kernel);
// A Gaussian kernel of `sigma` samples ({1} for next to none).
std::vector<double> gaussian(double sigma);
// A circular aperture of diameter `d` samples seen along a line across
// edges that run at right angles to it: each offset weighs as the chord there.
std::vector<double> aperture(double d);

// One scan line across the bars of a linear symbol: the printer's dot grid
// sampled `perDot` times a dot, the printer's blur and the aperture, and the
// reflectances of the ground and of the ink.
struct ScanOptics {
    int perDot = 2;
    long long samples = 0;
    std::vector<double> blur, hole;
    double light = 1, dark = 0;
};
// The dark stretches a scan line at `at` (across the bars; `vertical` for a
// drawing turned a quarter) crosses, on the printer's dot grid, spread by the
// gain, in order.
void barSpans(const Drawing& d, bool vertical, double at, const Printing& pr,
              std::vector<std::pair<double, double>>& spans);
// The scan reflectance profile of those stretches.
void scanProfile(const std::vector<std::pair<double, double>>& spans, const ScanOptics& optics,
                 std::vector<double>& profile);

// The drawing as the printer prints it, at `perDot` pixels a printer dot (at
// least 5 a module: enough for the reader and for an aperture of 0.8 X):
// reflectances, and the picture cut at the global threshold.
// An allocator that leaves doubles uninitialised: a print's millions of
// reflectances are all written once, and zeroing them first cost as much as
// the blur.
template <typename T>
struct UninitialisedAllocator : std::allocator<T> {
    template <typename U>
    struct rebind {
        using other = UninitialisedAllocator<U>;
    };
    UninitialisedAllocator() = default;
    template <typename U>
    UninitialisedAllocator(const UninitialisedAllocator<U>&) noexcept {}
    template <typename U>
    void construct(U* p) noexcept {
        ::new (static_cast<void*>(p)) U;
    }
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};
using Reflectances = std::vector<double, UninitialisedAllocator<double>>;

struct Printed {
    bool ok = false;  // false: too large
    Reflectances refl;
    GrayRaster picture;
    double lo = 0, hi = 0, light = 1;
    bool reversed = false;
    int perDot = 1;  // pixels a printer dot
};
Printed printPicture(const Drawing& d, const Printing& pr);

// The reflectance of each module (rows x cols, row by row) through a disc
// of diameter 0.8 `module` pixels at its centre on the grid; the ground's
// where the disc is off the picture.
std::vector<double> moduleReflectances(const Printed& printed, const ModuleGrid& grid, int rows, int cols,
                                       double module);

// The dark runs the picture shows along every row and column of module
// centres: the greatest offset of a run's centre from where its modules'
// centre is (in modules), and the runs' mean growth over their whole modules.
struct GridRuns {
    double offset = 0;
    double growthSum = 0;
    int runs = 0;
};
// `stepAcross` is the module pitch along the rows, `stepDown` down the columns.
GridRuns gridRuns(const GrayRaster& picture, const ModuleGrid& grid, int rows, int cols, double stepAcross,
                  double stepDown);

// The module pitch along one axis of an Aztec symbol (`cols` wide) from the
// bull's-eye's dark ring `ring` modules from its centre, centre to centre.
double aztecPitch(const GrayRaster& picture, const ModuleGrid& grid, int cols, int ring, bool vertical);

// The picture's reflectances along picture line `at` (a row when `across`,
// else a column), read backwards when `backwards`, through the aperture.
void lineProfile(const Printed& printed, int at, bool across, bool backwards, const std::vector<double>& hole,
                 std::vector<double>& line);

}  // namespace korvane::detail
