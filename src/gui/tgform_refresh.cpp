// The two directions between the model and the controls.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include "gui/number_text.h"
#include "gui/tgform.h"
#include "session/main_view.h"

namespace gc {

namespace {

// Writes a control from the model without waking its handlers.
template <typename W, typename F>
void Quietly(W* w, F&& set) {
    QSignalBlocker block(w);
    set(w);
}

void SetComboIndex(QComboBox* box, int index) {
    Quietly(box, [index](QComboBox* b) { b->setCurrentIndex(index >= 0 && index < b->count() ? index : -1); });
}

void SetChecked(QAbstractButton* b, bool on) {
    Quietly(b, [on](QAbstractButton* x) { x->setChecked(on); });
}

void SetPanelColour(QLabel* panel, const QColor& colour) {
    QPalette p = panel->palette();
    p.setColor(QPalette::Window, colour);
    panel->setPalette(p);
}

QColor FitColour(PfirFitColour c, const QPalette& normal) {
    switch (c) {
        case PfirFitColour::Red:
            return Qt::red;
        case PfirFitColour::Yellow:
            return Qt::yellow;
        case PfirFitColour::Face:
            break;
    }
    return normal.color(QPalette::Button);
}

}  // namespace

void TGForm::UpdateControls() {
    Session& m = m_;
    refreshing_ = true;
    // The model side of the refresh (CIC norm, totals, output rate, the
    // derivation) and every text shown; the window only copies them.
    const MainViewState v = RefreshModel(m);
    auto text = [](const std::string& s) { return QString::fromStdString(s); };

    // 1. Expert controls, the manual shift box, the shown channel.
    if (expertGroup_->isHidden() == v.expertMode) {
        expertGroup_->setVisible(v.expertMode);
        for (QWidget* w : expertWidgets_) w->setVisible(v.expertMode);
        if (v.expertMode) {
            layout()->activate();
            resize(sizeHint().width(), height());
        }
    }
    if (!v.expertMode && width() != kNormalWidth) resize(kNormalWidth, height());
    shiftEdit_->setEnabled(lchmBox_->isChecked());
    SetChecked(channelRadios_[v.currentChannel], true);

    // 2. Lab name, clock, input mode.
    labName_->setText(text(v.labName));
    clockEdit_->setText(text(v.clockText));
    clockKhz_->setText(text(v.clockKhz));
    SetComboIndex(modeCombo_, v.inputModeIndex);
    cicSteppers_[0]->setEnabled(v.cicStepOneEnabled);
    cicSteppers_[1]->setEnabled(v.cicStepOneEnabled);

    // 3. Enabled channels; in the paired modes B and D follow A and C.
    for (int k = 0; k < kChannels; ++k) {
        SetChecked(channelBoxes_[k], v.channelChecked[k]);
        channelBoxes_[k]->setEnabled(v.channelEnabled[k]);
        channelRadios_[k]->setEnabled(v.channelEnabled[k]);
    }

    // 4.-8. The shown channel.
    cicEdit_->setText(text(v.cicDecText));
    freqEdit_->setText(text(v.freqText));
    freqKhz_->setText(text(v.freqKhz));
    coefFile_->setText(text(v.pfirFileName));
    SetPanelColour(coefFile_, FitColour(v.pfirColour, palette()));
    SetComboIndex(firDecCombo_, v.firDecIndex);
    cicNorm_->setText(text(v.cicNorm));
    phaseEdit_->setText(text(v.phase));
    SetChecked(tdmBox_, v.tdm);
    gainEdit_->setText(text(v.gain));
    overallGainEdit_->setText(text(v.overallGain));
    SetComboIndex(syncModeCombo_, v.syncModeIndex);
    // An input outside 0..3 (a damaged lab file) shows no button checked.
    for (QRadioButton* r : adcRadios_) r->setAutoExclusive(false);
    for (int a = 0; a < 4; ++a) SetChecked(adcRadios_[a], v.adcIndex == a);
    for (QRadioButton* r : adcRadios_) r->setAutoExclusive(true);
    outputRate_->setText(text(v.outputRateKhz));
    totalGain_->setText(text(v.totalGain));
    halfPanel_->setText(text(v.fixedFactor));

    // 10. After the derivation: PFIR gain, mixer input, test-filter settings.
    pfirGain_->setText(text(v.pfirGain));
    SetComboIndex(mixerCombo_, v.mixRcvSelIndex);
    SetComboIndex(filterKindCombo_, v.indexFilter);
    numTapsEdit_->setText(text(v.numTapsFilter));
    deviationEdit_->setText(text(v.deviation));

    // 11. Open register editors and the synchronisation dialog.
    for (const auto& hook : refreshHooks_) hook();

    // 12. The rest of the expert controls.
    SetChecked(obkatkaBox_, v.obkatka);
    firShift_->setText(text(v.firShift));
    sckDivEdit_->setText(text(v.sckDiv));
    scaleFirEdit_->setText(text(v.scaleFir));
    refreshing_ = false;
    RecordSettings();
}

void TGForm::ReadControls() {
    const Settings& s = m_.settings;
    const int c = m_.CurrentChannel;
    // A combo box with nothing selected (a value from a damaged file) keeps its setting.
    auto index = [](const QComboBox* box, int current) {
        return box->currentIndex() >= 0 ? box->currentIndex() : current;
    };
    MainControlsInput in;
    in.clock = clockEdit_->text().toStdString();
    in.freqNco = freqEdit_->text().toStdString();
    in.cicDec = cicEdit_->text().toStdString();
    in.firDecIndex = index(firDecCombo_, s.FirDec[c] - 1);
    in.phase = phaseEdit_->text().toStdString();
    in.tdm = tdmBox_->isChecked();
    in.gain = gainEdit_->text().toStdString();
    in.overallGain = overallGainEdit_->text().toStdString();
    in.syncModeIndex = index(syncModeCombo_, s.sync_mode);
    in.indexFilter = index(filterKindCombo_, s.IndexFilter);
    in.numTapsFilter = numTapsEdit_->text().toStdString();
    in.deviation = deviationEdit_->text().toStdString();
    in.sckDiv = sckDivEdit_->text().toStdString();
    in.scaleFir = scaleFirEdit_->text().toStdString();
    // The fields read before a box that holds no number keep their new values.
    if (auto error = gc::ReadControls(m_, in)) throw ConversionError(error->message);
    ApplyManualShift();
}

void TGForm::ApplyManualShift() {
    // The shift box is never stored back into shiftFir: the lab keeps what it read.
    if (lchmBox_->isChecked())
        m_.ManualFirShift = IntOfBox(shiftEdit_->text());
    else
        m_.ManualFirShift.reset();
}

}  // namespace gc
