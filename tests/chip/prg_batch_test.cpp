// The batch tool's prg, save and gc101 commands on copies of the example workspace.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/text_io.h"
#include "test_util.h"

namespace gc {
namespace {

namespace fs = std::filesystem;
using test::BatchRun;
using test::CopyExampleWorkspace;
using test::ReadFileText;
using test::RunBatchTool;
using test::TempDir;
using test::WriteFileText;
using namespace std::string_literals;

std::set<std::string> FilesUnder(const fs::path& root) {
    std::set<std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file()) files.insert(fs::relative(e.path(), root).generic_string());
    return files;
}

// page/register -> value lines of a program file.
std::map<std::pair<std::string, std::string>, std::string> Triples(const std::string& text) {
    std::map<std::pair<std::string, std::string>, std::string> t;
    bool inList = false;
    for (const std::string& line : SplitLines(text)) {
        if (line == "Page    Reg    Value ") {
            inList = true;
            continue;
        }
        if (!inList) continue;
        char page[16], reg[16], value[16];
        if (std::sscanf(line.c_str(), "%15s %15s %15s", page, reg, value) == 3) t[{page, reg}] = value;
    }
    return t;
}

TEST(BatchPrg, ExampleWorkspaceGivesTheGoldenProgramFile) {
    TempDir ws;
    CopyExampleWorkspace(ws.path());
    const std::set<std::string> before = FilesUnder(ws.path());
    BatchRun r = RunBatchTool(ws.path(), "prg");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    const std::string text = ReadFileText(ws / "CONFIGS" / "std.prg");
    EXPECT_EQ(text, ReadFileText(fs::path(GC5016_TEST_DATA) / "std_example.prg"));
    std::set<std::string> after = FilesUnder(ws.path());
    after.erase("CONFIGS/std.prg");
    EXPECT_EQ(after, before) << "no other files";

    // Values worked out by hand from the example's settings.
    auto t = Triples(text);
    EXPECT_EQ(t.size(), 1328u);
    EXPECT_EQ((t[{"0x0", "0x1"}]), "0x4");  // soB_sync 4
    // Channel A: CIC decimation 2 (shift 34, rcv and rshift set), 10 MHz NCO.
    EXPECT_EQ((t[{"0x80", "0x10"}]), "0x262");
    EXPECT_EQ((t[{"0x80", "0x12"}]), "0x6667");
    EXPECT_EQ((t[{"0x80", "0x13"}]), "0x6666");
    EXPECT_EQ((t[{"0x80", "0x14"}]), "0xe666");
    EXPECT_EQ((t[{"0x80", "0x15"}]), "0x4810");
    EXPECT_EQ((t[{"0x80", "0x16"}]), "0x43f");
    EXPECT_EQ((t[{"0x80", "0x17"}]), "0x2001");
    // Channel B at 20 MHz, C at 30 MHz.
    EXPECT_EQ((t[{"0x80", "0x1a"}]), "0xcccd");
    EXPECT_EQ((t[{"0x80", "0x1c"}]), "0xcccc");
    EXPECT_EQ((t[{"0xa0", "0x12"}]), "0x3334");
    EXPECT_EQ((t[{"0xa0", "0x14"}]), "0xb333");
    // Gain 1.0, AGC defaults, the odd-symmetric page-17 row of decimation 1.
    EXPECT_EQ((t[{"0x13", "0x13"}]), "0x1000");
    EXPECT_EQ((t[{"0x13", "0x14"}]), "0xf000");
    EXPECT_EQ((t[{"0x13", "0x17"}]), "0x66");
    EXPECT_EQ((t[{"0x11", "0x10"}]), "0x2100");
    EXPECT_EQ((t[{"0x11", "0x11"}]), "0x2311");
    EXPECT_EQ((t[{"0x70", "0x1f"}]), "0xf");
    EXPECT_EQ((t[{"0xa1", "0x10"}]), "0x4444");
    EXPECT_EQ((t[{"0xa1", "0x13"}]), "0x7");
    EXPECT_EQ(t.count({"0x13", "0x19"}), 0u);
}

TEST(BatchPrg, SplitIqConfigurationGivesTheGoldenProgramFile) {
    TempDir ws;
    CopyExampleWorkspace(ws.path());
    fs::copy_file(fs::path(GC5016_TEST_DATA) / "splitiq.lab", ws / "CONFIGS" / "splitiq.lab");
    BatchRun r = RunBatchTool(ws.path(), "--lab CONFIGS/splitiq.lab prg --out CONFIGS/splitiq.prg");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string text = ReadFileText(ws / "CONFIGS" / "splitiq.prg");
    EXPECT_EQ(text, ReadFileText(fs::path(GC5016_TEST_DATA) / "splitiq.prg"));
    EXPECT_FALSE(fs::exists(ws / "CONFIGS" / "std.prg"));

    // Pairs A+B (FirDec 2, ADC 1) and C+D (FirDec 3, ADC 2), described by A and C.
    EXPECT_NE(text.find("ModeOfDdc= 1\nMaskADC= 0x7\nMaskDDC= 0x3\nCHAN= 0x3\n"
                        "Decimation Ch0= 16\nDecimation Ch1= 24\nDecimation Ch2= 0\nDecimation Ch3= 0\n"
                        "FreqNCO0= 12500000\nFreqNCO1= -5000000\nFreqNCO2= 12500000\nFreqNCO3= -5000000\n"
                        "ADC Ch0= 1\nADC Ch1= 2\nADC Ch2= 1\nADC Ch3= 2\n"),
              std::string::npos);
    auto t = Triples(text);
    EXPECT_EQ((t[{"0x10", "0x10"}]), "0x1");  // page 16, decimation 2 pairs: 1, 0, 2, ..
    EXPECT_EQ((t[{"0x30", "0x10"}]), "0x1");
    EXPECT_EQ((t[{"0x50", "0x10"}]), "0x2");  // decimation 3: 2, 1, 0, 3, ..
    EXPECT_EQ((t[{"0x70", "0x12"}]), "0x0");
    EXPECT_EQ((t[{"0x11", "0x10"}]), "0x2111");  // page 17 row 29
    EXPECT_EQ((t[{"0x31", "0x11"}]), "0x300");
    EXPECT_EQ((t[{"0x51", "0x10"}]), "0x2122");  // row 51
    EXPECT_EQ((t[{"0x71", "0x11"}]), "0x511");
    EXPECT_EQ((t[{"0x80", "0x10"}]), "0x258");   // CIC 8
    EXPECT_EQ((t[{"0x80", "0x18"}]), "0x1258");  // B: the pair's second channel crosses
    EXPECT_EQ((t[{"0x80", "0x14"}]), "0xe000");  // 12.5 MHz
    EXPECT_EQ((t[{"0x80", "0x15"}]), "0x4812");  // ADC 1
    EXPECT_EQ((t[{"0xa0", "0x14"}]), "0xccc");   // -5 MHz
    EXPECT_EQ((t[{"0x13", "0x11"}]), "0x300");   // sck_div 3
    EXPECT_EQ((t[{"0x13", "0x13"}]), "0x2800");  // gain 2.5
}

TEST(BatchPrg, ToolCrossCheckPrintsBothCounts) {
    TempDir ws;
    CopyExampleWorkspace(ws.path());
    BatchRun r = RunBatchTool(ws.path(), "prg --tool");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "page16 mismatches: 0\npage17 mismatches: 0\n");
    EXPECT_EQ(ReadFileText(ws / "CONFIGS" / "std.prg"), ReadFileText(fs::path(GC5016_TEST_DATA) / "std_example.prg"));

