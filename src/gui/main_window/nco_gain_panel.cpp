#include "gui/main_window/nco_gain_panel.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "gui/widgets/panel_widgets.h"
#include "session/main_view.h"

namespace gc {

NcoGainPanel::NcoGainPanel(QWidget* part) : QObject(part), part_(part) {}

void NcoGainPanel::EmitOnFinish(QLineEdit* edit, ControlField field) {
    // Leaving the box or pressing Enter.
    connect(edit, &QLineEdit::editingFinished, this, [this, edit, field] { emit textEdited(field, edit->text()); });
}

QGroupBox* NcoGainPanel::BuildAdcGroup() {
    auto* group = new QGroupBox(QStringLiteral("АЦП"), part_);
    auto* row = new QHBoxLayout(group);
    row->addWidget(new QLabel(QStringLiteral("Порт"), group));
    for (int a = 0; a < 4; ++a) {
        adcRadios_[a] = new QRadioButton(QString::number(a), group);
        adcRadios_[a]->setObjectName(QStringLiteral("adcRadio%1").arg(a));
        row->addWidget(adcRadios_[a]);
        connect(adcRadios_[a], &QRadioButton::clicked, this, [this, a] { emit adcChosen(a); });
    }
    return group;
}

QGroupBox* NcoGainPanel::BuildNcoGroup() {
    auto* group = new QGroupBox(QStringLiteral("NCO"), part_);
    auto* grid = new QGridLayout(group);
    grid->addWidget(new QLabel(QStringLiteral("Частота"), group), 0, 0);
    freqEdit_ = MakeEdit(group, "freqEdit", 90);
    grid->addWidget(freqEdit_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Гц"), group), 0, 2);
    freqKhz_ = MakePanel(group, "freqKhz", 100);
    grid->addWidget(freqKhz_, 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("Фаза "), group), 1, 0);
    phaseEdit_ = MakeEdit(group, "phaseEdit", 90);
    grid->addWidget(phaseEdit_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("рад"), group), 1, 2);
    EmitOnFinish(freqEdit_, ControlField::FreqNco);
    EmitOnFinish(phaseEdit_, ControlField::Phase);
    return group;
}

QGroupBox* NcoGainPanel::BuildGainGroup() {
    auto* group = new QGroupBox(QStringLiteral("Усиление"), part_);
    auto* grid = new QGridLayout(group);
    gainEdit_ = MakeEdit(group, "gainEdit", 70);
    grid->addWidget(gainEdit_, 0, 0, 1, 2);
    auto* overallLabel = new QLabel(QStringLiteral("Overall Gain"), group);
    overallGainEdit_ = MakeEdit(group, "overallGainEdit", 70);
    grid->addWidget(overallLabel, 1, 0);
    grid->addWidget(overallGainEdit_, 1, 1);
    expertWidgets_ = {overallLabel, overallGainEdit_};
    EmitOnFinish(gainEdit_, ControlField::Gain);
    EmitOnFinish(overallGainEdit_, ControlField::OverallGain);
    return group;
}

void NcoGainPanel::SetAdcCount(int count) {
    for (int a = 0; a < 4; ++a) adcRadios_[a]->setVisible(a < count);
}

void NcoGainPanel::Show(const MainViewState& v) {
    freqEdit_->setText(QString::fromStdString(v.freqText));
    freqKhz_->setText(QString::fromStdString(v.freqKhz));
    phaseEdit_->setText(QString::fromStdString(v.phase));
    gainEdit_->setText(QString::fromStdString(v.gain));
    overallGainEdit_->setText(QString::fromStdString(v.overallGain));
    // An input outside 0..3 (a damaged lab file) shows no button checked.
    for (QRadioButton* r : adcRadios_) r->setAutoExclusive(false);
    for (int a = 0; a < 4; ++a) SetChecked(adcRadios_[a], v.adcIndex == a);
    for (QRadioButton* r : adcRadios_) r->setAutoExclusive(true);
}

}  // namespace gc
