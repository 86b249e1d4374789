// The register page map: where every written field lies in the chip's pages
// and registers, the two per-channel page tables (pages 16 and 17 of each
// channel) and the ordered list of triples that the program file carries.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/model.h"

namespace gc {

inline constexpr int kPage17BankRows = 110;
// The rows from which each channel's page-17 table is copied.
extern const std::array<PageTable, kPage17BankRows> Page17Bank;

// Number of triples BuildRegisterWriteList produces.
inline constexpr int kRegisterWriteListSize = 1328;

constexpr RegisterWrite MakeRegisterWrite(unsigned page, unsigned reg, unsigned value) {
    return ((page & 0xFFu) << 24) | ((reg & 0xFFu) << 16) | (value & 0xFFFFu);
}
constexpr unsigned WritePage(RegisterWrite w) { return w >> 24; }
constexpr unsigned WriteRegister(RegisterWrite w) { return (w >> 16) & 0xFFu; }
constexpr unsigned WriteValue(RegisterWrite w) { return w & 0xFFFFu; }

// The chip tool's own values of pages 32c+16 and 32c+17: words 512..527 and
// 528..543 of the channel's coefficient store, above what a coefficient file fills.
std::span<int16_t, 16> ToolPage16Table(ChipState& chip, int channel);
std::span<int16_t, 16> ToolPage17Table(ChipState& chip, int channel);
std::span<const int16_t, 16> ToolPage16Table(const ChipState& chip, int channel);
std::span<const int16_t, 16> ToolPage17Table(const ChipState& chip, int channel);

// The row of Page17Bank for a channel's PFIR decimation, symmetry type and
// block count in the given input mode; -1 when none is defined (decimation
// outside 1..8, symtype outside 0..2, a block count that runs past its rows).
int Page17BankRow(int mode, int firDec, int symtype, int nblocks);

// Recompute the page-16 / page-17 table of every channel from the settings and
// the fits. In the paired modes a pair takes the tables of its first channel.
// A channel without a defined table keeps its previous contents.
void FillPage16Tables(const Settings& settings, ChipState& chip);
void FillPage17Tables(const Settings& settings, ChipState& chip);

// Rebuilds registerWriteList from workImage: exactly 1328 triples in the
// chip's programming order. Clears sumin_clr in the image first. With the
// "ЛЧМ" box checked (ManualFirShift set) coefficient words are scaled by scaleFir.
void BuildRegisterWriteList(const Settings& settings, ChipState& chip);

// One field of a written register: its name in the register table and its bits.
struct RegisterFieldSpan {
    std::string name;
    int shift = 0;
    int width = 16;
};
// The fields packed into register reg of page: a field runs up to the next
// field's first bit. Coefficient and page-table words, and registers written
// whole, are one field named after the word ("coef[3][5]", "page17[2]", "word").
std::vector<RegisterFieldSpan> FieldsOfRegister(unsigned page, unsigned reg);

// Words, over the four channels, in which our page table differs from the tool's.
int CountPage16Mismatches(const Settings& settings, const ChipState& chip);
int CountPage17Mismatches(const Settings& settings, const ChipState& chip);

}  // namespace gc
