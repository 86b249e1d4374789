// The folded chain against a brute-force evaluation: every image k of every
// output frequency, the CIC written out and the PFIR as a direct sum.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "filters/chain_analysis.h"
#include "filters/pfir_design.h"

namespace gc {
namespace {

constexpr double kPi = 3.14159265358979323846;

struct Reference {
    std::vector<double> wanted, image, cicImage;
    double ripple = 0, rejection = 1e300, worstHz = 0, worstSource = 0, cicRejection = 1e300;
};

double CicAt(double fs, int R, double f) {
    if (f == 0) return 1.0;
    return std::pow(std::abs(std::sin(kPi * f * R / fs) / (R * std::sin(kPi * f / fs))), 5);
}

double PfirAt(const std::vector<int32_t>& taps, double fc, double f) {
    double re = 0, im = 0, sum = 0;
    for (size_t j = 0; j < taps.size(); ++j) {
        re += taps[j] * std::cos(2 * kPi * f / fc * static_cast<double>(j));
        im += taps[j] * std::sin(2 * kPi * f / fc * static_cast<double>(j));
        sum += taps[j];
    }
    return std::hypot(re, im) / std::abs(sum);
}

// W at n points evenly over lo .. hi, both included.
std::vector<double> DenseWanted(double fs, int R, int D, const std::vector<int32_t>& taps, double lo, double hi,
                                int n) {
    std::vector<double> w;
    for (int i = 0; i < n; ++i) {
        const double f = lo + (hi - lo) * i / (n - 1);
        w.push_back(CicAt(fs, R, f) * PfirAt(taps, fs / R, f));
    }
    return w;
}

Reference BruteForce(double fs, int R, int D, const std::vector<int32_t>& taps, int points, double pass) {
    const double fc = fs / R, fout = fc / D;
    auto cic = [&](double f) { return CicAt(fs, R, f); };
    auto pfir = [&](double f) { return PfirAt(taps, fc, f); };
    Reference ref;
    double wMax = 0, wMin = 1e300;
    const int kMax = R * D;
    for (int i = 0; i <= points; ++i) {
        const double g = i < points ? fout / 2 * i / (points - 1) : pass;
        const double w = cic(g) * pfir(g);
        double img = 0, src = 0, cicImg = 0, cicAlone = 0;
        for (int k = -kMax; k <= kMax; ++k) {
            const double f = g + k * fout;
            if (k == 0 || std::abs(f) > fs / 2 * (1 + 1e-12)) continue;
            const double v = cic(std::abs(f)) * pfir(std::abs(f));
            if (v > img) img = v, src = f;
            if (k % D == 0 && v > cicImg) cicImg = v, cicAlone = cic(std::abs(f));
        }
        if (i < points) {
            ref.wanted.push_back(w);
            ref.image.push_back(img);
            ref.cicImage.push_back(cicImg);
        }
        if (g > pass) continue;
        wMax = std::max(wMax, w);
        wMin = std::min(wMin, w);
        const double rej = 20 * std::log10(w / img);
        if (rej < ref.rejection) ref.rejection = rej, ref.worstHz = g, ref.worstSource = src;
        ref.cicRejection = std::min(ref.cicRejection, 20 * std::log10(cic(g) / cicAlone));
    }
    ref.ripple = 20 * std::log10(wMax / wMin);
    return ref;
}

// Levels below the strongest wanted point agree to a millionth of a dB
// wherever they are above -250 dB (below that the CIC's floor takes over).
void ExpectSameLevels(const std::vector<double>& got, const std::vector<double>& want, double ref, const char* what) {
    ASSERT_EQ(got.size(), want.size()) << what;
    for (size_t i = 0; i < got.size(); ++i) {
        const double w = 20 * std::log10(want[i] / ref);
        if (!(w > -250)) continue;
        ASSERT_NEAR(20 * std::log10(got[i] / ref), w, 1e-6) << what << " at point " << i;
    }
}

TEST(ChainAnalysis, FiguresAndCurvesAgreeWithEveryImageEvaluated) {
    struct Case {
        double fs;
        int R, D, ntaps, points;
        double passFraction;  // of the output rate; 0 for the default
        bool randomTaps;
        double stopFraction;  // of the output rate; 0 for the default Fout - P
    };
    // Designed lowpasses and one set of random taps (no linear phase, so the
    // classes of images get no help from symmetry); clocks that do not divide
    // by R D; R = 2 puts the last CIC image exactly at Fs / 2. Stopband edges
    // inside the output band and beyond its half.
    const Case cases[] = {
        {100e6, 8, 2, 63, 513, 0, false, 0.3},          {99999997, 2, 1, 31, 1025, 0.45, false, 0},
        {100e6, 7, 3, 45, 401, 0.3, false, 0.42},       {122880001, 64, 5, 101, 129, 0, false, 0.45},
        {100e6, 3, 8, 20, 257, 0.25, true, 0.26},       {80e6, 1024, 8, 32, 33, 0, false, 0.499},
        {65536000, 2, 8, 96, 300, 0.5, false, 0.7},     {100e6, 1000, 1, 40, 65, 0.1, false, 0.2},
        {77777777, 13, 4, 64, 200, 0.49, false, 0.495},
    };
    std::mt19937 rng(21);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "Fs " << c.fs << " R " << c.R << " D " << c.D);
        const double fc = c.fs / c.R, fout = fc / c.D;
        std::vector<int32_t> taps;
        if (c.randomTaps) {
            std::uniform_int_distribution<int32_t> dist(-2000, 30000);
            for (int j = 0; j < c.ntaps; ++j) taps.push_back(dist(rng));
        } else {
            taps = QuantisePfirTaps(DesignKaiserTaps(c.ntaps, c.R, 0.35 / c.D, std::min(0.5, 0.65 / c.D), 70, true));
            ASSERT_FALSE(taps.empty());
        }
        const DdcChannel ch{.systemClock = static_cast<int32_t>(c.fs), .cicDec = c.R, .firDec = c.D, .taps = taps};
        const double pass = c.passFraction > 0 ? c.passFraction * fout : 0.4 * fout;
        const double stop = c.stopFraction > 0 ? c.stopFraction * fout : fout - pass;
        ChainRequest r{c.passFraction > 0 ? pass : 0, c.points};
        r.stopHz = c.stopFraction > 0 ? stop : 0;
        const ChainAnalysis a = AnalyseChain(ch, r);
        const Reference ref = BruteForce(c.fs, c.R, c.D, taps, c.points, pass);

