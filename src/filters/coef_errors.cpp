#include "filters/coef_errors.h"

#include <ostream>

namespace gc {

std::array<std::string, 3> CoefFileErrorLines(const std::string& path, bool missing) {
    return {"Файл коэфициентов PFIR", path, missing ? "отсутствует!" : "поврежден!"};
}

void StreamCoefFileErrors::ReportCoefFileError(const std::string& path, bool missing) {
    os_ << prefix_ << "coefficient file " << path << (missing ? " is missing" : " holds no tap") << "\n";
}

}  // namespace gc
