// The designer against the true weighted-minimax optimum, found by a linear
// program on a grid, and its 16-bit search against plain rounding.
#include <glpk.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>
#include <vector>

#include "filters/pfir_design.h"
#include "filters/responses.h"

namespace gc {
namespace {

struct Weighted {
    std::vector<double> f, d, w;
};

// The designer's problem: the chain's error, 1 - c H in the passband and
// K c H in the stopband, with K the ratio of the deviations asked.
Weighted Problem(int R, double pass, double stop, double rippleDb, double attenDb, bool compensate, int points) {
    const double dp = std::tanh(rippleDb * std::log(10.0) / 40.0);
    const double ds = std::pow(10.0, -attenDb / 20.0);
    Weighted p;
    const double passShare = pass / (pass + 0.5 - stop);
    const int np = std::max(8, static_cast<int>(points * passShare));
    const int ns = std::max(8, points - np);
    for (int band = 0; band < 2; ++band) {
        const int n = band == 0 ? np : ns;
        const double lo = band == 0 ? 0.0 : stop, hi = band == 0 ? pass : 0.5;
        for (int j = 0; j <= n; ++j) {
            const double f = lo + (hi - lo) * j / n;
            const double c = compensate ? CicGainAt(R, std::numbers::pi * f / R) : 1.0;
            p.f.push_back(f);
            p.d.push_back(band == 0 ? 1.0 / c : 0.0);
            p.w.push_back(band == 0 ? c : c * dp / ds);
        }
    }
    return p;
}

double Basis(int ntaps, int k, double f) {
    return ntaps % 2 != 0 ? std::cos(2 * std::numbers::pi * k * f) : std::cos(2 * std::numbers::pi * (k + 0.5) * f);
}

// The amplitude's cosine coefficients of symmetric taps, times gain.
std::vector<double> Coefficients(const std::vector<double>& taps, double gain) {
    const size_t n = taps.size(), nk = (n + 1) / 2;
    std::vector<double> a(nk);
    for (size_t k = 0; k < nk; ++k) {
        const size_t i = n % 2 != 0 ? n / 2 - k : n / 2 - 1 - k;  // the tap (k or k + 1/2) from the centre
        a[k] = gain * taps[i] * (n % 2 != 0 && k == 0 ? 1.0 : 2.0);
    }
    return a;
}

double Amplitude(int ntaps, const std::vector<double>& a, double f) {
    double s = 0;
    for (size_t k = 0; k < a.size(); ++k) s += a[k] * Basis(ntaps, static_cast<int>(k), f);
    return s;
}

// min delta subject to |W (D - A)| <= delta at the points given, A in the
// span of the length's cosines, solved as its dual (one row per cosine, so
// the interior-point method's normal equations stay small):
//   max sum r_j (u_j - v_j)  subject to  sum (u_j - v_j) W_j basis_k(f_j) = 0,
//   sum (u_j + v_j) = 1,  u, v >= 0.
// The residuals r are taken from a0 and scaled by delta0, so that every
// figure is of order 1 and far above the solver's tolerances; the change of
// variables leaves the optimum as it is.
double LinearProgramOptimum(int ntaps, const Weighted& p, const std::vector<double>& a0, double delta0) {
    const int nk = (ntaps + 1) / 2;
    const int points = static_cast<int>(p.f.size());
    glp_prob* lp = glp_create_prob();
    glp_set_obj_dir(lp, GLP_MAX);
    glp_add_rows(lp, nk + 1);
    for (int k = 1; k <= nk; ++k) glp_set_row_bnds(lp, k, GLP_FX, 0, 0);
    glp_set_row_bnds(lp, nk + 1, GLP_FX, 1, 1);
    glp_add_cols(lp, 2 * points);
    std::vector<int> idx(static_cast<size_t>(nk + 2));
    std::vector<double> val(static_cast<size_t>(nk + 2));
    for (int j = 0; j < points; ++j) {
        const auto uj = static_cast<size_t>(j);
        const double residual = p.w[uj] * (p.d[uj] - Amplitude(ntaps, a0, p.f[uj])) / delta0;
        for (int sign = 1; sign >= -1; sign -= 2) {
            const int col = 2 * j + (sign > 0 ? 1 : 2);
            for (int k = 0; k < nk; ++k) {
                idx[static_cast<size_t>(k + 1)] = k + 1;
                val[static_cast<size_t>(k + 1)] = sign * p.w[uj] * Basis(ntaps, k, p.f[uj]);
            }
            idx[static_cast<size_t>(nk + 1)] = nk + 1;
            val[static_cast<size_t>(nk + 1)] = 1.0;
            glp_set_mat_col(lp, col, nk + 1, idx.data(), val.data());
            glp_set_col_bnds(lp, col, GLP_LO, 0, 0);
            glp_set_obj_coef(lp, col, sign * residual);
        }
    }
    glp_iptcp parm;
    glp_init_iptcp(&parm);
    parm.msg_lev = GLP_MSG_OFF;
    const int rc = glp_interior(lp, &parm);
    const double delta = rc == 0 && glp_ipt_status(lp) == GLP_OPT ? glp_ipt_obj_val(lp) * delta0
                                                                  : std::numeric_limits<double>::quiet_NaN();
    glp_delete_prob(lp);
    return delta;
}

struct Reached {
    double error, gain;
    Weighted near;  // the error's local maxima and their neighbours: where the optimum is decided
};

// The largest weighted error of the taps on the grid, at the best gain.
Reached WeightedError(const std::vector<double>& taps, const Weighted& p) {
    const int n = static_cast<int>(taps.size());
    const std::vector<double> unit = Coefficients(taps, 1.0);
    std::vector<double> a(p.f.size());
    for (size_t j = 0; j < p.f.size(); ++j) a[j] = Amplitude(n, unit, p.f[j]);
    auto worst = [&](double g) {
        double e = 0;
        for (size_t j = 0; j < a.size(); ++j) e = std::max(e, std::fabs(p.w[j] * (p.d[j] - g * a[j])));
        return e;
    };
    // The error is convex in the gain: golden section around the gain that meets D at DC.
    double lo = 0.5 * p.d[0] / a[0], hi = 2.0 * p.d[0] / a[0];
    for (int it = 0; it < 100; ++it) {
        const double m1 = lo + (hi - lo) * 0.382, m2 = lo + (hi - lo) * 0.618;
        if (worst(m1) < worst(m2))
            hi = m2;
        else
            lo = m1;
    }
    const double g = 0.5 * (lo + hi);
    Reached r{worst(g), g, {}};
    auto e = [&](size_t j) { return std::fabs(p.w[j] * (p.d[j] - g * a[j])); };
    const size_t last = p.f.size() - 1;
    for (size_t j = 0; j <= last; ++j) {
        bool keep = false;
        for (size_t k = j > 0 ? j - 1 : 0; k <= std::min(last, j + 1) && !keep; ++k)
            keep = (k == 0 || e(k) >= e(k - 1)) && (k == last || e(k) >= e(k + 1));
        if (!keep) continue;
        r.near.f.push_back(p.f[j]);
        r.near.d.push_back(p.d[j]);
        r.near.w.push_back(p.w[j]);
    }
    return r;
}

struct OptimumCase {
    int mode, cicDec, firDec;
    bool even;
    double transition;  // the stopband edge above the passband edge, a fraction of the PFIR input rate; 0: default
    double attenDb;
    bool compensate;
};

// Converged: within 5 % of the optimum. Searched: never below plain rounding.
TEST(PfirDesignOptimum, ExchangeReachesTheMinimaxAndTheSearchNeverLoses) {
    const OptimumCase cases[] = {
        {0, 1, 1, false, 0.10, 60, false},                                    // 31 taps, no CIC
        {0, 2, 1, false, 0.10, 60, true},                                     // 31 taps
        {0, 4, 2, false, 0.0, 80, true},                                      // 63 taps, PFIR decimation 2
        {0, 2, 1, true, 0.05, 60, true},                                      // even length
        {2, 4, 1, false, 0.0, 80, true},                                      // "Double rate"
        {0, 16, 4, false, 0.02, 80, true},                                    // narrow transition
        {0, 4, 1, false, 0.12, 90, true},                                     // wide transition
        {0, 64, 8, false, 0.0, 80, true},   {1, 8, 2, false, 0.0, 80, true},  // 511 taps, the default request
        {1, 8, 4, true, 0.0, 80, true},                                       // 512 taps
        {0, 1024, 2, false, 0.0, 80, true},                                   // R 1024
        {0, 32, 5, false, 0.0, 70, false},  {1, 4, 2, false, 0.0, 80, true},
    };
    for (const OptimumCase& c : cases) {
        const DdcChannel ch = ChannelAt(100000000, c.mode, c.cicDec, c.firDec);
        PfirDesignRequest base;
        base.evenLength = c.even;
        base.attenDb = c.attenDb;
        base.compensateCic = c.compensate;
        PfirDesignRequest r = DefaultPfirDesignRequest(ch, base);
        const double fp = PfirInputRateHz(ch);
        if (c.transition > 0) r.passHz = r.stopHz - c.transition * fp;
        const int n = PfirDesignLength(ch, c.even);
        const int R = static_cast<int>(std::lround(100000000 / fp));
        const double pass = r.passHz / fp, stop = r.stopHz / fp;
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " R " << R << " D " << c.firDec << " " << n << " taps, "
                                        << pass << " ... " << stop);

        const std::vector<double> ideal = DesignRemezTaps(n, R, pass, stop, r.rippleDb, r.attenDb, c.compensate);
        ASSERT_FALSE(ideal.empty());
        const Reached reached =
            WeightedError(ideal, Problem(R, pass, stop, r.rippleDb, r.attenDb, c.compensate, 16 * (n + 1)));
        // On a subset of the grid the optimum can only be lower: the ratio is checked against a lower bound.
        const double optimum = LinearProgramOptimum(n, reached.near, Coefficients(ideal, reached.gain), reached.error);
        ASSERT_TRUE(std::isfinite(optimum));
        EXPECT_LE(reached.error, 1.05 * optimum);

        const PfirDesign d = DesignPfir(ch, r);
        ASSERT_TRUE(d.ok());
        EXPECT_GE(d.figures.stopbandAttenDb, d.roundedFigures.stopbandAttenDb - 1e-9);
        if (d.roundedFigures.passbandRippleDb <= r.rippleDb) {
            EXPECT_LE(d.figures.passbandRippleDb, r.rippleDb + 1e-9);
        }
        EXPECT_NEAR(d.quantisationGainDb, d.figures.stopbandAttenDb - d.roundedFigures.stopbandAttenDb, 1e-9);
        std::printf("  R %4d D %d %3d taps: exchange %.4f of the optimum, rounded %.2f dB, searched %.2f dB (%+.2f)\n",
                    R, c.firDec, n, reached.error / optimum, d.roundedFigures.stopbandAttenDb,
                    d.figures.stopbandAttenDb, d.quantisationGainDb);
    }
}

}  // namespace
}  // namespace gc
