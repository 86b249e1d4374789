// Rules that every layer applies to the settings in the same way: the input
// mode in effect, the channel a channel runs, the decimations the chip takes,
// the total decimation and output rate, and the PFIR shift for a tap sum.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>

#include "core/model.h"

namespace gc {

// The input mode the derivation works with: ModeOfInput when it is 0..2, else
// 0 ("Full rate"), so a damaged lab file still gives a consistent image.
int EffectiveInputMode(const Settings& s);

// "A" .. "D" as the messages name a channel.
constexpr char ChannelLetter(int c) { return static_cast<char>('A' + c); }

// The channel whose settings channel i runs: itself in Full rate, the first of
// its pair (A for A and B, C for C and D) in SplitIQ and Double rate.
int SourceChannel(int mode, int i);

// The decimations the derivation writes and computes with. A CIC decimation
// below the input rate (ncic would go negative) or above kCicDecMax, and a PFIR
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

// Symmetry, peak and sum of a set of n taps, tap(i) giving tap i: the part of
// a set's CoefSetInfo that the taps alone decide. Both the fit and a program
// file read back describe their sets with it.
template <class Tap>
CoefSetInfo ScanTaps(int n, Tap tap) {
    bool sym = true;
    int32_t peak = -32767, sum = 0;
    for (int i = 0; i < n / 2; ++i) {
        const int32_t lo = tap(i), hi = tap(n - 1 - i);
        if (lo != hi) sym = false;
        peak = std::max({peak, lo, hi});
        sum += lo + hi;
    }
    const bool even = n % 2 == 0;
    if (!even) {
        const int32_t mid = tap((n - 1) / 2);
        sum += mid;
        peak = std::max(peak, mid);
    }
    CoefSetInfo info;
    info.symmetric = sym ? 1 : 0;
    info.even = even ? 1 : 0;
    info.symtype = sym ? (even ? 2 : 1) : 0;
    info.maxtap = static_cast<int16_t>(peak);
    info.sumtap = sum;
    return info;
}

// The 16-word blocks the PFIR runs for ntaps fitted taps of a set so described.
inline uint16_t BlocksOfSet(int ntaps, const CoefSetInfo& info) {
    if (!info.symmetric) return static_cast<uint16_t>(ntaps / 16);
    return static_cast<uint16_t>(info.even ? ntaps / 32 : (ntaps + 1) / 32);
}

}  // namespace gc
