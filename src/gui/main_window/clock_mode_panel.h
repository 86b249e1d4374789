// The main window's clock, input mode, enabled channels and shown channel.
#pragma once

#include <QObject>
#include <array>

#include "core/model.h"
#include "session/edit_rules.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QRadioButton;
class QWidget;

namespace gc {

struct MainViewState;

class ClockModePanel : public QObject {
    Q_OBJECT

public:
    // The widgets are made in part, group by group, as the window lays them out.
    explicit ClockModePanel(QWidget* part);

    QHBoxLayout* BuildClockAndMode();
    QGroupBox* BuildEnabledChannels();
    QGroupBox* BuildChannelChoice();

    // The first count of the input modes: the board model decides how many it offers.
    void SetModeCount(int count);
    void Show(const MainViewState& v);
    // The enabled-channel boxes, A first.
    std::array<bool, kChannels> CheckedChannels() const;

signals:
    void textEdited(ControlField field, const QString& text);
    void inputModeChosen(int index);
    void enabledChannelsEdited();
    void channelChosen(int channel);

private:
    QWidget* part_;
    QLineEdit* clockEdit_ = nullptr;
    QLabel* clockKhz_ = nullptr;
    QComboBox* modeCombo_ = nullptr;
    std::array<QCheckBox*, kChannels> channelBoxes_{};
    std::array<QRadioButton*, kChannels> channelRadios_{};
};

}  // namespace gc
