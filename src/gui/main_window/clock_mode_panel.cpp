#include "gui/main_window/clock_mode_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "gui/widgets/panel_widgets.h"
#include "session/main_view.h"

namespace gc {

namespace {
const char* const kModeNames[3] = {"Full rate", "SplitIQ", "Double rate"};
}  // namespace

ClockModePanel::ClockModePanel(QWidget* part) : QObject(part), part_(part) {}

QHBoxLayout* ClockModePanel::BuildClockAndMode() {
    auto* row = new QHBoxLayout;
    auto* clockGroup = new QGroupBox(QStringLiteral("Тактовая частота"), part_);
    auto* clockRow = new QHBoxLayout(clockGroup);
    clockEdit_ = MakeEdit(clockGroup, "clockEdit", 90);
    clockKhz_ = MakePanel(clockGroup, "clockKhz", 100);
    clockRow->addWidget(clockEdit_);
    clockRow->addWidget(clockKhz_);
    row->addWidget(clockGroup);
    auto* modeGroup = new QGroupBox(QStringLiteral("Режим"), part_);
    auto* modeRow = new QHBoxLayout(modeGroup);
    modeCombo_ = new QComboBox(modeGroup);
    modeCombo_->setObjectName("modeCombo");
    modeCombo_->setMinimumWidth(110);
    modeRow->addWidget(modeCombo_);
    row->addWidget(modeGroup);

    connect(clockEdit_, &QLineEdit::editingFinished, this,
            [this] { emit textEdited(ControlField::Clock, clockEdit_->text()); });
    connect(modeCombo_, &QComboBox::currentIndexChanged, this, &ClockModePanel::inputModeChosen);
    return row;
}

QGroupBox* ClockModePanel::BuildEnabledChannels() {
    auto* group = new QGroupBox(QStringLiteral("Включенные каналы"), part_);
    auto* row = new QHBoxLayout(group);
    const char* captions[kChannels] = {"А", "B", "C", "D"};  // the first is the Cyrillic letter
    for (int c = 0; c < kChannels; ++c) {
        channelBoxes_[c] = new QCheckBox(QString::fromUtf8(captions[c]), group);
        channelBoxes_[c]->setObjectName(QStringLiteral("channelBox%1").arg(c));
        row->addWidget(channelBoxes_[c]);
        connect(channelBoxes_[c], &QCheckBox::clicked, this, &ClockModePanel::enabledChannelsEdited);
    }
    return group;
}

QGroupBox* ClockModePanel::BuildChannelChoice() {
    auto* group = new QGroupBox(QStringLiteral("Канал"), part_);
    auto* row = new QHBoxLayout(group);
    for (int c = 0; c < kChannels; ++c) {
        channelRadios_[c] = new QRadioButton(QString(QChar('A' + c)), group);
        channelRadios_[c]->setObjectName(QStringLiteral("channelRadio%1").arg(c));
        row->addWidget(channelRadios_[c]);
        connect(channelRadios_[c], &QRadioButton::clicked, this, [this, c] { emit channelChosen(c); });
    }
    return group;
}

void ClockModePanel::SetModeCount(int count) {
    QSignalBlocker block(modeCombo_);
    modeCombo_->clear();
    for (int k = 0; k < count && k < 3; ++k) modeCombo_->addItem(QString::fromUtf8(kModeNames[k]));
}

std::array<bool, kChannels> ClockModePanel::CheckedChannels() const {
    std::array<bool, kChannels> checked{};
    for (int k = 0; k < kChannels; ++k) checked[k] = channelBoxes_[k]->isChecked();
    return checked;
}

void ClockModePanel::Show(const MainViewState& v) {
    SetChecked(channelRadios_[v.currentChannel], true);
    clockEdit_->setText(QString::fromStdString(v.clockText));
    clockKhz_->setText(QString::fromStdString(v.clockKhz));
    SetComboIndex(modeCombo_, v.inputModeIndex);
    // In the paired modes B and D follow A and C.
    for (int k = 0; k < kChannels; ++k) {
        SetChecked(channelBoxes_[k], v.channelChecked[k]);
        channelBoxes_[k]->setEnabled(v.channelEnabled[k]);
        channelRadios_[k]->setEnabled(v.channelEnabled[k]);
    }
}

}  // namespace gc
