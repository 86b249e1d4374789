#include "session/session.h"

#include <algorithm>
#include <tuple>

#include "chip/derivation.h"
#include "chip/program_file.h"
#include "core/lab_file.h"
#include "core/text_io.h"
#include "filters/coef_files.h"
#include "session/main_view.h"

namespace gc {

bool ReadStartupLab(Session& m, const std::filesystem::path& labPath) {
    m.currentLabName = "std.lab";
    bool read = ReadLab(m.settings, m, labPath);
    // The CIC bounds follow the input mode even when no lab file was read
    // (Full rate must not accept a decimation of 1).
    if (auto bounds = CicBoundsOfMode(m.settings.ModeOfInput)) std::tie(m.CicDecMin, m.CicDecStep) = *bounds;
    m.settings.TypeOfModule = BoardModel;
    m.ExpertMode = m.settings.FullDebug == kExpertCode;
    m.FullDebugSaved = m.settings.FullDebug;
    m.settings.FullDebug = 0;
    return read;
}

void ApplyBoardModel(Settings& s, DecimationState& d) {
    if (BoardModel == 0) {
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

void LoadSessionFilters(Session& m, const Workspace& workspace, CoefFileErrorSink* errors) {
    ReloadAllPfirFiles(m.settings, m, errors, workspace);
    CopySckDiv(m.settings, m.workImage);
    DeriveRegisters(m.settings, m);
}

bool StartSession(Session& m, const Workspace& workspace, const std::filesystem::path& labPath,
                  CoefFileErrorSink* errors) {
    const bool read = BeginSession(m, labPath);
    LoadSessionFilters(m, workspace, errors);
    RefreshModel(m);
    return read;
}

void SaveModeCicDec(Settings& s, DecimationState& d, int oldMode, int newMode) {
    if (int32_t* store = ModeCicStore(s, oldMode)) std::copy(s.CicDec, s.CicDec + kChannels, store);
    TakeModeCicDec(s, d, newMode);
}

bool CloseSession(Session& m, const std::filesystem::path& labPath) {
    SaveModeCicDec(m.settings, m, m.settings.ModeOfInput, m.settings.ModeOfInput);
    m.settings.FullDebug = m.FullDebugSaved;
    return WriteLab(m.settings, labPath);
}

void ApplyToAllChannels(Session& m, CoefFileErrorSink* errors, const Workspace& workspace) {
    if (!ValidChannel(m.CurrentChannel)) return;
    CopyChannelToAll(m.settings, m, m.CurrentChannel);
    ReloadAllPfirFiles(m.settings, m, errors, workspace);
    DeriveRegisters(m.settings, m);
}

SaveResult SaveLabAndProgram(Session& m, const std::filesystem::path& labPath) {
    SaveResult r;
    m.currentLabName = BareFileName(labPath.string());
    r.labWritten = WriteLab(m.settings, labPath);
    r.programPath = ProgramPathForLab(labPath);
    r.programWritten = WriteProgramFile(m.settings, m, m, r.programPath);
    return r;
}

}  // namespace gc
