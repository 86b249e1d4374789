#include "filters/pfir_design.h"

#include <liquid/liquid.h>
#include <numbers>

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <limits>
#include <memory>

#include "core/channel_rules.h"
#include "filters/pfir_design_exchange.h"
#include "filters/pfir_fit.h"
#include "filters/responses.h"

namespace gc {

namespace {

constexpr int32_t kTapFullScale = 32767;
// Grid of the figures: intervals over 0 ... half the PFIR input rate.
constexpr int kFigureIntervals = 8192;
// Simpson intervals of the compensated Kaiser design's integral.
constexpr int kKaiserIntervals = 8192;
// The grid of the design's edges, a fraction of the PFIR input rate (some 50 Hz at 50 MHz).
constexpr double kEdgeGrid = 1.0 / (1 << 20);
// Figures compared against the request: rounding of the dB values only.
constexpr double kFigureTolerance = 1e-9;

// The CIC decimation the chip runs (as the derivation clamps it).
int RunCicDec(const DdcChannel& ch) {
    const int mode = ch.modeOfInput >= 0 && ch.modeOfInput <= 2 ? ch.modeOfInput : 0;
    return DerivedCicDec(ch.cicDec, mode == 2 ? 2 : 1);
}

// Five-stage CIC of decimation R at nu, a fraction of the PFIR input rate,
// normalised to 1 at DC; the single-stage ratio is rectified as the main plot does.
double CicGain(int R, double nu) { return CicGainAt(R, std::numbers::pi * nu / R); }

// Peak deviation from 1 of a passband whose max / min is rippleDb.
double PassDeviation(double rippleDb) { return std::tanh(rippleDb * std::log(10.0) / 40.0); }

double StopDeviation(double attenDb) { return std::pow(10.0, -attenDb / 20.0); }

// Mirror-averages and scales to a largest tap of 1; empty when nothing finite is left.
std::vector<double> SymmetricUnit(std::vector<double> h) {
    const size_t n = h.size();
    for (size_t i = 0; i < n / 2; ++i) {
        const double v = 0.5 * (h[i] + h[n - 1 - i]);
        h[i] = h[n - 1 - i] = v;
    }
    double peak = 0;
    for (double v : h) {
        if (!std::isfinite(v)) return {};
        peak = std::max(peak, std::fabs(v));
    }
    if (peak <= 0) return {};
    for (double& v : h) v /= peak;
    return h;
}

// The exchange's target: the error weighted by the CIC is that of the whole
// chain, c * (1/c - H) = 1 - c * H in the passband and K c H in the stopband.
ExchangeTarget RemezTarget(int R, double passNorm, double stopNorm, double stopWeight, bool compensate) {
    const double split = 0.5 * (passNorm + stopNorm);
    return [=](double f, double& desired, double& weight) {
        const double c = compensate ? CicGain(R, f) : 1.0;
        desired = f < split ? 1.0 / c : 0.0;
        weight = f < split ? c : stopWeight * c;
    };
}

bool Meets(const PfirFigures& f, const PfirDesignRequest& r) {
    return f.passbandRippleDb <= r.rippleDb + kFigureTolerance && f.stopbandAttenDb >= r.attenDb - kFigureTolerance &&
           f.transitionPeakDb <= r.rippleDb;
}

struct Candidate {
    PfirDesignMethod method;
    std::vector<double> ideal;
    std::vector<int32_t> taps;
    PfirFigures figures;
    bool rippleOk = false;
    bool meets = false;
};

struct Edges {
    int R;
    double passNorm, stopNorm;
};

Candidate Rounded(PfirDesignMethod method, std::vector<double> ideal, std::vector<int32_t> taps, const Edges& e,
                  const PfirDesignRequest& r) {
    Candidate c{method, std::move(ideal), std::move(taps), {}, false, false};
    if (c.taps.empty()) return c;
    c.figures = EvaluatePfirFigures(c.taps, e.R, e.passNorm, e.stopNorm);
    c.rippleOk = c.figures.passbandRippleDb <= r.rippleDb + kFigureTolerance;
    c.meets = Meets(c.figures, r);
    return c;
}

// Ranks a candidate: meeting the request first, then a passband within the
// ripple asked, then the attenuation.
bool Better(const Candidate& a, const Candidate& b) {
    if (a.taps.empty() || b.taps.empty()) return !a.taps.empty();
    if (a.meets != b.meets) return a.meets;
    if (a.rippleOk != b.rippleOk) return a.rippleOk;
    return a.figures.stopbandAttenDb > b.figures.stopbandAttenDb;
}

}  // namespace

double PfirInputRateHz(const DdcChannel& ch) {
    if (ch.systemClock <= 0) return 0.0;
    return static_cast<double>(ch.systemClock) / RunCicDec(ch);
}

double PfirOutputRateHz(const DdcChannel& ch) { return PfirInputRateHz(ch) / DerivedFirDec(ch.firDec); }

int PfirDesignLength(const DdcChannel& ch, bool evenLength) {
    // The same rule as the fit, so the designed set is used as it stands.
    const PfirLength lim = PfirLengthLimit(ch.modeOfInput, ch.cicDec, ch.firDec);
    return PfirMaxLength(lim, true, evenLength ? 2 : 1);
}

PfirDesignRequest DefaultPfirDesignRequest(const DdcChannel& ch, const PfirDesignRequest& base) {
    PfirDesignRequest r = base;
    const double fp = PfirInputRateHz(ch);
    const int n = PfirDesignLength(ch, r.evenLength);
    // Kaiser's estimate N - 1 = (A - 7.95) / (14.36 df), with its small-attenuation form below 21 dB.
    const double a = std::isfinite(r.attenDb) ? r.attenDb : 80.0;
    const double k = a > 21.0 ? (a - 7.95) / 14.36 : 0.9222;
    double w = fp * k / std::max(1, n - 1);
    const double fout = PfirOutputRateHz(ch);
    if (DerivedFirDec(ch.firDec) > 1) {
        w = std::min(w, fout / 3.0);
        r.stopHz = (fout + w) / 2.0;
    } else {
        w = std::min(w, fp / 6.0);
        r.stopHz = fp / 2.0 - w;
    }
    r.passHz = r.stopHz - w;
    return r;
}

std::vector<PfirRequestError> CheckPfirDesignRequest(const DdcChannel& ch, const PfirDesignRequest& r) {
    using enum PfirRequestCause;
    std::vector<PfirRequestError> e;
    const auto refuse = [&](PfirDesignField f, PfirRequestCause c, double bound = 0) {
        e.push_back({f, c, bound, {}});
    };
    const double half = PfirInputRateHz(ch) / 2.0;
    if (!(r.passHz > 0)) refuse(PfirDesignField::Pass, PassNotAboveZero);
    if (!(r.stopHz > r.passHz) && !std::isnan(r.passHz))
        refuse(PfirDesignField::Stop, StopNotAbovePass);
    else if (!(r.stopHz <= half))
        refuse(PfirDesignField::Stop, StopAboveHalfInput, half);
    if (!(r.rippleDb > 0) || !std::isfinite(r.rippleDb)) refuse(PfirDesignField::Ripple, RippleNotAboveZero);
    if (!(r.attenDb > 0) || !(r.attenDb <= kMaxDesignAttenDb))
        refuse(PfirDesignField::Atten, AttenOutOfRange, kMaxDesignAttenDb);
    return e;
}

PfirFigures EvaluatePfirFigures(const std::vector<int32_t>& taps, int cicDec, double passNorm, double stopNorm) {
    PfirFigures f;
    const int R = std::max(1, cicDec);
    std::vector<double> nu;
    nu.reserve(kFigureIntervals + 3);
    for (int k = 0; k <= kFigureIntervals; ++k) nu.push_back(0.5 * k / kFigureIntervals);
    nu.push_back(passNorm);
    nu.push_back(stopNorm);

    double passMax = 0, passMin = std::numeric_limits<double>::infinity(), stopMax = 0, transMax = 0;
    std::array<double, kResponsePoints> angles{}, mags{};
    for (size_t start = 0; start < nu.size(); start += kResponsePoints) {
        const size_t count = std::min<size_t>(kResponsePoints, nu.size() - start);
        for (size_t i = 0; i < kResponsePoints; ++i)
            angles[i] = 2.0 * std::numbers::pi * (i < count ? nu[start + i] : 0.0);
        TapPolynomialMagnitudes(taps.data(), static_cast<int>(taps.size()), angles.data(), mags.data());
        for (size_t i = 0; i < count; ++i) {
            const double v = nu[start + i];
            const double m = mags[i] * CicGain(R, v);
            if (v <= passNorm) {
                passMax = std::max(passMax, m);
                passMin = std::min(passMin, m);
            }
            if (v >= stopNorm) stopMax = std::max(stopMax, m);
            if (v >= passNorm && v <= stopNorm) transMax = std::max(transMax, m);
        }
    }
    f.passbandRippleDb = 20.0 * std::log10(passMax / passMin);
    f.stopbandAttenDb = 20.0 * std::log10(passMax / stopMax);
    f.transitionPeakDb = 20.0 * std::log10(transMax / passMax);
    return f;
}

const char* PfirDesignMethodName(PfirDesignMethod m) { return m == PfirDesignMethod::Kaiser ? "kaiser" : "remez"; }

std::vector<double> DesignRemezTaps(int ntaps, int cicDec, double passNorm, double stopNorm, double rippleDb,
                                    double attenDb, bool compensate) {
    if (ntaps < 3 || ntaps > kMaxTaps || !(passNorm > 0) || !(stopNorm > passNorm) || !(stopNorm <= 0.5)) return {};
    const double stopWeight = PassDeviation(rippleDb) / StopDeviation(attenDb);
    if (!std::isfinite(stopWeight) || !(stopWeight > 0)) return {};
    const ExchangeResult x = RemezLowpass(ntaps, passNorm, stopNorm,
                                          RemezTarget(std::max(1, cicDec), passNorm, stopNorm, stopWeight, compensate));
    return SymmetricUnit(x.taps);
}

std::vector<double> DesignKaiserTaps(int ntaps, int cicDec, double passNorm, double stopNorm, double attenDb,
                                     bool compensate) {
    if (ntaps < 1 || ntaps > kMaxTaps || !(passNorm > 0) || !(stopNorm > passNorm) || !(stopNorm <= 0.5) ||
        !(attenDb > 0) || !(attenDb <= kMaxDesignAttenDb))
        return {};
    const int R = std::max(1, cicDec);
    const double fc = 0.5 * (passNorm + stopNorm);
    const double mid = 0.5 * (ntaps - 1);
    const int half = (ntaps + 1) / 2;  // taps 0 .. half-1; the rest mirror them

    // The ideal lowpass: 2 fc sinc(2 fc t) at t = n - mid.
    std::vector<double> h(static_cast<size_t>(ntaps));
    for (int n = 0; n < half; ++n) {
        const double t = n - mid;
        h[static_cast<size_t>(n)] =
            t == 0.0 ? 2.0 * fc : std::sin(2.0 * std::numbers::pi * fc * t) / (std::numbers::pi * t);
    }
    // Compensation by frequency sampling: add 2 * integral over 0 ... fc of
    // (1/C(nu) - 1) cos(2 pi nu t), Simpson's rule on a fine grid, one phasor
    // rotation per tap.
    if (compensate && R > 1) {
        const double step = fc / kKaiserIntervals;
        for (int k = 0; k <= kKaiserIntervals; ++k) {
            const double v = k * step;
            const double simpson = (k == 0 || k == kKaiserIntervals) ? 1.0 : (k % 2 != 0 ? 4.0 : 2.0);
            const double g = 2.0 * simpson * step / 3.0 * (1.0 / CicGain(R, v) - 1.0);
            if (g == 0.0) continue;
            const double a = 2.0 * std::numbers::pi * v;
            double re = std::cos(-a * mid), im = std::sin(-a * mid);
            const double cr = std::cos(a), ci = std::sin(a);
            for (int n = 0; n < half; ++n) {
                h[static_cast<size_t>(n)] += g * re;
                const double nr = re * cr - im * ci;
                im = re * ci + im * cr;
                re = nr;
            }
        }
    }
    const float beta = kaiser_beta_As(static_cast<float>(attenDb));
    for (int n = 0; n < half; ++n) {
        const auto i = static_cast<size_t>(n);
        h[i] *= static_cast<double>(liquid_kaiser(static_cast<unsigned>(n), static_cast<unsigned>(ntaps), beta));
        h[static_cast<size_t>(ntaps - 1 - n)] = h[i];
    }
    return SymmetricUnit(std::move(h));
}

std::vector<int32_t> QuantisePfirTaps(const std::vector<double>& ideal) {
    double peak = 0;
    for (double v : ideal) {
        if (!std::isfinite(v)) return {};
        peak = std::max(peak, std::fabs(v));
    }
    if (peak <= 0) return {};
    std::vector<int32_t> q;
    q.reserve(ideal.size());
    for (double v : ideal) {
        const long r = std::lround(v / peak * kTapFullScale);
        q.push_back(static_cast<int32_t>(std::clamp<long>(r, -kTapFullScale, kTapFullScale)));
    }
    return q;
}

namespace {

Edges EdgesOf(const DdcChannel& ch, const PfirDesignRequest& r) {
    const double fp = PfirInputRateHz(ch);
    return {RunCicDec(ch), r.passHz / fp, std::min(0.5, r.stopHz / fp)};
}

// The edges the taps are designed and searched at: moved outward onto a grid
// of kEdgeGrid, so that edges typed a fraction of a hertz apart give the same
// set (the search's local optimum would otherwise move with them). The
// figures are those at the edges asked.
Edges DesignEdgesOf(const Edges& exact) {
    Edges e = exact;
    e.passNorm = std::ceil(exact.passNorm / kEdgeGrid) * kEdgeGrid;
    e.stopNorm = std::floor(exact.stopNorm / kEdgeGrid) * kEdgeGrid;
    return e.passNorm > 0 && e.stopNorm > e.passNorm ? e : exact;
}

PfirFigures FiguresAt(const std::vector<int32_t>& taps, const Edges& e) {
    return EvaluatePfirFigures(taps, e.R, e.passNorm, e.stopNorm);
}

// Everything that follows from the taps: figures, verdict, the chain, the preview.
void SetTaps(PfirDesign& d, const DdcChannel& ch, const PfirDesignRequest& r, std::vector<int32_t> taps,
             const PfirFigures& figures) {
    const int R = RunCicDec(ch);
    d.taps = std::move(taps);
    d.figures = figures;
    d.meetsRequest = Meets(figures, r);
    const DdcChannel chain = DesignedChainChannel(ch, d.taps);
    d.chainPassHz = std::min(r.passHz, ChainOutputRateHz(chain) / 2.0);
    d.chain = AnalyseChain(chain, {d.chainPassHz, kChainDefaultPoints}).figures;
    std::array<double, kResponsePoints> angles{};
    for (int i = 0; i < kResponsePoints; ++i)
        angles[static_cast<size_t>(i)] = 2.0 * std::numbers::pi * i / (2.0 * kResponsePoints);
    TapPolynomialMagnitudes(d.taps.data(), d.ntaps, angles.data(), d.preview.data());
    for (int i = 0; i < kResponsePoints; ++i)
        d.preview[static_cast<size_t>(i)] *= CicGain(R, i / (2.0 * kResponsePoints));
}

}  // namespace

PfirDesign DesignPfirRounded(const DdcChannel& ch, const PfirDesignRequest& r) {
    PfirDesign d;
    d.errors = CheckPfirDesignRequest(ch, r);
    if (!d.errors.empty()) return d;

    const Edges exact = EdgesOf(ch, r);
    const Edges e = DesignEdgesOf(exact);
    const auto [R, passNorm, stopNorm] = e;
    const int n = PfirDesignLength(ch, r.evenLength);

    std::vector<double> remez = DesignRemezTaps(n, R, passNorm, stopNorm, r.rippleDb, r.attenDb, r.compensateCic);
    d.remezFailed = remez.empty();
    std::vector<int32_t> q = QuantisePfirTaps(remez);
    Candidate best = Rounded(PfirDesignMethod::Remez, std::move(remez), std::move(q), e, r);
    std::vector<double> kaiserIdeal = DesignKaiserTaps(n, R, passNorm, stopNorm, r.attenDb, r.compensateCic);
    q = QuantisePfirTaps(kaiserIdeal);
    Candidate kaiser = Rounded(PfirDesignMethod::Kaiser, std::move(kaiserIdeal), std::move(q), e, r);
    if (Better(kaiser, best)) std::swap(kaiser, best);
    if (best.taps.empty()) {
        d.errors.push_back({PfirDesignField::Stop, PfirRequestCause::NoDesign, 0, {}});
        return d;
    }
    d.ntaps = n;
    d.method = best.method;
    d.ideal = std::move(best.ideal);
    d.roundedFigures = FiguresAt(best.taps, exact);
    if (!kaiser.taps.empty())
        d.alternative =
            PfirDesign::Alternative{kaiser.method, std::move(kaiser.ideal), std::move(kaiser.taps), kaiser.figures};
    SetTaps(d, ch, r, std::move(best.taps), d.roundedFigures);
    return d;
}

namespace {

// Shares of the ripple asked that the exchange designs for before rounding:
// rounding moves the passband by a few thousandths of a dB, which a request
// of hundredths can no longer absorb, so a few margins are tried and the
// search keeps the best 16-bit set among them.
constexpr double kRippleMargins[] = {1.0, 0.97, 0.9, 0.75};
// Randomised roundings of the best design, searched as well: the descent
// stops in a local optimum, and a different start finds another.
constexpr int kRandomRoundings = 12;
constexpr uint32_t kRoundingSeed = 0x5016u;
// The exchange's level within this share of its target is close enough.
constexpr double kLevelTolerance = 0.01;
constexpr int kMaxWeightSteps = 5;
// Weights closer than this (in log) give the same design to the exchange's precision.
constexpr double kSameWeight = 1e-3;
// Below this the stopband is far under the 16-bit floor; a larger weight buys nothing.
constexpr double kDeepestStopDeviation = 1e-8;

// A set within the ripple asked whose transition band is not above the passband.
bool Fits(const PfirFigures& f, const PfirDesignRequest& r) {
    return f.passbandRippleDb <= r.rippleDb + kFigureTolerance && f.transitionPeakDb <= kFigureTolerance;
}

// Ranks the searched sets by what the user asked for: fitting first, then the
// attenuation, which is worth more even when the request's is already reached.
bool Ahead(const Candidate& a, const Candidate& b, const PfirDesignRequest& r) {
    if (a.taps.empty() || b.taps.empty()) return !a.taps.empty();
    const bool fa = Fits(a.figures, r), fb = Fits(b.figures, r);
    if (fa != fb) return fa;
    if (!fa && a.rippleOk != b.rippleOk) return a.rippleOk;
    return a.figures.stopbandAttenDb > b.figures.stopbandAttenDb;
}

// Exchange designs whose passband error sits at each share of the ripple
// asked: the stopband weight K is found by the secant on log delta against
// log K, which is nearly a line (delta grows about as the root of K at a
// fixed length). Each design is the run whose level is the highest not above
// its target; targets in decreasing order share the runs.
std::vector<std::vector<double>> DesignForRipple(int n, const Edges& e, const PfirDesignRequest& r,
                                                 const std::atomic<bool>* cancel) {
    struct Sample {
        double logK, logDelta;
        std::vector<double> taps;
    };
    std::deque<Sample> samples;  // pointers into it stay valid as it grows
    std::vector<int> reference;  // the last good run's: the next starts from it
    auto run = [&](double logK) {
        for (const Sample& s : samples)
            if (std::fabs(s.logK - logK) < kSameWeight) return false;
        const ExchangeResult x =
            RemezLowpass(n, e.passNorm, e.stopNorm,
                         RemezTarget(e.R, e.passNorm, e.stopNorm, std::exp(logK), r.compensateCic), &reference);
        // A run that did not converge is no sample of the curve, which the secant relies on.
        std::vector<double> unit = x.converged && x.delta > 0 ? SymmetricUnit(x.taps) : std::vector<double>{};
        if (unit.empty()) return false;
        reference = x.extremal;
        samples.push_back({logK, std::log(x.delta), std::move(unit)});
        return true;
    };
    std::vector<std::vector<double>> out;
    double logK = std::log(PassDeviation(r.rippleDb) / StopDeviation(std::min(r.attenDb, 120.0)));
    for (double margin : kRippleMargins) {
        const double target = PassDeviation(margin * r.rippleDb);
        const double logTarget = std::log(target);
        // The stopband need go no deeper than far below the 16-bit floor.
        const double logCap = std::log(target / kDeepestStopDeviation);
        const Sample* below = nullptr;  // the highest level not above the target
        for (int step = 0; step < kMaxWeightSteps; ++step) {
            if (cancel && cancel->load(std::memory_order_relaxed)) return out;
            const Sample* above = nullptr;
            below = nullptr;
            for (const Sample& s : samples) {
                if (s.logDelta <= logTarget && (!below || s.logDelta > below->logDelta)) below = &s;
                if (s.logDelta > logTarget && (!above || s.logDelta < above->logDelta)) above = &s;
            }
            if (below && (below->logDelta >= logTarget + std::log1p(-kLevelTolerance) || below->logK >= logCap)) break;
            // Aimed at the middle of the window taken, so that a secant from one side crosses into it.
            const double aim = logTarget + std::log1p(-0.5 * kLevelTolerance);
            if (!below || !above) {
                // All on one side: the two nearest give the secant.
                below = above = nullptr;
                for (const Sample& s : samples) {
                    if (!below || std::fabs(s.logDelta - aim) < std::fabs(below->logDelta - aim)) {
                        above = below;
                        below = &s;
                    } else if (!above || std::fabs(s.logDelta - aim) < std::fabs(above->logDelta - aim)) {
                        above = &s;
                    }
                }
            }
            if (below && above && above->logDelta != below->logDelta)
                logK = below->logK + std::clamp((aim - below->logDelta) * (above->logK - below->logK) /
                                                    (above->logDelta - below->logDelta),
                                                -6.0, 6.0);
            else if (below)
                logK = below->logK + std::clamp(2.0 * (aim - below->logDelta), -6.0, 6.0);
            logK = std::min(logK, logCap);
            // Where the exchange breaks down, halfway back toward the nearest good weight.
            if (!run(logK) && !(below && run(0.5 * (logK + below->logK)))) break;
        }
        below = nullptr;
        for (const Sample& s : samples)
            if (s.logDelta <= logTarget && (!below || s.logDelta > below->logDelta)) below = &s;
        if (below) out.push_back(below->taps);
    }
    return out;
}

// A rounding of the ideal taps with each pair rounded up or down at random,
// more likely toward the nearer word; a fixed seed keeps designs repeatable.
std::vector<int32_t> RandomRounding(const std::vector<double>& ideal, uint32_t& state) {
    std::vector<int32_t> q = QuantisePfirTaps(ideal);
    double peak = 0;
    for (double v : ideal) peak = std::max(peak, std::fabs(v));
    const size_t n = ideal.size();
    for (size_t i = 0; i < n / 2; ++i) {
        const double x = ideal[i] / peak * kTapFullScale;
        const double lo = std::floor(x);
        // xorshift32: the same sequence on every platform and library.
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        const double u = (state >> 8) * (1.0 / 16777216.0);
        const auto v =
            static_cast<int32_t>(std::clamp<double>(u < x - lo ? lo + 1 : lo, -kTapFullScale, kTapFullScale));
        if (std::abs(q[i]) == kTapFullScale) continue;  // the largest tap stays the scale
        q[i] = q[n - 1 - i] = v;
    }
    return q;
}

// A candidate's taps after the search: kept only where the reported figures
// agree that they are better than plain rounding.
Candidate Searched(Candidate c, const Edges& e, const PfirDesignRequest& r, const std::atomic<bool>* cancel,
                   bool& cancelled) {
    PfirTapSearch s = SearchPfirTaps(c.taps, e.R, e.passNorm, e.stopNorm, r.rippleDb, cancel);
    cancelled = cancelled || s.cancelled;
    if (s.changedTaps == 0) return c;
    Candidate found = Rounded(c.method, c.ideal, std::move(s.taps), e, r);
    return Ahead(found, c, r) ? found : c;
}

}  // namespace

PfirDesign SearchPfirDesign(const DdcChannel& ch, const PfirDesignRequest& r, PfirDesign d,
                            const std::atomic<bool>* cancel) {
    if (!d.ok() || d.searched) return d;
    const Edges exact = EdgesOf(ch, r);
    const Edges e = DesignEdgesOf(exact);
    // Every start, rounded: the two designs of the request, then the exchange
    // at the ripple budget's shares.
    std::vector<Candidate> starts;
    starts.push_back(Rounded(d.method, std::move(d.ideal), d.taps, e, r));
    if (d.alternative) {
        PfirDesign::Alternative& a = *d.alternative;
        starts.push_back(Rounded(a.method, std::move(a.ideal), std::move(a.taps), e, r));
    }
    d.alternative.reset();
    for (std::vector<double>& ideal : DesignForRipple(d.ntaps, e, r, cancel)) {
        std::vector<int32_t> q = QuantisePfirTaps(ideal);
        starts.push_back(Rounded(PfirDesignMethod::Remez, std::move(ideal), std::move(q), e, r));
    }
    bool cancelled = cancel && cancel->load(std::memory_order_relaxed);
    size_t best = 0;
    for (size_t i = 0; i < starts.size() && !cancelled; ++i) {
        starts[i] = Searched(std::move(starts[i]), e, r, cancel, cancelled);
        if (!cancelled && i > 0 && Ahead(starts[i], starts[best], r)) best = i;
    }
    // Other roundings of the best design's ideal taps, from a seed of their own.
    uint32_t state = kRoundingSeed;
    const std::vector<double> bestIdeal = starts[best].ideal;
    for (int k = 0; k < kRandomRoundings && !cancelled; ++k) {
        Candidate c = Rounded(starts[best].method, bestIdeal, RandomRounding(bestIdeal, state), e, r);
        c = Searched(std::move(c), e, r, cancel, cancelled);
        if (!cancelled && Ahead(c, starts[best], r)) starts[best] = std::move(c);
    }
    // Cancelled: what the search gained so far on the first start is kept; nothing else is final.
    if (cancelled) best = 0;
    Candidate& kept = starts[best];
    d.searched = !cancelled;
    d.method = kept.method;
    if (!cancelled) d.roundedFigures = FiguresAt(QuantisePfirTaps(kept.ideal), exact);
    d.ideal = std::move(kept.ideal);
    const PfirFigures figures = FiguresAt(kept.taps, exact);
    d.quantisationGainDb = figures.stopbandAttenDb - d.roundedFigures.stopbandAttenDb;
    SetTaps(d, ch, r, std::move(kept.taps), figures);
    return d;
}

PfirDesign DesignPfir(const DdcChannel& ch, const PfirDesignRequest& r) {
    return SearchPfirDesign(ch, r, DesignPfirRounded(ch, r));
}

std::optional<double> ReachableDefaultAttenDb(const PfirDesign& d, const PfirDesignRequest& r) {
    if (!d.ok() || d.meetsRequest) return std::nullopt;
    const PfirFigures& f = d.figures;
    if (f.passbandRippleDb > r.rippleDb + kFigureTolerance || f.transitionPeakDb > r.rippleDb) return std::nullopt;
    const double reached = std::floor(f.stopbandAttenDb * 10.0 + 1e-9) / 10.0;
    if (!(reached > 0) || reached >= r.attenDb) return std::nullopt;
    return reached;
}

DdcChannel DesignedChainChannel(const DdcChannel& ch, const std::vector<int32_t>& taps) {
    Settings s;
    s.SystemClock = ch.systemClock;
    s.ModeOfInput = ch.modeOfInput;
    s.CicDec[0] = ch.cicDec;
    s.FirDec[0] = ch.firDec;
    // The chip state is large; the fit needs only channel 0 of it.
    auto chip = std::make_unique<ChipState>();
    auto& store = chip->workImage.pfir[0].coef;
    const int n = static_cast<int>(std::min<size_t>(taps.size(), kMaxTaps));
    for (int i = 0; i < n; ++i)
        store[static_cast<size_t>(i)] = static_cast<int16_t>(std::clamp(taps[static_cast<size_t>(i)], -32768, 32767));
    chip->workImage.cic_dec[0] = static_cast<uint16_t>(RunCicDec(ch));
    chip->workImage.fir_dec[0] = static_cast<uint16_t>(DerivedFirDec(ch.firDec));
    FitPfirToChannel(s, *chip, 0, n);
    return ChainChannelOf(s, *chip, 0);
}

std::vector<PfirShortfall> PfirDesignShortfalls(const PfirDesign& d, const PfirDesignRequest& r) {
    std::vector<PfirShortfall> out;
    if (!d.ok()) return out;
    out.reserve(4);  // one per figure; also spares GCC 12 a false -Wstringop-overflow on growth
    const PfirFigures& f = d.figures;
    if (f.passbandRippleDb > r.rippleDb + kFigureTolerance)
        out.push_back({PfirFigure::Ripple, f.passbandRippleDb, r.rippleDb, false});
    if (f.stopbandAttenDb < r.attenDb - kFigureTolerance)
        out.push_back({PfirFigure::StopbandAtten, f.stopbandAttenDb, r.attenDb, false});
    if (f.transitionPeakDb > r.rippleDb)
        out.push_back({PfirFigure::TransitionPeak, f.transitionPeakDb, r.rippleDb, false});
    if (d.chain.aliasRejectionDb < r.attenDb - kFigureTolerance)
        out.push_back({PfirFigure::AliasRejection, d.chain.aliasRejectionDb, r.attenDb,
                       d.chain.cicAliasRejectionDb < r.attenDb - kFigureTolerance});
    return out;
}

}  // namespace gc
