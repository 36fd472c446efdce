#pragma once
// The measurements behind grade(): ISO/IEC 15416 on one scan reflectance
// profile, the grade thresholds of ISO/IEC 15416 and 15415, and the family
// of grading each symbology takes.

#include "korvane/Grade.h"
#include "korvane/Raster.h"
#include "korvane/Symbology.h"

#include "../Descriptor.h"

#include <vector>

namespace korvane::detail {

// How grade() grades a symbology (GradeFamily, Descriptor.h): its row says.
inline GradeFamily gradeFamily(Symbology s) { return descriptor(s).grading; }

// Grades: A is 4, F is 0.
constexpr int GRADE_A = 4;
constexpr int GRADE_F = 0;
// Measured values within this of a threshold count as reaching it.
constexpr double GRADE_TOLERANCE = 1e-9;

// A grade threshold table: the least (or, for `lowerIsBetter`, the most)
// value that earns A, B, C and D; anything beyond D is F.
struct GradeScale {
    double a, b, c, d;
    bool lowerIsBetter = false;
    int gradeOf(double v) const {
        const double limits[] = {a, b, c, d};
        for (int k = 0; k < 4; ++k)
            if (lowerIsBetter ? v <= limits[k] + GRADE_TOLERANCE : v >= limits[k] - GRADE_TOLERANCE)
                return GRADE_A - k;
        return GRADE_F;
    }
};

// ISO/IEC 15416 clause 5 (and 15415 for symbol contrast).
constexpr GradeScale SYMBOL_CONTRAST{0.70, 0.55, 0.40, 0.20};
constexpr GradeScale MODULATION_LINEAR{0.70, 0.60, 0.50, 0.40};
constexpr GradeScale DEFECTS{0.15, 0.20, 0.25, 0.30, true};
constexpr GradeScale DECODABILITY{0.62, 0.50, 0.37, 0.25};
constexpr double MIN_EDGE_CONTRAST = 0.15;    // ECmin below this is F
constexpr double MAX_RMIN_SHARE = 0.5;        // Rmin above half Rmax is F
// ISO/IEC 15415 clause 7 (matrix symbols).
constexpr GradeScale MODULATION_MATRIX{0.50, 0.40, 0.30, 0.20};
constexpr GradeScale AXIAL_NON_UNIFORMITY{0.06, 0.08, 0.10, 0.12, true};
constexpr GradeScale GRID_NON_UNIFORMITY{0.38, 0.50, 0.63, 0.75, true};
constexpr GradeScale UNUSED_ERROR_CORRECTION{0.62, 0.50, 0.37, 0.25};
// Multi-row symbols (PDF417): codewords read over codewords scanned.
constexpr GradeScale CODEWORD_YIELD{0.71, 0.64, 0.57, 0.50};

// The parameters of one scan reflectance profile (reflectances 0-1, equally
// spaced samples, the quiet zones included at both ends).
struct ProfileMeasures {
    double rMin = 0, rMax = 0;
    double symbolContrast = 0;  // SC = Rmax - Rmin
    double threshold = 0;       // GT = Rmin + SC / 2
    double edgeContrastMin = 0; // ECmin: least (space reflectance - bar reflectance) of neighbours
    double modulation = 0;      // ECmin / SC
    double defects = 0;         // ERNmax / SC
    // Elements as the global threshold cuts them, in samples: widths[0] is
    // the light stretch before the first bar, then bar, space, ...; the last
    // is the light stretch after the last bar. Edges are placed where the
    // profile crosses GT, between samples.
    std::vector<double> widths;
    // Per element of `widths`: its reflectance (a bar's least, a space's
    // greatest; Rmax for an empty one) and its non-uniformity (ERN).
    std::vector<double> reflectance, nonUniformity;
};
ProfileMeasures measureProfile(const std::vector<double>& reflectance);

// Decodability (0-1) of measured element widths against their nominal widths
// in modules, both starting with a bar: the least share of its margin that a
// measurement keeps before the reference decode would read it as another
// width. Two-width symbologies (`wideRatio` > 0) decide each element narrow
// or wide at the threshold halfway between; the others measure edge to
// similar edge over neighbouring pairs against whole modules. The module is
// measured locally (over seven elements) so that a scan's speed may vary.
double decodability(const std::vector<double>& measured, const std::vector<int>& nominal, double wideRatio);

// The drawing as `profile` prints it, cut at the global threshold (0 dark,
// 255 light), at least 5 pixels a module: the picture grade() reads matrix
// symbols from. Empty when it would be too large.
GrayRaster printedPicture(const Drawing& drawing, const PrinterProfile& profile);

}  // namespace korvane::detail
