#include "filters/chain_analysis.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>
#include <numeric>

#include "core/channel_rules.h"
#include "core/text_io.h"
#include "filters/responses.h"

namespace gc {

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

double Db(double ratio) { return 20.0 * std::log10(ratio); }

// |PFIR| at every frequency asked (Hz), relative to the PFIR input rate fc.
// The tap kernel takes a block of kResponsePoints angles at a time.
std::vector<double> PfirMagnitudes(const std::vector<int32_t>& taps, const std::vector<double>& freqHz, double fc) {
    std::vector<double> out(freqHz.size());
    double angles[kResponsePoints], mags[kResponsePoints];
    const int count = static_cast<int>(std::min<size_t>(taps.size(), kMaxTaps));
    for (size_t start = 0; start < freqHz.size(); start += kResponsePoints) {
        const size_t n = std::min<size_t>(kResponsePoints, freqHz.size() - start);
        for (size_t i = 0; i < kResponsePoints; ++i)
            angles[i] = i < n ? 2.0 * std::numbers::pi * (freqHz[start + i] / fc) : 0.0;
        TapPolynomialMagnitudes(taps.data(), count, angles, mags);
        std::copy(mags, mags + n, out.begin() + static_cast<std::ptrdiff_t>(start));
    }
    return out;
}

}  // namespace

DdcChannel ChainChannelOf(const Settings& s, const ChipState& chip, int channel) {
    const int ch = std::clamp(channel, 0, kChannels - 1);
    DdcChannel c;
    c.systemClock = s.SystemClock;
    c.modeOfInput = s.ModeOfInput;
    c.cicDec = std::clamp<int>(chip.workImage.cic_dec[ch], 1, kCicDecMax);
    c.firDec = DerivedFirDec(chip.workImage.fir_dec[ch]);
    const int n = std::clamp<int>(chip.coefSetInfo[ch].ntaps, 0, kMaxTaps);
    c.taps.assign(chip.fittedTaps[ch].begin(), chip.fittedTaps[ch].begin() + n);
    return c;
}

double ChainOutputRateHz(const DdcChannel& ch) {
    if (!(ch.systemClock > 0)) return 0.0;
    return ch.systemClock / (static_cast<double>(std::clamp(ch.cicDec, 1, kCicDecMax)) * DerivedFirDec(ch.firDec));
}

ChainRequest ChannelChainRequest(const Settings& s, int channel) {
    const int c = std::clamp(channel, 0, kChannels - 1);
    ChainRequest r;
    r.passHz = s.ReqPassHz[c];
    r.stopHz = s.ReqStopHz[c];
    r.rippleDb = s.ReqRippleDb[c];
    r.attenDb = s.ReqAttenDb[c];
    return r;
}

void SetChannelChainRequest(Settings& s, int channel, const ChainRequest& r) {
    const int c = std::clamp(channel, 0, kChannels - 1);
    s.ReqPassHz[c] = r.passHz;
    s.ReqStopHz[c] = r.stopHz;
    s.ReqRippleDb[c] = r.rippleDb;
    s.ReqAttenDb[c] = r.attenDb;
}

ChainRequest ResolveChainRequest(const DdcChannel& ch, const ChainRequest& r) {
    const double fout = ChainOutputRateHz(ch);
    ChainRequest out = r;
    if (!(out.passHz > 0)) out.passHz = kChainDefaultPassFraction * fout;
    if (!(out.stopHz > 0)) out.stopHz = fout - out.passHz;
    if (!(out.rippleDb > 0) || !std::isfinite(out.rippleDb)) out.rippleDb = kChainDefaultRippleDb;
    if (!(out.attenDb > 0) || !std::isfinite(out.attenDb)) out.attenDb = kChainDefaultAttenDb;
    return out;
}

double ChainMargins::Smallest() const {
    double m = std::min(rippleDb, aliasDb);
    if (stopbandDb) m = std::min(m, *stopbandDb);
    return m;
}

double ChainMargins::AttenuationDb() const { return stopbandDb ? std::min(aliasDb, *stopbandDb) : aliasDb; }

ChainMargins ChainRequestMargins(const ChainFigures& f, const ChainRequest& resolved) {
    ChainMargins m;
    m.rippleDb = resolved.rippleDb - f.passbandRippleDb;
    m.aliasDb = f.aliasRejectionDb - resolved.attenDb;
    if (f.stopbandAttenDb) m.stopbandDb = *f.stopbandAttenDb - resolved.attenDb;
    m.met = m.Smallest() >= 0;
    return m;
}

