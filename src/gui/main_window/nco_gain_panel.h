// The shown channel's ADC input, NCO frequency and phase, and gain.
#pragma once

#include <QObject>
#include <array>
#include <vector>

#include "session/edit_rules.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QWidget;

namespace gc {

struct MainViewState;

class NcoGainPanel : public QObject {
    Q_OBJECT

public:
    explicit NcoGainPanel(QWidget* part);

    QGroupBox* BuildAdcGroup();
    QGroupBox* BuildNcoGroup();
    QGroupBox* BuildGainGroup();
    // "Overall Gain" and its box: shown only to experts.
    const std::vector<QWidget*>& expertWidgets() const { return expertWidgets_; }

    // Boards that wire two ADC inputs hide the other two.
    void SetAdcCount(int count);
    void Show(const MainViewState& v);

signals:
    void textEdited(ControlField field, const QString& text);
    void adcChosen(int adc);

private:
    void EmitOnFinish(QLineEdit* edit, ControlField field);

    QWidget* part_;
    std::array<QRadioButton*, 4> adcRadios_{};
    QLineEdit* freqEdit_ = nullptr;
    QLabel* freqKhz_ = nullptr;
    QLineEdit* phaseEdit_ = nullptr;
    QLineEdit* gainEdit_ = nullptr;
    QLineEdit* overallGainEdit_ = nullptr;
    std::vector<QWidget*> expertWidgets_;
};

}  // namespace gc
