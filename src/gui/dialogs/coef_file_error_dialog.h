// The report of a PFIR coefficient file that could not be used: a small modal
// window with three red lines on black, closed with its close box.
#pragma once

#include <QDialog>
#include <array>
#include <string>

#include "filters/coef_errors.h"

class QLabel;

namespace gc {

class CoefFileErrorDialog : public QDialog {
    Q_OBJECT
public:
    explicit CoefFileErrorDialog(QWidget* parent = nullptr);

    // Fills the three lines and waits until the user closes the window.
    void ShowCoefFileError(const std::string& path, bool missing);
    // Only fills the lines; they keep their texts until the next report.
    void SetLines(const std::string& path, bool missing);
    std::array<QString, 3> Lines() const;

private:
    std::array<QLabel*, 3> lines_{};
};

// Hands the coefficient-file reader's reports to the dialog.
class DialogCoefFileErrors : public CoefFileErrorSink {
public:
    explicit DialogCoefFileErrors(CoefFileErrorDialog& dialog) : dialog_(dialog) {}
    void ReportCoefFileError(const std::string& path, bool missing) override {
        dialog_.ShowCoefFileError(path, missing);
    }

private:
    CoefFileErrorDialog& dialog_;
};

}  // namespace gc
