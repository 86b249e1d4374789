#include "session/edit.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "chip/table_file.h"
#include "core/lab_file.h"
#include "test_util.h"

namespace gc {
namespace {

// A session started on the example working folder, as the window starts it.
struct Started {
    test::TempDir dir;
    Workspace ws{dir.path()};
    std::unique_ptr<Session> m = std::make_unique<Session>();
    Started() {
        test::CopyExampleWorkspace(dir.path());
        StartSession(*m, ws, ws.StartupLab(), nullptr);
    }
    Effects Apply(const Edit& e) { return ApplyEdit(*m, e, EditContext{&ws, nullptr}); }
};

// Which windows follow each kind of edit, and that each derives exactly once.
TEST(ApplyEdit, EachEditSetsItsSettingDerivesOnceAndNamesWhatFollows) {
    struct Case {
        const char* name;
        Edit edit;
        std::function<bool(const Session&)> set;
        bool responses;  // axes or curve moved: the response and its windows follow
    };
    const Case cases[] = {
        {"clock", edit::Text{ControlField::Clock, "80000000"},
         [](const Session& m) { return m.settings.SystemClock == 80000000; }, true},
        {"cic box", edit::Text{ControlField::CicDec, "40"}, [](const Session& m) { return m.settings.CicDec[0] == 40; },
         true},
        {"nco", edit::Text{ControlField::FreqNco, "1000000"},
         [](const Session& m) { return m.settings.FreqNCO[0] == 1000000; }, false},
        {"cic +10", edit::CicStep{10}, [](const Session& m) { return m.workImage.cic_dec[0] == m.settings.CicDec[0]; },
         true},
        {"pfir dec", edit::FirDec{3}, [](const Session& m) { return m.settings.FirDec[0] == 3; }, true},
        {"pfir dec beyond the list", edit::FirDec{12}, [](const Session& m) { return m.settings.FirDec[0] == 8; },
         true},
        {"adc", edit::Adc{1}, [](const Session& m) { return m.settings.InpADC[0] == 1; }, false},
        {"tdm", edit::Tdm{true}, [](const Session& m) { return m.settings.EnableTDM == 1; }, false},
        {"sync mode", edit::SyncMode{5}, [](const Session& m) { return m.settings.sync_mode == 5; }, false},
        {"shown channel", edit::ShownChannel{2}, [](const Session& m) { return m.CurrentChannel == 2; }, true},
        {"split", edit::DecimationSplit{16, 2, "FILTERS/cdma.taps"},
         [](const Session& m) { return m.workImage.cic_dec[0] == 16 && m.settings.FirDec[0] == 2; }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Started s;
        if (auto* split = std::get_if<edit::DecimationSplit>(&c.edit)) {
            edit::DecimationSplit e = *split;
            e.file = s.dir.path() / e.file;
            const int64_t before = s.m->derivations;
            const Effects fx = s.Apply(e);
            EXPECT_EQ(s.m->derivations - before, 1);
            EXPECT_TRUE(c.set(*s.m));
            EXPECT_TRUE(fx.response && fx.responseWindows && fx.redrawPlot);
            continue;
        }
        const int64_t before = s.m->derivations;
        const Effects fx = s.Apply(c.edit);
        EXPECT_FALSE(fx.refused);
        EXPECT_EQ(s.m->derivations - before, 1);
        EXPECT_TRUE(c.set(*s.m));
        EXPECT_TRUE(fx.view && fx.editors && fx.record);
        EXPECT_EQ(fx.response, c.responses);
        EXPECT_EQ(fx.responseWindows, c.responses);
    }
}

TEST(ApplyEdit, RefusedTextChangesNothingAndSaysWhy) {
    const std::pair<ControlField, const char*> cases[] = {{ControlField::Clock, "abc"},
                                                          {ControlField::Clock, "0"},
                                                          {ControlField::Gain, "-1"},
                                                          {ControlField::CicDec, ""}};
    for (const auto& [field, text] : cases) {
        SCOPED_TRACE(text);
        Started s;
        const Settings before = s.m->settings;
        const int64_t derivations = s.m->derivations;
        const Effects fx = s.Apply(edit::Text{field, text});
        EXPECT_TRUE(fx.refused);
        EXPECT_FALSE(fx.status.value_or("").empty());
        EXPECT_EQ(s.m->derivations, derivations);
        EXPECT_EQ(FormatLab(s.m->settings), FormatLab(before));
    }
    Started s;
    EXPECT_TRUE(s.Apply(edit::ManualShift{std::string("x"), true}).refused);
    EXPECT_FALSE(s.m->ManualFirShift.has_value());
}

// The boxes shown for a mask give that mask back, in every mode.
TEST(EnabledChannels, BoxesAndMaskRoundTripPerMode) {
    for (int mode : {0, 1, 2}) {
        for (int mask = 0; mask < (mode == 0 ? 16 : 4); ++mask) {
            Settings s;
            s.ModeOfInput = mode;
            (mode == 0 ? s.MaskChan4x : s.MaskChan2x) = mask;
            const auto boxes = EnabledChannelBoxes(s);
            Settings t;
            t.ModeOfInput = mode;
            SetEnabledChannels(t, boxes);
            EXPECT_EQ(mode == 0 ? t.MaskChan4x : t.MaskChan2x, mask) << "mode " << mode;
            if (mode != 0) EXPECT_EQ(boxes[1], boxes[0]);  // B shows A's pair
        }
    }
}

// Showing another channel is no edit of the chip: the register image and the
// program file stay as they were, in every input mode.
TEST(ApplyEdit, TheShownChannelChangesNoRegister) {
    for (int mode : {0, 1, 2}) {
        SCOPED_TRACE(mode);
        Started s;
        s.Apply(edit::InputMode{mode});
        s.Apply(edit::Text{ControlField::CicDec, "300"});
        const RegisterImage image = s.m->workImage;
        for (int c : {2, 0}) {
            s.Apply(edit::ShownChannel{c});
            for (int n = 0; n < kChannels; ++n) EXPECT_EQ(s.m->workImage.cic[n].cic_norm, image.cic[n].cic_norm);
            EXPECT_EQ(FormatTableFile(s.m->workImage), FormatTableFile(image));
        }
    }
}

// The sync dialog's and the register editors' stores derive nothing: a
// derivation would put back what the user just wrote.
TEST(ApplyEdit, StoresOfOtherWindowsKeepWhatTheyWrote) {
    Started s;
    const int64_t derivations = s.m->derivations;
    const Effects sync = s.Apply(edit::SyncPreset{kSyncOneShot});
    EXPECT_EQ(s.m->settings.nco_sync[3], kSyncOneShot);
    EXPECT_TRUE(sync.record && sync.editors && !sync.view);
    EXPECT_NE(sync.status.value_or("").find("nco_sync"), std::string::npos);

    const RegisterDialogDef& def = RegisterDialog(RegisterDialogId::CicMix);
    std::vector<std::string> texts;
    for (const RegisterBox& b : RegisterBoxes(def))
        texts.push_back(RegisterBoxText(s.m->workImage, RowOf(def, b), b.column));
    texts[0] = "70000";
    EXPECT_FALSE(s.Apply(edit::RegisterBoxes{RegisterDialogId::CicMix, texts}).refused);
    EXPECT_EQ(RegisterBoxText(s.m->workImage, RowOf(def, RegisterBoxes(def)[0]), 0), "4464");
    texts[1] = "zz";
    EXPECT_TRUE(s.Apply(edit::RegisterBoxes{RegisterDialogId::CicMix, texts}).refused);

    // A channel's request: stored for that channel, named in the status line.
    ChainRequest r;
    r.passHz = 100000;
    r.stopHz = 150000;
    const Effects request = s.Apply(edit::Request{2, r});
    EXPECT_TRUE(request.record && request.request && !request.view);
    EXPECT_EQ(s.m->settings.ReqStopHz[2], 150000.0);
    EXPECT_EQ(s.m->settings.ReqStopHz[0], 0.0);
    EXPECT_NE(request.status.value_or("").find("Граница подавления C 0 → 150000"), std::string::npos);
    EXPECT_TRUE(s.Apply(edit::Request{7, r}).refused);

    // A page-17 file that is not text: refused, and the status line says why.
    test::WriteFileText(s.dir / "Appl" / "nul.gc101", std::string("\0\0 1 2 3\n", 9));
    const Effects beRam = s.Apply(edit::ReadBeRam{s.dir / "Appl" / "nul.gc101"});
    EXPECT_NE(beRam.status.value_or("").find("не считаны ("), std::string::npos) << beRam.status.value_or("");
    EXPECT_EQ(s.m->derivations, derivations);
}

}  // namespace
}  // namespace gc
