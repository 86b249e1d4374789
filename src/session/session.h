// Start and close of a working session, shared by the main window and the
// batch tool: what happens around reading and writing CONFIGS/std.lab.
#pragma once

#include <filesystem>

#include "core/model.h"
#include "filters/coef_errors.h"

namespace gc {

// Reads the start-up lab file (missing: defaults stay), sets TypeOfModule,
// decides the expert mode and applies the board model. Returns whether the
// lab file was read.
bool ReadStartupLab(Model& m, const std::filesystem::path& labPath);

// The board model's fixed settings applied at first show.
void ApplyBoardModel(Model& m);

// The whole start-up of the main window without its controls: lab file,
// expert mode, board model, the four coefficient files loaded and fitted,
// sck_div copied to the channels, and the register image derived.
bool StartSession(Model& m, const std::filesystem::path& labPath, CoefFileErrorSink* errors);

// Stores CicDec into the store of oldMode, then takes the store of newMode and
// its CIC bounds. An input mode outside 0..2 leaves that side untouched.
void SaveModeCicDec(Model& m, int oldMode, int newMode);

// What closing the main window does: keep the CIC decimations of the current
// mode, restore FullDebug and write the lab file. False when it cannot be written.
bool CloseSession(Model& m, const std::filesystem::path& labPath);

// "Применить ко всем ": CopyChannelToAll from CurrentChannel, reload and refit
// the four coefficient files, and derive the registers. The responses are left
// to the caller.
void ApplyToAllChannels(Model& m, CoefFileErrorSink* errors, const std::filesystem::path& workDir = {});

inline constexpr int kExpertCode = 629;

}  // namespace gc
