// One symbol through the library's stages.

#include "Pipeline.h"

namespace korvane::cli {

int exitStatusFor(ErrorCode code) {
    switch (code) {
    case ErrorCode::InvalidData:
    case ErrorCode::CheckDigit:
    case ErrorCode::DataTooLong:
    case ErrorCode::SizeTooLarge: return EXIT_DATA;
    case ErrorCode::UnknownSymbology:
    case ErrorCode::InvalidOption:
    case ErrorCode::UnknownFormat: return EXIT_USAGE;
    case ErrorCode::WriteFailed: return EXIT_OUTPUT;
    case ErrorCode::VerifyFailed: return EXIT_VERIFY;
    }
    return EXIT_DATA;
}

MakeResult makeSymbol(const MakeRequest& r) {
    MakeResult out;
    Result<Resolved> resolved = resolve(*r.settings, r.data);
    if (!resolved) {
        out.error = resolved.error();
        return out;
    }
    Result<Symbol> symbol = encode(resolved->symbology, resolved->data, resolved->encode);
    if (!symbol) {
        out.error = symbol.error();
        return out;
    }
    Result<Drawing> drawing = r.layout ? r.layout(*symbol, resolved->layout) : layout(*symbol, resolved->layout);
    if (!drawing) {
        out.error = drawing.error();
        return out;
    }
    Made made;
    made.warnings = symbol->warnings;
    made.warnings.insert(made.warnings.end(), drawing->warnings.begin(), drawing->warnings.end());
    made.symbol = std::move(*symbol);
    made.drawing = std::move(*drawing);
    if (r.verify) {
        made.verdict = verify(made.drawing, made.symbol);
        if (!made.verdict->ok) {
            out.error = Error{ErrorCode::VerifyFailed, "verification failed: " + made.verdict->reason};
            if (!r.keepFailed) {
                out.made = std::move(made);
                return out;
            }
            out.keptFailed = true;
        }
    }
    if (r.grade && (!out.error || r.keepFailed)) {
        made.quality = grade(made.drawing, made.symbol, *r.grade);
        const QualityGrade& q = *made.quality;
        if (r.minGrade >= 0 && !out.error && (!q.graded || q.grade < r.minGrade - 1e-9)) {
            std::string why = q.graded ? "the grade " + q.text + " (" + q.letter + ") is below the minimum"
                                       : "the symbol cannot be graded: " + q.reason;
            for (const QualityParameter& p : q.parameters)
                if (!p.informative && p.grade < r.minGrade - 0.5 + 1e-9) {
                    why += "; " + p.name + " grades " + gradeLetter(p.grade);
                    break;
                }
            if (q.graded && !q.reason.empty())
                why += " (" + q.reason + ")";
            out.error = Error{ErrorCode::VerifyFailed, why};
            if (!r.keepFailed) {
                out.made = std::move(made);
                return out;
            }
            out.keptFailed = true;
        }
    }
    if (r.render) {
        Result<Written> written = write(made.drawing, r.format, r.settings->write);
        if (!written) {
            out.error = written.error();
            out.keptFailed = false;
            out.made = std::move(made);
            return out;
        }
        made.bytes = std::move(written->bytes);
        made.warnings.insert(made.warnings.end(), written->warnings.begin(), written->warnings.end());
    }
    out.made = std::move(made);
    return out;
}

}  // namespace korvane::cli
