// Every change a window makes to the model is one Edit, applied by ApplyEdit:
// it sets its setting(s), refits and derives what they need once, and says in
// Effects what must follow. The windows ask and show; the rules live here.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "chip/program_decode.h"
#include "core/model.h"
#include "core/workspace.h"
#include "filters/chain_analysis.h"
#include "filters/coef_errors.h"
#include "session/edit_rules.h"
#include "session/effects.h"
#include "session/register_editor.h"
#include "session/session.h"
#include "session/sync_view.h"

namespace gc {

namespace edit {

// A main-window edit box of the shown channel (or a chip-wide one).
struct Text {
    ControlField field = ControlField::Clock;
    std::string text;
};
// A CIC stepper button ("+1" .. "-100").
struct CicStep {
    int step = 0;
};
// The PFIR decimation list: 1..8.
struct FirDec {
    int value = 1;
};
struct InputMode {
    int mode = 0;
};
// The four "Включенные каналы" boxes as shown; the mode decides which mask they set.
struct EnabledChannels {
    std::array<bool, kChannels> checked{};
};
struct ShownChannel {
    int channel = 0;
};
struct Adc {
    int adc = 0;
};
struct FilterKind {
    int index = 0;
};
struct SyncMode {
    int index = 0;
};
struct Tdm {
    bool on = false;
};
struct Obkatka {
    bool on = false;
};
// The "ЛЧМ" box and the shift beside it: nullopt text when the box is off.
// A click on the box refits every channel, an edit of the shift the shown one.
struct ManualShift {
    std::optional<std::string> text;
    bool allChannels = false;
};
// A coefficient file for the shown channel ("Файл", the designer's "Сохранить").
// With a request (the designer's "Сохранить") the request it was designed for too.
struct CoefFile {
    std::filesystem::path file;
    std::optional<ChainRequest> request;
};
// A row of the designer's split table: both decimations and the file, one
// step; with a request ("Подобрать", `plan`) the request it was chosen for too.
struct DecimationSplit {
    int cicDec = 0;
    int firDec = 1;
    std::filesystem::path file;
    std::optional<ChainRequest> request;
};
// The channel's request (the designer's boxes, the analysis window's edges).
struct Request {
    int channel = -1;  // -1: the shown channel
    ChainRequest request;
};
// "Применить ко всем ".
struct ApplyToAll {};
// "Read *tbl": a register table into the work image, the settings from it.
struct ReadTable {
    std::filesystem::path file;
};
// "Read  BeRam": page 17 of each channel read back from a gc101 file.
struct ReadBeRam {
    std::filesystem::path file;
};
// The synchronisation dialog: its 45 lists, or one of its presets.
struct SyncChoice {
    SyncSelection selection;
};
struct SyncPreset {
    int32_t code = 0;
};
// A register editor's boxes stored into the work image.
struct RegisterBoxes {
    RegisterDialogId dialog = RegisterDialogId::AddrGen;
    std::vector<std::string> texts;
};
// "Открыть как конфигурацию": a decoded program file becomes the
// configuration, its taps read from the files named (already written).
struct TakeDecoded {
    DecodedProgram program;
    std::array<std::string, kChannels> tapsFiles;
};
// Undo and redo: a snapshot of the settings put back.
struct Restore {
    Settings settings;
};

}  // namespace edit

using Edit = std::variant<edit::Text, edit::CicStep, edit::FirDec, edit::InputMode, edit::EnabledChannels,
                          edit::ShownChannel, edit::Adc, edit::FilterKind, edit::SyncMode, edit::Tdm, edit::Obkatka,
                          edit::ManualShift, edit::CoefFile, edit::DecimationSplit, edit::Request, edit::ApplyToAll,
                          edit::ReadTable, edit::ReadBeRam, edit::SyncChoice, edit::SyncPreset, edit::RegisterBoxes,
                          edit::TakeDecoded, edit::Restore>;

// Where file edits find their files and report an unusable coefficient file.
struct EditContext {
    const Workspace* workspace = nullptr;
    CoefFileErrorSink* coefErrors = nullptr;
};

Effects ApplyEdit(Session& m, const Edit& e, const EditContext& context = {});

}  // namespace gc