    // The stand-in's gc101 selects pages 32c+16 and 32c+17, each followed by its 16 writes.
    std::vector<std::string> lines = *ReadLines(ws / "FILTERS" / "workcmd.gc101");
    for (int c = 0; c < 4; ++c)
        for (int p : {16, 17}) {
            const std::string select = StrPrintf("write 0002 %04x", 32 * c + p);
            auto it = std::find(lines.begin(), lines.end(), select);
            ASSERT_NE(it, lines.end()) << select;
            ASSERT_GE(lines.end() - it, 17);
            for (int j = 0; j < 16; ++j) EXPECT_EQ((it + 1 + j)->substr(0, 11), StrPrintf("write %04x ", 16 + j));
        }

    // A tool that answers with other pages: the counts say how many words differ.
    std::string gc101 = ReadFileText(ws / "FILTERS" / "workcmd.gc101");
    const std::string sel = "write 0002 0011\n";
    const size_t at = gc101.find(sel);
    ASSERT_NE(at, std::string::npos);
    gc101.replace(at + sel.size(), 15, "write 0010 0001");  // channel A page 17, word 0
    WriteFileText(ws / "FILTERS" / "workcmd.gc101", gc101);
    // A tool of our own gives that answer.
    WriteFileText(ws / "answer.gc101", gc101);
    fs::copy_file(ws / "FILTERS" / "workcmd.tbl", ws / "answer.tbl");
    r = test::RunBatchBesideTool(ws.path(), "cp ../answer.gc101 workcmd.gc101\ncp ../answer.tbl workcmd.tbl\n",
                                 "prg --tool");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "page16 mismatches: 0\npage17 mismatches: 1\n");
}

