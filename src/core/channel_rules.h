// Rules that every layer applies to the settings in the same way: the input
// mode in effect, the channel a channel runs, the decimations the chip takes,
// the total decimation and output rate, and the PFIR shift for a tap sum.
#pragma once

#include <cstdint>
#include <optional>

#include "core/model.h"

namespace gc {

// The input mode the derivation works with: ModeOfInput when it is 0..2, else
// 0 ("Full rate"), so a damaged lab file still gives a consistent image.
int EffectiveInputMode(const Settings& s);

// The channel whose settings channel i runs: itself in Full rate, the first of
// its pair (A for A and B, C for C and D) in SplitIQ and Double rate.
int SourceChannel(int mode, int i);

// The decimations the derivation writes and computes with. A CIC decimation
// below the input rate (ncic would go negative) or above CicDecMax, and a PFIR
// decimation outside 1..8 (possible from a damaged lab file or an imported
// table), are clamped into range.
int DerivedCicDec(int cicDec, int rinRate);
int DerivedFirDec(int firDec);

// CicDec * FirDec, saturated to the 32-bit range.
int32_t ComputeTotalDec(int32_t cicDec, int32_t firDec);

// SystemClock / totalDec as a real quotient; 0 when either is 0 or negative.
float ComputeOutputRate(int32_t systemClock, int32_t totalDec);

// PFIR output shift for a tap sum S and the gain that results.
struct FirShiftResult {
    uint16_t shift = 0;  // low 16 bits of the shift (the manual one may be anything)
    float gain = 0.0f;
};
// manualShift, when present, replaces the computed shift (the "ЛЧМ" box).
FirShiftResult FirShift(int32_t sumtap, std::optional<int> manualShift = std::nullopt);

}  // namespace gc
