// What each control of the main window does: the edit pipelines, the CIC
// check, the input-mode switch and the channel and ADC choices.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "filters/pfir_fit.h"
#include "gui/double_click.h"
#include "gui/number_text.h"
#include "gui/response_plot.h"
#include "gui/tgform.h"
#include "session/main_view.h"
#include "session/session.h"

namespace gc {

void TGForm::Connect(QLineEdit* edit, void (TGForm::*handler)()) {
    // Leaving the box or pressing Enter.
    connect(edit, &QLineEdit::editingFinished, this,
            [this, handler] { Guarded([this, handler] { (this->*handler)(); }); });
}

void TGForm::ConnectControls() {
    auto on = [this](QAbstractButton* b, void (TGForm::*handler)()) {
        connect(b, &QAbstractButton::clicked, this,
                [this, handler] { Guarded([this, handler] { (this->*handler)(); }); });
    };
    auto onIndex = [this](QComboBox* box, void (TGForm::*handler)(int)) {
        connect(box, &QComboBox::currentIndexChanged, this,
                [this, handler](int index) { Guarded([this, handler, index] { (this->*handler)(index); }); });
    };

    Connect(clockEdit_, &TGForm::ApplyRateEdits);
    Connect(cicEdit_, &TGForm::OnCicEdited);
    for (QLineEdit* e : {freqEdit_, phaseEdit_, gainEdit_, overallGainEdit_, sckDivEdit_, numTapsEdit_, deviationEdit_,
                         sumIIEdit_, sumQQEdit_, sumIEdit_, sumQEdit_})
        Connect(e, &TGForm::ApplyEdits);
    Connect(shiftEdit_, &TGForm::OnShiftOrScaleEdited);
    Connect(scaleFirEdit_, &TGForm::OnShiftOrScaleEdited);

    static const int kSteps[8] = {1, -1, 2, -2, 10, -10, 100, -100};
    for (int k = 0; k < 8; ++k) {
        const int step = kSteps[k];
        connect(cicSteppers_[k], &QPushButton::clicked, this,
                [this, step] { Guarded([this, step] { OnCicStep(step); }); });
    }
    onIndex(firDecCombo_, &TGForm::OnFirDecChanged);
    onIndex(modeCombo_, &TGForm::OnInputModeChanged);
    onIndex(syncModeCombo_, &TGForm::OnSyncModeChanged);
    onIndex(filterKindCombo_, &TGForm::OnFilterKindChanged);

    for (int k = 0; k < kChannels; ++k) {
        on(channelBoxes_[k], &TGForm::OnChannelBoxClicked);
        connect(channelRadios_[k], &QRadioButton::clicked, this,
                [this, k] { Guarded([this, k] { OnChannelRadio(k); }); });
    }
    for (int a = 0; a < 4; ++a)
        connect(adcRadios_[a], &QRadioButton::clicked, this, [this, a] { Guarded([this, a] { OnAdcRadio(a); }); });

    on(lchmBox_, &TGForm::OnLchmClicked);
    on(tdmBox_, &TGForm::OnTdmClicked);
    on(enbWriteBox_, &TGForm::OnEnbWriteClicked);
    connect(obkatkaBox_, &QCheckBox::clicked, this, [this](bool checked) {
        m_.settings.Obkatka = checked ? 1 : 0;
        RecordSettings();
    });

    on(readLabButton_, &TGForm::OnReadLab);
    on(saveLabButton_, &TGForm::OnSaveLab);
    on(writeTblButton_, &TGForm::OnWriteTbl);
    on(readTblButton_, &TGForm::OnReadTbl);
    on(writePrgButton_, &TGForm::OnWritePrg);
    on(gc101Button_, &TGForm::OnGc101ToPrg);
    on(readBeRamButton_, &TGForm::OnReadBeRam);
    on(writeCmdButton_, &TGForm::OnWriteCmdFile);
    on(compareButton_, &TGForm::OnCompare);
    on(coefFileButton_, &TGForm::OnChooseCoefFile);
    on(applyAllButton_, &TGForm::OnApplyToAll);
    on(fltButton_, &TGForm::OnFltToTaps);
    on(writeFilterButton_, &TGForm::OnWriteFilter);
    connect(infoButton_, &QPushButton::clicked, this, [this] {
        if (dialogs_.showInfo) dialogs_.showInfo();
    });
    connect(designButton_, &QPushButton::clicked, this, [this] {
        if (dialogs_.showPfirDesign) dialogs_.showPfirDesign();
    });

    connect(cicWindowButton_, &QPushButton::clicked, this, &TGForm::cicWindowRequested);
    connect(pfirWindowButton_, &QPushButton::clicked, this, &TGForm::pfirWindowRequested);
    connect(chainWindowButton_, &QPushButton::clicked, this, &TGForm::chainWindowRequested);
    for (QLabel* panel : {coefFile_, pfirGain_, cicNorm_, totalGain_, outputRate_})
        OnDoubleClick(panel, [this] { emit pfirWindowRequested(); });

    // A horizontal zoom needs the response on the new grid.
    connect(plot_, &ResponsePlotPanel::xStretchChanged, this, [this] { Guarded([this] { RecomputeResponse(); }); });
}

// ---- pipelines ----

// An edit that changes no rate or decimation: the settings, the registers and
// the controls.
void TGForm::ApplyEdits() {
    ReadControls();
    UpdateControls();
}

// The clock moves every response's frequency axis.
void TGForm::ApplyRateEdits() {
    ReadControls();
    UpdateControls();
    RefreshResponseWindows();
    RecomputeResponse();
}

// A PFIR decimation changes the lengths the PFIR can run: refit the channel
// before the refresh shows the fit and derives from it.
void TGForm::ApplyDecimationEdits() {
    ReadControls();
    FitPfirToChannel(m_.settings, m_, m_.CurrentChannel);
    UpdateControls();
    RefreshResponseWindows();
    RecomputeResponse();
}

// A CIC decimation refreshes twice: the first refresh shows the checked value
// and derives cic_dec, with which the open register editors and response
// windows follow the edit at once; the refit then changes the PFIR's length,
// gain and colour, which the second refresh shows and derives.
void TGForm::SetCicDecimation(int value) {
    cicEdit_->setText(QString::number(value));
    ReadControls();
    UpdateControls();
    FitPfirToChannel(m_.settings, m_, m_.CurrentChannel);
    RefreshResponseWindows();
    RecomputeResponse();
    UpdateControls();
}

// ---- CIC decimation ----

void TGForm::OnCicEdited() { SetCicDecimation(CheckedCicDec(m_, IntOfBox(cicEdit_->text()))); }

void TGForm::OnCicStep(int step) { SetCicDecimation(SteppedCicDec(m_, IntOfBox(cicEdit_->text()), step)); }

void TGForm::OnFirDecChanged(int) {
    if (refreshing_) return;
    ApplyDecimationEdits();
}

void TGForm::OnFilterKindChanged(int) {
    if (refreshing_) return;
    ApplyEdits();
}

// ---- input mode, channels, ADC ----

void TGForm::OnInputModeChanged(int index) {
    if (refreshing_ || index < 0) return;
    SaveModeCicDec(m_.settings, m_, m_.settings.ModeOfInput, index);
    m_.settings.ModeOfInput = index;
    // B and D have no settings of their own in the paired modes: show the
    // channel whose settings they run.
    if ((index == 1 || index == 2) && m_.CurrentChannel % 2 == 1) m_.CurrentChannel = 0;
    UpdateControls();
    for (int c = 0; c < kChannels; ++c) FitPfirToChannel(m_.settings, m_, c);
    UpdateControls();
    RefreshResponseWindows();
    RecomputeResponse();
}

void TGForm::OnChannelBoxClicked() {
    if (refreshing_) return;
    Settings& s = m_.settings;
    if (s.ModeOfInput == 1 || s.ModeOfInput == 2) {
        s.MaskChan2x = (channelBoxes_[0]->isChecked() ? 1 : 0) | (channelBoxes_[2]->isChecked() ? 2 : 0);
    } else {
        int mask = 0;
        for (int k = 0; k < kChannels; ++k)
            if (channelBoxes_[k]->isChecked()) mask |= 1 << k;
        s.MaskChan4x = mask;
    }
    UpdateControls();
}

void TGForm::OnChannelRadio(int channel) {
    m_.CurrentChannel = channel;
    UpdateControls();
    RefreshResponseWindows();
    RecomputeResponse();
}

void TGForm::OnAdcRadio(int adc) {
    m_.settings.InpADC[m_.CurrentChannel] = adc;
    UpdateControls();
}

// ---- expert switches ----

void TGForm::OnShiftOrScaleEdited() {
    if (refreshing_) return;
    ReadControls();
    FitPfirToChannel(m_.settings, m_, m_.CurrentChannel);
    UpdateControls();
}

void TGForm::OnLchmClicked() {
    ApplyManualShift();
    // The manual shift changes every channel's PFIR gain: refit, so that the
    // PFIR gain and the total gain follow at once.
    for (int c = 0; c < kChannels; ++c) FitPfirToChannel(m_.settings, m_, c);
    UpdateControls();
}

void TGForm::OnTdmClicked() {
    if (refreshing_) return;
    ApplyEdits();
}

void TGForm::OnSyncModeChanged(int index) {
    if (refreshing_ || index < 0) return;
    m_.settings.sync_mode = index;
    UpdateControls();
}

void TGForm::OnEnbWriteClicked() {
    writeEnabled_ = enbWriteBox_->isChecked();
    for (const auto& hook : refreshHooks_) hook();
}

}  // namespace gc
