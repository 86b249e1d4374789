// The main window's controls, grouped as on screen. Only construction lives
// here; what the controls do is wired in ConnectControls.
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include "gui/readout_width.h"
#include "gui/response_plot.h"
#include "gui/tgform.h"

namespace gc {

namespace {

QLabel* MakePanel(QWidget* parent, const char* name, int minWidth = 80) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setAlignment(Qt::AlignCenter);
    // An explicit minimum: a long text (a file name) must not widen the window.
    l->setMinimumWidth(minWidth);
    l->setAutoFillBackground(true);
    // A click takes the focus from the edit box, so that typing cannot land there unseen.
    l->setFocusPolicy(Qt::ClickFocus);
    return l;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, int width = 90) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setFixedWidth(width);
    return e;
}

QPushButton* MakeButton(QWidget* parent, const QString& text, const char* name) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

// A button as wide as its text: the PFIR row holds three beside the file box,
// which the toolkit's usual minimum width would push past the window's width.
QPushButton* MakeCompactButton(QWidget* parent, const QString& text, const char* name) {
    QPushButton* b = MakeButton(parent, text, name);
    b->setMaximumWidth(b->fontMetrics().horizontalAdvance(text) + 4 * b->fontMetrics().averageCharWidth());
    return b;
}

}  // namespace

void TGForm::BuildLayout() {
    // The menu above and the status line below the controls.
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    auto* top = new QHBoxLayout;
    top->setContentsMargins(2, 2, 2, 2);
    top->addWidget(BuildNormalPart());
    expertGroup_ = BuildExpertGroup();
    top->addWidget(expertGroup_);
    top->addStretch(1);
    outer->addLayout(top, 1);
    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName("statusBar");
    statusBar_->setSizeGripEnabled(false);
    outer->addWidget(statusBar_);
    BuildMenu();
}