std::optional<std::string> CheckChainRequest(const DdcChannel& ch, const ChainRequest& r) {
    const double fout = ChainOutputRateHz(ch);
    if (!(fout > 0)) return "the input rate must be above 0";
    if (r.points < kChainMinPoints || r.points > kChainMaxPoints)
        return StrPrintf("the number of points must be from %d to %d", kChainMinPoints, kChainMaxPoints);
    if (!std::isfinite(r.passHz) || r.passHz > fout / 2.0)
        return StrPrintf("the passband edge must be above 0 and at most half the output rate (%.3f Hz)", fout / 2.0);
    const double pass = r.passHz > 0 ? r.passHz : kChainDefaultPassFraction * fout;
    if (!std::isfinite(r.stopHz) || (r.stopHz > 0 && r.stopHz <= pass))
        return "the stopband edge must be above the passband edge";
    return std::nullopt;
}

namespace {

// The grid of n points over 0 .. Fout / 2, then P itself, so that the figures
// do not depend on where P falls.
std::vector<double> ChainGrid(double fout, int n, double passHz) {
    std::vector<double> g(static_cast<size_t>(n) + 1);
    for (int i = 0; i < n; ++i) g[static_cast<size_t>(i)] = fout / 2.0 * i / (n - 1);
    g[static_cast<size_t>(n)] = passHz;
    return g;
}

// Images fall into D classes by k mod D: class d is g + d Fout + q Fc. The
// PFIR repeats every Fc, so a class shares one PFIR value; the CIC's
// numerator |sin(pi f R / Fs)| is the same for the whole class too, and its
// denominator grows with |f| up to Fs / 2, so the strongest member is the
// one nearest DC. (The floor lies hundreds of dB down, where the order of
// images no longer matters.) D * (N + 1) PFIR values and as many CIC values
// instead of R D of each per point.
struct ImageClasses {
    std::vector<double> shifted;  // [d * total + i]: g[i] + d Fout
    std::vector<double> pfir;     // |PFIR| there, relative to its DC gain
};

ImageClasses ClassPfirValues(const std::vector<int32_t>& taps, const std::vector<double>& g, int D, double fout,
                             double fc) {
    const size_t total = g.size();
    const int64_t n = static_cast<int64_t>(total) - 1;
    ImageClasses k;
    k.shifted.resize(total * static_cast<size_t>(D));
    for (int d = 0; d < D; ++d)
        for (size_t i = 0; i < total; ++i) k.shifted[static_cast<size_t>(d) * total + i] = g[i] + d * fout;
    // Grid point i of class d lies i + 2 d M steps of Fout / 2M up the PFIR's
    // period of L = 2 D M steps, and |PFIR| is even about Fc / 2: the first
    // half of the period, D M + 1 values, serves every class.
    const int64_t M = n - 1, L = 2 * static_cast<int64_t>(D) * M;
    std::vector<double> fine(static_cast<size_t>(D * M + 1));
    for (size_t j = 0; j < fine.size(); ++j) fine[j] = fc * static_cast<double>(j) / static_cast<double>(L);
    fine = PfirMagnitudes(taps, fine, fc);
    std::vector<double> atPass(static_cast<size_t>(D));
    for (int d = 0; d < D; ++d) atPass[static_cast<size_t>(d)] = k.shifted[static_cast<size_t>(d) * total + total - 1];
    atPass = PfirMagnitudes(taps, atPass, fc);
    k.pfir.resize(k.shifted.size());
    for (int d = 0; d < D; ++d) {
        for (int64_t i = 0; i < n; ++i) {
            int64_t j = i + 2 * d * M;
            if (j > D * M) j = L - j;
            k.pfir[static_cast<size_t>(d) * total + static_cast<size_t>(i)] = fine[static_cast<size_t>(j)];
        }
        k.pfir[static_cast<size_t>(d) * total + total - 1] = atPass[static_cast<size_t>(d)];
    }
    const double tapSum = std::abs(static_cast<double>(std::accumulate(taps.begin(), taps.end(), int64_t{0})));
    if (tapSum > 0)
        for (double& v : k.pfir) v /= tapSum;
    return k;
}

// The wanted response and, per point, the strongest image, where it comes
// from, the strongest CIC image through the PFIR and the CIC alone there.
struct Folded {
    std::vector<double> wanted, image, source, cicImage, cicOnly;
};

template <class Cic>
Folded FoldImages(const std::vector<double>& g, const ImageClasses& k, int D, double fc, double fs, const Cic& cic) {
    const size_t total = g.size();
    // Images beyond Fs / 2 are not there; the tolerance keeps an image exactly at Fs / 2.
    const double limit = fs / 2.0 * (1.0 + 1e-12);
    Folded o;
    o.wanted.resize(total);
    o.image.assign(total, 0.0);
    o.source.assign(total, 0.0);
    o.cicImage.assign(total, 0.0);
    o.cicOnly.assign(total, 0.0);
    for (size_t i = 0; i < total; ++i) {
        o.wanted[i] = cic(g[i]) * k.pfir[i];
        for (int d = 0; d < D; ++d) {
            const double x = k.shifted[static_cast<size_t>(d) * total + i];
            // Nearest to DC: x itself (q = 0) or x - Fc; class 0 excludes the wanted signal at q = 0.
            const double f = (d == 0 || fc - x < x) ? x - fc : x;
            if (std::abs(f) > limit) continue;
            const double ci = cic(f);
            const double v = ci * k.pfir[static_cast<size_t>(d) * total + i];
            if (d == 0) {
                o.cicImage[i] = v;
                o.cicOnly[i] = ci;
            }
            if (v > o.image[i]) {
                o.image[i] = v;
                o.source[i] = f;
            }
        }
    }
    return o;
}

// The same classes at arbitrary frequencies (each its own PFIR values), for
// the search between grid points.
ImageClasses ClassPfirValuesAt(const std::vector<int32_t>& taps, const std::vector<double>& f, int D, double fout,
                               double fc) {
    ImageClasses k;
    k.shifted.resize(f.size() * static_cast<size_t>(D));
    for (int d = 0; d < D; ++d)
        for (size_t i = 0; i < f.size(); ++i) k.shifted[static_cast<size_t>(d) * f.size() + i] = f[i] + d * fout;
    k.pfir = PfirMagnitudes(taps, k.shifted, fc);
    const double tapSum = std::abs(static_cast<double>(std::accumulate(taps.begin(), taps.end(), int64_t{0})));
    if (tapSum > 0)
        for (double& v : k.pfir) v /= tapSum;
    return k;
}

// A figure's objective at point i of a fold: the smaller the worse.
using Objective = std::function<double(const Folded&, size_t, double freqHz)>;
using FoldAt = std::function<Folded(const std::vector<double>&)>;

struct Extremum {
    double freqHz = 0;
    double value = kInf;
};

constexpr size_t kRefinedCandidates = 8;  // the worst local extrema of the grid searched further
constexpr int kRefineRounds = 3;
// Per candidate and round, so that a round of W fills one block of the tap
// kernel; the interval shrinks 15-fold each round.
constexpr int kRefinePoints = 31;

// The smallest objective over the sorted points xs (their fold o at idx),
// searched between the points around the grid's worst local extrema: a notch
// or a peak between two points is found, and the result is never better
// than the grid's own worst point.
Extremum SearchWorst(const std::vector<double>& xs, const std::vector<double>& vs, const FoldAt& fold,
                     const Objective& obj) {
    Extremum best;
    const size_t n = xs.size();
    if (n == 0) return best;
    std::vector<size_t> cands;
    for (size_t i = 0; i < n; ++i) {
        if (vs[i] < best.value) best = {xs[i], vs[i]};
        const bool left = i == 0 || vs[i] <= vs[i - 1], right = i + 1 == n || vs[i] <= vs[i + 1];
        if (left && right && std::isfinite(vs[i])) cands.push_back(i);
    }
    const size_t keep = std::min(cands.size(), kRefinedCandidates);
    std::partial_sort(cands.begin(), cands.begin() + static_cast<std::ptrdiff_t>(keep), cands.end(),
                      [&](size_t a, size_t b) { return vs[a] < vs[b]; });
    cands.resize(keep);
    std::vector<std::pair<double, double>> spans;
    for (size_t i : cands) spans.push_back({xs[i == 0 ? 0 : i - 1], xs[std::min(i + 1, n - 1)]});
    for (int round = 0; round < kRefineRounds && !spans.empty(); ++round) {
        std::vector<double> f;
        f.reserve(spans.size() * kRefinePoints);
        for (const auto& [lo, hi] : spans)
            for (int j = 0; j < kRefinePoints; ++j) f.push_back(lo + (hi - lo) * j / (kRefinePoints - 1));
        const Folded o = fold(f);
        for (size_t c = 0; c < spans.size(); ++c) {
            size_t worst = c * kRefinePoints;
            for (size_t j = worst; j < (c + 1) * kRefinePoints; ++j)
                if (obj(o, j, f[j]) < obj(o, worst, f[worst])) worst = j;
            const double v = obj(o, worst, f[worst]);
            if (v < best.value) best = {f[worst], v};
            const size_t first = c * kRefinePoints, last = first + kRefinePoints - 1;
            spans[c] = {f[worst == first ? first : worst - 1], f[worst == last ? last : worst + 1]};
        }
    }
    return best;
}

// Every figure over its band, each worst point searched between the grid's.
template <class Cic>
ChainFigures ChainBandFigures(const std::vector<double>& g, const Folded& o, double passHz, double stopHz, double fout,
                              const FoldAt& fold, const FoldAt& foldClassZero, const Cic& cic) {
    ChainFigures fig;
    // The passband: the grid points up to P, then P (the grid's last entry).
    std::vector<double> xs;
    std::vector<size_t> at;
    for (size_t i = 0; i + 1 < g.size(); ++i)
        if (g[i] < passHz) {
            xs.push_back(g[i]);
            at.push_back(i);
        }
    xs.push_back(passHz);
    at.push_back(g.size() - 1);
    const auto search = [&](const std::vector<double>& x, const std::vector<size_t>& idx, const Objective& obj,
                            const FoldAt& by) {
        std::vector<double> vs(x.size());
        for (size_t i = 0; i < x.size(); ++i) vs[i] = obj(o, idx[i], x[i]);
        return SearchWorst(x, vs, by, obj);
    };
    const Objective high = [](const Folded& f, size_t i, double) { return -f.wanted[i]; };
    const Objective low = [](const Folded& f, size_t i, double) { return f.wanted[i]; };
    const double wMax = -search(xs, at, high, foldClassZero).value, wMin = search(xs, at, low, foldClassZero).value;
    fig.passbandRippleDb = wMax > 0 && wMin > 0 ? Db(wMax / wMin) : kInf;

    const Objective alias = [](const Folded& f, size_t i, double) {
        return f.image[i] > 0 ? f.wanted[i] / f.image[i] : kInf;
    };
    const Extremum worst = search(xs, at, alias, fold);
    fig.aliasRejectionDb = kInf;
    if (std::isfinite(worst.value)) {
        fig.aliasRejectionDb = Db(worst.value);
        fig.worstAliasHz = worst.freqHz;
        fig.worstAliasSourceHz = fold({worst.freqHz}).source[0];
    }
    const Objective cicAlias = [&cic](const Folded& f, size_t i, double hz) {
        return f.cicOnly[i] > 0 ? cic(hz) / f.cicOnly[i] : kInf;
    };
    const Extremum cicWorst = search(xs, at, cicAlias, foldClassZero);
    fig.cicAliasRejectionDb = std::isfinite(cicWorst.value) ? Db(cicWorst.value) : kInf;

    // The stopband: S, then the grid points above it up to Fout / 2.
    if (stopHz < fout / 2.0) {
        const Folded atStop = foldClassZero({stopHz});
        std::vector<double> sx{stopHz};
        std::vector<double> sv{-atStop.wanted[0]};
        for (size_t i = 0; i + 1 < g.size(); ++i)
            if (g[i] > stopHz) {
                sx.push_back(g[i]);
                sv.push_back(-o.wanted[i]);
            }
        const Extremum peak = SearchWorst(sx, sv, foldClassZero, high);
        const double w0 = o.wanted[0];
        fig.stopbandAttenDb = -peak.value > 0 ? Db(w0 / -peak.value) : kInf;
        fig.worstStopHz = peak.freqHz;
    }
    return fig;
}

}  // namespace

