// What the main window does with an edit: the one setting it changes, the
// refits that setting needs, one derivation, and the windows that follow.
#include <QGroupBox>
#include <QLayout>

#include "filters/pfir_fit.h"
#include "gui/cic_pfir_panel.h"
#include "gui/clock_mode_panel.h"
#include "gui/coef_file_panel.h"
#include "gui/expert_panel.h"
#include "gui/nco_gain_panel.h"
#include "gui/number_text.h"
#include "gui/response_plot.h"
#include "gui/tgform.h"
#include "session/main_view.h"
#include "session/session.h"
#include "session/settings_history.h"

namespace gc {

void TGForm::UpdateControls() {
    UpdateDerived(m_);
    ShowView();
    // Open register editors and the synchronisation dialog.
    for (const auto& hook : refreshHooks_) hook();
    RecordSettings();
}

void TGForm::ShowView() {
    refreshing_ = true;
    const MainViewState v = ComputeMainView(m_);
    if (expert_->group()->isHidden() == v.expertMode) {
        expert_->group()->setVisible(v.expertMode);
        for (QWidget* w : ncoGain_->expertWidgets()) w->setVisible(v.expertMode);
        if (v.expertMode) {
            layout()->activate();
            resize(sizeHint().width(), height());
        }
    }
    if (!v.expertMode && width() != kNormalWidth) resize(kNormalWidth, height());
    files_->ShowLabName(QString::fromStdString(v.labName));
    clockMode_->Show(v);
    cicPfir_->Show(v);
    coefFile_->Show(v);
    ncoGain_->Show(v);
    expert_->Show(v);
    refreshing_ = false;
}

void TGForm::OnTextEdited(ControlField field, const QString& text) {
    if (refreshing_) return;
    const FieldEdit edit = EditField(m_, field, text.toStdString());
    if (edit.refused) throw ConversionError(*edit.refused);
    editNote_ = edit.note;
    const int c = m_.CurrentChannel;
    switch (field) {
        case ControlField::CicDec:
        case ControlField::ScaleFir:
            // The lengths the PFIR can run (or its gain) follow: refit before deriving.
            FitPfirToChannel(m_.settings, m_, c);
            break;
        default:
            break;
    }
    UpdateControls();
    // The clock and the CIC decimation move the responses' frequency axes.
    if (field == ControlField::Clock || field == ControlField::CicDec) {
        RefreshResponseWindows();
        RecomputeResponse();
    }
}

void TGForm::OnCicStep(int step) {
    const int c = m_.CurrentChannel;
    m_.settings.CicDec[c] = SteppedCicDec(m_, m_.settings.CicDec[c], step);
    FitPfirToChannel(m_.settings, m_, c);
    UpdateControls();
    RefreshResponseWindows();
    RecomputeResponse();
}

void TGForm::OnFirDecChosen(int index) {
    if (refreshing_ || index < 0) return;
    m_.settings.FirDec[m_.CurrentChannel] = index + 1;
    // The PFIR decimation changes the lengths the PFIR can run.
    FitPfirToChannel(m_.settings, m_, m_.CurrentChannel);
    UpdateControls();
    RefreshResponseWindows();
    RecomputeResponse();
}

void TGForm::OnFilterKindChosen(int index) {
    if (refreshing_ || index < 0) return;
    m_.settings.IndexFilter = index;
    UpdateControls();
}

void TGForm::OnInputModeChosen(int index) {
    if (refreshing_ || index < 0) return;
    SaveModeCicDec(m_.settings, m_, m_.settings.ModeOfInput, index);
    m_.settings.ModeOfInput = index;
    // B and D have no settings of their own in the paired modes: show the
    // channel whose settings they run.
    if ((index == 1 || index == 2) && m_.CurrentChannel % 2 == 1) m_.CurrentChannel = 0;
    for (int c = 0; c < kChannels; ++c) FitPfirToChannel(m_.settings, m_, c);
    UpdateControls();
    RefreshResponseWindows();
    RecomputeResponse();
}

void TGForm::OnEnabledChannelsEdited() {
    if (refreshing_) return;
    Settings& s = m_.settings;
    const int mask = clockMode_->CheckedChannels();
    if (s.ModeOfInput == 1 || s.ModeOfInput == 2)
        s.MaskChan2x = (mask & 1) | ((mask >> 2) & 1) << 1;
    else
        s.MaskChan4x = mask;
    UpdateControls();
}

void TGForm::OnChannelChosen(int channel) {
    m_.CurrentChannel = channel;
    UpdateControls();
    RefreshResponseWindows();
    RecomputeResponse();
}

void TGForm::OnAdcChosen(int adc) {
    m_.settings.InpADC[m_.CurrentChannel] = adc;
    UpdateControls();
}

// ---- expert switches ----

void TGForm::ApplyManualShift() {
    // The shift box is never stored back into shiftFir: the lab keeps what it read.
    if (expert_->manualShiftOn())
        m_.ManualFirShift = IntOfBox(expert_->manualShiftText());
    else
        m_.ManualFirShift.reset();
}

void TGForm::OnManualShift() {
    if (refreshing_) return;
    ApplyManualShift();
    FitPfirToChannel(m_.settings, m_, m_.CurrentChannel);
    UpdateControls();
}

void TGForm::OnManualShiftClicked() {
    ApplyManualShift();
    // The manual shift changes every channel's PFIR gain: refit, so that the
    // PFIR gain and the total gain follow at once.
    for (int c = 0; c < kChannels; ++c) FitPfirToChannel(m_.settings, m_, c);
    UpdateControls();
}

void TGForm::OnTdmClicked(bool on) {
    if (refreshing_) return;
    m_.settings.EnableTDM = on ? 1 : 0;
    UpdateControls();
}

void TGForm::OnObkatkaClicked(bool on) {
    // The chirp writer reads it; nothing shown depends on it.
    m_.settings.Obkatka = on ? 1 : 0;
    RecordSettings();
}

void TGForm::OnSyncModeChosen(int index) {
    if (refreshing_ || index < 0) return;
    m_.settings.sync_mode = index;
    UpdateControls();
}

void TGForm::OnWriteSwitchClicked(bool on) {
    writeEnabled_ = on;
    for (const auto& hook : refreshHooks_) hook();
}

}  // namespace gc
