// grade(): a drawing printed in simulation and measured as a verifier
// measures it, by ISO/IEC 15416 (linear) and ISO/IEC 15415 (matrix). This
// file picks the family and words the result; GradeMeasure.cpp and
// GradePrint.cpp measure, GradeParameters.cpp grades each parameter, and
// GradeLinear.cpp, GradeMatrix.cpp and GradePdf417.cpp compose them.

#include "korvane/Grade.h"

#include "korvane/Symbology.h"
#include "GradeFamilies.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace korvane {
namespace {

struct Named {
    const char* name;
    double dpi, gain, blur;
};
// Typical figures: direct thermal heads smear less than half a dot; toner
// spreads about 0.02 mm (half a dot at 600 dpi).
constexpr Named PROFILES[] = {
    {"ideal", 0, 0, 0},
    {"thermal203", 203, 0.3, 0.3},
    {"thermal300", 300, 0.3, 0.3},
    {"laser600", 600, 0.5, 0.5},
};

// A number of printer dots, or millimetres with "mm" at `dpi`.
bool parseDots(std::string_view s, double dpi, double& out) {
    bool mm = false;
    if (s.size() > 2 && s.substr(s.size() - 2) == "mm") {
        mm = true;
        s.remove_suffix(2);
    }
    const std::string text(s);
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(v))
        return false;
    out = mm ? v * dpi / 25.4 : v;
    return true;
}

std::string gradeText(double grade, int aperture, int wavelength) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.1f/%02d/%d", grade, aperture, wavelength);
    return buf;
}

}  // namespace

char gradeLetter(double g) {
    if (g >= 3.5)
        return 'A';
    if (g >= 2.5)
        return 'B';
    if (g >= 1.5)
        return 'C';
    if (g >= 0.5)
        return 'D';
    return 'F';
}

Result<PrinterProfile> printerProfile(std::string_view spec) {
    for (const Named& n : PROFILES)
        if (spec == n.name)
            return PrinterProfile{n.name, n.dpi, n.gain, n.blur};
    PrinterProfile p;
    p.name = std::string(spec);
    double values[3] = {0, 0, 0};
    int count = 0;
    std::string_view rest = spec;
    while (count < 3) {
        const std::size_t comma = rest.find(',');
        const std::string_view part = rest.substr(0, comma);
        if (!parseDots(part, count == 0 ? 25.4 : values[0], values[count]))
            return Error{ErrorCode::InvalidOption, "unknown printer profile \"" + std::string(spec) +
                                                       "\"; use ideal, thermal203, thermal300, laser600 or DPI[,GAIN[,BLUR]]"};
        ++count;
        if (comma == std::string_view::npos)
            break;
        rest = rest.substr(comma + 1);
        if (count == 3)
            return Error{ErrorCode::InvalidOption, "a printer profile has at most three values: DPI,GAIN,BLUR"};
    }
    p.dpi = values[0];
    p.dotGain = values[1];
    p.blur = values[2];
    if (!(p.dpi >= 50 && p.dpi <= 4800))
        return Error{ErrorCode::InvalidOption, "the printer resolution must be 50 to 4800 dpi"};
    if (!(p.dotGain >= -2 && p.dotGain <= 2))
        return Error{ErrorCode::InvalidOption, "the dot gain must be -2 to 2 printer dots"};
    if (!(p.blur >= 0 && p.blur <= 2))
        return Error{ErrorCode::InvalidOption, "the blur must be 0 to 2 printer dots"};
    return p;
}

namespace {

// What set a grade, in words: a drawing made for another resolution first
// (its modules fall on the printer's dots unevenly, the commonest cause of a
// poor grade and the easiest to mend), then the parameters at the lowest
// grade, then what the measurement found wrong.
std::string gradeReason(const QualityGrade& q, const Drawing& drawing) {
    std::string why;
    if (q.profile.dpi > 0 && drawing.dpi > 0 && std::fabs(q.profile.dpi - drawing.dpi) > 0.5) {
        char note[160];
        std::snprintf(note, sizeof note, "drawn at %g dpi for a %g dpi printer: draw at %g dpi for whole dots a module; ",
                      drawing.dpi, q.profile.dpi, q.profile.dpi);
        why = note;
    }
    int lowest = 4;
    for (const QualityParameter& p : q.parameters)
        if (!p.informative)
            lowest = std::min(lowest, p.grade);
    std::string names;
    for (const QualityParameter& p : q.parameters)
        if (!p.informative && p.grade == lowest)
            names += (names.empty() ? "" : ", ") + p.name;
    if (lowest == 4)
        why += "every parameter grades A";
    else
        why += "set by " + names + " (" + std::string(1, gradeLetter(lowest)) + ")";
    return q.reason.empty() ? why : why + "; " + q.reason;
}

}  // namespace

QualityGrade grade(const Drawing& drawing, const Symbol& symbol, const PrinterProfile& profile) {
    QualityGrade q;
    q.profile = profile;
    const detail::GradeFamily family = detail::gradeFamily(symbol.symbology);
    if (drawing.width <= 0 || drawing.height <= 0 || drawing.rects.empty()) {
        q.reason = "the drawing is empty";
    } else if (family == detail::GradeFamily::HeightModulated) {
        q.reason = std::string(symbologyInfo(symbol.symbology).title) +
                   " is read by bar heights; ISO/IEC 15416 does not grade it";
    } else if (!(profile.dotGain >= -2 && profile.dotGain <= 2 && profile.blur >= 0 && profile.blur <= 2 &&
                 profile.dpi >= 0 && profile.dpi <= 4800)) {
        q.reason = "the printer profile is out of range";
    } else {
        q = family == detail::GradeFamily::Pdf417   ? detail::gradePdf417(drawing, symbol, profile)
            : family == detail::GradeFamily::Matrix ? detail::gradeMatrix(drawing, symbol, profile)
                                                    : detail::gradeLinear(drawing, symbol, profile, family);
    }
    q.letter = gradeLetter(q.grade);
    q.text = gradeText(q.grade, q.aperture, q.wavelength);
    if (q.graded)
        q.reason = gradeReason(q, drawing);
    return q;
}

}  // namespace korvane
