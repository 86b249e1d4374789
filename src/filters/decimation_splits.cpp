#include "filters/decimation_splits.h"

#include <tuple>

#include <algorithm>
#include <cmath>

#include "core/channel_rules.h"
#include "core/text_io.h"

namespace gc {

DdcChannel SplitChannelOf(const Settings& s, const ChipState& chip, const DecimationState& d, int channel) {
    const int c = std::clamp(channel, 0, kChannels - 1);
    DdcChannel ch = ChannelAt(s.SystemClock, s.ModeOfInput, chip.workImage.cic_dec[c], chip.workImage.fir_dec[c]);
    ch.cicDecMin = d.CicDecMin;
    ch.cicDecStep = d.CicDecStep;
    return ch;
}

std::vector<DecimationSplit> ListDecimationSplits(const DdcChannel& ch) {
    std::vector<DecimationSplit> splits;
    const int step = std::max(1, ch.cicDecStep);
    for (int d = 1; d <= 8; ++d) {
        if (ch.TotalDec() < 1 || ch.TotalDec() % d != 0) continue;
        const int r = ch.TotalDec() / d;
        if (r < std::max(1, ch.cicDecMin) || r > kCicDecMax || r % step != 0) continue;
        splits.push_back({d, r});
    }
    return splits;
}

double SplitOutputRateHz(const DdcChannel& ch) {
    if (ch.systemClock <= 0 || ch.TotalDec() < 1) return 0.0;
    return static_cast<double>(ch.systemClock) / ch.TotalDec();
}

namespace {

double PassOf(const DdcChannel& ch, const SplitRequest& r) {
    return r.passHz > 0 ? r.passHz : kChainDefaultPassFraction * SplitOutputRateHz(ch);
}

}  // namespace

std::optional<std::string> CheckSplitRequest(const DdcChannel& ch, const SplitRequest& r) {
    const double fout = SplitOutputRateHz(ch);
    if (!(fout > 0)) return "the clock and the total decimation must be above 0";
    if (!std::isfinite(r.passHz) || !(PassOf(ch, r) < fout / 2.0))
        return StrPrintf("the passband edge must be above 0 and below half the output rate (%.3f Hz)", fout / 2.0);
    if (!(r.rippleDb > 0) || !std::isfinite(r.rippleDb)) return "the passband ripple must be above 0 dB";
    if (!(r.attenDb > 0) || !(r.attenDb <= 200)) return "the stopband attenuation must be above 0 and at most 200 dB";
    return std::nullopt;
}

SplitRow EvaluateSplit(const DdcChannel& ch, const DecimationSplit& split, const SplitRequest& r) {
    SplitRow row;
    row.split = split;
    DdcChannel pch = ch;
    pch.cicDec = split.cicDec;
    pch.firDec = split.firDec;
    row.ntaps = PfirDesignLength(pch, false);
    const double fout = SplitOutputRateHz(ch), pass = PassOf(ch, r);
    row.request.passHz = pass;
    // Everything from Fout - P up folds onto the passband; without PFIR
    // decimation the PFIR's own Nyquist frequency is as far as it goes.
    row.request.stopHz = std::min(fout - pass, PfirInputRateHz(pch) / 2.0);
    row.request.rippleDb = r.rippleDb;
    row.request.attenDb = r.attenDb;

    PfirDesign d = DesignPfir(pch, row.request);
    row.designed = d.ok();
    if (row.designed) row.taps = std::move(d.taps);
    pch.taps = row.taps;
    const ChainAnalysis a = AnalyseChain(pch, {pass, kChainDefaultPoints});
    row.cicAliasRejectionDb = a.figures.cicAliasRejectionDb;
    if (row.designed) {
        row.aliasRejectionDb = a.figures.aliasRejectionDb;
        row.passbandRippleDb = a.figures.passbandRippleDb;
    }
    return row;
}

void RankSplitRows(std::vector<SplitRow>& rows) {
    // Met rows by their smallest margin, largest first; then by shortfall; undesigned last.
    const auto key = [](const SplitRow& r) {
        return std::make_tuple(!r.designed, !r.margins.met, -r.margins.Smallest());
    };
    std::stable_sort(rows.begin(), rows.end(), [&](const SplitRow& a, const SplitRow& b) { return key(a) < key(b); });
}

std::string FormatSplitsTable(const std::vector<SplitRow>& rows) {
    std::string text =
        "pfir_decimation cic_decimation ntaps cic_alias_rejection_db alias_rejection_db passband_ripple_db\n";
    for (const SplitRow& r : rows) {
        text += StrPrintf("%d %d %d %.3f ", r.split.firDec, r.split.cicDec, r.ntaps, r.cicAliasRejectionDb);
        text += r.designed ? StrPrintf("%.3f %.3f\n", r.aliasRejectionDb, r.passbandRippleDb) : std::string("- -\n");
    }
    return text;
}

}  // namespace gc
