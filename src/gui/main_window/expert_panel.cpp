#include "gui/main_window/expert_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "gui/main_window/file_commands_panel.h"
#include "gui/widgets/number_text.h"
#include "gui/widgets/panel_widgets.h"
#include "session/main_view.h"

namespace gc {

ExpertPanel::ExpertPanel(QWidget* window) : QObject(window), window_(window) {}

QGroupBox* ExpertPanel::Build(FileCommandsPanel& files) {
    auto* g = new QGroupBox(window_);
    g->setObjectName("expertGroup");
    group_ = g;
    auto* grid = new QGridLayout(g);
    int r = 0;
    auto emitOnFinish = [this](QLineEdit* edit, ControlField field) {
        connect(edit, &QLineEdit::editingFinished, this, [this, edit, field] { emit textEdited(field, edit->text()); });
    };

    grid->addWidget(new QLabel(QStringLiteral("sync_mode"), g), r, 0);
    syncModeCombo_ = new QComboBox(g);
    syncModeCombo_->setObjectName("syncModeCombo");
    for (int k = 0; k <= 9; ++k) syncModeCombo_->addItem(QString::number(k));
    grid->addWidget(syncModeCombo_, r, 1);
    tdmBox_ = new QCheckBox(QStringLiteral("Режим TDM"), g);
    tdmBox_->setObjectName("tdmBox");
    grid->addWidget(tdmBox_, r, 2);
    enbWriteBox_ = new QCheckBox(QStringLiteral("EnbWrite"), g);
    enbWriteBox_->setObjectName("enbWriteBox");
    enbWriteBox_->setChecked(true);
    enbWriteBox_->setEnabled(false);
    grid->addWidget(enbWriteBox_, r, 3);
    ++r;

    grid->addWidget(new QLabel(QStringLiteral("Смеситель"), g), r, 0);
    mixerCombo_ = new QComboBox(g);
    mixerCombo_->setObjectName("mixerCombo");
    mixerCombo_->addItems({"AI", "BI", "CI", "DI"});
    mixerCombo_->setEnabled(false);  // shows what the derivation chose
    grid->addWidget(mixerCombo_, r, 1);
    ++r;

    // Test and chirp filter writer.
    filterKindCombo_ = new QComboBox(g);
    filterKindCombo_->setObjectName("filterKindCombo");
    filterKindCombo_->addItems({QStringLiteral("Симм. четн."), QStringLiteral("Симм. нечетн."),
                                QStringLiteral("Несимметрич."), QStringLiteral("ЛЧМв"), QStringLiteral("ЛЧМн")});
    grid->addWidget(filterKindCombo_, r, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("N"), g), r, 2, Qt::AlignRight);
    numTapsEdit_ = MakeEdit(g, "numTapsEdit", 60);
    grid->addWidget(numTapsEdit_, r, 3);
    ++r;
    deviationEdit_ = MakeEdit(g, "deviationEdit", 90);
    grid->addWidget(deviationEdit_, r, 0);
    grid->addWidget(new QLabel(QStringLiteral("Гц"), g), r, 1);
    obkatkaBox_ = new QCheckBox(QStringLiteral("O"), g);
    obkatkaBox_->setObjectName("obkatkaBox");
    grid->addWidget(obkatkaBox_, r, 2);
    auto* writeFilter = MakeButton(g, QStringLiteral("WriteFilter"), "writeFilterButton");
    grid->addWidget(writeFilter, r, 3);
    ++r;
    const char* sumNames[4] = {"II", "QQ", "I", "Q"};
    for (int k = 0; k < 4; ++k) {
        auto* cell = new QHBoxLayout;
        cell->addWidget(new QLabel(QString::fromUtf8(sumNames[k]), g));
        sumEdits_[k] = MakeEdit(g, "", 100);
        sumEdits_[k]->setObjectName(QStringLiteral("sum%1Edit").arg(QString::fromUtf8(sumNames[k])));
        cell->addWidget(sumEdits_[k]);
        grid->addLayout(cell, r + k / 2, (k % 2) * 2, 1, 2);
    }
    r += 2;

