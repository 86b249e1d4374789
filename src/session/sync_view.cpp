#include "session/sync_view.h"

#include "chip/derivation.h"

namespace gc {

const std::array<std::string_view, kSyncCodes>& SyncCodeTexts() {
    static const std::array<std::string_view, kSyncCodes> texts = {"Off",      "Off", "SIA",         "SIB",
                                                                   "one_shot", "TC",  "On (always)", "On (always)"};
    return texts;
}

const std::array<SyncRow, kSyncRows>& SyncRows() {
    static const std::array<SyncRow, kSyncRows> rows = {{
        {"freq_sync", &Settings::freq_sync},
        {"phase_sync", &Settings::phase_sync},
        {"dith_sync", &Settings::dith_sync},
        {"nco_sync", &Settings::nco_sync},
        {"flush_sync", &Settings::flush_sync},
        {"cic_sync", &Settings::cic_sync},
        {"fir_sync", &Settings::fir_sync},
        {"coef_sync", &Settings::coef_sync},
        {"gain_sync", &Settings::gain_sync},
        {"pwr_mtr_sync", &Settings::pwr_mtr_sync},
        {"sck_sync", &Settings::sck_sync},
    }};
    return rows;
}

int SyncItemIndex(int32_t value, int items) { return value >= 0 && value < items ? value : -1; }

SyncSelection SyncSelectionOf(const Settings& s) {
    SyncSelection sel;
    sel.soB = SyncItemIndex(s.soB_sync, kSoBSyncItems);
    for (int r = 0; r < kSyncRows; ++r)
        for (int c = 0; c < kChannels; ++c) sel.grid[r][c] = SyncItemIndex((s.*SyncRows()[r].setting)[c], kSyncCodes);
    return sel;
}

void ReadSyncSelection(Settings& s, const SyncSelection& sel) {
    auto read = [](int32_t& setting, int index, int items) {
        if (index >= 0 && index < items) setting = index;
    };
    read(s.soB_sync, sel.soB, kSoBSyncItems);
    for (int c = 0; c < kChannels; ++c)
        for (int r = 0; r < kSyncRows; ++r) read((s.*SyncRows()[r].setting)[c], sel.grid[r][c], kSyncCodes);
}

void ApplySyncPreset(Settings& s, int32_t code) {
    s.soB_sync = code;
    for (int c = 0; c < kChannels; ++c) {
        s.nco_sync[c] = code;
        s.cic_sync[c] = code;
        s.fir_sync[c] = code;
        s.sck_sync[c] = code;
    }
}

void WriteOwnSyncFields(const Settings& s, RegisterImage& workImage) {
    for (int c = 0; c < kChannels; ++c) SetupSync(s, workImage, c, c);
}

}  // namespace gc
