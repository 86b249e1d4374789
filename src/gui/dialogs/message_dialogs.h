// The small fixed windows of the main window: the two decimation notices that
// stop "Записать", and the information box of "Справка". All three are shown
// without blocking; the command that shows a notice has already ended.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;

namespace gc {

// "Записать" refused: the channels' total decimations differ.
class DecimMismatchNotice : public QDialog {
    Q_OBJECT
public:
    explicit DecimMismatchNotice(QWidget* parent = nullptr);
    // totals: the line with the channels' total decimations; none when empty.
    void ShowDecimMismatch(const QString& totals = QString());

private:
    QLabel* totals_ = nullptr;
};

// "Записать" refused: channel A's total decimation is below the mode's minimum.
class MinDecimNotice : public QDialog {
    Q_OBJECT
public:
    explicit MinDecimNotice(QWidget* parent = nullptr);
    // modeText: the second line after "в режиме", for example "Full rate равно 8 !".
    void ShowMinDecim(const QString& modeText);
    QString ModeText() const;

private:
    QLabel* mode_ = nullptr;
};

// What the program is and who looks after it; "ОК" closes it.
class InfoDialog : public QDialog {
    Q_OBJECT
public:
    explicit InfoDialog(QWidget* parent = nullptr);
    void ShowInfo();
};

}  // namespace gc
