// Fitting a channel's loaded PFIR taps to the length the chip can run at the
// channel's current decimation.
#pragma once

#include "core/model.h"

namespace gc {

// The allowed PFIR lengths are the multiples step * k, k = 1..count (doubled,
// less one for an odd count of taps, for a symmetric set).
struct PfirLength {
    int step = 16;
    int count = 1;
};

// firDec outside 1..8 (a damaged lab file or an imported table) is clamped to
// that range, so the step never divides by zero and no allowed length exceeds
// the 512 entries of a fitted set. A mode outside 0..2 counts as 0 ("Full
// rate"), as in the derivation. Any cicDec gives a result.
PfirLength PfirLengthLimit(int mode, int cicDec, int firDec);

// Longest length the chip runs for a set of n taps with the given symmetry.
int PfirMaxLength(const PfirLength& lim, bool symmetric, int n);

// The box colour for n loaded taps against the longest allowed length.
PfirFitColour PfirFitColourOf(int n, int lmax);
const char* PfirFitColourName(PfirFitColour c);  // "red", "face", "yellow"

// Fits the first n taps of the channel's coefficient store (workImage) to the
// channel: fills fittedTaps, coefSetInfo and pfirFitColour of the channel.
// n above 512 is taken as 512; n below 1 (nothing loaded) leaves the previous
// fit as it is. A channel outside 0..3 is ignored.
void FitPfirToChannel(const Settings& s, ChipState& chip, int channel, int n);
// Refit with the channel's ncoefs.
void FitPfirToChannel(const Settings& s, ChipState& chip, int channel);

}  // namespace gc
