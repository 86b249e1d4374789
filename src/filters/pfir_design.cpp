#include "filters/pfir_design.h"

#include <liquid/liquid.h>
#include <numbers>

#include <algorithm>
#include <array>
#include <cmath>
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

Candidate Evaluate(PfirDesignMethod method, std::vector<double> ideal, int R, double passNorm, double stopNorm,
                   const PfirDesignRequest& r) {
    Candidate c{method, std::move(ideal), {}, {}, false, false};
    c.taps = QuantisePfirTaps(c.ideal);
    if (c.taps.empty()) return c;
    c.figures = EvaluatePfirFigures(c.taps, R, passNorm, stopNorm);
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

struct Edges {
    int R;
    double passNorm, stopNorm;
};

Edges EdgesOf(const DdcChannel& ch, const PfirDesignRequest& r) {
    const double fp = PfirInputRateHz(ch);
    return {RunCicDec(ch), r.passHz / fp, std::min(0.5, r.stopHz / fp)};
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

    const auto [R, passNorm, stopNorm] = EdgesOf(ch, r);
    const int n = PfirDesignLength(ch, r.evenLength);

    std::vector<double> remez = DesignRemezTaps(n, R, passNorm, stopNorm, r.rippleDb, r.attenDb, r.compensateCic);
    d.remezFailed = remez.empty();
    Candidate best = Evaluate(PfirDesignMethod::Remez, std::move(remez), R, passNorm, stopNorm, r);
    Candidate kaiser =
        Evaluate(PfirDesignMethod::Kaiser, DesignKaiserTaps(n, R, passNorm, stopNorm, r.attenDb, r.compensateCic), R,
                 passNorm, stopNorm, r);
    if (Better(kaiser, best)) std::swap(kaiser, best);
    if (best.taps.empty()) {
        d.errors.push_back({PfirDesignField::Stop, PfirRequestCause::NoDesign, 0, {}});
        return d;
    }
    d.ntaps = n;
    d.method = best.method;
    d.ideal = std::move(best.ideal);
    d.roundedFigures = best.figures;
    if (!kaiser.taps.empty())
        d.alternative =
            PfirDesign::Alternative{kaiser.method, std::move(kaiser.ideal), std::move(kaiser.taps), kaiser.figures};
    SetTaps(d, ch, r, std::move(best.taps), best.figures);
    return d;
}

namespace {

// A candidate's taps after the search: kept only where the reported figures
// agree that they are better than plain rounding.
Candidate Searched(Candidate c, const Edges& e, const PfirDesignRequest& r, const std::atomic<bool>* cancel,
                   bool& cancelled) {
    PfirTapSearch s = SearchPfirTaps(c.taps, e.R, e.passNorm, e.stopNorm, r.rippleDb, cancel);
    cancelled = cancelled || s.cancelled;
    if (s.changedTaps == 0) return c;
    const PfirFigures f = EvaluatePfirFigures(s.taps, e.R, e.passNorm, e.stopNorm);
    const bool rippleKept = f.passbandRippleDb <= std::max(r.rippleDb, c.figures.passbandRippleDb) + kFigureTolerance;
    if (!(f.stopbandAttenDb > c.figures.stopbandAttenDb) || !rippleKept) return c;
    c.taps = std::move(s.taps);
    c.figures = f;
    c.rippleOk = f.passbandRippleDb <= r.rippleDb + kFigureTolerance;
    c.meets = Meets(f, r);
    return c;
}

}  // namespace

PfirDesign SearchPfirDesign(const DdcChannel& ch, const PfirDesignRequest& r, PfirDesign d,
                            const std::atomic<bool>* cancel) {
    if (!d.ok() || d.searched) return d;
    const Edges e = EdgesOf(ch, r);
    bool cancelled = false;
    Candidate kept{d.method, std::move(d.ideal), d.taps, d.figures, false, false};
    kept.rippleOk = d.figures.passbandRippleDb <= r.rippleDb + kFigureTolerance;
    kept.meets = d.meetsRequest;
    kept = Searched(std::move(kept), e, r, cancel, cancelled);
    if (d.alternative && !cancelled) {
        PfirDesign::Alternative& a = *d.alternative;
        Candidate other{a.method, std::move(a.ideal), std::move(a.taps), a.figures, false, false};
        other.rippleOk = a.figures.passbandRippleDb <= r.rippleDb + kFigureTolerance;
        other.meets = Meets(a.figures, r);
        other = Searched(std::move(other), e, r, cancel, cancelled);
        if (!cancelled && Better(other, kept)) {
            d.roundedFigures = a.figures;
            kept = std::move(other);
        }
    }
    d.alternative.reset();
    d.searched = !cancelled;
    d.method = kept.method;
    d.ideal = std::move(kept.ideal);
    d.quantisationGainDb = kept.figures.stopbandAttenDb - d.roundedFigures.stopbandAttenDb;
    SetTaps(d, ch, r, std::move(kept.taps), kept.figures);
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
