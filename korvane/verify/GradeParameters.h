#pragma once
// One function per quality parameter of ISO/IEC 15416 (a scan reflectance
// profile) and ISO/IEC 15415 (a matrix or multi-row symbol): each takes what
// the measurement layer found and gives the parameter with its grade. The
// families (GradeLinear.cpp, GradeMatrix.cpp, GradePdf417.cpp) compose them.

#include "Linear.h"
#include "Quality.h"

namespace korvane::detail {

// Unused error correction: an error spends two check words, an erasure one.
constexpr double ERROR_WEIGHT = 2;
// Fixed pattern damage of a segment: each module on the wrong side of the
// threshold costs one grade.
constexpr int GRADES_PER_DAMAGED_MODULE = 1;

QualityParameter parameter(const char* name, double value, int grade, bool informative = false);

// The unused share of the error correction when `erasures` and `errors`
// spend it out of `capacity` check words (no capacity: all or nothing).
double unusedErrorCorrection(double erasures, double errors, double capacity);

// A module's grade by its margin from the threshold over half the symbol
// contrast (negative on the wrong side): ISO/IEC 15415 modulation.
inline int moduleGrade(double margin) { return margin < 0 ? GRADE_F : MODULATION_MATRIX.gradeOf(margin); }

// A fixed-pattern segment's grade by its modules on the wrong side of the
// threshold: none A, one B, two C, three D, more F.
int damageGrade(int errors);

namespace iso {

QualityParameter decode(bool decoded);
QualityParameter symbolContrast(double sc);
// Rmin at most half Rmax; `measured` false (no profile) fails.
QualityParameter minimumReflectance(double rMin, double rMax, bool measured = true);
QualityParameter minimumEdgeContrast(double ecMin);
QualityParameter modulation(double modulation);  // of a scan reflectance profile
QualityParameter defects(double defects);
QualityParameter decodability(double decodability);
// The quiet zones measured, in modules, against the symbology's.
QualityParameter quietZones(double before, double after, const QuietZone& nominal);
QualityParameter codewordYield(double yield);
QualityParameter unusedErrorCorrection(double uec);
QualityParameter axialNonUniformity(double anu);
QualityParameter gridNonUniformity(double gnu);
QualityParameter printGrowth(double growth);  // informative
// Graded over the codewords or the fixed patterns by the family.
QualityParameter matrixModulation(double least, int grade);
QualityParameter reflectanceMargin(double least, int grade);
QualityParameter fixedPatternDamage(double least, int grade);

}  // namespace iso
}  // namespace korvane::detail
