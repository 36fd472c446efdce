// The quality parameters of ISO/IEC 15416 and 15415, each graded on its own.

#include "GradeParameters.h"

#include <algorithm>

namespace korvane::detail {

QualityParameter parameter(const char* name, double value, int grade, bool informative) {
    return QualityParameter{name, value, grade, informative};
}

double unusedErrorCorrection(double erasures, double errors, double capacity) {
    const double spent = erasures + ERROR_WEIGHT * errors;
    return capacity > 0 ? 1 - spent / capacity : spent == 0 ? 1.0 : 0.0;
}

int damageGrade(int errors) { return std::max(GRADE_F, GRADE_A - GRADES_PER_DAMAGED_MODULE * errors); }

namespace iso {

QualityParameter decode(bool decoded) { return parameter("decode", decoded ? 1 : 0, decoded ? GRADE_A : GRADE_F); }

QualityParameter symbolContrast(double sc) { return parameter("symbol contrast", sc, SYMBOL_CONTRAST.gradeOf(sc)); }

QualityParameter minimumReflectance(double rMin, double rMax, bool measured) {
    const bool ok = measured && rMin <= MAX_RMIN_SHARE * rMax;
    return parameter("minimum reflectance", rMin, ok ? GRADE_A : GRADE_F);
}

QualityParameter minimumEdgeContrast(double ecMin) {
    return parameter("minimum edge contrast", ecMin, ecMin >= MIN_EDGE_CONTRAST - GRADE_TOLERANCE ? GRADE_A : GRADE_F);
}

QualityParameter modulation(double modulation) {
    return parameter("modulation", modulation, MODULATION_LINEAR.gradeOf(modulation));
}

QualityParameter defects(double defects) { return parameter("defects", defects, DEFECTS.gradeOf(defects)); }

QualityParameter decodability(double decodability) {
    return parameter("decodability", decodability, DECODABILITY.gradeOf(decodability));
}

QualityParameter quietZones(double before, double after, const QuietZone& nominal) {
    const bool ok = before >= nominal.before - QUIET_ZONE_SHORTFALL && after >= nominal.after - QUIET_ZONE_SHORTFALL;
    return parameter("quiet zones", std::min(before / nominal.before, after / nominal.after), ok ? GRADE_A : GRADE_F);
}

QualityParameter codewordYield(double yield) {
    return parameter("codeword yield", yield, CODEWORD_YIELD.gradeOf(yield));
}

QualityParameter unusedErrorCorrection(double uec) {
    return parameter("unused error correction", uec, UNUSED_ERROR_CORRECTION.gradeOf(uec));
}

QualityParameter axialNonUniformity(double anu) {
    return parameter("axial non-uniformity", anu, AXIAL_NON_UNIFORMITY.gradeOf(anu));
}

QualityParameter gridNonUniformity(double gnu) {
    return parameter("grid non-uniformity", gnu, GRID_NON_UNIFORMITY.gradeOf(gnu));
}

QualityParameter printGrowth(double growth) { return parameter("print growth", growth, GRADE_A, true); }

QualityParameter matrixModulation(double least, int grade) { return parameter("modulation", least, grade); }

QualityParameter reflectanceMargin(double least, int grade) { return parameter("reflectance margin", least, grade); }

QualityParameter fixedPatternDamage(double least, int grade) {
    return parameter("fixed pattern damage", least, grade);
}

}  // namespace iso
}  // namespace korvane::detail