TEST(BatchPrg, ToolFoundThroughARelativePathEntryRuns) {
    TempDir ws;
    CopyExampleWorkspace(ws.path());
    // The batch tool alone in bin/, the stand-in only in tools/, named relative
    // to the working folder although it runs in FILTERS/.
    fs::create_directories(ws / "bin");
    fs::create_directories(ws / "tools");
    TempDir io;
    const std::string cmd = std::string("cd '") + ws.path().string() + "' && cp '" + GC5016_BIN_DIR +
                            "/gc5016-batch' bin/ && cp '" + GC5016_BIN_DIR +
                            "/cmd5016' tools/ && PATH=tools bin/gc5016-batch prg --tool > '" + (io / "out").string() +
                            "' 2> '" + (io / "err").string() + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    EXPECT_EQ(ReadFileText(io / "out"), "page16 mismatches: 0\npage17 mismatches: 0\n");
    EXPECT_EQ(ReadFileText(io / "err"), "");
    EXPECT_TRUE(fs::exists(ws / "FILTERS" / "workcmd.gc101"));
}

TEST(BatchPrg, LchmScalesTheCoefficientWords) {
    TempDir ws;
    CopyExampleWorkspace(ws.path());
    ASSERT_EQ(RunBatchTool(ws.path(), "--lchm prg --out CONFIGS/lchm.prg").status, 0);
    auto plain = Triples(ReadFileText(fs::path(GC5016_TEST_DATA) / "std_example.prg"));
    auto scaled = Triples(ReadFileText(ws / "CONFIGS" / "lchm.prg"));
    ASSERT_EQ(scaled.size(), 1328u);
    int nonzero = 0;
    for (int c = 0; c < 4; ++c)
        for (int page = 32 * c; page < 32 * c + 16; ++page)
            for (int reg = 16; reg < 32; ++reg) {
                const std::pair<std::string, std::string> key{StrPrintf("0x%x", page), StrPrintf("0x%x", reg)};
                const long word = static_cast<int16_t>(std::stol(plain[key], nullptr, 16));
                if (word != 0) ++nonzero;
                // scaleFir 0.5, truncated toward zero, as a 16-bit word
                EXPECT_EQ(scaled[key], StrPrintf("0x%lx", static_cast<unsigned long>((word / 2) & 0xFFFF)))
                    << key.first;
            }
    EXPECT_GT(nonzero, 40);
    // The manual shift (shiftFir 2) replaces the computed one in fir_shift.
    EXPECT_EQ(std::stol((scaled[{"0x14", "0x12"}]), nullptr, 16) & 7, 2);
}

TEST(BatchPrg, BadUsageAndUnwritableOutput) {
    TempDir ws;
    CopyExampleWorkspace(ws.path());
    EXPECT_EQ(RunBatchTool(ws.path(), "prg extra").status, 1);
    EXPECT_EQ(RunBatchTool(ws.path(), "prg --out").status, 1);
    EXPECT_EQ(RunBatchTool(ws.path(), "gc101").status, 1);
    EXPECT_EQ(RunBatchTool(ws.path(), "save").status, 1);
    EXPECT_EQ(RunBatchTool(ws.path(), "save a.lab b.lab").status, 1);
    BatchRun r = RunBatchTool(ws.path(), "prg --out NOFOLDER/x.prg");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("NOFOLDER/x.prg"), std::string::npos);
}

