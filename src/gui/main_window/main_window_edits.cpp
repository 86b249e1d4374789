// How the main window takes an edit: the panels say what the user changed,
// the session applies it, and the window follows the effects in one place.
#include <QGroupBox>
#include <QLayout>

#include "gui/main_window/cic_pfir_panel.h"
#include "gui/main_window/clock_mode_panel.h"
#include "gui/main_window/coef_file_panel.h"
#include "gui/main_window/expert_panel.h"
#include "gui/main_window/main_window.h"
#include "gui/main_window/nco_gain_panel.h"
#include "gui/plots/response_plot.h"
#include "gui/widgets/number_text.h"
#include "session/main_view.h"
#include "session/session.h"
#include "session/settings_history.h"

namespace gc {

void MainWindow::ApplyUserEdit(const Edit& e) {
    // Controls written from the model must not feed it back.
    if (refreshing_) return;
    Guarded([&] { ApplyAndShow(e); });
}

Effects MainWindow::ApplyOtherWindowEdit(const Edit& e) {
    const Effects fx = ApplyEdit(m_, e, EditContext{&workspace_, hooks_.coefErrors});
    if (!fx.refused) ApplyEffects(fx);
    return fx;
}

void MainWindow::ApplyAndShow(const Edit& e) {
    ApplyEffects(ApplyEdit(m_, e, EditContext{&workspace_, hooks_.coefErrors}));
}

void MainWindow::ApplyEffects(const Effects& fx) {
    // Guarded shows the refusal and puts the value in use back into the box.
    if (fx.refused) throw ConversionError(fx.status.value_or(std::string()));
    if (fx.view) ShowView();
    // The refresh hooks feed the plot windows and the designer, which read the request.
    if (fx.editors || fx.request) RefreshEditors();
    if (fx.record) RecordSettings();
    if (fx.response) RecomputeResponse();
    if (fx.responseWindows) RefreshResponseWindows();
    if (fx.redrawPlot) plot_->ScheduleRedraw();
    if (fx.status) ShowStatus(*fx.status);
}

void MainWindow::RefreshEditors() {
    for (const auto& hook : hooks_.refresh) hook();
}

void MainWindow::ShowView() {
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

void MainWindow::ConnectEdits() {
    auto text = [this](ControlField field, const QString& t) { ApplyUserEdit(edit::Text{field, t.toStdString()}); };
    connect(clockMode_, &ClockModePanel::textEdited, this, text);
    connect(cicPfir_, &CicPfirPanel::textEdited, this, text);
    connect(ncoGain_, &NcoGainPanel::textEdited, this, text);
    connect(expert_, &ExpertPanel::textEdited, this, text);
    connect(clockMode_, &ClockModePanel::inputModeChosen, this, [this](int index) {
        if (index >= 0) ApplyUserEdit(edit::InputMode{index});
    });
    connect(clockMode_, &ClockModePanel::enabledChannelsEdited, this,
            [this] { ApplyUserEdit(edit::EnabledChannels{clockMode_->CheckedChannels()}); });
    connect(clockMode_, &ClockModePanel::channelChosen, this,
            [this](int channel) { ApplyUserEdit(edit::ShownChannel{channel}); });
    connect(cicPfir_, &CicPfirPanel::cicStepped, this, [this](int step) { ApplyUserEdit(edit::CicStep{step}); });
    connect(cicPfir_, &CicPfirPanel::firDecChosen, this, [this](int index) {
        if (index >= 0) ApplyUserEdit(edit::FirDec{index + 1});
    });
    connect(ncoGain_, &NcoGainPanel::adcChosen, this, [this](int adc) { ApplyUserEdit(edit::Adc{adc}); });
    connect(expert_, &ExpertPanel::syncModeChosen, this, [this](int index) {
        if (index >= 0) ApplyUserEdit(edit::SyncMode{index});
    });
    connect(expert_, &ExpertPanel::tdmClicked, this, [this](bool on) { ApplyUserEdit(edit::Tdm{on}); });
    connect(expert_, &ExpertPanel::filterKindChosen, this, [this](int index) {
        if (index >= 0) ApplyUserEdit(edit::FilterKind{index});
    });
    connect(expert_, &ExpertPanel::obkatkaClicked, this, [this](bool on) { ApplyUserEdit(edit::Obkatka{on}); });
    // A click on "ЛЧМ" refits every channel, an edit of the shift the shown one.
    auto shift = [this](bool allChannels) {
        std::optional<std::string> t;
        if (expert_->manualShiftOn()) t = expert_->manualShiftText().toStdString();
        ApplyUserEdit(edit::ManualShift{t, allChannels});
    };
    connect(expert_, &ExpertPanel::manualShiftClicked, this, [shift] { shift(true); });
    connect(expert_, &ExpertPanel::manualShiftEdited, this, [shift] { shift(false); });
    connect(expert_, &ExpertPanel::writeSwitchClicked, this, [this](bool on) {
        writeEnabled_ = on;
        RefreshEditors();
    });
}

}  // namespace gc
