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

Reference BruteForce(double fs, int R, int D, const std::vector<int32_t>& taps, int points, double pass) {
    const double fc = fs / R, fout = fc / D;
    double sum = 0;
    for (int32_t t : taps) sum += t;
    auto cic = [&](double f) {
        if (f == 0) return 1.0;
        return std::pow(std::abs(std::sin(kPi * f * R / fs) / (R * std::sin(kPi * f / fs))), 5);
    };
    auto pfir = [&](double f) {
        double re = 0, im = 0;
        for (size_t j = 0; j < taps.size(); ++j) {
            re += taps[j] * std::cos(2 * kPi * f / fc * static_cast<double>(j));
            im += taps[j] * std::sin(2 * kPi * f / fc * static_cast<double>(j));
        }
        return std::hypot(re, im) / std::abs(sum);
    };
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
    };
    // Designed lowpasses and one set of random taps (no linear phase, so the
    // classes of images get no help from symmetry); clocks that do not divide
    // by R D; R = 2 puts the last CIC image exactly at Fs / 2.
    const Case cases[] = {
        {100e6, 8, 2, 63, 513, 0, false},        {99999997, 2, 1, 31, 1025, 0.45, false},
        {100e6, 7, 3, 45, 401, 0.3, false},      {122880001, 64, 5, 101, 129, 0, false},
        {100e6, 3, 8, 20, 257, 0.25, true},      {80e6, 1024, 8, 32, 33, 0, false},
        {65536000, 2, 8, 96, 300, 0.5, false},   {100e6, 1000, 1, 40, 65, 0.1, false},
        {77777777, 13, 4, 64, 200, 0.49, false},
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
        const ChainAnalysis a = AnalyseChain(ch, {c.passFraction > 0 ? pass : 0, c.points});
        const Reference ref = BruteForce(c.fs, c.R, c.D, taps, c.points, pass);

        EXPECT_DOUBLE_EQ(a.outputRateHz, fout);
        EXPECT_DOUBLE_EQ(a.passHz, pass);
        ASSERT_EQ(a.freqHz.size(), static_cast<size_t>(c.points));
        EXPECT_DOUBLE_EQ(a.freqHz.back(), fout / 2);
        EXPECT_NEAR(a.figures.passbandRippleDb, ref.ripple, 1e-6);
        EXPECT_NEAR(a.figures.aliasRejectionDb, ref.rejection, 1e-6);
        EXPECT_NEAR(a.figures.worstAliasHz, ref.worstHz, 1e-3);
        EXPECT_NEAR(a.figures.worstAliasSourceHz, ref.worstSource, 1e-3);
        EXPECT_NEAR(a.figures.cicAliasRejectionDb, ref.cicRejection, 1e-6);
        const double top = *std::max_element(ref.wanted.begin(), ref.wanted.end());
        ExpectSameLevels(a.wanted, ref.wanted, top, "wanted");
        ExpectSameLevels(a.image, ref.image, top, "image");
        ExpectSameLevels(a.cicImage, ref.cicImage, top, "cic image");
    }
}

}  // namespace
}  // namespace gc
