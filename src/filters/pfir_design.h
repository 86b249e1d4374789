// Designing a channel's PFIR: a linear-phase lowpass at the longest symmetric
// length the chip runs for the channel's decimations and input mode, with the
// CIC's passband droop optionally compensated, quantised to the 16-bit words
// of a coefficient file. Parks-McClellan first; a Kaiser-window design of the
// same length stands by for the cases where the exchange fails. Rounded, the
// taps are then searched one LSB at a time for a better 16-bit set.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "filters/chain_analysis.h"
#include "filters/responses.h"

namespace gc {

struct PfirDesignRequest {
    double passHz = 0;      // passband edge
    double stopHz = 0;      // stopband edge
    double rippleDb = 0.1;  // passband ripple, max - min
    double attenDb = 80.0;  // stopband attenuation below the passband maximum
    bool evenLength = false;
    bool compensateCic = true;
};

// Beyond this no 16-bit set gets anywhere near, and the weights of the
// exchange and Kaiser's window would overflow long before.
inline constexpr double kMaxDesignAttenDb = 200.0;

enum class PfirDesignField { Pass, Stop, Ripple, Atten };

// Why a field is refused; each front end words it.
enum class PfirRequestCause {
    NotANumber,  // text: what was typed
    PassNotAboveZero,
    StopNotAbovePass,
    StopAboveHalfInput,  // bound: half the PFIR input rate, Hz
    RippleNotAboveZero,
    AttenOutOfRange,  // bound: kMaxDesignAttenDb
    NoDesign,         // neither method gave a filter with these edges
};

struct PfirRequestError {
    PfirDesignField field;
    PfirRequestCause cause;
    double bound = 0;
    std::string text;
};

// The PFIR's input rate, SystemClock / CIC decimation (the decimation taken as
// the chip runs it), and the channel's output rate; 0 for a clock that is not positive.
double PfirInputRateHz(const DdcChannel& ch);
double PfirOutputRateHz(const DdcChannel& ch);

// The longest symmetric length of the parity that the length rule allows.
int PfirDesignLength(const DdcChannel& ch, bool evenLength);

// The widest passband the length can carry for the attenuation asked, with w
// the transition width of Kaiser's length estimate. With PFIR decimation the
// transition is centred on half the output rate (w at most a third of the
// output rate), so nothing folding onto the passband escapes the stopband;
// without it the stopband keeps a width of w below half the PFIR input rate
// (w at most a third of that half), as a stopband of a single point would
// leave the exchange free to raise a peak in the transition band. The passband
// edge lies w below the stopband edge. Ripple, attenuation and the flags are
// taken from base.
PfirDesignRequest DefaultPfirDesignRequest(const DdcChannel& ch, const PfirDesignRequest& base = {});

// Every field of the request that cannot be designed, each with its cause, in
// field order, at most one per field; empty when the request is good. NaN
// counts as bad everywhere.
std::vector<PfirRequestError> CheckPfirDesignRequest(const DdcChannel& ch, const PfirDesignRequest& r);

// Figures of the overall response (five-stage CIC times the PFIR) over 0 ...
// half the PFIR input rate.
struct PfirFigures {
    double passbandRippleDb = 0;  // max - min over 0 ... passband edge
    double stopbandAttenDb = 0;   // passband max over the worst level from the stopband edge on
    double transitionPeakDb = 0;  // the highest level between the edges, relative to the passband max
};

// Edges as fractions of the PFIR input rate (0 < pass < stop <= 0.5); taps in
// file order. Evaluated on at least 8192 intervals, both edges included.
PfirFigures EvaluatePfirFigures(const std::vector<int32_t>& taps, int cicDec, double passNorm, double stopNorm);

enum class PfirDesignMethod { Remez, Kaiser };
const char* PfirDesignMethodName(PfirDesignMethod m);  // "remez", "kaiser"

struct PfirDesign {
    std::vector<PfirRequestError> errors;  // non-empty: refused, nothing below is set
    int ntaps = 0;
    std::vector<double> ideal;  // before quantisation, largest tap 1 in magnitude
    std::vector<int32_t> taps;  // signed 16-bit, largest tap +-32767: the set written
    PfirFigures figures;        // of taps
    // Plain rounding's figures, and the attenuation the 16-bit search added to them.
    PfirFigures roundedFigures;
    double quantisationGainDb = 0;
    bool searched = false;  // the search has run on taps
    // The candidate not taken after rounding, searched too before the choice is final.
    struct Alternative {
        PfirDesignMethod method = PfirDesignMethod::Kaiser;
        std::vector<double> ideal;
        std::vector<int32_t> taps;
        PfirFigures figures;
    };
    std::optional<Alternative> alternative;
    // The folded chain once the set is the channel's file, with the passband
    // edge at the request's (at most half the output rate).
    ChainFigures chain;
    double chainPassHz = 0;
    PfirDesignMethod method = PfirDesignMethod::Remez;
    // The PFIR's own figures: ripple and attenuation as asked, and no bump in
    // the transition band higher than the ripple above the passband maximum.
    bool meetsRequest = false;
    bool remezFailed = false;  // the exchange gave non-finite taps or could not run
    // The overall response of the quantised set at the PFIR window's columns:
    // column i at i / 512 of the PFIR input rate. Linear, not normalised.
    ResponseCurve preview{};
    bool ok() const { return errors.empty(); }
};

// Designs both candidates and keeps the one that meets the request with the
// larger attenuation after rounding, Parks-McClellan on a tie. When neither
// meets it: the one whose passband ripple does, then the larger attenuation.
// Then spends the ripple allowed: the exchange is designed again with its
// passband error at a few shares of the ripple asked, every design is
// rounded and its 16-bit taps searched (SearchPfirTaps), and so are a few
// randomised roundings (a fixed seed) of the best. Kept is the set with the
// most attenuation whose ripple is within the request and whose transition
// band is not above the passband; the rounded figures are those of its
// design's plain rounding. Taps are designed at the edges moved outward onto
// a grid of 2^-20 of the input rate; the figures are at the edges asked.
PfirDesign DesignPfir(const DdcChannel& ch, const PfirDesignRequest& r);

// The two steps of DesignPfir, for a window that shows the rounded set at
// once: the design with its taps rounded, then the search on it (stopped
// early when cancel is set, keeping what it gained so far).
PfirDesign DesignPfirRounded(const DdcChannel& ch, const PfirDesignRequest& r);
PfirDesign SearchPfirDesign(const DdcChannel& ch, const PfirDesignRequest& r, PfirDesign rounded,
                            const std::atomic<bool>* cancel = nullptr);

struct PfirTapSearch {
    std::vector<int32_t> taps;
    int changedTaps = 0;
    int steps = 0;
    bool cancelled = false;
};

// Steepest descent over the rounded taps in steps of one LSB on a symmetric
// pair: each step takes the move that lowers the sum of the 16th powers of
// the overall response's stopband levels the most, while the worst of them
// (relative to the passband maximum) does not rise, the passband ripple stays
// within rippleDb and the transition band not above the passband maximum (or
// no worse than rounding left them). Taps at full scale stay. Edges as fractions of the PFIR input
// rate, on the grid of EvaluatePfirFigures.
PfirTapSearch SearchPfirTaps(const std::vector<int32_t>& rounded, int cicDec, double passNorm, double stopNorm,
                             double rippleDb, const std::atomic<bool>* cancel = nullptr);

// Where the design of a default request misses the attenuation asked and
// nothing else: the attenuation its 16-bit set reaches, floored to 0.1 dB,
// to be the default instead. nullopt when the request is met, the design is
// refused, or the ripple or the transition peak misses too.
std::optional<double> ReachableDefaultAttenDb(const PfirDesign& d, const PfirDesignRequest& r);

// The chain the channel runs once the set is its coefficient file: the taps
// fitted as a loaded file is, the decimations as the chip runs them.
DdcChannel DesignedChainChannel(const DdcChannel& ch, const std::vector<int32_t>& taps);

// A figure of a design that misses its request.
enum class PfirFigure { Ripple, StopbandAtten, TransitionPeak, AliasRejection };
struct PfirShortfall {
    PfirFigure figure;
    double value = 0;         // dB, as reported
    double required = 0;      // dB, the request's bound
    bool cicLimited = false;  // alias rejection: the CIC alone lets through more than asked
};

// Every figure of the design that misses the request, in the order above;
// empty when it meets every one. The ripple and the transition peak are held
// to the ripple asked, the attenuation and the alias rejection to the
// attenuation asked.
std::vector<PfirShortfall> PfirDesignShortfalls(const PfirDesign& d, const PfirDesignRequest& r);

// The two candidates alone (ideal taps, largest 1 in magnitude), for tests
// and comparisons; an empty vector when the method fails. Edges as fractions
// of the PFIR input rate.
std::vector<double> DesignRemezTaps(int ntaps, int cicDec, double passNorm, double stopNorm, double rippleDb,
                                    double attenDb, bool compensate);
std::vector<double> DesignKaiserTaps(int ntaps, int cicDec, double passNorm, double stopNorm, double attenDb,
                                     bool compensate);

// Signed 16-bit words, scaled so that the largest tap is +-32767, rounded to
// nearest. All-zero or non-finite input gives an empty vector.
std::vector<int32_t> QuantisePfirTaps(const std::vector<double>& ideal);

}  // namespace gc
