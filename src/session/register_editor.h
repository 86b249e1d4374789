// The nine register editor dialogs as data: each dialog is a list of rows,
// each row binds one field of the work register image per column. The
// dialogs only copy the texts made here into their boxes and back; the
// 16-bit reduction on store happens here, so tests need no window.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/model.h"

namespace gc {

// How a row's value is shown.
enum class FieldShow : uint8_t {
    Unsigned,  // the 16-bit word as 0..65535
    Signed,    // the 16-bit word as -32768..32767
    Int32,     // a 32-bit value (display only)
    Fixed3,    // a real value with 3 decimals (display only)
    Fixed6,    // a real value with 6 decimals (display only)
};

// One row: a field name and, per column, where its value lives. `columns` is 4
// for a row with one box per channel and 1 for a chip-wide field.
struct RegisterRow {
    std::string_view label;
    int columns = kChannels;
    FieldShow show = FieldShow::Unsigned;
    // 16-bit fields: the word of a column, and its store (null: display only).
    uint16_t (*word)(const RegisterImage&, int column) = nullptr;
    void (*store)(RegisterImage&, int column, uint16_t word) = nullptr;
    // Wider or real values, display only.
    double (*number)(const RegisterImage&, int column) = nullptr;
};

// A captioned run of rows ("Power Meter"); most dialogs have one group with no caption.
struct RegisterGroup {
    std::string_view caption;
    std::vector<RegisterRow> rows;
};

struct RegisterDialogDef {
    std::string_view button;  // the main window's button that opens it
    std::string_view title;
    std::string_view openName;  // its name on the command line (--open)
    bool editable = true;       // false: display only, no store on Enter or leave
    std::vector<RegisterGroup> groups;
};

// The nine dialogs in the order they are created.
enum class RegisterDialogId : uint8_t { AddrGen, CicMix, FirCont, Output, Agc, Global, Transmit, Timer, Pseudo };
inline constexpr int kRegisterDialogCount = 9;
const std::array<RegisterDialogDef, kRegisterDialogCount>& RegisterDialogDefs();
const RegisterDialogDef& RegisterDialog(RegisterDialogId id);

// One box of a dialog. Boxes are walked column by column: column A's rows
// from top to bottom, then B, C, D, as the store reads them.
struct RegisterBox {
    int group = 0;
    int row = 0;
    int column = 0;
};
std::vector<RegisterBox> RegisterBoxes(const RegisterDialogDef& def);
const RegisterRow& RowOf(const RegisterDialogDef& def, const RegisterBox& box);
bool HasChannelColumns(const RegisterDialogDef& def);

// The text of one box from the image.
std::string RegisterBoxText(const RegisterImage& image, const RegisterRow& row, int column);

// A box whose text is not an integer: which box, and the message naming the field and the text.
struct RegisterStoreError {
    size_t box = 0;
    std::string message;
};

// Stores the texts (one per box, in RegisterBoxes order) into the image: each
// integer's low 16 bits go into its field, so 70000 is kept as 4464 and -1 as
// 65535. Stops at the first text that is not an integer: the boxes before it
// are stored, that field and the rest keep their values.
std::optional<RegisterStoreError> StoreRegisterBoxes(RegisterImage& image, const RegisterDialogDef& def,
                                                     const std::vector<std::string>& texts);

}  // namespace gc
