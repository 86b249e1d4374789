#include "filters/pfir_design.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "core/number_format.h"
#include "core/text_io.h"
#include "filters/coef_files.h"
#include "filters/pfir_fit.h"
#include "filters/pfir_window.h"
#include "test_util.h"

namespace gc {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

DdcChannel Channel(int mode, int cicDec, int firDec) { return ChannelAt(100000000, mode, cicDec, firDec); }

struct LengthCase {
    int mode, cicDec, firDec;
    bool even;
    int length;
};

// The designed set runs as it stands: symmetric, of the longest length the
// rule allows for its parity, and the fit takes it without cutting or padding.
TEST(PfirDesign, IsSymmetricAtTheLongestLengthAndFitsExactly) {
    const LengthCase cases[] = {
        {0, 8, 2, false, 255},  {0, 8, 2, true, 256},  // cap 128 in "Full rate"
        {1, 8, 2, false, 511},  {1, 4, 1, true, 128},  // "SplitIQ": limit step * CicDec
        {2, 16, 1, false, 255}, {2, 4, 4, true, 256},  // "Double rate": step * (CicDec div 2)
        {0, 1, 1, false, 31},                          // the shortest length there is
    };
    for (const LengthCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " cic " << c.cicDec << " fir " << c.firDec
                                        << (c.even ? " even" : " odd"));
        const DdcChannel ch = Channel(c.mode, c.cicDec, c.firDec);
        PfirDesignRequest base;
        base.evenLength = c.even;
        const PfirDesign d = DesignPfir(ch, DefaultPfirDesignRequest(ch, base));
        ASSERT_TRUE(d.ok()) << static_cast<int>(d.errors[0].cause);
        EXPECT_EQ(PfirDesignLength(ch, c.even), c.length);
        ASSERT_EQ(d.ntaps, c.length);
        ASSERT_EQ(static_cast<int>(d.taps.size()), c.length);
        int32_t peak = 0;
        for (int i = 0; i < c.length; ++i) {
            ASSERT_EQ(d.taps[i], d.taps[c.length - 1 - i]) << i;
            peak = std::max(peak, std::abs(d.taps[i]));
        }
        EXPECT_EQ(peak, 32767);

        // Written and loaded as "Файл" loads it.
        test::TempDir dir;
        ASSERT_TRUE(WriteFileAtomic(dir / "designed.taps", PfirTapsText(d.taps)));
        Settings s;
        s.ModeOfInput = c.mode;
        s.CicDec[0] = c.cicDec;
        s.FirDec[0] = c.firDec;
        auto chip = std::make_unique<ChipState>();
        ASSERT_EQ(LoadChosenPfirFile(s, *chip, 0, dir / "designed.taps", nullptr), c.length);
        EXPECT_EQ(chip->pfirFitColour[0], PfirFitColour::Face);
        EXPECT_EQ(chip->coefSetInfo[0].ntaps, c.length);
        EXPECT_EQ(chip->coefSetInfo[0].symmetric, 1);
    }
}

// The default request of "Full rate", CIC 8, FirDec 2 reaches about 0.48 of
// the output rate, where the CIC droops by some 4 dB: compensated, the whole
// chain stays within the 0.1 dB asked; plain, the droop shows.
TEST(PfirDesign, CompensationFlattensTheCicDroop) {
    const DdcChannel ch = Channel(0, 8, 2);
    PfirDesignRequest r = DefaultPfirDesignRequest(ch);
    const double out = PfirOutputRateHz(ch);
    EXPECT_DOUBLE_EQ(out, 6250000.0);
    EXPECT_NEAR(r.passHz / out, 0.48, 0.005);
    EXPECT_NEAR(r.stopHz - r.passHz, 12500000.0 * (80 - 7.95) / (14.36 * 254), 1e-6);
    EXPECT_DOUBLE_EQ(r.rippleDb, 0.1);
    EXPECT_DOUBLE_EQ(r.attenDb, 80.0);

    const PfirDesign on = DesignPfir(ch, r);
    ASSERT_TRUE(on.ok());
    EXPECT_LE(on.figures.passbandRippleDb, 0.1);
    EXPECT_GE(on.figures.stopbandAttenDb, 80.0);
    EXPECT_TRUE(on.meetsRequest);
    EXPECT_EQ(on.method, PfirDesignMethod::Remez);

    // The preview: flat to the passband edge, the marker at half the output rate.
    const PlotFrame frame = PfirDesignPlotFrame(on.preview, 2);
    EXPECT_EQ(frame.markerColumn, 128);
    const int edgeColumn = static_cast<int>(r.passHz / 12.5e6 * 512);
    for (int i = 0; i <= edgeColumn; ++i) EXPECT_EQ(frame.curveY[i], 0) << i;
    EXPECT_GE(frame.curveY[static_cast<int>(r.stopHz / 12.5e6 * 512) + 1], 160);  // below -80 dB

    r.compensateCic = false;
    const PfirDesign off = DesignPfir(ch, r);
    ASSERT_TRUE(off.ok());
    EXPECT_GT(off.figures.passbandRippleDb, 1.0);
    EXPECT_FALSE(off.meetsRequest);
}