ChainAnalysis AnalyseChain(const DdcChannel& ch, const ChainRequest& r) {
    ChainAnalysis a;
    a.cicDec = std::clamp(ch.cicDec, 1, kCicDecMax);
    a.firDec = DerivedFirDec(ch.firDec);
    a.inputRateHz = ch.systemClock;
    a.outputRateHz = ChainOutputRateHz(ch);
    if (!(a.outputRateHz > 0)) return a;
    const double fs = ch.systemClock, fout = a.outputRateHz, fc = fout * a.firDec;
    a.passHz = r.passHz > 0 && r.passHz <= fout / 2.0 ? r.passHz : kChainDefaultPassFraction * fout;

    std::vector<double> g = ChainGrid(fout, std::clamp(r.points, kChainMinPoints, kChainMaxPoints), a.passHz);
    const ImageClasses classes = ClassPfirValues(ch.taps, g, a.firDec, fout, fc);
    const auto cic = [&](double f) { return CicGainAt(a.cicDec, std::numbers::pi * std::abs(f) / fs); };
    Folded o = FoldImages(g, classes, a.firDec, fc, fs, cic);
    a.request = ResolveChainRequest(ch, r);
    a.request.passHz = a.passHz;
    const FoldAt fold = [&](const std::vector<double>& f) {
        return FoldImages(f, ClassPfirValuesAt(ch.taps, f, a.firDec, fout, fc), a.firDec, fc, fs, cic);
    };
    // W and the CIC's own image need class 0 alone: a D-th of the work.
    const FoldAt foldClassZero = [&](const std::vector<double>& f) {
        return FoldImages(f, ClassPfirValuesAt(ch.taps, f, 1, fout, fc), 1, fc, fs, cic);
    };
    a.figures = ChainBandFigures(g, o, a.passHz, a.request.stopHz, fout, fold, foldClassZero, cic);
    a.margins = ChainRequestMargins(a.figures, a.request);

    // The curves keep the grid only; P was there for the figures.
    for (std::vector<double>* v : {&g, &o.wanted, &o.image, &o.source, &o.cicImage}) v->pop_back();
    a.freqHz = std::move(g);
    a.wanted = std::move(o.wanted);
    a.image = std::move(o.image);
    a.imageSource = std::move(o.source);
    a.cicImage = std::move(o.cicImage);
    return a;
}

