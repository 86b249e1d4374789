// The channel's whole chain (five-stage CIC, PFIR, both decimations) folded
// onto its output band: what is wanted at each output frequency, the
// strongest of everything else that lands on it, and the figures a filter
// chain is judged by. The rates are those of the main plot: Fs the CIC input
// rate, R the CIC and D the PFIR decimation, Fout = Fs / (R D).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/model.h"
#include "filters/ddc_channel.h"

namespace gc {

inline constexpr int kChainDefaultPoints = 4096;
inline constexpr int kChainMinPoints = 2;
inline constexpr int kChainMaxPoints = 1 << 16;
inline constexpr double kChainDefaultPassFraction = 0.4;  // of the output rate

// The channel as the main window computes it: SystemClock, the register
// fields cic_dec and fir_dec, and the fitted taps in use.
DdcChannel ChainChannelOf(const Settings& s, const ChipState& chip, int channel);

double ChainOutputRateHz(const DdcChannel& ch);

// The channel's request: what its output band must meet. Stored per channel
// in the settings (ReqPassHz ..); an edge of 0 or less follows the output rate.
struct ChainRequest {
    double passHz = 0;  // passband edge P; 0 or less: kChainDefaultPassFraction of Fout
    int points = kChainDefaultPoints;
    double stopHz = 0;  // stopband edge S; 0 or less: Fout - P
    double rippleDb = 0.1;
    double attenDb = 80.0;  // both the alias rejection and the stopband attenuation asked
};
inline constexpr double kChainDefaultRippleDb = 0.1;
inline constexpr double kChainDefaultAttenDb = 80.0;

// The channel's stored request (edges as stored: 0 follows the output rate).
ChainRequest ChannelChainRequest(const Settings& s, int channel);
// Stores the request's P, S, ripple and attenuation for the channel.
void SetChannelChainRequest(Settings& s, int channel, const ChainRequest& r);
// The edges resolved against the channel's output rate: P and S as analysed.
// A stored ripple or attenuation that is not above 0 (a damaged file) takes its default.
ChainRequest ResolveChainRequest(const DdcChannel& ch, const ChainRequest& r);

// Why a request cannot be analysed (English, for the batch tool), or nullopt.
std::optional<std::string> CheckChainRequest(const DdcChannel& ch, const ChainRequest& r);

struct ChainFigures {
    double passbandRippleDb = 0;     // max - min of W over [0, P]
    double aliasRejectionDb = 0;     // smallest W / strongest image over [0, P]; +inf with no image
    double worstAliasHz = 0;         // the output frequency where it is smallest
    double worstAliasSourceHz = 0;   // the input frequency, relative to the NCO, whose image that is
    double cicAliasRejectionDb = 0;  // the same for the CIC alone and its images at multiples of Fs / R
    // The smallest W(0) / W over [S, Fout / 2], and where; nullopt when S >= Fout / 2.
    std::optional<double> stopbandAttenDb;
    double worstStopHz = 0;
};

// Each figure against the request: positive is met with that much to spare.
struct ChainMargins {
    double rippleDb = 0;               // asked - ripple
    double aliasDb = 0;                // alias rejection - asked (+inf with no image)
    std::optional<double> stopbandDb;  // stopband attenuation - asked; nullopt when not applicable
    bool met = false;                  // every margin at or above 0
    double Smallest() const;           // the least of the three (not-applicable ones left out)
    // The least of the attenuation margins (alias, stopband): what a met
    // request has to spare. The ripple's is left out, as the designer spends
    // the ripple allowed on attenuation on purpose.
    double AttenuationDb() const;
};
ChainMargins ChainRequestMargins(const ChainFigures& f, const ChainRequest& resolved);

// Curves over the output band: N points from 0 to Fout / 2, both included.
// Linear magnitudes with H normalised to 1 at DC (a PFIR whose taps sum to 0
// is left unnormalised); 0 where nothing folds onto a point.
struct ChainAnalysis {
    double inputRateHz = 0;
    double outputRateHz = 0;
    double passHz = 0;
    ChainRequest request;  // resolved: the edges as analysed
    ChainMargins margins;
    int cicDec = 1;
    int firDec = 1;
    std::vector<double> freqHz;
    std::vector<double> wanted;       // W(g) = H(g)
    std::vector<double> image;        // the strongest H(|g + k Fout|), k != 0
    std::vector<double> imageSource;  // g + k Fout of that image, Hz
    std::vector<double> cicImage;     // the strongest with k a multiple of D
    ChainFigures figures;
};

// The figures take the grid points up to P and P itself. Out-of-range input
// (a damaged lab file) is clamped: R to 1 .. kCicDecMax, D to 1 .. 8, the point
// count and P to their ranges; a rate that is not positive gives empty curves.
ChainAnalysis AnalyseChain(const DdcChannel& ch, const ChainRequest& r);

// Levels in dB relative to W's maximum, as the batch tool and the window's
// export write them; a zero value gives -inf.
struct ChainLevels {
    std::vector<double> wantedDb, imageDb, cicImageDb;
};
ChainLevels ChainLevelsDb(const ChainAnalysis& a);

// "freq_hz,wanted_db,strongest_image_db,strongest_cic_image_db", one line per point.
std::string FormatChainCsv(const ChainAnalysis& a);

// A figure with three decimals, "n/a" when it does not apply.
std::string OptionalDb(const std::optional<double>& v);

// The "key value" lines: the rates, the passband edge, the figures, the
// stopband edge and attenuation, the request's ripple and attenuation, each
// figure's margin and request_met 0 or 1.
std::string FormatChainSummary(const ChainAnalysis& a);

}  // namespace gc