TEST(BatchGc101, ChosenFileBecomesAProgramFileOfItsName) {
    TempDir ws;
    CopyExampleWorkspace(ws.path());
    WriteFileText(ws / "Appl" / "lab.old.gc101", "write 2 12\nwrite 10 5\nwrite 11 7\n");
    BatchRun r = RunBatchTool(ws.path(), "gc101 Appl/lab.old.gc101");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string text = ReadFileText(ws / "CONFIGS" / "lab.old.prg");
    const std::string golden = ReadFileText(fs::path(GC5016_TEST_DATA) / "std_example.prg");
    const std::string listHead = "Page    Reg    Value \n";
    const std::string header = golden.substr(0, golden.find(listHead) + listHead.size());
    EXPECT_EQ(text, header + "0x12    0x10   0x5   \n0x12    0x11   0x7   \n");

    // A folder name with a dot does not count.
    fs::create_directories(ws / "Appl" / "run.d");
    WriteFileText(ws / "Appl" / "run.d" / "nothing", "write 2 12\nwrite 10 5\n");
    r = RunBatchTool(ws.path(), "gc101 Appl/run.d/nothing");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFileText(ws / "CONFIGS" / "nothing.prg"), header + "0x12    0x10   0x5   \n");
}

// A program without register writes would replace a good one and break its
// pair with the lab file: such an import is refused; lines that give no pair
// are counted.
TEST(BatchGc101, NoRegisterWriteIsRefusedAndSkippedLinesAreSaid) {
    struct Case {
        const char* what;
        std::optional<std::string> text;  // nullopt: no such file
        int status;
        const char* said;
    };
    const Case cases[] = {
        {"missing", std::nullopt, 4, "cannot read"},
        {"empty", "", 4, "holds no register write (0 lines"},
        {"garbage", "\x01\x02garbage\nzz\n", 4, "holds no register write (2 lines"},
        {"page selects only", "write 2 11\nwrite 2 12\n", 4, "holds no register write (0 lines"},
        // Not text: the pieces between NULs would be taken as writes.
        {"NUL bytes", "write 2 12\n\0write 10 5\nwrite 11 7\n"s, 4, "holds NUL bytes"},
        {"UTF-16 without a mark", "w\0r\0i\0t\0e\0 \0002\0\n\0"s, 4, "UTF-16LE text"},
        // The last line, without its line break, counts as skipped.
        {"some skipped", "head\nwrite 2 12\nwrite 10 5\n--\nwrite 11 7", 0, "3 lines of Appl/x.gc101 held no"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir ws;
        CopyExampleWorkspace(ws.path());
        WriteFileText(ws / "CONFIGS" / "x.prg", "good\n");
        if (c.text) WriteFileText(ws / "Appl" / "x.gc101", *c.text);
        const BatchRun r = RunBatchTool(ws.path(), "gc101 Appl/x.gc101");
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
        EXPECT_EQ(ReadFileText(ws / "CONFIGS" / "x.prg") == "good\n", c.status != 0);
    }
}

TEST(BatchSave, WritesTheLabAndItsProgramFile) {
    TempDir ws;
    CopyExampleWorkspace(ws.path());
    BatchRun r = RunBatchTool(ws.path(), "save CONFIGS/run.v2.lab");
    ASSERT_EQ(r.status, 0) << r.err;
    // Only the last extension is replaced: run.v2 never takes run.prg.
    EXPECT_EQ(ReadFileText(ws / "CONFIGS" / "run.v2.prg"),
              ReadFileText(fs::path(GC5016_TEST_DATA) / "std_example.prg"));
    EXPECT_FALSE(fs::exists(ws / "CONFIGS" / "run.prg"));
    const std::string lab = ReadFileText(ws / "CONFIGS" / "run.v2.lab");
    EXPECT_EQ(lab, ReadFileText(ws / "CONFIGS" / "std.lab")) << "the example lab saved unchanged";
}

// Names that cannot make a pair are refused with the real cause and file.
TEST(BatchSave, NamesThatCannotHoldAPairSayWhy) {
    TempDir ws;
    CopyExampleWorkspace(ws.path());
    BatchRun r = RunBatchTool(ws.path(), "save CONFIGS/x.prg");
    EXPECT_EQ(r.status, 4) << r.err;
    EXPECT_NE(r.err.find("CONFIGS/x.prg: the lab file and its program file would be the same file"), std::string::npos)
        << r.err;
    EXPECT_FALSE(fs::exists(ws / "CONFIGS" / "x.prg"));
    fs::create_symlink("/dev/null", ws / "CONFIGS" / "d.lab");
    r = RunBatchTool(ws.path(), "save CONFIGS/d.lab");
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find("CONFIGS/d.lab in"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("it is a link to /dev/null, which is not a regular file"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(ws / "CONFIGS" / "d.prg"));
}

TEST(BatchSave, RefusedByTheDecimationChecks) {
    TempDir ws;
    CopyExampleWorkspace(ws.path());
    std::string lab = ReadFileText(ws / "CONFIGS" / "std.lab");
    const std::string from = "CicM0Dec                 2           2           2           2";
    const std::string to = "CicM0Dec                 8           8           8           16";
    ASSERT_NE(lab.find(from), std::string::npos);
    lab.replace(lab.find(from), from.size(), to);
    const std::string fir = "FirDec                   1           1           1           1";
    lab.replace(lab.find(fir), fir.size(), "FirDec                   2           2           2           2");
    WriteFileText(ws / "CONFIGS" / "std.lab", lab);
    const std::set<std::string> before = FilesUnder(ws.path());

    BatchRun r = RunBatchTool(ws.path(), "save CONFIGS/bad.lab");
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "gc5016-batch: not saved: the channels' total decimations differ (A 16, B 16, C 16, D 32)\n");
    EXPECT_EQ(FilesUnder(ws.path()), before) << "nothing written";
}

}  // namespace
}  // namespace gc