// At long lengths and a wide transition the exchange fails without a word:
// the Kaiser design of the same length takes over, and the result says so.
TEST(PfirDesign, KaiserTakesOverWhereTheExchangeFails) {
    EXPECT_TRUE(DesignRemezTaps(383, 8, 0.1, 0.15, 0.1, 80, false).empty());  // non-finite taps

    const DdcChannel ch = Channel(1, 8, 2);  // 511 taps
    const double fp = PfirInputRateHz(ch);
    PfirDesignRequest r;
    r.passHz = 0.1 * fp;
    r.stopHz = 0.15 * fp;
    r.attenDb = 70;  // 16-bit words with the largest at 32767 leave some 78 dB here
    const PfirDesign d = DesignPfir(ch, r);
    ASSERT_TRUE(d.ok());
    EXPECT_EQ(d.ntaps, 511);
    EXPECT_EQ(d.method, PfirDesignMethod::Kaiser);
    EXPECT_TRUE(d.meetsRequest);
    EXPECT_LE(d.figures.passbandRippleDb, 0.1);
    EXPECT_GE(d.figures.stopbandAttenDb, 70.0);
}

// The Kaiser design carries the same compensation, by frequency sampling.
TEST(PfirDesign, KaiserCompensatesTheCicToo) {
    const int R = 8;
    const double pass = 0.2, stop = 0.3;
    const auto on = QuantisePfirTaps(DesignKaiserTaps(255, R, pass, stop, 80, true));
    const auto off = QuantisePfirTaps(DesignKaiserTaps(255, R, pass, stop, 80, false));
    ASSERT_FALSE(on.empty());
    ASSERT_FALSE(off.empty());
    const PfirFigures fOn = EvaluatePfirFigures(on, R, pass, stop);
    const PfirFigures fOff = EvaluatePfirFigures(off, R, pass, stop);
    EXPECT_LT(fOn.passbandRippleDb, 0.01);
    EXPECT_GT(fOff.passbandRippleDb, 2.0);
    EXPECT_GT(fOn.stopbandAttenDb, 75.0);
}

// The default request leaves a stopband at every PFIR decimation, and its
// design has no transition-band peak above the passband.
TEST(PfirDesign, DefaultsLeaveAStopbandAtEveryDecimation) {
    const int cases[][3] = {{0, 8, 1}, {0, 32, 1}, {0, 2, 1}, {0, 8, 2}, {0, 8, 3}, {0, 16, 8}, {1, 64, 5}, {2, 4, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c[0] << " cic " << c[1] << " fir " << c[2]);
        const DdcChannel ch = Channel(c[0], c[1], c[2]);
        const PfirDesignRequest r = DefaultPfirDesignRequest(ch);
        const double half = PfirInputRateHz(ch) / 2;
        EXPECT_GT(r.passHz, 0.0);
        EXPECT_LT(r.stopHz, half * (1 - 1e-9));
        const PfirDesign d = DesignPfir(ch, r);
        ASSERT_TRUE(d.ok()) << static_cast<int>(d.errors[0].cause);
        EXPECT_LE(d.figures.transitionPeakDb, r.rippleDb);
    }
}

struct EdgeCase {
    int mode, cicDec, firDec;
    bool even;
    double pass, stop;  // fractions of the output rate
    double rippleDb;
};