QWidget* TGForm::BuildNormalPart() {
    auto* part = new QWidget(this);
    part->setObjectName("normalPart");
    auto* row = new QHBoxLayout(part);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    auto* left = new QVBoxLayout;
    row->addLayout(left);

    // Configuration.
    auto* conf = new QHBoxLayout;
    conf->addWidget(new QLabel(QStringLiteral("Конфигурация:"), part));
    labName_ = MakePanel(part, "labName", 90);
    conf->addWidget(labName_);
    readLabButton_ = MakeButton(part, QStringLiteral("Считать"), "readLabButton");
    saveLabButton_ = MakeButton(part, QStringLiteral("Записать"), "saveLabButton");
    conf->addWidget(readLabButton_);
    conf->addWidget(saveLabButton_);
    conf->addStretch(1);
    left->addLayout(conf);

    // Clock and input mode.
    auto* clockMode = new QHBoxLayout;
    auto* clockGroup = new QGroupBox(QStringLiteral("Тактовая частота"), part);
    auto* clockRow = new QHBoxLayout(clockGroup);
    clockEdit_ = MakeEdit(clockGroup, "clockEdit", 90);
    clockKhz_ = MakePanel(clockGroup, "clockKhz", 100);
    clockRow->addWidget(clockEdit_);
    clockRow->addWidget(clockKhz_);
    clockMode->addWidget(clockGroup);
    auto* modeGroup = new QGroupBox(QStringLiteral("Режим"), part);
    auto* modeRow = new QHBoxLayout(modeGroup);
    modeCombo_ = new QComboBox(modeGroup);
    modeCombo_->setObjectName("modeCombo");
    modeCombo_->setMinimumWidth(110);
    modeRow->addWidget(modeCombo_);
    clockMode->addWidget(modeGroup);
    left->addLayout(clockMode);

    // Enabled channels, shown channel, ADC.
    auto* chRow = new QHBoxLayout;
    chRow->setSpacing(2);
    auto* enGroup = new QGroupBox(QStringLiteral("Включенные каналы"), part);
    auto* enRow = new QHBoxLayout(enGroup);
    const char* boxCaptions[kChannels] = {"А", "B", "C", "D"};  // the first is the Cyrillic letter
    for (int c = 0; c < kChannels; ++c) {
        channelBoxes_[c] = new QCheckBox(QString::fromUtf8(boxCaptions[c]), enGroup);
        channelBoxes_[c]->setObjectName(QStringLiteral("channelBox%1").arg(c));
        enRow->addWidget(channelBoxes_[c]);
    }
    chRow->addWidget(enGroup);
    auto* chGroup = new QGroupBox(QStringLiteral("Канал"), part);
    auto* chButtons = new QHBoxLayout(chGroup);
    for (int c = 0; c < kChannels; ++c) {
        channelRadios_[c] = new QRadioButton(QString(QChar('A' + c)), chGroup);
        channelRadios_[c]->setObjectName(QStringLiteral("channelRadio%1").arg(c));
        chButtons->addWidget(channelRadios_[c]);
    }
    chRow->addWidget(chGroup);
    auto* adcGroup = new QGroupBox(QStringLiteral("АЦП"), part);
    auto* adcRow = new QHBoxLayout(adcGroup);
    adcRow->addWidget(new QLabel(QStringLiteral("Порт"), adcGroup));
    for (int a = 0; a < 4; ++a) {
        adcRadios_[a] = new QRadioButton(QString::number(a), adcGroup);
        adcRadios_[a]->setObjectName(QStringLiteral("adcRadio%1").arg(a));
        adcRow->addWidget(adcRadios_[a]);
    }
    chRow->addWidget(adcGroup);
    left->addLayout(chRow);

    // CIC filter.
    auto* cicGroup = new QGroupBox(QStringLiteral("CIC Фильтр"), part);
    auto* cicGrid = new QGridLayout(cicGroup);
    cicGrid->addWidget(new QLabel(QStringLiteral("Децимация"), cicGroup), 0, 0);
    cicEdit_ = MakeEdit(cicGroup, "cicEdit", 60);
    cicGrid->addWidget(cicEdit_, 0, 1);
    static const int kSteps[8] = {1, -1, 2, -2, 10, -10, 100, -100};
    for (int k = 0; k < 8; ++k) {
        const QString text = (kSteps[k] > 0 ? QStringLiteral("+%1") : QStringLiteral("%1")).arg(kSteps[k]);
        cicSteppers_[k] = MakeButton(cicGroup, text, "");
        cicSteppers_[k]->setObjectName(QStringLiteral("cicStep%1").arg(text));
        cicSteppers_[k]->setFixedWidth(40);
        cicGrid->addWidget(cicSteppers_[k], k % 2, 2 + k / 2);
    }
    cicNorm_ = MakePanel(cicGroup, "cicNorm", 60);
    cicGrid->addWidget(cicNorm_, 1, 1);
    cicWindowButton_ = MakeButton(cicGroup, QStringLiteral("АЧХ"), "cicWindowButton");
    cicWindowButton_->setFixedWidth(40);
    cicGrid->addWidget(cicWindowButton_, 0, 6);
    left->addWidget(cicGroup);

    // PFIR filter.
    auto* pfirGroup = new QGroupBox(QStringLiteral("PFIR Фильтр"), part);
    auto* pfirRow = new QHBoxLayout(pfirGroup);
    pfirRow->addWidget(new QLabel(QStringLiteral("Децимация"), pfirGroup));
    firDecCombo_ = new QComboBox(pfirGroup);
    firDecCombo_->setObjectName("firDecCombo");
    for (int d = 1; d <= 8; ++d) firDecCombo_->addItem(QString::number(d));
    pfirRow->addWidget(firDecCombo_);
    // Narrower than the others: it makes room for "Тракт" within the window's width.
    coefFile_ = MakePanel(pfirGroup, "coefFile", 80);
    pfirRow->addWidget(coefFile_, 1);
    pfirGain_ = MakePanel(pfirGroup, "pfirGain", 60);
    pfirRow->addWidget(pfirGain_);
    coefFileButton_ = MakeCompactButton(pfirGroup, QStringLiteral("Файл"), "coefFileButton");
    pfirRow->addWidget(coefFileButton_);
    designButton_ = MakeCompactButton(pfirGroup, QStringLiteral("Расчёт"), "designButton");
    pfirRow->addWidget(designButton_);
    pfirWindowButton_ = MakeCompactButton(pfirGroup, QStringLiteral("АЧХ"), "pfirWindowButton");
    pfirRow->addWidget(pfirWindowButton_);
    chainWindowButton_ = MakeCompactButton(pfirGroup, QStringLiteral("Тракт"), "chainWindowButton");
    pfirRow->addWidget(chainWindowButton_);
    left->addWidget(pfirGroup);

    // NCO.
    auto* ncoGroup = new QGroupBox(QStringLiteral("NCO"), part);
    auto* ncoGrid = new QGridLayout(ncoGroup);
    ncoGrid->addWidget(new QLabel(QStringLiteral("Частота"), ncoGroup), 0, 0);
    freqEdit_ = MakeEdit(ncoGroup, "freqEdit", 90);
    ncoGrid->addWidget(freqEdit_, 0, 1);
    ncoGrid->addWidget(new QLabel(QStringLiteral("Гц"), ncoGroup), 0, 2);
    freqKhz_ = MakePanel(ncoGroup, "freqKhz", 100);
    ncoGrid->addWidget(freqKhz_, 0, 3);
    ncoGrid->addWidget(new QLabel(QStringLiteral("Фаза "), ncoGroup), 1, 0);
    phaseEdit_ = MakeEdit(ncoGroup, "phaseEdit", 90);
    ncoGrid->addWidget(phaseEdit_, 1, 1);
    ncoGrid->addWidget(new QLabel(QStringLiteral("рад"), ncoGroup), 1, 2);
    left->addWidget(ncoGroup);

    // Gain and output.
    auto* gainOut = new QHBoxLayout;
    auto* gainGroup = new QGroupBox(QStringLiteral("Усиление"), part);
    auto* gainGrid = new QGridLayout(gainGroup);
    gainEdit_ = MakeEdit(gainGroup, "gainEdit", 70);
    gainGrid->addWidget(gainEdit_, 0, 0, 1, 2);
    auto* overallLabel = new QLabel(QStringLiteral("Overall Gain"), gainGroup);
    overallGainEdit_ = MakeEdit(gainGroup, "overallGainEdit", 70);
    gainGrid->addWidget(overallLabel, 1, 0);
    gainGrid->addWidget(overallGainEdit_, 1, 1);
    expertWidgets_ = {overallLabel, overallGainEdit_};
    gainOut->addWidget(gainGroup);
    auto* outGroup = new QGroupBox(QStringLiteral("Выходные параметры"), part);
    auto* outGrid = new QGridLayout(outGroup);
    outGrid->addWidget(new QLabel(QStringLiteral("Выходная частота"), outGroup), 0, 0);
    outputRate_ = MakePanel(outGroup, "outputRate", 100);
    outGrid->addWidget(outputRate_, 0, 1, 1, 2);
    outGrid->addWidget(new QLabel(QStringLiteral("Общее усиление"), outGroup), 1, 0);
    totalGain_ = MakePanel(outGroup, "totalGain", 60);
    outGrid->addWidget(totalGain_, 1, 1);
    halfPanel_ = MakePanel(outGroup, "halfPanel", 40);
    halfPanel_->setText(QStringLiteral("0.5"));
    outGrid->addWidget(halfPanel_, 1, 2);
    gainOut->addWidget(outGroup);
    left->addLayout(gainOut);

    // Help and copy to all channels.
    auto* help = new QHBoxLayout;
    infoButton_ = MakeButton(part, QStringLiteral("Справка"), "infoButton");
    applyAllButton_ = MakeButton(part, QStringLiteral("Применить ко всем "), "applyAllButton");
    help->addWidget(infoButton_);
    help->addWidget(applyAllButton_);
    help->addStretch(1);
    left->addLayout(help);
    left->addStretch(1);

    // Read-outs as wide as their widest text (kHz values: eight significant digits and a sign).
    const std::pair<QLabel*, const char*> readouts[] = {{clockKhz_, "-8888888.888 кГц"},
                                                        {freqKhz_, "-8888888.888 кГц"},
                                                        {outputRate_, "-8888888.888 кГц"},
                                                        {cicNorm_, "8.888"},
                                                        {pfirGain_, "-88.888"},
                                                        {totalGain_, "-8888.88"},
                                                        {halfPanel_, "0.5"}};
    for (const auto& [panel, widest] : readouts)
        FitReadoutToText(panel, QString::fromUtf8(widest), panel->minimumWidth());

    // Tight groups keep the normal part within the width of a normal user's window.
    for (QGroupBox* g : part->findChildren<QGroupBox*>()) {
        g->layout()->setContentsMargins(4, 2, 4, 2);
        g->layout()->setSpacing(4);
    }

    // Response plot.
    plot_ = new ResponsePlotPanel(part);
    plot_->setObjectName("responsePlot");
    plot_->SetExportFolder(QString::fromStdString(workspace_.root.string()));
    row->addWidget(plot_, 0, Qt::AlignTop);
    return part;
}

