// The search over 16-bit taps: steepest descent in steps of one LSB on a
// symmetric pair. Rounding each tap on its own leaves the stopband at the
// mercy of where the errors happen to add up; moving a pair shifts the
// response by one cosine, so every trial is a few hundred multiply-adds at
// the response's extrema, and only the move taken is checked on the whole grid.
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
constexpr int kMaxSteps = 4000;
// The grid of the figures: the same points, in order.
constexpr int kIntervals = 8192;

enum : unsigned char { kPass = 1, kStop = 2, kTransition = 4 };

struct Levels {
    double passMax = 0, passMin = std::numeric_limits<double>::infinity(), stopMax = 0, transMax = 0;
    void Add(unsigned char cls, double m) {
        if (cls & kPass) {
            passMax = std::max(passMax, m);
            passMin = std::min(passMin, m);
        }
        if (cls & kStop) stopMax = std::max(stopMax, m);
        if (cls & kTransition) transMax = std::max(transMax, m);
    }
};

struct Bounds {
    double ripple;      // passMax / passMin at most
    double transition;  // transMax / passMax at most
};

// Stopband level relative to the passband maximum; infinity where a bound is broken.
double Score(const Levels& l, const Bounds& b) {
    if (!(l.passMin > 0) || l.passMax > b.ripple * l.passMin || l.transMax > b.transition * l.passMax)
        return std::numeric_limits<double>::infinity();
    return l.stopMax / l.passMax;
}

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
    auto levelsOf = [&](const std::vector<double>& a) {
        Levels l;
        for (size_t j = 0; j < g; ++j) l.Add(cls[j], std::fabs(a[j]) * cic[j]);
        return l;
    };
    const Levels start = levelsOf(amp);
    const double rippleLimit = std::pow(10.0, rippleDb / 20.0);
    // The ripple and the transition peak stay within the request, or no worse than rounding left them.
    const Bounds bounds{std::max(rippleLimit, start.passMax / start.passMin),
                        std::max(rippleLimit, start.transMax / start.passMax)};
    double score = Score(start, bounds);
    if (!std::isfinite(score)) return out;

    // The free pairs: the first tap of each, those at full scale kept there.
    std::vector<int> pairs;
    for (int i = 0; i < n / 2; ++i)
        if (std::abs(rounded[static_cast<size_t>(i)]) < kFullScale) pairs.push_back(i);

    std::vector<size_t> active;
    std::vector<double> basis;  // [pair][active point]: 2 cos((mid - i) w)
    struct Trial {
        double score;
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
        trials.clear();
        for (size_t k = 0; k < pairs.size(); ++k) {
            const int32_t tap = out.taps[static_cast<size_t>(pairs[k])];
            const double* b = &basis[k * na];
            for (int sign = -1; sign <= 1; sign += 2) {
                if (std::abs(tap + sign) >= kFullScale) continue;
                Levels l;
                for (size_t p = 0; p < na; ++p) {
                    const size_t j = active[p];
                    l.Add(cls[j], std::fabs(amp[j] + sign * b[p]) * cic[j]);
                }
                if (const double s = Score(l, bounds); s < score) trials.push_back({s, k, sign});
            }
        }
        // The best few in turn, each taken only if the whole grid agrees.
        const size_t tries = std::min<size_t>(trials.size(), 4);
        std::partial_sort(trials.begin(), trials.begin() + static_cast<std::ptrdiff_t>(tries), trials.end(),
                          [](const Trial& a, const Trial& b) { return a.score < b.score; });
        bool moved = false;
        for (size_t t = 0; t < tries && !moved; ++t) {
            const int i = pairs[trials[t].pair];
            const double step = 2.0 * trials[t].sign;
            for (size_t j = 0; j < g; ++j) next[j] = amp[j] + step * std::cos(2 * std::numbers::pi * (mid - i) * nu[j]);
            const double checked = Score(levelsOf(next), bounds);
            if (!(checked < score)) continue;
            score = checked;
            amp.swap(next);
            out.taps[static_cast<size_t>(i)] += trials[t].sign;
            out.taps[static_cast<size_t>(n - 1 - i)] += trials[t].sign;
            moved = true;
        }
        if (!moved) break;
    }
    for (int i = 0; i < n; ++i)
        if (out.taps[static_cast<size_t>(i)] != rounded[static_cast<size_t>(i)]) ++out.changedTaps;
    return out;
}

}  // namespace gc