// Edges typed a millihertz apart give designs within 0.5 dB of each other:
// the search does not land in another local optimum for a rounding of an edge.
TEST(PfirDesign, EdgesAMillihertzApartGiveTheSameAttenuation) {
    const EdgeCase cases[] = {
        {0, 2, 1, false, 0.16, 0.32, 0.1},  {0, 4, 1, true, 0.3, 0.4, 0.05},
        {0, 4, 2, false, 0.35, 0.65, 0.1},  {0, 6, 2, false, 0.4, 0.6, 0.2},
        {0, 8, 2, false, 0.48, 0.52, 0.1},  {0, 1024, 2, false, 0.45, 0.55, 0.1},
        {2, 120, 7, false, 0.4, 0.6, 0.1},  {2, 16, 4, true, 0.4, 0.6, 0.02},
        {1, 33, 4, false, 0.25, 0.5, 0.05},  // the passband edge on the grid the design's edges are moved to
        {1, 8, 3, false, 0.4, 0.6, 0.1},
    };
    for (const EdgeCase& c : cases) {
        const DdcChannel ch = Channel(c.mode, c.cicDec, c.firDec);
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " cic " << c.cicDec << " fir " << c.firDec);
        PfirDesignRequest r;
        r.evenLength = c.even;
        r.rippleDb = c.rippleDb;
        const double fout = PfirOutputRateHz(ch);
        double lo = 1e9, hi = 0;
        for (const double move : {0.0, 1e-3, -1e-3}) {
            r.passHz = c.pass * fout + move;
            r.stopHz = c.stop * fout + move;
            const PfirDesign d = DesignPfir(ch, r);
            ASSERT_TRUE(d.ok());
            EXPECT_LE(d.figures.passbandRippleDb, r.rippleDb + 1e-9);
            lo = std::min(lo, d.figures.stopbandAttenDb);
            hi = std::max(hi, d.figures.stopbandAttenDb);
        }
        EXPECT_LE(hi - lo, 0.5) << lo << " ... " << hi;
    }
}

// The verdict's figures: each one that misses is named with its value, and
// the alias rejection is said to be the CIC's limit only when it is.
TEST(PfirDesign, ShortfallsNameEachMissedFigure) {
    struct Case {
        int cicDec, firDec;
        double rippleDb, attenDb;
        std::vector<PfirFigure> missed;
        bool cicLimited;
    };
    const Case cases[] = {
        {16, 8, 0.1, 80, {}, false},                          // everything met
        {8, 2, 0.1, 80, {PfirFigure::AliasRejection}, true},  // the CIC's images at 12.5 MHz
        {16, 8, 0.1, 110, {PfirFigure::StopbandAtten, PfirFigure::AliasRejection}, false},  // beyond 16 bits
        {8, 2, 0.0005, 90, {PfirFigure::Ripple, PfirFigure::StopbandAtten, PfirFigure::AliasRejection}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "cic " << c.cicDec << " fir " << c.firDec << " atten " << c.attenDb);
        const DdcChannel ch = Channel(0, c.cicDec, c.firDec);
        PfirDesignRequest base;
        base.rippleDb = c.rippleDb;
        base.attenDb = c.attenDb;
        const PfirDesignRequest r = DefaultPfirDesignRequest(ch, base);
        const PfirDesign d = DesignPfir(ch, r);
        ASSERT_TRUE(d.ok());
        std::vector<PfirFigure> missed;
        for (const PfirShortfall& f : PfirDesignShortfalls(d, r)) {
            missed.push_back(f.figure);
            if (f.figure == PfirFigure::AliasRejection) {
                EXPECT_EQ(f.cicLimited, c.cicLimited);
                EXPECT_EQ(f.value, d.chain.aliasRejectionDb);
                EXPECT_LT(f.value, c.attenDb);
            }
        }
        EXPECT_EQ(missed, c.missed);
    }
}

// A default attenuation the length cannot reach becomes the one it does; a
// request that misses anything else keeps its attenuation.
TEST(PfirDesign, UnreachableDefaultAttenuationIsLoweredToWhatIsReached) {
    struct Case {
        double rippleDb, attenDb;
        bool lowered;
    };
    const Case cases[] = {{0.1, 80, false}, {0.1, 110, true}, {0.0005, 110, false}};
    const DdcChannel ch = Channel(0, 8, 2);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rippleDb << " dB, " << c.attenDb << " dB");
        PfirDesignRequest base;
        base.rippleDb = c.rippleDb;
        base.attenDb = c.attenDb;
        PfirDesignRequest r = DefaultPfirDesignRequest(ch, base);
        const PfirDesign d = DesignPfir(ch, r);
        const std::optional<double> lowered = ReachableDefaultAttenDb(d, r);
        ASSERT_EQ(lowered.has_value(), c.lowered);
        if (!lowered) continue;
        EXPECT_LE(*lowered, d.figures.stopbandAttenDb);
        EXPECT_GT(*lowered, d.figures.stopbandAttenDb - 0.1);
        r.attenDb = *lowered;
        EXPECT_TRUE(PfirDesignShortfalls(d, r).size() <= 1);  // at most the CIC-limited alias rejection
    }
}