        EXPECT_DOUBLE_EQ(a.outputRateHz, fout);
        EXPECT_DOUBLE_EQ(a.passHz, pass);
        ASSERT_EQ(a.freqHz.size(), static_cast<size_t>(c.points));
        EXPECT_DOUBLE_EQ(a.freqHz.back(), fout / 2);
        // Searched between the grid points, a figure is the grid's or worse,
        // never by more than what lies between the points.
        EXPECT_GE(a.figures.passbandRippleDb, ref.ripple - 1e-6);
        EXPECT_LE(a.figures.aliasRejectionDb, ref.rejection + 1e-6);
        EXPECT_LE(a.figures.cicAliasRejectionDb, ref.cicRejection + 1e-6);
        const std::vector<double> pw = DenseWanted(c.fs, c.R, c.D, taps, 0, pass, 20001);
        const auto [lo, hi] = std::minmax_element(pw.begin(), pw.end());
        EXPECT_NEAR(a.figures.passbandRippleDb, 20 * std::log10(*hi / *lo), 1e-3);
        EXPECT_NEAR(std::remainder(a.figures.worstAliasSourceHz - a.figures.worstAliasHz, fout), 0.0, 1e-3);
        const double top = *std::max_element(ref.wanted.begin(), ref.wanted.end());
        ExpectSameLevels(a.wanted, ref.wanted, top, "wanted");
        ExpectSameLevels(a.image, ref.image, top, "image");
        ExpectSameLevels(a.cicImage, ref.cicImage, top, "cic image");

        // The stopband against W at 20001 points over S .. Fout / 2.
        EXPECT_DOUBLE_EQ(a.request.stopHz, stop);
        if (stop >= fout / 2) {
            EXPECT_FALSE(a.figures.stopbandAttenDb);
            EXPECT_FALSE(a.margins.stopbandDb);
            continue;
        }
        const std::vector<double> sw = DenseWanted(c.fs, c.R, c.D, taps, stop, fout / 2, 20001);
        const double dense = -20 * std::log10(*std::max_element(sw.begin(), sw.end()));
        ASSERT_TRUE(a.figures.stopbandAttenDb);
        EXPECT_LE(*a.figures.stopbandAttenDb, dense + 1e-6);
        EXPECT_NEAR(*a.figures.stopbandAttenDb, dense, 0.01);
        EXPECT_GE(a.figures.worstStopHz, stop);
        EXPECT_NEAR(*a.margins.stopbandDb, *a.figures.stopbandAttenDb - 80, 1e-9);
    }
}

// A passband reaching into the PFIR's stopband on a coarse grid: its notches
// fall between the points, and the ripple and alias rejection are where a
// dense evaluation puts them, not where the grid's points do.
TEST(ChainAnalysis, ANotchBetweenGridPointsIsFound) {
    const double fs = 100e6;
    const int R = 4, D = 2;
    const std::vector<int32_t> taps = QuantisePfirTaps(DesignKaiserTaps(63, R, 0.1, 0.2, 60, true));
    const DdcChannel ch{.systemClock = static_cast<int32_t>(fs), .cicDec = R, .firDec = D, .taps = taps};
    const double fout = fs / R / D;
    const ChainAnalysis a = AnalyseChain(ch, {fout / 2, 17});
    const std::vector<double> w = DenseWanted(fs, R, D, taps, 0, fout / 2, 20001);
    const auto [lo, hi] = std::minmax_element(w.begin(), w.end());
    const auto [glo, ghi] = std::minmax_element(a.wanted.begin(), a.wanted.end());
    const double dense = 20 * std::log10(*hi / *lo), grid = 20 * std::log10(*ghi / *glo);
    EXPECT_GT(dense, grid + 10);  // the grid alone misses the notch
    EXPECT_GE(a.figures.passbandRippleDb, dense);
}

}  // namespace
}  // namespace gc