ChainLevels ChainLevelsDb(const ChainAnalysis& a) {
    ChainLevels l;
    double max = 0;
    for (double v : a.wanted) max = std::max(max, v);
    const auto levels = [&](const std::vector<double>& v) {
        std::vector<double> out(v.size(), -kInf);
        if (max > 0)
            for (size_t i = 0; i < v.size(); ++i)
                if (v[i] > 0) out[i] = Db(v[i] / max);
        return out;
    };
    l.wantedDb = levels(a.wanted);
    l.imageDb = levels(a.image);
    l.cicImageDb = levels(a.cicImage);
    return l;
}

std::string FormatChainCsv(const ChainAnalysis& a) {
    const ChainLevels l = ChainLevelsDb(a);
    std::string text = "freq_hz,wanted_db,strongest_image_db,strongest_cic_image_db\n";
    text.reserve(text.size() + a.freqHz.size() * 48);
    for (size_t i = 0; i < a.freqHz.size(); ++i)
        text += StrPrintf("%.3f,%.4f,%.4f,%.4f\n", a.freqHz[i], l.wantedDb[i], l.imageDb[i], l.cicImageDb[i]);
    return text;
}

std::string OptionalDb(const std::optional<double>& v) { return v ? StrPrintf("%.3f", *v) : std::string("n/a"); }