QGroupBox* TGForm::BuildExpertGroup() {
    auto* g = new QGroupBox(this);
    g->setObjectName("expertGroup");
    auto* grid = new QGridLayout(g);
    int r = 0;

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
    writeFilterButton_ = MakeButton(g, QStringLiteral("WriteFilter"), "writeFilterButton");
    grid->addWidget(writeFilterButton_, r, 3);
    ++r;
    const std::pair<const char*, QLineEdit**> sums[4] = {
        {"II", &sumIIEdit_}, {"QQ", &sumQQEdit_}, {"I", &sumIEdit_}, {"Q", &sumQEdit_}};
    for (int k = 0; k < 4; ++k) {
        auto* cell = new QHBoxLayout;
        cell->addWidget(new QLabel(QString::fromUtf8(sums[k].first), g));
        *sums[k].second = MakeEdit(g, "", 100);
        (*sums[k].second)->setObjectName(QStringLiteral("sum%1Edit").arg(QString::fromUtf8(sums[k].first)));
        cell->addWidget(*sums[k].second);
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

    // Chip files and the cross-check with the chip tool.
    writeTblButton_ = MakeButton(g, QStringLiteral("Write *.tbl"), "writeTblButton");
    readTblButton_ = MakeButton(g, QStringLiteral("Read *tbl"), "readTblButton");
    writePrgButton_ = MakeButton(g, QStringLiteral("Write *.prg"), "writePrgButton");
    gc101Button_ = MakeButton(g, QStringLiteral("gc101->prg"), "gc101Button");
    writeCmdButton_ = MakeButton(g, QStringLiteral("WriteCmdFile"), "writeCmdButton");
    compareButton_ = MakeButton(g, QStringLiteral("Comp"), "compareButton");
    fltButton_ = MakeButton(g, QStringLiteral("DFDP->Filter"), "fltButton");
    readBeRamButton_ = MakeButton(g, QStringLiteral("Read  BeRam"), "readBeRamButton");
    compareDiffPanel_ = MakePanel(g, "Panel7", 50);
    page16MismatchPanel_ = MakePanel(g, "Panel8", 50);
    page17MismatchPanel_ = MakePanel(g, "Panel9", 50);
    grid->addWidget(writeTblButton_, r, 0);
    grid->addWidget(readTblButton_, r, 1);
    grid->addWidget(fltButton_, r, 2);
    grid->addWidget(readBeRamButton_, r, 3);
    ++r;
    grid->addWidget(writePrgButton_, r, 0);
    grid->addWidget(page16MismatchPanel_, r, 1);
    grid->addWidget(page17MismatchPanel_, r, 2);
    grid->addWidget(gc101Button_, r, 3);
    ++r;
    grid->addWidget(writeCmdButton_, r, 0);
    grid->addWidget(compareButton_, r, 1);
    grid->addWidget(compareDiffPanel_, r, 2);
    ++r;
    windowButtons_ = new QGridLayout;
    grid->addLayout(windowButtons_, r, 0, 1, 4);
    ++r;
    grid->setRowStretch(r, 1);
    return g;
}

QPushButton* TGForm::AddExpertButton(const QString& caption, const QString& objectName) {
    const int n = windowButtons_->count();
    QString text = caption;
    auto* b = MakeButton(expertGroup_, text.replace('&', QStringLiteral("&&")), "");
    b->setObjectName(objectName);
    windowButtons_->addWidget(b, n / 4, n % 4);
    SetToolTips();  // the button is added after the window was built
    return b;
}

}  // namespace gc
