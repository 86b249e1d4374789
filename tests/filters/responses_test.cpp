// The main plot's three curves: the fast tap evaluation against the plain
// sine/cosine sum, and the values that hold whatever the evaluation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <vector>

#include "filters/responses.h"
#include "session/session.h"

namespace gc {
namespace {

constexpr double kPi = 3.141592653589793;

// The textbook evaluation, one sine and one cosine per tap and point.
ResponseCurve DirectPfir(const std::vector<int32_t>& taps, int R, int x) {
    ResponseCurve out{};
    const double base = R * kPi / 256.0;
    for (int i = 0; i < kResponsePoints; ++i) {
        double re = 0, im = 0;
        for (size_t j = 0; j < taps.size(); ++j) {
            double phi = base * (static_cast<double>(j) * i / x);
            re += std::cos(phi) * taps[j];
            im += std::sin(phi) * taps[j];
        }
        double m = std::sqrt(re * re + im * im);
        out[i] = m > 0 ? m : 1e-300;
    }
    return out;
}

std::vector<int32_t> RandomTaps(std::mt19937& rng, int n, int lo, int hi) {
    std::uniform_int_distribution<int32_t> d(lo, hi);
    std::vector<int32_t> t(static_cast<size_t>(n));
    for (auto& v : t) v = d(rng);
    return t;
}

double MaxDeviation(const ResponseCurve& a, const ResponseCurve& b) {
    double dev = 0;
    for (int i = 0; i < kResponsePoints; ++i) dev = std::max(dev, std::abs(a[i] - b[i]));
    return dev;
}

TEST(PfirResponse, FastEvaluationMatchesTheDirectSumWithinABillionthOfTheMaximum) {
    std::mt19937 rng(20261207);
    struct Case {
        int n, R, x, lo, hi;
    };
    // Random signed taps, all-positive (lowpass-like) taps, long and short sets,
    // the largest decimation and the largest zoom.
    const Case cases[] = {
        {512, 8, 1, -32768, 32767},           {512, 2, 1, 0, 32767},     {511, 1024, 1, -32768, 32767},
        {300, 16, 4096, -1000, 1000},         {31, 5, 8, -32768, 32767}, {2, 3, 1, -5, 5},
        {512, 1, 64, -2147483647, 2147483647}};
    for (const Case& c : cases) {
        std::vector<int32_t> taps = RandomTaps(rng, c.n, c.lo, c.hi);
        ResponseCurve fast{};
        ComputePfirResponse(taps.data(), c.n, c.R, c.x, fast);
        ResponseCurve direct = DirectPfir(taps, c.R, c.x);
        const double max = *std::max_element(direct.begin(), direct.end());
        EXPECT_LE(MaxDeviation(fast, direct), 1e-9 * max) << "n " << c.n << " R " << c.R << " X " << c.x;
    }
}

TEST(PfirResponse, ExactValuesAtDcForOneTapAndForNoTaps) {
    // Point 0 is the absolute tap sum; one tap v gives |v| everywhere.
    std::vector<int32_t> taps = {7, -300, 12, 5, -1, 40};
    ResponseCurve r{};
    ComputePfirResponse(taps.data(), 6, 4, 1, r);
    EXPECT_EQ(r[0], std::abs(std::accumulate(taps.begin(), taps.end(), 0.0)));

    const int32_t one[] = {-2147483647};
    ComputePfirResponse(one, 1, 4, 1, r);
    for (double v : r) ASSERT_EQ(v, 2147483647.0);

    ComputePfirResponse(one, 0, 4, 1, r);
    for (double v : r) ASSERT_EQ(v, 1e-300);

    // A set whose sum is zero has a true zero at DC: floored, not 0.
    const int32_t diff[] = {1, -1};
    ComputePfirResponse(diff, 2, 4, 1, r);
    EXPECT_EQ(r[0], 1e-300);
    EXPECT_GT(r[1], 0.0);
}

TEST(PfirResponse, TapCountBeyondTheFittedSetIsClamped) {
    std::vector<int32_t> taps(kMaxTaps, 1);
    ResponseCurve r{};
    ComputePfirResponse(taps.data(), 60000, 1, 1, r);  // ntaps is a 16-bit field
    EXPECT_EQ(r[0], 512.0);
    ComputePfirResponse(taps.data(), -5, 1, 1, r);
    EXPECT_EQ(r[0], 1e-300);
}

TEST(CicResponse, FlatAtDecimationOneAndFlooredAtItsNulls) {
    ResponseCurve r{};
    ComputeCicResponse(1, 1, r);
    for (double v : r) ASSERT_EQ(v, 1.0);

    ComputeCicResponse(4, 1, r);
    EXPECT_DOUBLE_EQ(r[128], 1e-20);  // R theta = pi
    EXPECT_EQ(r[0], 1024.0);          // DC is 0/0: its limit, the gain R^5
    EXPECT_NEAR(r[1], 1024.0, 1.0);
    for (double v : r) ASSERT_GE(v, 1e-20 * 0.999);
}

TEST(CicResponse, DcTakesItsLimitEvenWhereEveryOtherPointIsANull) {
    ResponseCurve r{};
    for (int R : {2, 5, 512, 1024}) {
        ComputeCicResponse(R, 1, r);
        EXPECT_EQ(r[0], std::pow(static_cast<double>(R), 5)) << R;
    }
    ComputeCicResponse(512, 1, r);
    for (int i = 1; i < kResponsePoints; ++i) ASSERT_DOUBLE_EQ(r[i], 1e-20) << i;
}

TEST(CicResponse, RectifyKeepsLargeValuesMirrorsNegativesAndFloorsTheRest) {
    EXPECT_EQ(RectifyCic(0.001), 0.001);
    EXPECT_EQ(RectifyCic(3.5), 3.5);
    EXPECT_EQ(RectifyCic(-0.0001), 0.0001);
    EXPECT_EQ(RectifyCic(-2.0), 2.0);
    EXPECT_EQ(RectifyCic(0.0005), 0.0001);  // small positive values are floored too
    EXPECT_EQ(RectifyCic(-0.00005), 0.0001);
    EXPECT_EQ(RectifyCic(0.0), 0.0001);
    EXPECT_EQ(RectifyCic(std::nan("")), 0.0001);
}

TEST(Responses, DoublingTheZoomPutsOldPointIAtNewPoint2I) {
    std::mt19937 rng(7);
    std::vector<int32_t> taps = RandomTaps(rng, 100, -2000, 2000);
    for (int x = 1; x < 4096; x *= 2) {
        ResponseCurve c1{}, c2{}, p1{}, p2{};
        ComputeCicResponse(5, x, c1);
        ComputeCicResponse(5, 2 * x, c2);
        ComputePfirResponse(taps.data(), 100, 5, x, p1);
        ComputePfirResponse(taps.data(), 100, 5, 2 * x, p2);
        for (int i = 1; i < kResponsePoints / 2; ++i) {
            ASSERT_EQ(c2[2 * i], c1[i]) << "X " << x << " i " << i;
            ASSERT_EQ(p2[2 * i], p1[i]) << "X " << x << " i " << i;
        }
    }
}

TEST(RecomputeResponse, UsesTheSelectedChannelAndMultipliesTheCurves) {
    Session m;
    m.CurrentChannel = 2;
    m.workImage.cic_dec[2] = 1;
    m.fittedTaps[2][0] = 3;
    m.fittedTaps[2][1] = 4;
    m.coefSetInfo[2].ntaps = 2;
    m.workImage.cic_dec[0] = 8;  // another channel's settings must not leak in
    ChannelResponse r;
    RecomputeResponse(m, m.CurrentChannel, 1, r);
    EXPECT_EQ(r.PfirResponse[0], 7.0);
    for (int i = 0; i < kResponsePoints; ++i) {
        ASSERT_EQ(r.CicResponse[i], 1.0);
        ASSERT_EQ(r.OverallResponse[i], r.PfirResponse[i]);
    }

    // No taps fitted yet: the PFIR is the floor and the overall curve is the CIC scaled by it.
    m.coefSetInfo[2].ntaps = 0;
    m.workImage.cic_dec[2] = 4;
    RecomputeResponse(m, m.CurrentChannel, 1, r);
    for (int i = 0; i < kResponsePoints; ++i) ASSERT_EQ(r.OverallResponse[i], r.CicResponse[i] * 1e-300);
}

TEST(RecomputeResponse, ZeroDecimationAndZoomGiveFiniteCurves) {
    // cic_dec 0 can come from an imported register table.
    Session m;
    m.workImage.cic_dec[0] = 0;
    m.fittedTaps[0][0] = 100;
    m.fittedTaps[0][1] = -50;
    m.coefSetInfo[0].ntaps = 2;
    ChannelResponse r;
    RecomputeResponse(m, m.CurrentChannel, 0, r);
    for (int i = 0; i < kResponsePoints; ++i) {
        ASSERT_TRUE(std::isfinite(r.OverallResponse[i]));
        ASSERT_GT(r.OverallResponse[i], 0.0);
    }
}

}  // namespace
}  // namespace gc
