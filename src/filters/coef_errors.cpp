#include "filters/coef_errors.h"

#include <ostream>

#include "core/text_io.h"

namespace gc {

std::array<std::string, 3> CoefFileErrorLines(const std::string& path, bool missing) {
    return {"Файл коэфициентов PFIR", path, missing ? "отсутствует!" : "поврежден!"};
}

void StreamCoefFileErrors::ReportCoefFileError(const std::string& path, bool missing) {
    os_ << prefix_ << "coefficient file " << path;
    if (!missing) {
        os_ << " holds no tap\n";
        return;
    }
    // A file that is there but was refused (UTF-16, a folder, no permission) says why.
    const TextInspection t = InspectTextFile(root_ / path);
    if (t.problem == TextProblem::Missing || t.problem == TextProblem::None)
        os_ << " is missing\n";
    else
        os_ << " cannot be read: " << TextProblemText(t) << "\n";
}

}  // namespace gc
