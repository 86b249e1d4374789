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

#include "app/derivation.h"
#include "app/ui/number_text.h"
#include "app/ui/tgform.h"

namespace gc {

namespace {

const QString kKhz = QStringLiteral(" кГц");

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
    Model& m = m_;
    Settings& s = m.settings;
    m.Refreshing = true;

    // 1. Expert controls, the manual shift box, the shown channel.
    if (expertGroup_->isHidden() == m.ExpertMode) {
        expertGroup_->setVisible(m.ExpertMode);
        for (QWidget* w : expertWidgets_) w->setVisible(m.ExpertMode);
        if (m.ExpertMode) {
            layout()->activate();
            resize(sizeHint().width(), height());
        }
    }
    if (!m.ExpertMode && width() != kNormalWidth) resize(kNormalWidth, height());
    shiftEdit_->setEnabled(lchmBox_->isChecked());
    const int c = m.CurrentChannel;
    SetChecked(channelRadios_[c], true);

    // 2. Lab name, clock, input mode.
    labName_->setText(QString::fromStdString(m.currentLabName));
    clockEdit_->setText(QString::number(s.SystemClock));
    clockKhz_->setText(FixedQ(s.SystemClock * 0.001, 8, 3) + kKhz);
    SetComboIndex(modeCombo_, s.ModeOfInput);
    cicSteppers_[0]->setEnabled(s.ModeOfInput != 2);
    cicSteppers_[1]->setEnabled(s.ModeOfInput != 2);

    // 3. Enabled channels: in the paired modes B and D follow A and C.
    const bool paired = s.ModeOfInput == 1 || s.ModeOfInput == 2;
    for (int k = 0; k < kChannels; ++k) {
        const bool on = paired ? (s.MaskChan2x >> (k / 2)) & 1 : (s.MaskChan4x >> k) & 1;
        SetChecked(channelBoxes_[k], on);
        const bool usable = !paired || k % 2 == 0;
        channelBoxes_[k]->setEnabled(usable);
        channelRadios_[k]->setEnabled(usable);
    }

    // 4. The shown channel's decimations, NCO and coefficient file.
    cicEdit_->setText(QString::number(s.CicDec[c]));
    freqEdit_->setText(QString::number(s.FreqNCO[c]));
    freqKhz_->setText(FixedQ(s.FreqNCO[c] * 0.001, 8, 3) + kKhz);
    coefFile_->setText(QString::fromStdString(s.NameOfPFIR[c]));
    SetPanelColour(coefFile_, FitColour(m.pfirFitColour[c], palette()));
    SetComboIndex(firDecCombo_, s.FirDec[c] - 1);
    const CoefSetInfo& info = m.coefSetInfo[c];
    pfirGain_->setText(FixedQ(info.pfir_gain, 5, 3));

    // 5. CIC normalisation of the decimation last derived, and the total.
    const CicShiftResult cic = CicShift(m.workImage.cic_dec[c]);
    m.workImage.cic[c].cic_shift = cic.shift;
    m.workImage.cic[c].cic_norm = cic.norm;
    cicNorm_->setText(FixedQ(cic.norm, 5, 3));
    m.TotalDec[c] = static_cast<int32_t>(static_cast<int64_t>(s.CicDec[c]) * s.FirDec[c]);

    // 6. Phase, TDM, gains, sync mode, ADC.
    phaseEdit_->setText(FixedQ(s.PhaseNCO[c], 4, 3));
    SetChecked(tdmBox_, s.EnableTDM != 0);
    gainEdit_->setText(FixedQ(s.Gain[c], 5, 2));
    overallGainEdit_->setText(FixedQ(s.OverallGain[c], 5, 2));
    SetComboIndex(syncModeCombo_, s.sync_mode);
    // An input outside 0..3 (a damaged lab file) shows no button checked.
    for (QRadioButton* r : adcRadios_) r->setAutoExclusive(false);
    for (int a = 0; a < 4; ++a) SetChecked(adcRadios_[a], s.InpADC[c] == a);
    for (QRadioButton* r : adcRadios_) r->setAutoExclusive(true);

