// The synchronisation dialog's model side: the sync-source codes and their
// item texts, the eleven per-channel sync settings, the two presets, and the
// sync fields written with each channel as its own source.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "core/model.h"

namespace gc {

// The chip's sync-source codes; a combo box's item index is the code.
inline constexpr int kSyncCodes = 8;
inline constexpr int kSoBSyncItems = 7;  // the soB_sync list stops at code 6
inline constexpr int32_t kSyncSia = 2;
inline constexpr int32_t kSyncOneShot = 4;
const std::array<std::string_view, kSyncCodes>& SyncCodeTexts();

// The rows of the grid, in order: the label and the per-channel setting.
struct SyncRow {
    std::string_view label;
    int32_t (Settings::*setting)[kChannels];
};
inline constexpr int kSyncRows = 11;
const std::array<SyncRow, kSyncRows>& SyncRows();

// The item to select for a setting: the code itself, or -1 (no selection)
// for a value the list has no item for (soB_sync 7, a damaged lab value).
int SyncItemIndex(int32_t value, int items);

// The selection of all 45 combo boxes, -1 where nothing is selected.
struct SyncSelection {
    int soB = -1;
    std::array<std::array<int, kChannels>, kSyncRows> grid{};  // [row][channel]
};
SyncSelection SyncSelectionOf(const Settings& s);
// Combo boxes -> settings, soB_sync first, then channel A's rows, B's, C's, D's.
// A box without selection keeps its setting: it never stores -1.
void ReadSyncSelection(Settings& s, const SyncSelection& sel);

// "one_shot" (code 4) and "SIA" (code 2): soB_sync and, in all four channels,
// nco_sync, cic_sync, fir_sync and sck_sync take the code; the rest stay.
void ApplySyncPreset(Settings& s, int32_t code);

// The sync fields of every channel of the work image from that channel's own
// settings (the derivation takes B's and D's from A and C in the paired modes).
void WriteOwnSyncFields(const Settings& s, RegisterImage& workImage);

}  // namespace gc
