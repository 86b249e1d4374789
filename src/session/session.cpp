#include "session/session.h"

#include <algorithm>
#include <tuple>

#include "chip/derivation.h"
#include "core/lab_file.h"
#include "filters/coef_files.h"
#include "session/main_view.h"

namespace gc {

bool ReadStartupLab(Model& m, const std::filesystem::path& labPath) {
    m.currentLabName = "std.lab";
    bool read = ReadLab(m, labPath);
    // The CIC bounds follow the input mode even when no lab file was read
    // (Full rate must not accept a decimation of 1).
    if (auto bounds = CicBoundsOfMode(m.settings.ModeOfInput)) std::tie(m.CicDecMin, m.CicDecStep) = *bounds;
    m.settings.TypeOfModule = BoardModel;
    m.ExpertMode = m.settings.FullDebug == kExpertCode;
    m.FullDebugSaved = m.settings.FullDebug;
    m.settings.FullDebug = 0;
    return read;
}

void ApplyBoardModel(Model& m) {
    if (BoardModel == 0) {
        m.MinTotalDec[0] = 8;
        m.MinTotalDec[1] = 4;
        m.MinTotalDec[2] = 8;
        m.settings.EnableTDM = 1;
    } else {
        m.MinTotalDec[0] = m.MinTotalDec[1] = m.MinTotalDec[2] = 1;
        m.settings.EnableTDM = 0;
    }
}

bool StartSession(Model& m, const std::filesystem::path& labPath, CoefFileErrorSink* errors) {
    bool read = ReadStartupLab(m, labPath);
    ApplyBoardModel(m);
    for (int c = 0; c < kChannels; ++c) LoadAndFitChannel(m, c, errors);
    for (auto& p : m.workImage.pfir) p.sck_div = static_cast<uint16_t>(m.settings.sck_div);
    DeriveRegisters(m);
    RefreshModel(m);
    return read;
}

void SaveModeCicDec(Model& m, int oldMode, int newMode) {
    Settings& s = m.settings;
    if (int32_t* store = ModeCicStore(s, oldMode)) std::copy(s.CicDec, s.CicDec + kChannels, store);
    TakeModeCicDec(m, newMode);
}

bool CloseSession(Model& m, const std::filesystem::path& labPath) {
    SaveModeCicDec(m, m.settings.ModeOfInput, m.settings.ModeOfInput);
    m.settings.FullDebug = m.FullDebugSaved;
    return WriteLab(m, labPath);
}

void ApplyToAllChannels(Model& m, CoefFileErrorSink* errors, const std::filesystem::path& workDir) {
    if (!ValidChannel(m.CurrentChannel)) return;
    CopyChannelToAll(m, m.CurrentChannel);
    ReloadAllPfirFiles(m, errors, workDir);
    DeriveRegisters(m);
}

}  // namespace gc
