#include "filters/pfir_fit.h"

#include <algorithm>
#include <cstdint>

#include "core/channel_rules.h"

namespace gc {

PfirLength PfirLengthLimit(int mode, int cicDec, int firDec) {
    firDec = std::clamp(firDec, 1, 8);
    if (mode < 0 || mode > 2) mode = 0;  // as the derivation reads an unknown input mode
    const int cap = mode > 0 ? 256 : 128;
    const int step = 16 * firDec;
    // 64 bits: a CIC decimation from a damaged file may be anything.
    const int64_t limit = mode == 1 ? int64_t{step} * cicDec : int64_t{step} * (cicDec / 2);
    int len = step;
    while (len <= limit) {
        if (len > cap) {
            len -= step;
            break;
        }
        if (len == cap || len == limit) break;
        len += step;
    }
    return {step, (len - step) / step + 1};
}

int PfirMaxLength(const PfirLength& lim, bool symmetric, int n) {
    if (!symmetric) return lim.count * lim.step;
    return 2 * lim.count * lim.step - (n % 2 != 0 ? 1 : 0);
}

PfirFitColour PfirFitColourOf(int n, int lmax) {
    if (n > lmax) return PfirFitColour::Red;
    if (n == lmax) return PfirFitColour::Face;
    return PfirFitColour::Yellow;
}

const char* PfirFitColourName(PfirFitColour c) {
    switch (c) {
        case PfirFitColour::Red:
            return "red";
        case PfirFitColour::Yellow:
            return "yellow";
        case PfirFitColour::Face:
            break;
    }
    return "face";
}

void FitPfirToChannel(const Settings& s, ChipState& m, int channel, int n) {
    if (channel < 0 || channel >= kChannels || n < 1) return;
    n = std::min(n, kMaxTaps);
    const auto& C = m.workImage.pfir[static_cast<size_t>(channel)].coef;
    auto tap = [&](int i) { return static_cast<int32_t>(C[static_cast<size_t>(i)]); };

    CoefSetInfo info = ScanTaps(n, tap);
    const bool sym = info.symmetric != 0;
    const int32_t sum = info.sumtap;

    // Allowed lengths: lmax - inc * k, k = 0..count-1.
    const PfirLength lim = PfirLengthLimit(s.ModeOfInput, s.CicDec[channel], s.FirDec[channel]);
    const int lmax = PfirMaxLength(lim, sym, n);
    const int inc = sym ? 2 * lim.step : lim.step;

    FittedTapSet& F = m.fittedTaps[static_cast<size_t>(channel)];
    F.fill(0);
    int ntaps = n;
    int offset = 0;  // where loaded tap 0 lands (negative: the cut drops taps in front)
    if (n > lmax) {
        ntaps = lmax;
        offset = -((n - lmax) / 2);
    } else if (n < lmax) {
        for (int k = 0; k < lim.count; ++k) {
            if (lmax - inc * k > n && lmax - inc * (k + 1) < n) {
                ntaps = lmax - inc * k;
                break;
            }
        }
        offset = (ntaps - n) / 2;
    }
    // Every length here is at most 512, so both ranges stay inside both arrays.
    for (int k = 0; k < ntaps; ++k) {
        int src = k - offset;
        if (src >= 0 && src < n) F[static_cast<size_t>(k)] = tap(src);
    }

    info.ntaps = static_cast<uint16_t>(ntaps);
    info.nblocks = BlocksOfSet(ntaps, info);
    info.pfir_gain = FirShift(sum, m.ManualFirShift).gain;

    m.coefSetInfo[static_cast<size_t>(channel)] = info;
    m.pfirFitColour[static_cast<size_t>(channel)] = PfirFitColourOf(n, lmax);
}

void FitPfirToChannel(const Settings& s, ChipState& m, int channel) {
    if (channel < 0 || channel >= kChannels) return;
    FitPfirToChannel(s, m, channel, m.workImage.ncoefs[channel]);
}

}  // namespace gc