namespace gc {
namespace {

TEST(BatchDecode, DecodePrintsAndSavesDiffExitsFiveOnADifference) {
    test::TempDir ws;
    test::CopyExampleWorkspace(ws.path());
    ASSERT_EQ(test::RunBatchTool(ws.path(), "prg").status, 0);
    test::BatchRun d = test::RunBatchTool(ws.path(), "decode CONFIGS/std.prg");
    ASSERT_EQ(d.status, 0) << d.err;
    for (const char* line : {"FreqNCO.B 20000000\n", "CicDec.A 2\n", "taps.A 31\n", "same_bytes_on_save yes\n",
                             "note: sync_mode: not in the file\n"})
        EXPECT_NE(d.out.find(line), std::string::npos) << line;

    // A copy with Windows line ends decodes the same, but a save would not give its bytes.
    std::string crlf;
    for (const std::string& line : SplitLines(test::ReadFileText(ws / "CONFIGS/std.prg"))) crlf += line + "\r\n";
    test::WriteFileText(ws / "CONFIGS/crlf.prg", crlf);
    test::BatchRun w = test::RunBatchTool(ws.path(), "decode CONFIGS/crlf.prg");
    EXPECT_EQ(w.status, 0) << w.err;
    EXPECT_NE(w.out.find("same_bytes_on_save no\n"), std::string::npos);
    EXPECT_EQ(w.out.substr(0, w.out.find("taps.A")), d.out.substr(0, d.out.find("taps.A")));

    test::BatchRun s = test::RunBatchTool(ws.path(), "decode CONFIGS/std.prg --save CONFIGS/dec.lab --taps-prefix ex");
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_TRUE(std::filesystem::exists(ws / "FILTERS/ex_D.taps"));
    EXPECT_EQ(test::ReadFileText(ws / "CONFIGS/dec.prg"), test::ReadFileText(ws / "CONFIGS/std.prg"));

    const struct {
        const char* args;
        int status;
        const char* out;  // the first line
    } cases[] = {
        {"diff CONFIGS/std.lab CONFIGS/std.prg", 0, "equal\n"},
        {"diff CONFIGS/dec.lab CONFIGS/std.lab", 5, "setting NameOfPFIR0 - ex_A.taps cdma.taps\n"},
        {"diff CONFIGS/std.prg CONFIGS/cic8_pfir2.lab", 5, "setting CicDec A 2 8\n"},
        {"decode CONFIGS/std.prg --taps-prefix x", 1, ""},
        {"diff CONFIGS/std.prg", 1, ""},
    };
    for (const auto& c : cases) {
        test::BatchRun r = test::RunBatchTool(ws.path(), c.args);
        EXPECT_EQ(r.status, c.status) << c.args << ": " << r.err;
        EXPECT_EQ(r.out.substr(0, r.out.find('\n') + 1), c.out) << c.args;
    }
}

}  // namespace
}  // namespace gc
