// The expert group: sync mode, TDM, the write switch of the register windows,
// the test-filter writer, the manual PFIR shift and scale, sck_div, the chip
// files (made by the command panel) and the buttons of the register windows.
#pragma once

#include <QObject>
#include <array>

#include "filters/test_filter.h"
#include "session/edit_rules.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace gc {

class FileCommandsPanel;
struct MainViewState;

class ExpertPanel : public QObject {
    Q_OBJECT

public:
    explicit ExpertPanel(QWidget* window);

    QGroupBox* Build(FileCommandsPanel& files);
    QGroupBox* group() const { return group_; }
    // A button that opens another window; the caption is shown as it stands
    // ("Timer & PM"). Buttons line up four to a row in the order added.
    QPushButton* AddWindowButton(const QString& caption, const QString& objectName);

    bool manualShiftOn() const;
    QString manualShiftText() const;
    void SetManualShiftText(const QString& text);
    void DisableWriteSwitch();
    // The sums of a chirp set just written.
    void ShowChirpSums(const ChirpSums& sums);
    void Show(const MainViewState& v);

signals:
    void textEdited(ControlField field, const QString& text);
    void syncModeChosen(int index);
    void tdmClicked(bool on);
    void writeSwitchClicked(bool on);
    void filterKindChosen(int index);
    void obkatkaClicked(bool on);
    void manualShiftClicked();
    void manualShiftEdited();
    void writeFilterRequested();

private:
    QWidget* window_;
    QGroupBox* group_ = nullptr;
    QGridLayout* windowButtons_ = nullptr;
    QComboBox* syncModeCombo_ = nullptr;
    QCheckBox* tdmBox_ = nullptr;
    QCheckBox* enbWriteBox_ = nullptr;
    QComboBox* mixerCombo_ = nullptr;
    QComboBox* filterKindCombo_ = nullptr;
    QLineEdit* numTapsEdit_ = nullptr;
    QLineEdit* deviationEdit_ = nullptr;
    QCheckBox* obkatkaBox_ = nullptr;
    std::array<QLineEdit*, 4> sumEdits_{};  // II, QQ, I, Q
    QCheckBox* lchmBox_ = nullptr;
    QLineEdit* shiftEdit_ = nullptr;
    QLabel* firShift_ = nullptr;
    QLineEdit* sckDivEdit_ = nullptr;
    QLineEdit* scaleFirEdit_ = nullptr;
};

}  // namespace gc
