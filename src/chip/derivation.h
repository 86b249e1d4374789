// Register derivation: turns the settings (and each channel's fitted PFIR set)
// into the register fields of the work image. A pure recomputation: running it
// twice gives the same image; fields it does not touch keep what the register
// editors or an imported table put there.
#pragma once

#include <cstdint>
#include <optional>

#include "core/channel_rules.h"
#include "core/model.h"

namespace gc {

// The whole derivation, in the order the chip's blocks depend on each other:
// from the settings and the channels' fits (chip.fittedTaps, coefSetInfo and
// ManualFirShift) it writes chip.workImage, chip.coefRam and chip.ChannelMask.
void DeriveRegisters(const Settings& settings, ChipState& chip);

// The steps of the derivation, exposed for tests and for callers that need one.
void SetupInputMode(const Settings& st, ChipState& chip);
void SetupSummer(RegisterImage& w);
void SetupChannelTop(const Settings& st, ChipState& chip, int s, int i);
void SetupCicNco(const Settings& st, ChipState& chip, int s, int i);
void SetupPfirAgc(const Settings& st, ChipState& chip, int s, int i);
void SetupSync(const Settings& st, RegisterImage& w, int s, int i);
void SetupAddrGen(ChipState& chip, int s, int i);

// 5-stage CIC gain normalisation for a CIC decimation n.
struct CicShiftResult {
    uint16_t shift = 0;
    float norm = 0.0f;
};
// n below 1 counts as 1 (no decimation: full shift, norm 1) and n above the
// 16-bit field range as 65535, so no decimation divides by zero or overflows.
CicShiftResult CicShift(int64_t n);

// NCO frequency and phase words of a source channel.
struct NcoWordsResult {
    uint16_t freq_msb = 0;
    uint16_t freq_mid = 0;
    uint16_t freq_lsb = 0;
    uint16_t phase = 0;
};
// The 48-bit frequency word is the exact quotient -F * 2^48 / SystemClock,
// truncated toward zero (F doubled in Double rate); a SystemClock of 0 or less
// gives the word 0. A channel outside 0..3 gives all zeros.
NcoWordsResult NcoWords(const Settings& st, int s);
// The 48-bit frequency word itself, as a signed value (bits above 47 dropped
// into the two's complement of the 48-bit field).
int64_t NcoFreqWord(int64_t freqHz, int32_t systemClock, bool doubleRate);
// Phase advance of the second channel of a Double rate pair (one input
// sample), before the modulo 2^16; 0 when SystemClock is 0 or less.
int64_t DoubleRatePhaseAdvance(int32_t freqNco, int32_t systemClock);
// Radians to a 16-bit turn fraction; a phase that is not a finite number gives 0.
uint16_t PhaseWord(float phaseRad);

// Gain word G = truncate(Gain * 4096) split into (lsb, msb); a negative or
// non-finite gain gives 0, a gain above what 19 bits hold gives the largest word.
uint32_t GainWord(float gain);

// Fills channel `into`'s coefficient RAM image from channel `from`'s fitted
// taps: row 0 cleared, then block r of the set, taken backwards, into row r.
// Channels outside 0..3 are ignored.
void FillCoefRam(ChipState& chip, int from, int into);

// The FIR swap-sync table: rows fir_dec 0..8, columns nblocks 0..16.
inline constexpr int kSwapSyncRows = 9;
inline constexpr int kSwapSyncColumns = 17;
int16_t SwapSyncTable(int firDec, int nblocks);

// Takes clock, NCO frequencies, decimations and gains back from the work image
// (after a table file was read into it). Values that are not finite numbers
// give 0; values beyond the 32-bit settings saturate.
void SettingsFromImage(const RegisterImage& w, Settings& st);

// sck_div into the four channels' sck_div fields. The derivation leaves them
// alone: they follow the setting when the controls or a lab file are read.
void CopySckDiv(const Settings& st, RegisterImage& w);

}  // namespace gc
