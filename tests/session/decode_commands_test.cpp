// Program files read back: saving a decoded configuration writes the file read
// byte for byte, and diff finds one changed setting, word or tap.
#include "session/decode_commands.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>
#include <string>

#include "chip/derivation.h"
#include "core/lab_file.h"
#include "core/text_io.h"
#include "filters/pfir_design.h"
#include "test_util.h"

namespace gc {
namespace {

namespace fs = std::filesystem;
using test::ReadFileText;
using test::TempDir;
using test::WriteFileText;

// Tap sets of each shape, named by what the fit sees in them.
std::vector<int32_t> Taps(const std::string& kind) {
    std::vector<int32_t> t;
    const int n = kind == "asym40" ? 40 : kind == "even20" ? 20 : kind == "odd63" ? 63 : 31;
    for (int i = 0; i < n; ++i) {
        const int m = std::min(i, n - 1 - i);  // mirror-symmetric in i
        t.push_back(kind == "asym40" ? 300 * i - 5000 + (i % 7) * 111 : 100 + 37 * m * m - 3 * m);
    }
    return t;
}

struct Workspace1 {
    TempDir dir;
    Workspace ws{dir.path()};
    Workspace1() {
        fs::create_directories(ws.Configs());
        fs::create_directories(ws.Filters());
        for (const char* kind : {"asym40", "even20", "odd63", "odd31"})
            WriteFileText(ws.Filters() / (std::string(kind) + ".taps"), PfirTapsText(Taps(kind)));
    }
    // Saves the settings as NAME.lab/NAME.prg through a session started on them.
    std::string Save(const Settings& s, const std::string& name, std::optional<int> manualShift = {}) {
        WriteFileText(ws.Configs() / (name + ".in.lab"), FormatLab(s));
        Session m;
        StartSession(m, ws, ws.Configs() / (name + ".in.lab"), nullptr);
        if (manualShift) {
            m.ManualFirShift = manualShift;
            UpdateDerived(m);
        }
        const SaveCommandResult r = SaveConfiguration(m, ws, ws.Configs() / (name + ".lab"));
        EXPECT_TRUE(r.done()) << name << ": " << r.reason;
        return ReadFileText(ws.Configs() / (name + ".prg"));
    }
};

struct RoundTrip {
    const char* what;
    std::function<void(Settings&)> set;
};

TEST(DecodeCommand, SavingTheDecodedConfigurationWritesTheSameProgramFile) {
    auto channels = [](Settings& s, std::array<int, 4> cic, std::array<int, 4> fir, std::array<const char*, 4> taps) {
        for (int c = 0; c < kChannels; ++c) {
            s.CicDec[c] = s.CicM0Dec[c] = s.CicM1Dec[c] = s.CicM2Dec[c] = cic[static_cast<size_t>(c)];
            s.FirDec[c] = fir[static_cast<size_t>(c)];
            s.NameOfPFIR[static_cast<size_t>(c)] = std::string(taps[static_cast<size_t>(c)]) + ".taps";
        }
    };
    const RoundTrip cases[] = {
        {"Full rate, PFIR decimations 1 to 4, every tap shape",
         [&](Settings& s) {
             channels(s, {24, 12, 8, 6}, {1, 2, 3, 4}, {"odd31", "asym40", "even20", "odd63"});
         }},
        {"Full rate, PFIR decimations 5 to 8, gains, phases, ADCs, mask",
         [&](Settings& s) {
             channels(s, {168, 140, 120, 105}, {5, 6, 7, 8}, {"asym40", "odd63", "odd31", "even20"});
             s.Gain[0] = 1.5f;
             s.Gain[3] = 20.25f;
             s.PhaseNCO[1] = 1.0f;
             s.PhaseNCO[2] = -2.5f;
             s.InpADC[1] = 2;
             s.MaskChan4x = 5;
             s.FreqNCO[3] = -12345678;
         }},
        {"Full rate, expert sync choices, TDM and sck_div",
         [&](Settings& s) {
             channels(s, {16, 16, 16, 16}, {1, 1, 1, 1}, {"odd31", "odd31", "asym40", "asym40"});
             s.soB_sync = 3;
             s.sck_div = 5;
             const int32_t codes[4] = {0, 1, 5, 6};
             for (int c = 0; c < kChannels; ++c) {
                 s.freq_sync[c] = s.nco_sync[c] = s.cic_sync[c] = codes[c];
                 s.phase_sync[c] = 5;
                 s.dith_sync[c] = 2 * (c % 4);
                 s.flush_sync[c] = s.fir_sync[c] = s.coef_sync[c] = 7 - codes[c];
                 s.gain_sync[c] = s.pwr_mtr_sync[c] = s.sck_sync[c] = codes[3 - c];
             }
         }},
        {"SplitIQ, B and D with sets of their own",
         [&](Settings& s) {
             s.ModeOfInput = 1;
             channels(s, {8, 4, 16, 2}, {2, 1, 1, 3}, {"odd63", "asym40", "even20", "odd31"});
             s.MaskChan2x = 2;
         }},
        {"Double rate",
         [&](Settings& s) {
             s.ModeOfInput = 2;
             channels(s, {4, 4, 16, 16}, {4, 4, 1, 1}, {"even20", "even20", "asym40", "odd63"});
             s.InpADC[0] = 1;
             s.PhaseNCO[0] = 0.75f;
         }},
    };
    std::map<int, std::vector<std::string>> notCarried;  // by input mode: the same every time
    for (const RoundTrip& c : cases) {
        SCOPED_TRACE(c.what);
        Workspace1 w;
        Settings s;
        c.set(s);
        const std::string original = w.Save(s, "orig");

        Session decoding;
        DecodeRequest request{w.ws.Configs() / "orig.prg", w.ws.Configs() / "dec.lab", "dec"};
        const DecodeCommandResult r = DecodeProgramCommand(decoding, w.ws, request);
        ASSERT_TRUE(r.done()) << r.reason;
        const DecodedProgram& d = r.decode.program;
        EXPECT_TRUE(d.reproduces);
        EXPECT_TRUE(r.sameBytes);
        std::vector<std::string> names;
        for (const DecodeNote& n : d.notes) {
            EXPECT_NE(n.kind, DecodeNoteKind::NotReproduced) << DecodeNoteText(d, n);
            if (n.kind == DecodeNoteKind::NotCarried) names.push_back(n.name);
        }
        auto [it, fresh] = notCarried.emplace(s.ModeOfInput, names);
        EXPECT_EQ(it->second, names);

        // The settings the file determines come back as they were.
        for (int ch = 0; ch < kChannels; ++ch) {
            if (SourceChannel(s.ModeOfInput, ch) != ch) continue;
            EXPECT_EQ(d.settings.CicDec[ch], s.CicDec[ch]);
            EXPECT_EQ(d.settings.FirDec[ch], s.FirDec[ch]);
            EXPECT_EQ(d.settings.FreqNCO[ch], s.FreqNCO[ch]);
            EXPECT_EQ(d.settings.InpADC[ch], s.InpADC[ch]);
            EXPECT_EQ(d.settings.Gain[ch], s.Gain[ch]);
            EXPECT_EQ(PhaseWord(d.settings.PhaseNCO[ch]), PhaseWord(s.PhaseNCO[ch]));
            EXPECT_EQ(d.settings.phase_sync[ch], s.phase_sync[ch]);
            EXPECT_EQ(d.settings.dith_sync[ch], s.dith_sync[ch]);
            EXPECT_EQ(d.settings.sck_sync[ch], s.sck_sync[ch]);
        }
        EXPECT_EQ(d.settings.soB_sync, s.soB_sync);
        EXPECT_EQ(d.settings.sck_div, s.sck_div);

        // And the saved pair, read back at start-up and saved, writes the same bytes.
        Session again;
        StartSession(again, w.ws, w.ws.Configs() / "dec.lab", nullptr);
        ASSERT_TRUE(SaveConfiguration(again, w.ws, w.ws.Configs() / "again.lab").done());
        EXPECT_EQ(ReadFileText(w.ws.Configs() / "again.prg"), original);
    }
}

TEST(DecodeCommand, ManualShiftIsNamedAndReproducedWithScaleOne) {
    Workspace1 w;
    Settings s;
    for (auto& name : s.NameOfPFIR) name = "odd31.taps";
    s.scaleFir = 0.5f;
    const std::string original = w.Save(s, "lchm", 2);
    Session m;
    const DecodeCommandResult r = DecodeProgramCommand(m, w.ws, {w.ws.Configs() / "lchm.prg", {}, "x"});
    ASSERT_TRUE(r.done()) << r.reason;
    const DecodedProgram& d = r.decode.program;
    EXPECT_EQ(d.manualShift, 2);
    EXPECT_EQ(d.settings.shiftFir, 2);
    EXPECT_EQ(d.settings.scaleFir, 1.0f);
    // The words written were scaled by 0.5: they are the taps now.
    EXPECT_EQ(d.taps[0][15], std::trunc(Taps("odd31")[15] * 0.5));
    bool named = false;
    for (const DecodeNote& n : d.notes) named |= n.kind == DecodeNoteKind::ManualShift;
    EXPECT_TRUE(named);
    EXPECT_TRUE(r.sameBytes);
}

TEST(DiffCommand, FindsOneSettingOneWordOneTapAndCallsALabEqualToItsProgram) {
    Workspace1 w;
    Settings s;
    for (auto& name : s.NameOfPFIR) name = "odd31.taps";
    s.ReqPassHz[1] = 100000;  // a request: the program file does not carry it, so it is no difference
    w.Save(s, "base");
    Settings freq = s;
    freq.FreqNCO[2] = 30000001;
    w.Save(freq, "freq");
    Settings tap = s;
    tap.NameOfPFIR[3] = "odd63.taps";
    w.Save(tap, "tap");
    std::string edited = ReadFileText(w.ws.Configs() / "base.prg");
    // agc_max of channel B (page 0x33, register 0x16) edited by hand.
    const std::string from = "0x33    0x16   0x0   ";
    ASSERT_NE(edited.find(from), std::string::npos);
    edited.replace(edited.find(from), from.size(), "0x33    0x16   0x7ff ");
    WriteFileText(w.ws.Configs() / "edited.prg", edited);

    const fs::path cfg = w.ws.Configs();
    DiffCommandResult same = DiffCommand(w.ws, cfg / "base.lab", cfg / "base.prg");
    ASSERT_TRUE(same.done()) << same.reason;
    EXPECT_TRUE(same.equal());
    EXPECT_TRUE(same.chains.empty());

    DiffCommandResult f = DiffCommand(w.ws, cfg / "base.lab", cfg / "freq.prg");
    ASSERT_EQ(f.settings.size(), 1u);
    EXPECT_EQ(f.settings[0].name, "FreqNCO");
    EXPECT_EQ(f.settings[0].channel, 2);
    EXPECT_EQ(f.settings[0].b, "30000001");
    for (const FieldDifference& x : f.fields) EXPECT_EQ(x.field.rfind("freq_", 0), 0u) << x.field;

    DiffCommandResult e = DiffCommand(w.ws, cfg / "base.prg", cfg / "edited.prg");
    EXPECT_TRUE(e.settings.empty());
    ASSERT_EQ(e.fields.size(), 1u);
    EXPECT_EQ(e.fields[0].field, "agc_max");
    EXPECT_EQ(e.fields[0].b, 0x7ff);

    DiffCommandResult t = DiffCommand(w.ws, cfg / "base.lab", cfg / "tap.lab");
    ASSERT_EQ(t.settings.size(), 1u);
    EXPECT_EQ(t.settings[0].name, "NameOfPFIR3");
    ASSERT_EQ(t.chains.size(), 1u);
    EXPECT_EQ(t.chains[0].channel, 3);
    EXPECT_FALSE(t.fields.empty());
}

}  // namespace
}  // namespace gc