    // 7. Output rate; a total of 0 (from a damaged lab file) has none.
    m.OutputRate[c] = m.TotalDec[c] > 0 ? static_cast<float>(s.SystemClock) / static_cast<float>(m.TotalDec[c]) : 0.0f;
    outputRate_->setText(FixedQ(static_cast<double>(m.OutputRate[c]) * 0.001, 8, 3) + kKhz);

    // 8. Total gain of the chain.
    totalGain_->setText(FixedQ(
        static_cast<double>(cic.norm) * 0.5 * static_cast<double>(info.pfir_gain) * static_cast<double>(s.Gain[c]), 5,
        2));

    // 9. The register image.
    DeriveRegisters(m);

    // 10. PFIR gain after the derivation, mixer input, test-filter settings.
    pfirGain_->setText(FixedQ(m.coefSetInfo[c].pfir_gain, 5, 3));
    SetComboIndex(mixerCombo_, m.workImage.cic[c].mix_rcv_sel);
    SetComboIndex(filterKindCombo_, s.IndexFilter);
    numTapsEdit_->setText(QString::number(s.NumTapsFilter));
    deviationEdit_->setText(QString::number(s.Deviation));

    // 11. Open register editors and the synchronisation dialog.
    for (const auto& hook : refreshHooks_) hook();

    // 12. The rest of the expert controls.
    SetChecked(obkatkaBox_, s.Obkatka == 1);
    firShift_->setText(QString::number(m.workImage.pfir[c].fir_shift));
    sckDivEdit_->setText(QString::number(s.sck_div));
    scaleFirEdit_->setText(FixedQ(s.scaleFir, 3, 2));
    m.Refreshing = false;
}

void TGForm::ReadControls() {
    Settings& s = m_.settings;
    const int c = m_.CurrentChannel;
    // Each field is stored as soon as it is read: a later box that holds no
    // number stops the reading there and the earlier values stay.
    s.SystemClock = ParseIntText(clockEdit_->text());
    s.FreqNCO[c] = ParseIntText(freqEdit_->text());
    s.CicDec[c] = ParseIntText(cicEdit_->text());
    // A combo box with nothing selected (a value from a damaged file) keeps the setting.
    if (firDecCombo_->currentIndex() >= 0) s.FirDec[c] = firDecCombo_->currentIndex() + 1;
    s.PhaseNCO[c] = static_cast<float>(ParseFloatText(phaseEdit_->text()));
    s.EnableTDM = tdmBox_->isChecked() ? 1 : 0;
    s.Gain[c] = static_cast<float>(ParseFloatText(gainEdit_->text()));
    if (s.Gain[c] > 127.9f) s.Gain[c] = 127.9f;
    s.OverallGain[c] = static_cast<float>(ParseFloatText(overallGainEdit_->text()));
    if (syncModeCombo_->currentIndex() >= 0) s.sync_mode = syncModeCombo_->currentIndex();
    if (filterKindCombo_->currentIndex() >= 0) s.IndexFilter = filterKindCombo_->currentIndex();
    s.NumTapsFilter = ParseIntText(numTapsEdit_->text());
    s.Deviation = ParseIntText(deviationEdit_->text());
    s.sck_div = ParseIntText(sckDivEdit_->text());
    s.scaleFir = static_cast<float>(ParseFloatText(scaleFirEdit_->text()));
    for (auto& p : m_.workImage.pfir) p.sck_div = static_cast<uint16_t>(s.sck_div);
    ApplyManualShift();
}

void TGForm::ApplyManualShift() {
    // The shift box is never stored back into shiftFir: the lab keeps what it read.
    if (lchmBox_->isChecked())
        m_.ManualFirShift = ParseIntText(shiftEdit_->text());
    else
        m_.ManualFirShift.reset();
}

}  // namespace gc
