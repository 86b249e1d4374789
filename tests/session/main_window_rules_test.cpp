// What the main window refuses and reports, and its undo store, without a window.
#include <gtest/gtest.h>

#include <memory>

#include "chip/program_file.h"
#include "filters/coef_files.h"
#include "session/command_status.h"
#include "session/edit.h"
#include "session/edit_rules.h"
#include "session/main_view.h"
#include "session/settings_history.h"
#include "test_util.h"

namespace gc {
namespace {

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(EditRules, WhyATextIsNoNumber) {
    const struct {
        const char* text;
        bool integer;
        const char* says;
    } cases[] = {
        {"", true, "Поле пусто"},
        {"  ", false, "Поле пусто"},
        {"abc", true, "«abc» не является целым числом"},
        {"1.5", true, "не является целым числом"},
        {"12345678901234567890", true, "«12345678901234567890» вне допустимого диапазона"},
        {"-2147483649", true, "вне допустимого диапазона"},
        {"0x1FFFFFFFF", true, "вне допустимого диапазона"},
        {"abc", false, "«abc» не является числом"},
        {"nan", false, "«nan» не является числом"},
        {"1e40", false, "«1e40» вне допустимого диапазона"},
        {"-1,5e300", false, "вне допустимого диапазона"},
    };
    for (const auto& c : cases) {
        const std::string said = c.integer ? IntegerTextProblem(c.text) : FloatTextProblem(c.text);
        EXPECT_TRUE(Has(said, c.says)) << c.text << ": " << said;
    }
}

TEST(EditRules, TypedClockAndGainOutsideTheChipAreRefused) {
    const struct {
        ControlField field;
        const char* text;
        const char* says;  // nullptr: taken
    } cases[] = {
        {ControlField::Clock, "0", "больше 0 Гц"},
        {ControlField::Clock, "-100", "больше 0 Гц"},
        {ControlField::Gain, "-0.26", "от 0 до 127.9"},
        {ControlField::Gain, "-0", nullptr},  // minus zero is zero
        {ControlField::Gain, "0", nullptr},
        {ControlField::Gain, "500", nullptr},  // clamped to 127.9
    };
    for (const auto& c : cases) {
        auto m = std::make_unique<Session>();
        const FieldEdit e = EditField(*m, c.field, c.text);
        if (!c.says) {
            EXPECT_FALSE(e.refused) << c.text;
            EXPECT_GE(m->settings.Gain[0], 0.0f);
            EXPECT_LE(m->settings.Gain[0], kMaxGain);
            continue;
        }
        ASSERT_TRUE(e.refused) << c.text;
        EXPECT_TRUE(Has(*e.refused, c.says)) << *e.refused;
        // The refused value never reaches the settings.
        EXPECT_EQ(m->settings.Gain[0], 1.0f);
        EXPECT_EQ(m->settings.SystemClock, 100000000);
    }
}

TEST(EditRules, LabValuesOutsideTheChipAreNamed) {
    Settings s;
    EXPECT_TRUE(SettingsOutsideChip(s).empty());
    EXPECT_EQ(OutsideChipStatus(s), "");
    s.SystemClock = -100;
    s.Gain[1] = -0.26f;
    s.Gain[3] = 200.0f;
    ASSERT_EQ(SettingsOutsideChip(s).size(), 3u);
    EXPECT_EQ(OutsideChipStatus(s),
              "Микросхема не может работать с такими значениями: тактовая частота -100 Гц, усиление канала B -0.26, "
              "усиление канала D 200.00");
}

TEST(SettingsHistory, StepsKeepTheConfigurationName) {
    Settings a;
    Settings b = a;
    b.FreqNCO[0] = 7;
    SettingsHistory h;
    h.Reset(a, "std.lab");
    EXPECT_TRUE(h.Commit(a, "read.lab"));  // a file read with the same settings is still a step
    h.NameCurrent("saved.lab");            // a save renames without a step
    EXPECT_FALSE(h.Commit(a, "saved.lab"));
    EXPECT_TRUE(h.Commit(b, "saved.lab"));
    h.Undo();
    EXPECT_EQ(h.LabName(), "saved.lab");
    h.Undo();
    EXPECT_EQ(h.LabName(), "std.lab");
    h.Redo();
    EXPECT_EQ(h.LabName(), "saved.lab");
}

TEST(SettingsHistory, UndoRedoAndTheSavedState) {
    Settings a;
    SettingsHistory h;
    h.Reset(a);
    EXPECT_FALSE(h.CanUndo());
    EXPECT_FALSE(h.Modified(a));
    EXPECT_FALSE(h.Commit(a));  // nothing changed: nothing recorded

    Settings b = a;
    b.FreqNCO[1] = 123;
    Settings c = b;
    c.NameOfPFIR[2] = "other.taps";
    EXPECT_TRUE(h.Commit(b));
    EXPECT_TRUE(h.Commit(c));
    EXPECT_TRUE(h.Modified(c));
    EXPECT_EQ(h.Undo()->NameOfPFIR[2], "cdma.taps");
    EXPECT_EQ(h.Undo()->FreqNCO[1], a.FreqNCO[1]);
    EXPECT_FALSE(h.Undo());
    EXPECT_EQ(h.Redo()->FreqNCO[1], 123);
    // A new edit drops what could be redone.
    Settings d = b;
    d.Gain[0] = 2.0f;
    EXPECT_TRUE(h.Commit(d));
    EXPECT_FALSE(h.CanRedo());
    EXPECT_EQ(h.Undo()->FreqNCO[1], 123);

    // Saved: the same settings are not modified, FullDebug aside.
    h.MarkSaved(b);
    EXPECT_FALSE(h.Modified(b));
    b.FullDebug = 629;
    EXPECT_FALSE(h.Modified(b));
    EXPECT_TRUE(h.Modified(d));

    // The depth is bounded: the oldest snapshots go.
    h.Reset(a);
    for (int k = 1; k <= int(SettingsHistory::kDepth) + 10; ++k) {
        Settings s = a;
        s.Deviation = k;
        h.Commit(s);
    }
    int undos = 0;
    while (h.Undo()) ++undos;
    EXPECT_EQ(undos, int(SettingsHistory::kDepth) - 1);
}

TEST(SettingsHistory, RestoringGivesTheSameProgramFile) {
    test::TempDir dir;
    const Workspace ws{dir.path()};
    test::CopyExampleWorkspace(dir.path());
    auto m = std::make_unique<Session>();
    StartSession(*m, ws, ws.StartupLab(), nullptr);
    m->settings.FreqNCO[1] = 7000000;
    m->settings.Gain[2] = 3.5f;
    m->settings.NameOfPFIR[3] = "cdma31.taps";
    ApplyEdit(*m, edit::Restore{m->settings}, EditContext{&ws, nullptr});
    const Settings before = m->settings;
    auto programFile = [&] {
        PrepareProgram(m->settings, *m);
        return FormatProgramFile(m->settings, *m, *m);
    };
    const std::string program = programFile();

    m->CurrentChannel = 0;
    ApplyEdit(*m, edit::ApplyToAll{}, EditContext{&ws, nullptr});
    ASSERT_NE(programFile(), program);
    m->settings.ModeOfInput = 1;  // even a mode switch goes back
    m->CurrentChannel = 3;
    ApplyEdit(*m, edit::Restore{before}, EditContext{&ws, nullptr});
    EXPECT_EQ(programFile(), program);
    EXPECT_EQ(m->CurrentChannel, 3);
    EXPECT_EQ(m->CicDecMin, 2);  // Full rate's bounds again
}

TEST(CommandStatus, TapFileScanCountsWhatTheReaderMeets) {
    test::TempDir dir;
    const auto path = dir.path() / "x.taps";
    test::WriteFileText(path, " 1\r\nabc\n70000\n-40000\n\n 5.5\n7");  // the last line is unfinished
    const TapFileScan scan = ScanTapFile(path);
    TapBuffer taps;
    EXPECT_EQ(scan.taps, ReadTapFile(path, taps));
    EXPECT_EQ(scan.taps, 4);
    EXPECT_EQ(scan.skippedLines, 2);
    EXPECT_EQ(scan.reducedValues, 2);
    EXPECT_EQ(scan.cutValues, 1);
    EXPECT_EQ(CoefFileStatus("FILTERS/x.taps", 1, scan),
              "Канал B: из FILTERS/x.taps взято 4 коэффициента, пропущено 2 строки без числа, 2 значения урезаны "
              "до 16 бит, 1 значение прочитано не целиком (взято целое в начале строки)");
    EXPECT_FALSE(ScanTapFile(dir.path() / "none.taps").readable);
    EXPECT_EQ(CoefFileStatus("FILTERS/none.taps", 0, ScanTapFile(dir.path() / "none.taps")),
              "Канал A: файл FILTERS/none.taps не загружен");
}

TEST(CommandStatus, LinesNameTheFileAndWhatWasFound) {
    const Workspace ws{"/work/ws"};
    EXPECT_EQ(ShownPath("/work/ws/FILTERS/a.taps", ws), "FILTERS/a.taps");
    EXPECT_EQ(ShownPath("/elsewhere/a.taps", ws), "/elsewhere/a.taps");
    EXPECT_EQ(ShownPath("/work/wsx/a.taps", ws), "/work/wsx/a.taps");

    EXPECT_EQ(Gc101Status("Appl/a.gc101", 3, 21, 0, "CONFIGS/a.prg", true),
              "Из Appl/a.gc101 взята 21 запись регистра; записан CONFIGS/a.prg");
    EXPECT_EQ(Gc101Status("Appl/a.gc101", 3, 2, 5, "CONFIGS/a.prg", true),
              "Из Appl/a.gc101 взято 2 записи регистров, пропущено 5 строк без адреса и значения; записан "
              "CONFIGS/a.prg");
    EXPECT_EQ(Gc101Status("Appl/e.gc101", 0, 0, 1, "CONFIGS/e.prg", false),
              "В Appl/e.gc101 нет ни одной записи регистра, пропущена 1 строка без адреса и значения; CONFIGS/e.prg "
              "не записан");
    EXPECT_TRUE(Has(ProgramWrittenStatus("CONFIGS/std.prg", true, 304, -1, 0, 2), "304 записи регистров"));

    Settings s;
    const int fir[4] = {1, 1, 1, 2};
    for (int c = 0; c < kChannels; ++c) {
        s.CicM0Dec[c] = 16;
        s.CicM1Dec[c] = 8 * (c + 1);
        s.FirDec[c] = fir[c];
    }
    EXPECT_EQ(DecimationTotalsLine(s), "Общие децимации каналов: A 16, B 16, C 16, D 32");
    s.ModeOfInput = 1;
    EXPECT_EQ(DecimationTotalsLine(s), "Общие децимации каналов: A 8, C 24");
}

TEST(CommandStatus, FltOutputIsWhereTheConversionWrites) {
    test::TempDir dir;
    const Workspace ws{dir.path()};
    std::filesystem::create_directories(ws.Filters());
    for (const char* name : {"low.pass.flt", "plain", "dir.d/f.flt"}) {
        const auto in = dir.path() / name;
        std::filesystem::create_directories(in.parent_path());
        test::WriteFileText(in, "head\n2\n1\n2\n");
        EXPECT_EQ(FltOutputPath(in, ws), ConvertFltToTaps(in, ws).output) << name;
    }
}

}  // namespace
}  // namespace gc
