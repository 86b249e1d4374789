// The search over 16-bit taps: steepest descent in steps of one LSB on a
// symmetric pair. Rounding each tap on its own leaves the stopband at the
// mercy of where the errors happen to add up; moving a pair shifts the
// response by one cosine, so every trial is a few hundred multiply-adds at
// the response's extrema, and only the move taken is checked on the whole
// grid. Near the 16-bit floor one LSB moves every stopband peak by a good
// part of its height, so descending on the worst peak alone stalls after a
// step or two; descending on the sum of the 16th powers of the peaks, with
// the worst never rising, goes on while any peak can come down.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <numbers>

#include "filters/pfir_design.h"
#include "filters/responses.h"

namespace gc {

namespace {

constexpr int32_t kFullScale = 32767;
// Typical sets settle within a few dozen steps; a degenerate request (a
// stopband of one point) would creep on for thousands.
constexpr int kMaxSteps = 256;
// How far the worst stopband level may rise above the best one seen, as a ratio.
const double kWorstSlack = std::pow(10.0, 1.0 / 20.0);
// The grid of the figures: the same points, in order.
constexpr int kIntervals = 8192;

enum : unsigned char { kPass = 1, kStop = 2, kTransition = 4 };

struct Levels {
    double passMax = 0, passMin = std::numeric_limits<double>::infinity(), stopMax = 0, transMax = 0;
    double soft = 0;   // sum of (stopband level / reference)^16
    double reference;  // the stopband maximum of the rounded set
    explicit Levels(double ref) : reference(ref) {}
    void Add(unsigned char cls, double m) {
        if (cls & kPass) {
            passMax = std::max(passMax, m);
            passMin = std::min(passMin, m);
        }
        if (cls & kStop) {
            stopMax = std::max(stopMax, m);
            double x = m / reference;
            x *= x;
            x *= x;
            x *= x;
            soft += x * x;
        }
        if (cls & kTransition) transMax = std::max(transMax, m);
    }
};

struct Bounds {
    double ripple;      // passMax / passMin at most
    double transition;  // transMax / passMax at most
};

bool WithinBounds(const Levels& l, const Bounds& b) {
    return l.passMin > 0 && l.passMax <= b.ripple * l.passMin && l.transMax <= b.transition * l.passMax;
}

// The worst stopband level relative to the passband maximum.
double Worst(const Levels& l) { return l.stopMax / l.passMax; }

}  // namespace

PfirTapSearch SearchPfirTaps(const std::vector<int32_t>& rounded, int cicDec, double passNorm, double stopNorm,
                             double rippleDb, const std::atomic<bool>* cancel) {
    PfirTapSearch out;
    out.taps = rounded;
    const int n = static_cast<int>(rounded.size());
    if (n < 3 || !(passNorm > 0) || !(stopNorm > passNorm) || !(stopNorm <= 0.5)) return out;
    const int R = std::max(1, cicDec);
    const double mid = 0.5 * (n - 1);

    // The grid with both edges in place, each point's bands and CIC gain.
    std::vector<double> nu;
    nu.reserve(kIntervals + 3);
    for (int k = 0; k <= kIntervals; ++k) nu.push_back(0.5 * k / kIntervals);
    nu.push_back(passNorm);
    nu.push_back(stopNorm);
    std::sort(nu.begin(), nu.end());
    const size_t g = nu.size();
    std::vector<unsigned char> cls(g);
    std::vector<double> cic(g), amp(g, 0.0);
    for (size_t j = 0; j < g; ++j) {
        cls[j] = static_cast<unsigned char>((nu[j] <= passNorm ? kPass : 0) | (nu[j] >= stopNorm ? kStop : 0) |
                                            (nu[j] >= passNorm && nu[j] <= stopNorm ? kTransition : 0));
        cic[j] = CicGainAt(R, std::numbers::pi * nu[j] / R);
    }
    // The zero-phase amplitude, signed: sum h[i] cos((mid - i) w), the cosines by
    // Chebyshev's recurrence outward from the centre.
    std::vector<double> cosines(static_cast<size_t>(n / 2 + 1));
    auto cosinesAt = [&](double w) {
        const double c1 = std::cos(w);
        const double base = n % 2 != 0 ? 1.0 : std::cos(0.5 * w);
        double prev = n % 2 != 0 ? c1 : base, cur = base;
        for (size_t m = 0; m < cosines.size(); ++m) {
            cosines[m] = cur;  // cos((m or m + 1/2) w)
            const double nx = 2.0 * c1 * cur - prev;
            prev = cur;
            cur = nx;
        }
    };
    // Tap i lies (mid - i) from the centre: index n / 2 - 1 - i of an even length, n / 2 - i of an odd one.
    auto distance = [&](int i) { return static_cast<size_t>(n % 2 != 0 ? n / 2 - i : n / 2 - 1 - i); };
    for (size_t j = 0; j < g; ++j) {
        cosinesAt(2 * std::numbers::pi * nu[j]);
        double s = n % 2 != 0 ? rounded[static_cast<size_t>(n / 2)] : 0.0;
        for (int i = 0; i < n / 2; ++i) s += 2.0 * rounded[static_cast<size_t>(i)] * cosines[distance(i)];
        amp[j] = s;
    }
    double reference = 1.0;
    auto levelsOf = [&](const std::vector<double>& a) {
        Levels l(reference);
        for (size_t j = 0; j < g; ++j) l.Add(cls[j], std::fabs(a[j]) * cic[j]);
        return l;
    };
    Levels start = levelsOf(amp);
    reference = start.stopMax;
    start = levelsOf(amp);
    const double rippleLimit = std::pow(10.0, rippleDb / 20.0);
    // The ripple stays within the request and the transition band not above the
    // passband, or no worse than rounding left them. Rounding that pushed the
    // ripple over the request is first undone: while repairing, the moves
    // taken are those that lower the ripple most.
    Bounds bounds{std::max(rippleLimit, start.passMax / start.passMin), std::max(1.0, start.transMax / start.passMax)};
    bool repairing = bounds.ripple > rippleLimit;
    if (!WithinBounds(start, bounds) || !(reference > 0)) return out;
    Levels now = start;
    double bestWorst = Worst(start);
    std::vector<int32_t> best = out.taps;

    // The free pairs: the first tap of each, those at full scale kept there.
    std::vector<int> pairs;
    for (int i = 0; i < n / 2; ++i)
        if (std::abs(rounded[static_cast<size_t>(i)]) < kFullScale) pairs.push_back(i);

    std::vector<size_t> active;
    std::vector<double> basis;  // [pair][active point]: 2 cos((mid - i) w)
    struct Trial {
        double soft;
        size_t pair;
        int sign;
    };
    std::vector<Trial> trials;
    std::vector<double> next(g);
    for (out.steps = 0; out.steps < kMaxSteps; ++out.steps) {
        if (cancel && cancel->load(std::memory_order_relaxed)) {
            out.cancelled = true;
            break;
        }
        // The extrema of the response and the edges: where the figures are decided.
        active.clear();
        for (size_t j = 0; j < g; ++j) {
            const double v = amp[j] * cic[j];
            const double prev = j > 0 ? amp[j - 1] * cic[j - 1] : v;
            const double after = j + 1 < g ? amp[j + 1] * cic[j + 1] : v;
            const bool extremum = (v >= prev && v >= after) || (v <= prev && v <= after);
            if (extremum || nu[j] == passNorm || nu[j] == stopNorm) active.push_back(j);
        }
        const size_t na = active.size();
        basis.resize(pairs.size() * na);
        for (size_t p = 0; p < na; ++p) {
            cosinesAt(2 * std::numbers::pi * nu[active[p]]);
            for (size_t k = 0; k < pairs.size(); ++k) basis[k * na + p] = 2.0 * cosines[distance(pairs[k])];
        }
        // A sum of high powers of the stopband levels stands for their
        // maximum: a move that lowers the other peaks while the worst stays
        // is still progress, and the worst never rises.
        trials.clear();
        Levels base(reference);
        for (size_t p = 0; p < na; ++p) base.Add(cls[active[p]], std::fabs(amp[active[p]]) * cic[active[p]]);
        // The worst may rise a little on the way while the sum falls: the best set seen is what is returned.
        const double worstNow = std::min(Worst(now) * kWorstSlack, bestWorst * kWorstSlack);
        for (size_t k = 0; k < pairs.size(); ++k) {
            const int32_t tap = out.taps[static_cast<size_t>(pairs[k])];
            const double* b = &basis[k * na];
            for (int sign = -1; sign <= 1; sign += 2) {
                if (std::abs(tap + sign) >= kFullScale) continue;
                Levels l(reference);
                for (size_t p = 0; p < na; ++p) {
                    const size_t j = active[p];
                    l.Add(cls[j], std::fabs(amp[j] + sign * b[p]) * cic[j]);
                }
                if (!WithinBounds(l, bounds) || Worst(l) > worstNow) continue;
                if (repairing)
                    trials.push_back({l.passMax / l.passMin, k, sign});
                else if (l.soft < base.soft)
                    trials.push_back({l.soft, k, sign});
            }
        }
        // The best few in turn, each taken only if the whole grid agrees.
        const size_t tries = std::min<size_t>(trials.size(), 32);
        std::partial_sort(trials.begin(), trials.begin() + static_cast<std::ptrdiff_t>(tries), trials.end(),
                          [](const Trial& a, const Trial& b) { return a.soft < b.soft; });
        bool moved = false;
        for (size_t t = 0; t < tries && !moved; ++t) {
            const int i = pairs[trials[t].pair];
            const double step = 2.0 * trials[t].sign;
            for (size_t j = 0; j < g; ++j) next[j] = amp[j] + step * std::cos(2 * std::numbers::pi * (mid - i) * nu[j]);
            const Levels checked = levelsOf(next);
            const double ripple = checked.passMax / checked.passMin;
            if (!WithinBounds(checked, bounds) || Worst(checked) > worstNow ||
                !(repairing ? ripple < now.passMax / now.passMin : checked.soft < now.soft))
                continue;
            now = checked;
            amp.swap(next);
            out.taps[static_cast<size_t>(i)] += trials[t].sign;
            out.taps[static_cast<size_t>(n - 1 - i)] += trials[t].sign;
            moved = true;
            if (repairing && ripple <= rippleLimit) {
                // Within the request now: from here on the ripple is held there and the stopband searched.
                repairing = false;
                bounds.ripple = rippleLimit;
                bestWorst = Worst(now);
                best = out.taps;
            } else if (repairing) {
                bounds.ripple = ripple;
            } else if (Worst(now) < bestWorst) {
                bestWorst = Worst(now);
                best = out.taps;
            }
        }
        if (!moved) break;
    }
    out.taps = std::move(best);
    for (int i = 0; i < n; ++i)
        if (out.taps[static_cast<size_t>(i)] != rounded[static_cast<size_t>(i)]) ++out.changedTaps;
    return out;
}

}  // namespace gc
