#pragma once
// The grading of each family of symbologies, composed from the measurement
// layer (GradeMeasure.h) and the parameters (GradeParameters.h); grade()
// picks one by gradeFamily().

#include "GradeMeasure.h"
#include "GradeParameters.h"

#include <cstddef>
#include <initializer_list>
#include <vector>

namespace korvane::detail {

// Two-width, multi-width and retail linear symbols: ISO/IEC 15416 over ten scan lines.
QualityGrade gradeLinear(const Drawing& d, const Symbol& s, const PrinterProfile& profile, GradeFamily family);
// Aztec Code, QR Code and Data Matrix: ISO/IEC 15415.
QualityGrade gradeMatrix(const Drawing& d, const Symbol& s, const PrinterProfile& profile);
// PDF417: ISO/IEC 15416 along each row and its codewords as ISO/IEC 15415 grades them.
QualityGrade gradePdf417(const Drawing& d, const Symbol& s, const PrinterProfile& profile);

// Reads a linear symbol as grade() decodes each scan line of it printed as
// drawn: ten lines through the aperture grade() takes, each read by the
// library's reader between the edges ISO/IEC 15416 places, held to the
// symbology's reference decode, the quiet zones judged as their parameter
// judges them. The reading of the first line, or the first failure: what
// verify() reads linear symbols by.
Reading readAsGraded(const Drawing& d, const Symbol& s, const LinearReadOptions& options);

// The aperture (thousandths of an inch) ISO/IEC 15416 takes for a linear
// symbol of module `xMm`: GS1's for retail symbols and GS1-128.
int apertureFor(const Symbol& s, double xMm, bool retail);

// The worst of each parameter over the scans: the lowest grade, and among
// equal grades the worst value (the highest for those in `higherIsWorse`).
class WorstOfScans {
public:
    explicit WorstOfScans(std::initializer_list<std::size_t> higherIsWorse) : higherIsWorse_(higherIsWorse) {}
    void add(const std::vector<QualityParameter>& scan);
    double value(std::size_t k) const { return worst_[k].value; }
    int grade(std::size_t k) const { return worst_[k].grade; }
    std::size_t size() const { return worst_.size(); }

private:
    struct Worst {
        double value;
        int grade;
    };
    std::vector<std::size_t> higherIsWorse_;
    std::vector<Worst> worst_;
};

}  // namespace korvane::detail
