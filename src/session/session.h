// Start and close of a working session, shared by the main window and the
// batch tool: what happens around reading and writing CONFIGS/std.lab.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/lab_file.h"
#include "core/model.h"
#include "core/workspace.h"
#include "filters/coef_errors.h"
#include "session/effects.h"

namespace gc {

// What one configuring session holds: the settings, the chip state and the
// decimation values, which the core functions take one by one, and the
// session's own working state. The window and the batch tool each own one.
struct Session : ChipState, DecimationState {
    Settings settings;
    int CurrentChannel = 0;      // the channel the main window shows
    bool ExpertMode = false;     // decided once, at start
    int32_t FullDebugSaved = 0;  // FullDebug as read at start, written back at close
    std::string currentLabName = "std.lab";
    // The start-up lab file was there but could not be read: it is not
    // replaced by these settings unless the user says so.
    bool startupLabUnreadable = false;
    std::filesystem::path startupLabPath;
    std::string startupLabProblem;
    // Values of the start-up lab file not taken as written.
    std::vector<LabValueNote> startupLabNotes;
    // How often UpdateDerived ran: an edit is meant to derive once.
    int64_t derivations = 0;
};

// Brings the derived state up to date after the settings or the fits
// changed: the shown channel's total decimation and output rate, then the
// register image (CIC shift and norm included).
void UpdateDerived(Session& m);

// Reads the start-up lab file (missing: defaults stay), sets TypeOfModule,
// decides the expert mode and applies the board model. Returns whether the
// lab file was read.
bool ReadStartupLab(Session& m, const std::filesystem::path& labPath);

// The board model's fixed settings applied at first show.
void ApplyBoardModel(Settings& s, DecimationState& d);

// The first half of the start-up: the lab file, expert mode and board model.
// The window sets up its caption and mode list after it, so that a report on
// a coefficient file shows in front of a complete window. Returns whether the
// lab file was read.
bool BeginSession(Session& m, const std::filesystem::path& labPath);

// The second half: the four coefficient files of the working folder loaded
// and fitted, sck_div copied to the channels, and the derived state brought
// up to date; the windows follow the whole configuration.
Effects LoadSessionFilters(Session& m, const Workspace& workspace, CoefFileErrorSink* errors);

// The whole start-up without a window, for the batch tool: both halves.
bool StartSession(Session& m, const Workspace& workspace, const std::filesystem::path& labPath,
                  CoefFileErrorSink* errors);

// Stores CicDec into the store of oldMode, then takes the store of newMode and
// its CIC bounds. An input mode outside 0..2 leaves that side untouched.
void SaveModeCicDec(Settings& s, DecimationState& d, int oldMode, int newMode);

// B and D have no settings of their own in the paired modes: a shown B or D
// gives way to channel A.
void ShowPairSource(Session& m);

inline constexpr int kExpertCode = 629;

}  // namespace gc
