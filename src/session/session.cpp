#include "session/session.h"

#include <algorithm>
#include <tuple>

#include "chip/derivation.h"
#include "chip/program_file.h"
#include "core/channel_rules.h"
#include "core/lab_file.h"
#include "core/safe_write.h"
#include "core/text_io.h"
#include "filters/coef_files.h"
#include "filters/vector_state.h"

namespace gc {

void UpdateDerived(Session& m) {
    ClearUpperVectorState();  // runs right after painting
    // Every channel's total, not the shown one's alone: the program file's
    // "Decimation ChN" lines must match the decimations the chip is given, also
    // after a table file or a start without a lab file set channels not shown.
    for (int n = 0; n < kChannels; ++n) {
        m.TotalDec[n] = ComputeTotalDec(m.settings.CicDec[n], m.settings.FirDec[n]);
        m.OutputRate[n] = ComputeOutputRate(m.settings.SystemClock, m.TotalDec[n]);
    }
    DeriveRegisters(m.settings, m);
    // In the paired modes the derivation leaves B's and D's norm alone: every
    // channel's follows its decimation, whichever channel is shown.
    for (int n = 0; n < kChannels; ++n) m.workImage.cic[n].cic_norm = CicShift(m.workImage.cic_dec[n]).norm;
    ++m.derivations;
}

bool ReadStartupLab(Session& m, const std::filesystem::path& labPath) {
    m.currentLabName = "std.lab";
    // A save that a kill cut between its two renames is undone first, so the
    // configuration read is a whole one.
    RecoverInterruptedWrites(labPath.parent_path());
    m.startupLabNotes.clear();
    bool read = ReadLab(m.settings, m, labPath, &m.startupLabNotes);
    const TextInspection t = InspectTextFile(labPath);
    m.startupLabPath = labPath;
    m.startupLabUnreadable = t.problem != TextProblem::None && t.problem != TextProblem::Missing;
    // An unreadable file has been refused as a whole already.
    if (m.startupLabUnreadable) m.startupLabNotes.clear();
    m.startupLabProblem = m.startupLabUnreadable ? TextProblemText(t) : std::string();
    // The CIC bounds follow the input mode even when no lab file was read
    // (Full rate must not accept a decimation of 1).
    if (auto bounds = CicBoundsOfMode(m.settings.ModeOfInput)) std::tie(m.CicDecMin, m.CicDecStep) = *bounds;
    m.settings.TypeOfModule = kBoardModel;
    m.ExpertMode = m.settings.FullDebug == kExpertCode;
    m.FullDebugSaved = m.settings.FullDebug;
    m.settings.FullDebug = 0;
    return read;
}

void ApplyBoardModel(Settings& s, DecimationState& d) {
    if (kBoardModel == 0) {
        d.MinTotalDec[0] = 8;
        d.MinTotalDec[1] = 4;
        d.MinTotalDec[2] = 8;
        s.EnableTDM = 1;
    } else {
        d.MinTotalDec[0] = d.MinTotalDec[1] = d.MinTotalDec[2] = 1;
        s.EnableTDM = 0;
    }
}

bool BeginSession(Session& m, const std::filesystem::path& labPath) {
    const bool read = ReadStartupLab(m, labPath);
    ApplyBoardModel(m.settings, m);
    return read;
}

Effects LoadSessionFilters(Session& m, const Workspace& workspace, CoefFileErrorSink* errors) {
    ReloadAllPfirFiles(m.settings, m, errors, workspace);
    CopySckDiv(m.settings, m.workImage);
    UpdateDerived(m);
    // A whole configuration is new: everything shown follows it.
    Effects fx;
    fx.view = fx.editors = fx.record = fx.response = fx.responseWindows = fx.redrawPlot = true;
    return fx;
}

bool StartSession(Session& m, const Workspace& workspace, const std::filesystem::path& labPath,
                  CoefFileErrorSink* errors) {
    const bool read = BeginSession(m, labPath);
    LoadSessionFilters(m, workspace, errors);
    return read;
}

void ShowPairSource(Session& m) {
    const int mode = m.settings.ModeOfInput;
    if ((mode == 1 || mode == 2) && m.CurrentChannel % 2 == 1) m.CurrentChannel = 0;
}

void SaveModeCicDec(Settings& s, DecimationState& d, int oldMode, int newMode) {
    if (int32_t* store = ModeCicStore(s, oldMode)) std::copy(s.CicDec, s.CicDec + kChannels, store);
    TakeModeCicDec(s, d, newMode);
}

}  // namespace gc
