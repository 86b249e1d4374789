#include "session/edit.h"

#include <algorithm>

#include "chip/derivation.h"
#include "chip/program_file.h"
#include "chip/table_file.h"
#include "core/channel_rules.h"
#include "core/text_io.h"
#include "filters/coef_files.h"
#include "filters/pfir_fit.h"
#include "session/command_status.h"
#include "session/decode_commands.h"
#include "session/main_view.h"
#include "session/settings_history.h"

namespace gc {

namespace {

namespace fs = std::filesystem;

// What a settings edit asks for: the view and editors, an undo step.
Effects Shown() {
    Effects e;
    e.view = e.editors = e.record = true;
    return e;
}

// ... and the responses, whose axes or data moved with it.
Effects ShownWithResponses() {
    Effects e = Shown();
    e.response = e.responseWindows = true;
    return e;
}

Effects Refused(std::string why) {
    Effects e;
    e.refused = true;
    e.status = std::move(why);
    return e;
}

void RefitAll(Session& m) {
    for (int c = 0; c < kChannels; ++c) FitPfirToChannel(m.settings, m, c);
}

std::string ShownOr(const fs::path& file, const EditContext& ctx) {
    return ctx.workspace ? ShownPath(file, *ctx.workspace) : file.string();
}

// The settings edits: each sets its setting(s) and refits what they change;
// the one derivation and the status line follow in ApplyEdit. `note` says
// what the edit made of the value typed.
struct SettingEdit {
    Session& m;
    const EditContext& ctx;
    std::string& note;
    int c;

