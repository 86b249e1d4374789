#include "session/main_view.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "chip/derivation.h"

namespace gc {
namespace {

// What the window's refresh does: the derived state, then the view of it.
MainViewState Refresh(Session& m) {
    UpdateDerived(m);
    return ComputeMainView(m);
}

TEST(FormatFixed, DecimalsSignificantDigitsAndSpecialValues) {
    EXPECT_EQ(FormatFixed(100000.0, 8, 3), "100000.000");
    EXPECT_EQ(FormatFixed(123456.789, 8, 3), "123456.790");  // eight significant digits, then zeros
    EXPECT_EQ(FormatFixed(0.7629395, 5, 3), "0.763");
    EXPECT_EQ(FormatFixed(1.5707963, 4, 3), "1.571");
    EXPECT_EQ(FormatFixed(-12.3456, 4, 3), "-12.350");
    EXPECT_EQ(FormatFixed(0.5, 3, 2), "0.50");
    EXPECT_EQ(FormatFixed(-0.0001, 8, 3), "0.000");  // no "-0.000"
    EXPECT_EQ(FormatFixed(-0.0, 5, 2), "0.00");
    EXPECT_EQ(FormatFixed(1.0e12, 8, 3), "1.0000000E+12");
    EXPECT_EQ(FormatFixed(std::nan(""), 5, 2), "NAN");
    EXPECT_EQ(FormatFixed(-std::numeric_limits<double>::infinity(), 5, 2), "-INF");
    EXPECT_EQ(FormatKhz(100000000.0), "100000.000 кГц");
    EXPECT_EQ(FormatKhz(100000000.0 / 3.0), "33333.333 кГц");
}

TEST(MainView, DefaultStartShowsChannelA) {
    Session m;
    m.coefSetInfo[0].pfir_gain = 1.25f;
    DeriveRegisters(m.settings, m);
    MainViewState v = Refresh(m);
    EXPECT_EQ(v.clockText, "100000000");
    EXPECT_EQ(v.clockKhz, "100000.000 кГц");
    EXPECT_EQ(v.freqText, "10000000");
    EXPECT_EQ(v.freqKhz, "10000.000 кГц");
    EXPECT_EQ(v.cicDecText, "2");
    EXPECT_EQ(v.firDecIndex, 0);
    EXPECT_EQ(v.pfirFileName, "cdma.taps");
    EXPECT_EQ(v.pfirGain, "1.250");
    EXPECT_EQ(v.cicNorm, "1.000");
    EXPECT_EQ(v.gain, "1.00");
    EXPECT_EQ(v.overallGain, "3.00");
    EXPECT_EQ(v.phase, "0.000");
    EXPECT_EQ(v.outputRateKhz, "50000.000 кГц");
    EXPECT_EQ(v.totalGain, "0.63");  // 1 * 0.5 * 1.25 * 1
    EXPECT_EQ(v.scaleFir, "0.50");
    EXPECT_EQ(v.firShift, "22");  // no taps yet: sum 0
    EXPECT_EQ(v.mixRcvSelIndex, 0);
    EXPECT_TRUE(v.cicStepOneEnabled);
    EXPECT_FALSE(v.firShiftBoxEnabled);
    for (int n = 0; n < kChannels; ++n) {
        EXPECT_TRUE(v.channelChecked[n]);
        EXPECT_TRUE(v.channelEnabled[n]);
    }
    // Every channel's total follows its decimations, not only the shown one's.
    for (int n = 0; n < kChannels; ++n) {
        EXPECT_EQ(m.TotalDec[n], 2) << n;
        EXPECT_FLOAT_EQ(m.OutputRate[n], 50000000.0f) << n;
    }
}

TEST(MainView, SplitModesAndTheCurrentChannelsNorm) {
    Session m;
    m.settings.ModeOfInput = 2;
    m.settings.MaskChan2x = 2;  // pair C+D only
    m.settings.CicDec[0] = 10;
    m.settings.FirDec[0] = 3;
    m.settings.SystemClock = 90000000;
    m.ManualFirShift = 4;
    DeriveRegisters(m.settings, m);
    MainViewState v = Refresh(m);
    EXPECT_FALSE(v.cicStepOneEnabled);
    EXPECT_TRUE(v.firShiftBoxEnabled);
    EXPECT_EQ(v.inputModeIndex, 2);
    EXPECT_FALSE(v.channelChecked[0]);
    EXPECT_FALSE(v.channelChecked[1]);
    EXPECT_TRUE(v.channelChecked[2]);
    EXPECT_TRUE(v.channelChecked[3]);
    EXPECT_TRUE(v.channelEnabled[0]);
    EXPECT_FALSE(v.channelEnabled[1]);
    EXPECT_FALSE(v.channelEnabled[3]);
    EXPECT_EQ(m.TotalDec[0], 30);
    EXPECT_EQ(v.outputRateKhz, "3000.000 кГц");
    EXPECT_EQ(v.firShift, "4");
    EXPECT_EQ(v.cicNorm, "0.763");

    // Channel B shown: its norm comes from the display step, from A's decimation.
    m.CurrentChannel = 1;
    m.workImage.cic[1].cic_norm = 0.0f;
    v = Refresh(m);
    EXPECT_EQ(v.cicNorm, "0.763");
    EXPECT_NEAR(m.workImage.cic[1].cic_norm, 0.763, 0.0005);
    EXPECT_EQ(v.mixRcvSelIndex, 1);  // the second ADC phase of the pair
}

TEST(MainView, ZeroClockAndDecimationsGiveRateZero) {
    Session m;
    m.settings.SystemClock = 0;
    Refresh(m);
    EXPECT_EQ(m.OutputRate[0], 0.0f);
    m.settings.SystemClock = 100000000;
    m.settings.CicDec[0] = 0;
    MainViewState v = Refresh(m);
    EXPECT_EQ(m.TotalDec[0], 0);
    EXPECT_EQ(v.outputRateKhz, "0.000 кГц");
    // Out-of-range settings show no selection instead of a bad index.
    m.settings.FirDec[0] = 12;
    m.settings.InpADC[0] = 7;
    m.settings.sync_mode = -1;
    v = Refresh(m);
    EXPECT_EQ(v.firDecIndex, -1);
    EXPECT_EQ(v.adcIndex, -1);
    EXPECT_EQ(v.syncModeIndex, -1);
    EXPECT_EQ(ComputeTotalDec(std::numeric_limits<int32_t>::max(), 8), std::numeric_limits<int32_t>::max());
    EXPECT_FLOAT_EQ(ComputeOutputRate(100000000, 3), 33333333.0f);
}

TEST(MainView, EachFieldKeepsItsOwnSignificantDigits) {
    Session m;
    m.settings.SystemClock = 123456789;  // clock and frequencies: 8 digits
    m.settings.FreqNCO[0] = -98765432;
    m.settings.Gain[0] = 123.456f;  // gains: 5 digits
    m.settings.OverallGain[0] = 1234.5678f;
    m.settings.PhaseNCO[0] = 3.14159f;  // phase: 4 digits
    m.settings.scaleFir = 0.12345f;     // scaleFir: 3 digits
    m.settings.CicDec[0] = 3;
    m.coefSetInfo[0].pfir_gain = 1.23456f;
    DeriveRegisters(m.settings, m);
    MainViewState v = Refresh(m);
    EXPECT_EQ(v.clockKhz, "123456.790 кГц");
    EXPECT_EQ(v.freqKhz, "-98765.432 кГц");
    EXPECT_EQ(v.gain, "123.46");
    EXPECT_EQ(v.overallGain, "1234.60");
    EXPECT_EQ(v.phase, "3.142");
    EXPECT_EQ(v.scaleFir, "0.12");
    EXPECT_EQ(v.pfirGain, "1.235");
    EXPECT_EQ(v.outputRateKhz, "41152.264 кГц");  // 123456789 / 3 Hz, held as a float
    // 3^5 = 243 against 2^8: 0.94921875 to five digits.
    EXPECT_EQ(v.cicNorm, "0.949");
    // cic_norm * 0.5 * pfir_gain * Gain
    EXPECT_EQ(v.totalGain, "72.34");
}

TEST(MainView, InputModeOutsideTheListShowsFullRate) {
    Session m;
    m.settings.ModeOfInput = 7;
    m.settings.MaskChan4x = 5;
    MainViewState v = Refresh(m);
    EXPECT_EQ(v.inputModeIndex, 0);
    EXPECT_TRUE(v.cicStepOneEnabled);
    for (int n = 0; n < kChannels; ++n) {
        EXPECT_EQ(v.channelChecked[n], n % 2 == 0) << n;
        EXPECT_TRUE(v.channelEnabled[n]);
    }
    EXPECT_EQ(m.ChannelMask, 5);
}

TEST(EditField, EachBoxSetsItsOneSetting) {
    const struct {
        ControlField field;
        const char* text;
        std::function<bool(const Session&)> set;
    } cases[] = {
        {ControlField::Clock, "80000000", [](const Session& m) { return m.settings.SystemClock == 80000000; }},
        {ControlField::FreqNco, "-2500000", [](const Session& m) { return m.settings.FreqNCO[2] == -2500000; }},
        {ControlField::CicDec, "16", [](const Session& m) { return m.settings.CicDec[2] == 16; }},
        {ControlField::Phase, "0,5", [](const Session& m) { return m.settings.PhaseNCO[2] == 0.5f; }},
        {ControlField::Gain, "2.5", [](const Session& m) { return m.settings.Gain[2] == 2.5f; }},
        {ControlField::Gain, "500", [](const Session& m) { return m.settings.Gain[2] == kMaxGain; }},
        {ControlField::OverallGain, "4", [](const Session& m) { return m.settings.OverallGain[2] == 4.0f; }},
        {ControlField::NumTapsFilter, "64", [](const Session& m) { return m.settings.NumTapsFilter == 64; }},
        {ControlField::Deviation, "2000000", [](const Session& m) { return m.settings.Deviation == 2000000; }},
        {ControlField::ScaleFir, "0.25", [](const Session& m) { return m.settings.scaleFir == 0.25f; }},
        {ControlField::SckDiv, "5",
         [](const Session& m) {
             for (const PfirChannelRegs& p : m.workImage.pfir)
                 if (p.sck_div != 5) return false;
             return m.settings.sck_div == 5;
         }},
    };
    for (const auto& c : cases) {
        Session m;
        m.CurrentChannel = 2;
        const Settings before = m.settings;
        const FieldEdit e = EditField(m, c.field, c.text);
        EXPECT_FALSE(e.refused) << c.text;
        EXPECT_TRUE(c.set(m)) << c.text;
        // Nothing else: channel A keeps its values.
        EXPECT_EQ(m.settings.FreqNCO[0], before.FreqNCO[0]) << c.text;
        EXPECT_EQ(m.settings.Gain[0], before.Gain[0]) << c.text;
    }
}

TEST(EditField, ARefusedTextLeavesTheSetting) {
    Session m;
    const Settings before = m.settings;
    for (const auto& [field, text] : {std::pair{ControlField::Gain, "1.2.3"},
                                      {ControlField::Clock, "3000000000"},
                                      {ControlField::CicDec, "x"},
                                      {ControlField::SckDiv, ""}}) {
        const FieldEdit e = EditField(m, field, text);
        ASSERT_TRUE(e.refused) << text;
        if (*text) {
            EXPECT_NE(e.refused->find(text), std::string::npos) << *e.refused;
        }
    }
    EXPECT_EQ(m.settings.SystemClock, before.SystemClock);
    EXPECT_EQ(m.settings.Gain[0], before.Gain[0]);
    EXPECT_EQ(m.settings.CicDec[0], before.CicDec[0]);
    EXPECT_EQ(m.workImage.pfir[0].sck_div, 0);
}

TEST(EditField, NumberTexts) {
    EXPECT_EQ(ParseIntegerText(" 42 "), 42);
    EXPECT_EQ(ParseIntegerText("-2147483648"), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(ParseIntegerText("0x1F"), 31);
    EXPECT_EQ(ParseIntegerText("$10"), 16);
    for (const char* bad : {"", " ", "abc", "12abc", "2147483648", "+-1", "1.5", "0x"})
        EXPECT_FALSE(ParseIntegerText(bad)) << bad;
    EXPECT_EQ(ParseFloatText("1,5"), 1.5f);
    EXPECT_EQ(ParseFloatText("-2.25e1"), -22.5f);
    EXPECT_EQ(ParseFloatText("+3"), 3.0f);
    for (const char* bad : {"", "nan", "inf", "1e39", "x1", "1.0f", "+-1"}) EXPECT_FALSE(ParseFloatText(bad)) << bad;
}

}  // namespace
}  // namespace gc

namespace gc {
namespace {

TEST(CicCheck, TypedValuesAndSteppers) {
    Session m;
    m.CicDecMin = 2;  // Double rate
    m.CicDecStep = 2;
    EXPECT_EQ(CheckedCicDec(m, 7), 6);
    EXPECT_EQ(CheckedCicDec(m, 5000), 1024);
    EXPECT_EQ(CheckedCicDec(m, -3), 2);
    m.CicDecMin = 1;  // SplitIQ
    m.CicDecStep = 1;
    EXPECT_EQ(CheckedCicDec(m, 0), 1);
    m.CicDecMin = 2;  // Full rate
    EXPECT_EQ(SteppedCicDec(m, 1000, 100), 1024);
    EXPECT_EQ(SteppedCicDec(m, 50, -100), 2);
    EXPECT_EQ(SteppedCicDec(m, 5, 2), 7);  // not rounded to the step
    // Each stepper clamps only in its own direction.
    EXPECT_EQ(SteppedCicDec(m, 1, 1), 2);
    EXPECT_EQ(SteppedCicDec(m, 2000, -10), 1990);
}

}  // namespace
}  // namespace gc
