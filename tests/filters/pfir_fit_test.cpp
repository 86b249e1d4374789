#include "filters/pfir_fit.h"
#include "session/session.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace gc {
namespace {

// A model whose channel 0 holds the given taps, with the given decimations.
Session WithTaps(const std::vector<int16_t>& taps, int mode, int cicDec, int firDec) {
    Session m;
    m.settings.ModeOfInput = mode;
    m.settings.CicDec[0] = cicDec;
    m.settings.FirDec[0] = firDec;
    for (size_t i = 0; i < taps.size(); ++i) m.workImage.pfir[0].coef[i] = taps[i];
    m.workImage.ncoefs[0] = static_cast<uint16_t>(taps.size());
    return m;
}

std::vector<int16_t> Symmetric(int n) {
    std::vector<int16_t> t(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) t[static_cast<size_t>(i)] = static_cast<int16_t>(100 + std::min(i, n - 1 - i));
    return t;
}

std::vector<int16_t> Ramp(int n) {
    std::vector<int16_t> t(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) t[static_cast<size_t>(i)] = static_cast<int16_t>(i + 1);
    return t;
}

// Checks that fitted entries [first, first + taps.size()) hold taps and every other entry is zero.
void ExpectPlaced(const Session& m, const std::vector<int16_t>& taps, int first, int sourceFirst = 0, int count = -1) {
    if (count < 0) count = static_cast<int>(taps.size());
    for (int k = 0; k < kMaxTaps; ++k) {
        int src = k - first + sourceFirst;
        bool inside = k >= first && k < first + count;
        int32_t want = inside ? taps[static_cast<size_t>(src)] : 0;
        ASSERT_EQ(m.fittedTaps[0][static_cast<size_t>(k)], want) << "entry " << k;
    }
}

TEST(PfirLengthLimit, WorkedExamples) {
    auto full = PfirLengthLimit(0, 8, 1);  // limit 64 below the cap of 128
    EXPECT_EQ(full.step, 16);
    EXPECT_EQ(full.count, 4);
    auto split = PfirLengthLimit(1, 8, 2);  // limit 256 = cap
    EXPECT_EQ(split.step, 32);
    EXPECT_EQ(split.count, 8);
    auto cic1 = PfirLengthLimit(0, 1, 1);  // 1 div 2 = 0: limit 0, one step
    EXPECT_EQ(cic1.step, 16);
    EXPECT_EQ(cic1.count, 1);
    auto capped = PfirLengthLimit(0, 1024, 1);  // cap 128 in Full rate
    EXPECT_EQ(capped.count, 8);
    auto doubleRate = PfirLengthLimit(2, 8, 1);  // half the CIC decimation, cap 256
    EXPECT_EQ(doubleRate.count, 4);
    auto between = PfirLengthLimit(0, 6, 2);  // limit 96: largest multiple of 32 below it
    EXPECT_EQ(between.count, 3);
}

TEST(PfirLengthLimit, LengthsForEachSymmetry) {
    auto lim = PfirLengthLimit(0, 8, 1);
    EXPECT_EQ(PfirMaxLength(lim, false, 40), 64);
    EXPECT_EQ(PfirMaxLength(lim, true, 20), 128);
    EXPECT_EQ(PfirMaxLength(lim, true, 21), 127);
    EXPECT_EQ(PfirMaxLength(PfirLengthLimit(1, 8, 2), true, 33), 511);
}

TEST(PfirLengthLimit, DecimationsFromDamagedFilesStayInRange) {
    // FirDec 0 counts as 1, anything above 8 as 8: no division by zero and no
    // allowed length beyond the 512 entries of a fitted set.
    auto zero = PfirLengthLimit(0, 8, 0);
    EXPECT_EQ(zero.step, 16);
    EXPECT_EQ(zero.count, 4);
    EXPECT_EQ(PfirLengthLimit(1, 8, -3).step, 16);
    EXPECT_EQ(PfirLengthLimit(1, 8, 1000).step, 128);
    // A CIC decimation near the int range must not overflow the limit.
    EXPECT_EQ(PfirLengthLimit(1, INT_MAX, 1).count, 16);
    EXPECT_EQ(PfirLengthLimit(2, INT_MIN, 1).count, 1);
    EXPECT_EQ(PfirLengthLimit(0, -8, 1).count, 1);
    // Unknown input modes count as Full rate, as in the derivation.
    EXPECT_EQ(PfirLengthLimit(7, 1024, 1).count, 8);
    EXPECT_EQ(PfirLengthLimit(-1, 1024, 1).count, 8);
}

TEST(FitPfirToChannel, SymmetricSetOfAnAllowedLengthIsKept) {
    auto taps = Symmetric(32);
    Session m = WithTaps(taps, 0, 8, 1);
    FitPfirToChannel(m.settings, m, 0, 32);
    const CoefSetInfo& info = m.coefSetInfo[0];
    EXPECT_EQ(info.ntaps, 32);
    EXPECT_EQ(info.nblocks, 1);
    EXPECT_EQ(info.symmetric, 1);
    EXPECT_EQ(info.even, 1);
    EXPECT_EQ(info.symtype, 2);
    EXPECT_EQ(m.pfirFitColour[0], PfirFitColour::Yellow);
    ExpectPlaced(m, taps, 0);
}

TEST(FitPfirToChannel, ShortSymmetricSetIsCentredInTheNextLength) {
    auto taps = Symmetric(20);
    Session m = WithTaps(taps, 0, 8, 1);
    FitPfirToChannel(m.settings, m, 0, 20);
    EXPECT_EQ(m.coefSetInfo[0].ntaps, 32);
    EXPECT_EQ(m.coefSetInfo[0].nblocks, 1);
    EXPECT_EQ(m.pfirFitColour[0], PfirFitColour::Yellow);
    ExpectPlaced(m, taps, 6);  // entries 6..25
}

TEST(FitPfirToChannel, LongSetIsCutToItsCentre) {
    auto taps = Ramp(100);
    Session m = WithTaps(taps, 0, 8, 1);
    FitPfirToChannel(m.settings, m, 0, 100);
    EXPECT_EQ(m.coefSetInfo[0].ntaps, 64);
    EXPECT_EQ(m.coefSetInfo[0].nblocks, 4);
    EXPECT_EQ(m.coefSetInfo[0].symmetric, 0);
    EXPECT_EQ(m.coefSetInfo[0].symtype, 0);
    EXPECT_EQ(m.pfirFitColour[0], PfirFitColour::Red);
    ExpectPlaced(m, taps, 0, 18, 64);  // loaded entries 18..81
    // The scan covers the whole loaded set, not the cut one.
    EXPECT_EQ(m.coefSetInfo[0].sumtap, 5050);
    EXPECT_EQ(m.coefSetInfo[0].maxtap, 100);
}

TEST(FitPfirToChannel, ShortUnsymmetricSetIsCentred) {
    auto taps = Ramp(40);
    Session m = WithTaps(taps, 0, 8, 1);
    FitPfirToChannel(m.settings, m, 0, 40);
    EXPECT_EQ(m.coefSetInfo[0].ntaps, 48);
    EXPECT_EQ(m.coefSetInfo[0].nblocks, 3);
    EXPECT_EQ(m.pfirFitColour[0], PfirFitColour::Yellow);
    ExpectPlaced(m, taps, 4);  // entries 4..43
}

TEST(FitPfirToChannel, SetOfTheLongestLengthIsUnchanged) {
    auto taps = Ramp(64);
    Session m = WithTaps(taps, 0, 8, 1);
    FitPfirToChannel(m.settings, m, 0, 64);
    EXPECT_EQ(m.coefSetInfo[0].ntaps, 64);
    EXPECT_EQ(m.pfirFitColour[0], PfirFitColour::Face);
    ExpectPlaced(m, taps, 0);
}

TEST(FitPfirToChannel, LongestSymmetricOddSetInSplitIq) {
    auto taps = Symmetric(511);
    Session m = WithTaps(taps, 1, 8, 2);
    FitPfirToChannel(m.settings, m, 0, 511);
    EXPECT_EQ(m.coefSetInfo[0].ntaps, 511);
    EXPECT_EQ(m.coefSetInfo[0].nblocks, 16);
    EXPECT_EQ(m.coefSetInfo[0].symtype, 1);
    EXPECT_EQ(m.pfirFitColour[0], PfirFitColour::Face);
    ExpectPlaced(m, taps, 0);
}

TEST(FitPfirToChannel, SingleTap) {
    Session m = WithTaps({-7}, 0, 8, 1);
    FitPfirToChannel(m.settings, m, 0, 1);
    const CoefSetInfo& info = m.coefSetInfo[0];
    EXPECT_EQ(info.even, 0);
    EXPECT_EQ(info.symmetric, 1);
    EXPECT_EQ(info.symtype, 1);
    EXPECT_EQ(info.sumtap, -7);
    EXPECT_EQ(info.maxtap, -7);
    EXPECT_EQ(info.ntaps, 31);  // 127, 95, 63, 31: the shortest lies above 1
    EXPECT_EQ(m.fittedTaps[0][15], -7);
}

TEST(FitPfirToChannel, GainFollowsTheFirShift) {
    // Sum 65536: a shift of 5 gives exactly 1.
    std::vector<int16_t> taps(4, 16384);
    Session m = WithTaps(taps, 0, 8, 1);
    FitPfirToChannel(m.settings, m, 0, 4);
    EXPECT_FLOAT_EQ(m.coefSetInfo[0].pfir_gain, 1.0f);
    // Sum 98304: 0.75 (shift 4) lies nearer to 1 than 1.5 (shift 5).
    Session m2 = WithTaps({16384, 16384, 16384, 16384, 16384, 16384}, 0, 8, 1);
    FitPfirToChannel(m2.settings, m2, 0, 6);
    EXPECT_FLOAT_EQ(m2.coefSetInfo[0].pfir_gain, 0.75f);
    // With the manual shift of the "ЛЧМ" box, its shift counts.
    m.ManualFirShift = 6;
    FitPfirToChannel(m.settings, m, 0, 4);
    EXPECT_FLOAT_EQ(m.coefSetInfo[0].pfir_gain, 2.0f);
}

TEST(FitPfirToChannel, RefitUsesNcoefsAndReplacesTheWholeFit) {
    Session m = WithTaps(Ramp(100), 0, 8, 1);
    FitPfirToChannel(m.settings, m, 0);
    EXPECT_EQ(m.coefSetInfo[0].ntaps, 64);
    // A higher CIC decimation allows the whole set; nothing of the cut remains.
    m.settings.CicDec[0] = 16;
    FitPfirToChannel(m.settings, m, 0);
    EXPECT_EQ(m.coefSetInfo[0].ntaps, 112);
    EXPECT_EQ(m.pfirFitColour[0], PfirFitColour::Yellow);
    ExpectPlaced(m, Ramp(100), 6);
}

TEST(FitPfirToChannel, CountsOutsideTheStoreAndBadChannels) {
    Session m = WithTaps(Ramp(100), 0, 8, 1);
    // Nothing loaded yet: the fit stays all zero, as before any fit.
    FitPfirToChannel(m.settings, m, 0, 0);
    EXPECT_EQ(m.coefSetInfo[0].ntaps, 0);
    EXPECT_EQ(m.coefSetInfo[0].maxtap, 0);
    EXPECT_EQ(m.fittedTaps[0][0], 0);
    // A count beyond the 512 loaded words (an imported ncoefs) takes 512.
    m.settings.ModeOfInput = 1;
    m.settings.FirDec[0] = 8;
    m.workImage.ncoefs[0] = 60000;
    FitPfirToChannel(m.settings, m, 0);
    EXPECT_EQ(m.coefSetInfo[0].ntaps, 256);
    EXPECT_EQ(m.pfirFitColour[0], PfirFitColour::Red);
    Session before = m;
    FitPfirToChannel(m.settings, m, -1, 10);
    FitPfirToChannel(m.settings, m, 4, 10);
    FitPfirToChannel(m.settings, m, 4);
    EXPECT_EQ(m.fittedTaps, before.fittedTaps);
}

// Every decimation, mode and count, including values only a damaged file can
// hold, gives a fit whose length lies within the fitted set.
TEST(FitPfirToChannel, AnySettingsGiveAFitInsideTheSet) {
    const int modes[] = {-1, 0, 1, 2, 5};
    const int cics[] = {INT_MIN, -4, 0, 1, 2, 3, 8, 33, 1024, INT_MAX};
    const int firs[] = {-2, 0, 1, 3, 8, 9, 16, 17, 1000};
    const int counts[] = {1, 2, 31, 32, 255, 256, 257, 511, 512};
    for (int mode : modes)
        for (int cic : cics)
            for (int fir : firs)
                for (int n : counts)
                    for (bool sym : {false, true}) {
                        Session m = WithTaps(sym ? Symmetric(n) : Ramp(n), mode, cic, fir);
                        FitPfirToChannel(m.settings, m, 0, n);
                        const CoefSetInfo& info = m.coefSetInfo[0];
                        ASSERT_GE(info.ntaps, 1);
                        ASSERT_LE(info.ntaps, kMaxTaps) << mode << " " << cic << " " << fir << " " << n;
                        ASSERT_LE(info.nblocks, 32);
                        ASSERT_EQ(info.ntaps < n, m.pfirFitColour[0] == PfirFitColour::Red);
                    }
}

}  // namespace
}  // namespace gc