    // Manual PFIR shift and scale.
    lchmBox_ = new QCheckBox(QStringLiteral("ЛЧМ"), g);
    lchmBox_->setObjectName("lchmBox");
    grid->addWidget(lchmBox_, r, 0);
    shiftEdit_ = MakeEdit(g, "shiftEdit", 50);
    grid->addWidget(shiftEdit_, r, 1);
    grid->addWidget(new QLabel(QStringLiteral("Shift"), g), r, 2, Qt::AlignRight);
    firShift_ = MakePanel(g, "firShift", 50);
    grid->addWidget(firShift_, r, 3);
    ++r;
    grid->addWidget(new QLabel(QStringLiteral("sck_div"), g), r, 0);
    sckDivEdit_ = MakeEdit(g, "sckDivEdit", 50);
    grid->addWidget(sckDivEdit_, r, 1);
    grid->addWidget(new QLabel(QStringLiteral("масштаб Fir"), g), r, 2, Qt::AlignRight);
    scaleFirEdit_ = MakeEdit(g, "scaleFirEdit", 60);
    grid->addWidget(scaleFirEdit_, r, 3);
    ++r;

    r = files.BuildChipRows(g, grid, r);
    windowButtons_ = new QGridLayout;
    grid->addLayout(windowButtons_, r, 0, 1, 4);
    ++r;
    grid->setRowStretch(r, 1);

    connect(syncModeCombo_, &QComboBox::currentIndexChanged, this, &ExpertPanel::syncModeChosen);
    connect(tdmBox_, &QCheckBox::clicked, this, &ExpertPanel::tdmClicked);
    connect(enbWriteBox_, &QCheckBox::clicked, this, &ExpertPanel::writeSwitchClicked);
    connect(filterKindCombo_, &QComboBox::currentIndexChanged, this, &ExpertPanel::filterKindChosen);
    connect(obkatkaBox_, &QCheckBox::clicked, this, &ExpertPanel::obkatkaClicked);
    connect(lchmBox_, &QCheckBox::clicked, this, &ExpertPanel::manualShiftClicked);
    connect(shiftEdit_, &QLineEdit::editingFinished, this, &ExpertPanel::manualShiftEdited);
    connect(writeFilter, &QPushButton::clicked, this, &ExpertPanel::writeFilterRequested);
    emitOnFinish(numTapsEdit_, ControlField::NumTapsFilter);
    emitOnFinish(deviationEdit_, ControlField::Deviation);
    emitOnFinish(sckDivEdit_, ControlField::SckDiv);
    emitOnFinish(scaleFirEdit_, ControlField::ScaleFir);
    return g;
}

QPushButton* ExpertPanel::AddWindowButton(const QString& caption, const QString& objectName) {
    const int n = windowButtons_->count();
    QString text = caption;
    auto* b = MakeButton(group_, text.replace('&', QStringLiteral("&&")), "");
    b->setObjectName(objectName);
    windowButtons_->addWidget(b, n / 4, n % 4);
    return b;
}

bool ExpertPanel::manualShiftOn() const { return lchmBox_->isChecked(); }

QString ExpertPanel::manualShiftText() const { return shiftEdit_->text(); }

void ExpertPanel::SetManualShiftText(const QString& text) { shiftEdit_->setText(text); }

void ExpertPanel::DisableWriteSwitch() { enbWriteBox_->setEnabled(false); }

void ExpertPanel::ShowChirpSums(const ChirpSums& sums) {
    // Sums of squares of a long set reach eleven digits; keep them in plain
    // fixed-point notation, as the batch tool prints them.
    constexpr int kSumDigits = 15;
    const float values[4] = {sums.II, sums.QQ, sums.I, sums.Q};
    for (int k = 0; k < 4; ++k) sumEdits_[k]->setText(FixedQ(static_cast<double>(values[k]), kSumDigits, 3));
}

void ExpertPanel::Show(const MainViewState& v) {
    shiftEdit_->setEnabled(lchmBox_->isChecked());
    SetChecked(tdmBox_, v.tdm);
    SetComboIndex(syncModeCombo_, v.syncModeIndex);
    SetComboIndex(mixerCombo_, v.mixRcvSelIndex);
    SetComboIndex(filterKindCombo_, v.indexFilter);
    numTapsEdit_->setText(QString::fromStdString(v.numTapsFilter));
    deviationEdit_->setText(QString::fromStdString(v.deviation));
    SetChecked(obkatkaBox_, v.obkatka);
    firShift_->setText(QString::fromStdString(v.firShift));
    sckDivEdit_->setText(QString::fromStdString(v.sckDiv));
    scaleFirEdit_->setText(QString::fromStdString(v.scaleFir));
}

}  // namespace gc
