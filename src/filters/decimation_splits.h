// The ways a channel's total decimation can be split between the CIC and the
// PFIR, each judged by the folded chain: what the CIC alone lets through
// onto the passband, and what a PFIR designed at that split achieves.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "filters/chain_analysis.h"
#include "filters/pfir_design.h"

namespace gc {

// The channel as the main window runs it: the derived decimations (their
// total is what the splits share out) and the CIC range of the input mode.
DdcChannel SplitChannelOf(const Settings& s, const ChipState& chip, const DecimationState& d, int channel);

// One PFIR decimation 1 .. 8 that divides the total, with its CIC decimation.
struct DecimationSplit {
    int firDec = 1;
    int cicDec = 1;
};

// Every split the chip runs, PFIR decimation ascending.
std::vector<DecimationSplit> ListDecimationSplits(const DdcChannel& ch);

// The output rate of every split; 0 for a clock that is not positive.
double SplitOutputRateHz(const DdcChannel& ch);

struct SplitRequest {
    double passHz = 0;  // 0 or less: kChainDefaultPassFraction of the output rate
    double stopHz = 0;  // 0 or less: Fout - P; a row designs to min(S, Fout - P)
    double rippleDb = 0.1;
    double attenDb = 80.0;
};

// The splits' request from a channel's: its edges as stored (0 follows the output rate).
SplitRequest SplitRequestOf(const ChainRequest& r);

// Why the request cannot be worked out (English), or nullopt: the passband
// edge must lie below half the output rate, so that a stopband is left.
std::optional<std::string> CheckSplitRequest(const DdcChannel& ch, const SplitRequest& r);

struct SplitRow {
    DecimationSplit split;
    int ntaps = 0;
    PfirDesignRequest request;  // the design asked for: stopband at min(S, Fout - P)
    bool designed = false;      // false: no design at this split (figures below unset but the CIC's)
    std::vector<int32_t> taps;
    double cicAliasRejectionDb = 0;
    double aliasRejectionDb = 0;
    double passbandRippleDb = 0;
    ChainRequest judged;   // the request the chain was judged at, edges resolved
    ChainFigures chain;    // the whole chain with the row's taps, at the request
    ChainMargins margins;  // of chain against the request
};

// The stopband edge a design for P and S takes at the channel's decimations
// (S of 0 or less: Fout - P): S, at most Fout - P and half the PFIR input rate.
double DesignStopHz(const DdcChannel& ch, double passHz, double stopHz);

// Designs the row's PFIR at the request and folds the chain at it. Independent
// of the other rows, so the rows can be worked out in any order or on several threads.
SplitRow EvaluateSplit(const DdcChannel& ch, const DecimationSplit& split, const SplitRequest& r);

// The rows best first: those that meet the request by their smallest
// attenuation margin (alias or stopband), largest first; then the others by shortfall, smallest first; rows without
// a design last. Stable among equals.
void RankSplitRows(std::vector<SplitRow>& rows);

// The header and one line per row in the order given: the chain's figures
// and margins with three decimals ("n/a" where no stopband is left, "-"
// where a design failed) and request_met 0 or 1.
std::string FormatSplitsTable(const std::vector<SplitRow>& rows);

// One row as "key value" lines: the split, the length, the edges it was
// judged at, the chain's figures and margins and request_met 0 or 1.
std::string FormatSplitRowSummary(const SplitRow& r);

}  // namespace gc