namespace {

// Where an extremum lies is found between grid points only to a small part of
// a hertz, and the last digits of that depend on the build's arithmetic: the
// places are printed to the hertz, the levels to the digit.
double WholeHz(double hz) { return std::round(hz); }

}  // namespace

std::string FormatChainSummary(const ChainAnalysis& a) {
    const ChainFigures& f = a.figures;
    return StrPrintf("input_rate_hz %.3f\n", a.inputRateHz) + StrPrintf("cic_decimation %d\n", a.cicDec) +
           StrPrintf("pfir_decimation %d\n", a.firDec) + StrPrintf("output_rate_hz %.3f\n", a.outputRateHz) +
           StrPrintf("passband_hz %.3f\n", a.passHz) + StrPrintf("passband_ripple_db %.3f\n", f.passbandRippleDb) +
           StrPrintf("alias_rejection_db %.3f\n", f.aliasRejectionDb) +
           StrPrintf("worst_alias_hz %.3f\n", WholeHz(f.worstAliasHz)) +
           StrPrintf("worst_alias_source_hz %.3f\n", WholeHz(f.worstAliasSourceHz)) +
           StrPrintf("cic_alias_rejection_db %.3f\n", f.cicAliasRejectionDb) +
           StrPrintf("stopband_hz %.3f\n", a.request.stopHz) + "stopband_atten_db " + OptionalDb(f.stopbandAttenDb) +
           "\n" + StrPrintf("worst_stop_hz %.3f\n", WholeHz(f.worstStopHz)) +
           StrPrintf("request_ripple_db %g\n", a.request.rippleDb) +
           StrPrintf("request_atten_db %g\n", a.request.attenDb) +
           StrPrintf("ripple_margin_db %.3f\n", a.margins.rippleDb) +
           StrPrintf("alias_margin_db %.3f\n", a.margins.aliasDb) + "stopband_margin_db " +
           OptionalDb(a.margins.stopbandDb) + "\n" + StrPrintf("request_met %d\n", a.margins.met ? 1 : 0);
}

}  // namespace gc