    Effects operator()(const edit::Text& e) {
        const FieldEdit r = EditField(m, e.field, e.text);
        if (r.refused) return Refused(*r.refused);
        note = r.note;
        // The lengths the PFIR can run (or its gain) follow: refit before deriving.
        if (e.field == ControlField::CicDec || e.field == ControlField::ScaleFir) FitPfirToChannel(m.settings, m, c);
        // The clock and the CIC decimation move the responses' frequency axes.
        return e.field == ControlField::Clock || e.field == ControlField::CicDec ? ShownWithResponses() : Shown();
    }
    Effects operator()(const edit::CicStep& e) {
        m.settings.CicDec[c] = SteppedCicDec(m, m.settings.CicDec[c], e.step);
        FitPfirToChannel(m.settings, m, c);
        return ShownWithResponses();
    }
    Effects operator()(const edit::FirDec& e) {
        m.settings.FirDec[c] = std::clamp(e.value, 1, 8);
        // The PFIR decimation changes the lengths the PFIR can run.
        FitPfirToChannel(m.settings, m, c);
        return ShownWithResponses();
    }
    Effects operator()(const edit::InputMode& e) {
        SaveModeCicDec(m.settings, m, m.settings.ModeOfInput, e.mode);
        m.settings.ModeOfInput = e.mode;
        ShowPairSource(m);
        RefitAll(m);
        return ShownWithResponses();
    }
    Effects operator()(const edit::EnabledChannels& e) {
        SetEnabledChannels(m.settings, e.checked);
        return Shown();
    }
    Effects operator()(const edit::ShownChannel& e) {
        if (!ValidChannel(e.channel)) return Refused("Нет канала " + std::to_string(e.channel));
        m.CurrentChannel = e.channel;
        return ShownWithResponses();
    }
    Effects operator()(const edit::Adc& e) {
        m.settings.InpADC[c] = e.adc;
        return Shown();
    }
    Effects operator()(const edit::FilterKind& e) {
        m.settings.IndexFilter = e.index;
        return Shown();
    }
    Effects operator()(const edit::SyncMode& e) {
        m.settings.sync_mode = e.index;
        return Shown();
    }
    Effects operator()(const edit::Tdm& e) {
        m.settings.EnableTDM = e.on ? 1 : 0;
        return Shown();
    }
    Effects operator()(const edit::ManualShift& e) {
        // The shift box is never stored back into shiftFir: the lab keeps what it read.
        if (e.text) {
            const auto shift = ParseIntegerText(*e.text);
            if (!shift) return Refused(IntegerTextProblem(*e.text));
            m.ManualFirShift = *shift;
        } else {
            m.ManualFirShift.reset();
        }
        // The manual shift changes the PFIR gain: refit, so that the PFIR gain
        // and the total gain follow at once.
        if (e.allChannels)
            RefitAll(m);
        else
            FitPfirToChannel(m.settings, m, c);
        return Shown();
    }
    Effects operator()(const edit::CoefFile& e) {
        if (e.request) SetChannelChainRequest(m.settings, c, *e.request);
        LoadChosenPfirFile(m.settings, m, c, e.file, ctx.coefErrors);
        Effects fx = ShownWithResponses();
        fx.request = e.request.has_value();
        fx.redrawPlot = true;
        const TapFileScan scan = ScanTapFile(e.file);
        fx.status = CoefFileStatus(ShownOr(e.file, ctx), c, scan) + (scan.readable ? "" : UnreadableNote(e.file));
        return fx;
    }
    Effects operator()(const edit::DecimationSplit& e) {
        // Settings first, then the file's load fits it to them.
        m.settings.CicDec[c] = CheckedCicDec(m, e.cicDec);
        m.settings.FirDec[c] = std::clamp(e.firDec, 1, 8);
        return (*this)(edit::CoefFile{e.file, e.request});
    }
    Effects operator()(const edit::ApplyToAll&) {
        CopyChannelToAll(m.settings, m, c);
        if (ctx.workspace) ReloadAllPfirFiles(m.settings, m, ctx.coefErrors, *ctx.workspace);
        // The shown channel's own settings are unchanged: its curve stays.
        Effects fx = Shown();
        fx.status = ApplyToAllStatus(c);
        return fx;
    }
    Effects operator()(const edit::ReadTable& e) {
        const bool read = ReadTableFile(m.workImage, e.file);
        SettingsFromImage(m.workImage, m.settings);
        // The table brings its own decimations: the responses follow them.
        Effects fx = ShownWithResponses();
        fx.status = TableReadStatus(ShownOr(e.file, ctx), read, m.settings) + (read ? "" : UnreadableNote(e.file));
        return fx;
    }
    Effects operator()(const edit::TakeDecoded& e) {
        PutDecodedProgram(m, e.program, e.tapsFiles);
        ShowPairSource(m);
        Effects fx = ShownWithResponses();
        fx.redrawPlot = true;
        return fx;
    }
    Effects operator()(const edit::Restore& e) {
        if (ctx.workspace) PutSettingsBack(m, e.settings, *ctx.workspace, ctx.coefErrors);
        // The history moves itself: no new step. The status says which settings went back.
        Effects fx = ShownWithResponses();
        fx.record = false;
        fx.request = true;
        fx.status = std::string();
        return fx;
    }
    // Not settings edits: handled before a derivation is considered.
    template <typename T>
    Effects operator()(const T&) {
        return {};
    }
};

// Edits that only store into the image or the settings without a derivation:
// the derivation would put back what the user just wrote.
std::optional<Effects> ApplyStore(Session& m, const Edit& e, const EditContext& ctx) {
    if (const auto* o = std::get_if<edit::Obkatka>(&e)) {
        // The chirp writer reads it; nothing shown depends on it.
        m.settings.Obkatka = o->on ? 1 : 0;
        Effects fx;
        fx.record = true;
        return fx;
    }
    if (const auto* q = std::get_if<edit::Request>(&e)) {
        // Nothing derived depends on it: the designer and the analysis window read it.
        const int c = q->channel >= 0 ? q->channel : m.CurrentChannel;
        if (!ValidChannel(c)) return Refused("Нет канала " + std::to_string(c));
        SetChannelChainRequest(m.settings, c, q->request);
        Effects fx;
        fx.record = fx.request = true;
        return fx;
    }
    if (const auto* r = std::get_if<edit::ReadBeRam>(&e)) {
        Effects fx;
        const int pairs = ReadBackPage17(m, r->file);
        fx.status = BeRamStatus(ShownOr(r->file, ctx), pairs) + (pairs < 0 ? UnreadableNote(r->file) : "");
        return fx;
    }
    if (const auto* s = std::get_if<edit::SyncChoice>(&e)) {
        ReadSyncSelection(m.settings, s->selection);
        WriteOwnSyncFields(m.settings, m.workImage);
    } else if (const auto* p = std::get_if<edit::SyncPreset>(&e)) {
        ApplySyncPreset(m.settings, p->code);
        WriteOwnSyncFields(m.settings, m.workImage);
    } else if (const auto* b = std::get_if<edit::RegisterBoxes>(&e)) {
        // The boxes before a refused one are stored; the dialog shows the values in use again.
        if (auto error = StoreRegisterBoxes(m.workImage, RegisterDialog(b->dialog), b->texts))
            return Refused(error->message);
        return Effects{};
    } else {
        return std::nullopt;
    }
    Effects fx;
    fx.editors = fx.record = true;
    return fx;
}

}  // namespace

Effects ApplyEdit(Session& m, const Edit& e, const EditContext& ctx) {
    const EditBefore before = BeforeEdit(m);
    if (auto stored = ApplyStore(m, e, ctx)) {
        if (!stored->status && stored->record) stored->status = DescribeSettingsChange(before.settings, m.settings);
        return *stored;
    }
    std::string note;
    const int c = ValidChannel(m.CurrentChannel) ? m.CurrentChannel : 0;
    Effects fx = std::visit(SettingEdit{m, ctx, note, c}, e);
    if (fx.refused) return fx;
    UpdateDerived(m);
    if (!fx.status)
        fx.status = EditStatus(before, m, note);
    else if (std::holds_alternative<edit::Restore>(e))
        fx.status = DescribeSettingsChange(before.settings, m.settings);
    return fx;
}

}  // namespace gc