TEST(PfirDesign, BadRequestsNameTheirFieldAndCause) {
    const DdcChannel ch = Channel(0, 8, 2);  // half the PFIR input rate: 6.25 MHz
    const PfirDesignRequest good = DefaultPfirDesignRequest(ch);
    using F = PfirDesignField;
    using enum PfirRequestCause;
    struct Case {
        double pass, stop, ripple, atten;
        PfirDesignField field;
        PfirRequestCause cause;
    };
    const Case cases[] = {
        {0, 1e6, 0.1, 80, F::Pass, PassNotAboveZero},        {-5, 1e6, 0.1, 80, F::Pass, PassNotAboveZero},
        {kNaN, 1e6, 0.1, 80, F::Pass, PassNotAboveZero},     {1e6, 1e6, 0.1, 80, F::Stop, StopNotAbovePass},
        {1e6, 0.5e6, 0.1, 80, F::Stop, StopNotAbovePass},    {1e6, 6250001, 0.1, 80, F::Stop, StopAboveHalfInput},
        {1e6, 2e6, 0, 80, F::Ripple, RippleNotAboveZero},    {1e6, 2e6, -1, 80, F::Ripple, RippleNotAboveZero},
        {1e6, 2e6, kNaN, 80, F::Ripple, RippleNotAboveZero}, {1e6, 2e6, 0.1, 0, F::Atten, AttenOutOfRange},
        {1e6, 2e6, 0.1, kNaN, F::Atten, AttenOutOfRange},    {1e6, 2e6, 0.1, 1e9, F::Atten, AttenOutOfRange},
    };
    for (const Case& c : cases) {
        PfirDesignRequest r = good;
        r.passHz = c.pass;
        r.stopHz = c.stop;
        r.rippleDb = c.ripple;
        r.attenDb = c.atten;
        const PfirDesign d = DesignPfir(ch, r);
        ASSERT_EQ(d.errors.size(), 1u) << c.pass << " " << c.stop << " " << c.ripple << " " << c.atten;
        EXPECT_EQ(d.errors[0].field, c.field);
        EXPECT_EQ(d.errors[0].cause, c.cause);
        EXPECT_TRUE(d.taps.empty());
    }
    EXPECT_TRUE(CheckPfirDesignRequest(ch, good).empty());
    // The stopband may reach half the PFIR input rate exactly.
    PfirDesignRequest edge = good;
    edge.stopHz = 6250000;
    EXPECT_TRUE(CheckPfirDesignRequest(ch, edge).empty());
    // Without a clock there is no band to design in.
    EXPECT_FALSE(CheckPfirDesignRequest(ChannelAt(0, 0, 8, 2), good).empty());
}

TEST(PfirDesign, QuantisesToSixteenBitsRoundedToNearest) {
    EXPECT_EQ(QuantisePfirTaps({0.5, -1.0, 0.25, 1.0 / 65534}), (std::vector<int32_t>{16384, -32767, 8192, 1}));
    EXPECT_EQ(QuantisePfirTaps({0.1, 0.2}), (std::vector<int32_t>{16384, 32767}));  // 16383.5 rounds up
    EXPECT_TRUE(QuantisePfirTaps({0.0, 0.0}).empty());
    EXPECT_TRUE(QuantisePfirTaps({1.0, kNaN}).empty());
    EXPECT_EQ(PfirTapsText({-3, 0, 12}), " -3\n 0\n 12\n");
}

TEST(PfirDesign, ReadsNumbersAsTheUserTypesThem) {
    const std::pair<const char*, double> good[] = {{"80", 80}, {" 0.1 ", 0.1}, {"0,25", 0.25},
                                                   {"+3", 3},  {"-2.5", -2.5}, {"1e3", 1000}};
    for (const auto& [text, value] : good) EXPECT_EQ(ParseDesignNumber(text), value) << text;
    for (const char* text : {"", " ", "abc", "1.2.3", "12 dB", "+-1", "nan", "inf", "1e999"})
        EXPECT_FALSE(ParseDesignNumber(text).has_value()) << text;
}

}  // namespace
}  // namespace gc
