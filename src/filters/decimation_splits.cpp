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

SplitRequest SplitRequestOf(const ChainRequest& r) { return {r.passHz, r.stopHz, r.rippleDb, r.attenDb}; }

std::optional<std::string> CheckSplitRequest(const DdcChannel& ch, const SplitRequest& r) {
    const double fout = SplitOutputRateHz(ch);
    if (!(fout > 0)) return "the clock and the total decimation must be above 0";
    if (!std::isfinite(r.passHz) || !(PassOf(ch, r) < fout / 2.0))
        return StrPrintf("the passband edge must be above 0 and below half the output rate (%.3f Hz)", fout / 2.0);
    if (!std::isfinite(r.stopHz) || (r.stopHz > 0 && r.stopHz <= PassOf(ch, r)))
        return "the stopband edge must be above the passband edge";
    if (!(r.rippleDb > 0) || !std::isfinite(r.rippleDb)) return "the passband ripple must be above 0 dB";
    if (!(r.attenDb > 0) || !(r.attenDb <= 200)) return "the stopband attenuation must be above 0 and at most 200 dB";
    return std::nullopt;
}

double DesignStopHz(const DdcChannel& ch, double passHz, double stopHz) {
    // Everything from Fout - P up folds onto the passband, so the PFIR stops
    // there at the latest; without PFIR decimation its own Nyquist frequency
    // is as far as it goes.
    const double fout = PfirOutputRateHz(ch);
    const double s = stopHz > 0 ? stopHz : fout - passHz;
    return std::min({s, fout - passHz, PfirInputRateHz(ch) / 2.0});
}

SplitRow EvaluateSplit(const DdcChannel& ch, const DecimationSplit& split, const SplitRequest& r) {
    SplitRow row;
    row.split = split;
    DdcChannel pch = ch;
    pch.cicDec = split.cicDec;
    pch.firDec = split.firDec;
    row.ntaps = PfirDesignLength(pch, false);
    const double fout = SplitOutputRateHz(ch), pass = PassOf(ch, r);
    const double stop = r.stopHz > 0 ? r.stopHz : fout - pass;
    row.request.passHz = pass;
    row.request.stopHz = DesignStopHz(pch, pass, stop);
    row.request.rippleDb = r.rippleDb;
    row.request.attenDb = r.attenDb;

    PfirDesign d = DesignPfir(pch, row.request);
    row.designed = d.ok();
    if (row.designed) row.taps = std::move(d.taps);
    pch.taps = row.taps;
    ChainRequest at;
    at.passHz = pass;
    at.stopHz = stop;
    at.rippleDb = r.rippleDb;
    at.attenDb = r.attenDb;
    const ChainAnalysis a = AnalyseChain(pch, at);
    row.judged = a.request;
    row.cicAliasRejectionDb = a.figures.cicAliasRejectionDb;
    if (row.designed) {
        row.aliasRejectionDb = a.figures.aliasRejectionDb;
        row.passbandRippleDb = a.figures.passbandRippleDb;
        row.chain = a.figures;
        row.margins = a.margins;
    }
    return row;
}

void RankSplitRows(std::vector<SplitRow>& rows) {
    // Met rows by the attenuation they have to spare (their ripple is spent
    // on purpose), the others by their worst shortfall, smallest first.
    std::stable_sort(rows.begin(), rows.end(), [](const SplitRow& a, const SplitRow& b) {
        if (a.designed != b.designed) return a.designed;
        if (!a.designed) return false;
        if (a.margins.met != b.margins.met) return a.margins.met;
        if (a.margins.met) return a.margins.AttenuationDb() > b.margins.AttenuationDb();
        return a.margins.Smallest() > b.margins.Smallest();
    });
}

std::string FormatSplitsTable(const std::vector<SplitRow>& rows) {
    std::string text =
        "pfir_decimation cic_decimation ntaps cic_alias_rejection_db alias_rejection_db passband_ripple_db "
        "stopband_atten_db ripple_margin_db alias_margin_db stopband_margin_db request_met\n";
    for (const SplitRow& r : rows) {
        text += StrPrintf("%d %d %d %.3f ", r.split.firDec, r.split.cicDec, r.ntaps, r.cicAliasRejectionDb);
        if (!r.designed) {
            text += "- - - - - - 0\n";
            continue;
        }
        text += StrPrintf("%.3f %.3f ", r.chain.aliasRejectionDb, r.chain.passbandRippleDb) +
                OptionalDb(r.chain.stopbandAttenDb) + StrPrintf(" %.3f %.3f ", r.margins.rippleDb, r.margins.aliasDb) +
                OptionalDb(r.margins.stopbandDb) + (r.margins.met ? " 1\n" : " 0\n");
    }
    return text;
}

std::string FormatSplitRowSummary(const SplitRow& r) {
    return StrPrintf("pfir_decimation %d\ncic_decimation %d\nntaps %d\n", r.split.firDec, r.split.cicDec, r.ntaps) +
           StrPrintf("passband_hz %.3f\nstopband_hz %.3f\n", r.judged.passHz, r.judged.stopHz) +
           StrPrintf("passband_ripple_db %.3f\n", r.chain.passbandRippleDb) +
           StrPrintf("alias_rejection_db %.3f\n", r.chain.aliasRejectionDb) +
           StrPrintf("cic_alias_rejection_db %.3f\n", r.cicAliasRejectionDb) + "stopband_atten_db " +
           OptionalDb(r.chain.stopbandAttenDb) + "\n" + StrPrintf("ripple_margin_db %.3f\n", r.margins.rippleDb) +
           StrPrintf("alias_margin_db %.3f\n", r.margins.aliasDb) + "stopband_margin_db " +
           OptionalDb(r.margins.stopbandDb) + "\n" + StrPrintf("request_met %d\n", r.margins.met ? 1 : 0);
}

}  // namespace gc
