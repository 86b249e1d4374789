// The shared file commands under the faults a user meets: every file stays its
// old or its new whole self, a pair always matches, and a refusal says why.
#include "session/commands.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>

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

std::string Mode(const fs::path& p) {
    struct stat st {};
    if (::stat(p.c_str(), &st) != 0) return "none";
    return std::to_string(st.st_mode & 07777);
}

// A configuration name that fills the 255 bytes a file name may have, in Cyrillic.
std::string LongestCyrillicName() {
    std::string name;
    for (int i = 0; i < 125; ++i) name += "ж";
    return name + "a";  // 251 bytes, then ".lab" or ".prg"
}

TEST(SaveCommand, EachFaultLeavesBothFilesWholeAndSaysWhy) {
    const std::string longName = LongestCyrillicName();
    struct Case {
        const char* what;
        std::function<void(const fs::path& ws)> arrange;
        std::string args;
        int status;
        std::string message;   // on stderr
        std::string lab, prg;  // below CONFIGS/: the pair that must hold the new configuration, or stay old
        bool written;
    } cases[] = {
        {"a dotted name keeps its own program file",
         {},
         "save CONFIGS/rx.v2.lab",
         0,
         "",
         "rx.v2.lab",
         "rx.v2.prg",
         true},
        {"a folder in the way of the lab file",
         [](const fs::path& ws) { fs::create_directories(ws / "CONFIGS" / "d.lab"); }, "save CONFIGS/d.lab", 2, "d.lab",
         "d.lab", "d.prg", false},
        {"a folder in the way of the program file",
         [](const fs::path& ws) { fs::create_directories(ws / "CONFIGS" / "e.prg"); }, "save CONFIGS/e.lab", 2, "e.prg",
         "e.lab", "e.prg", false},
        {"no name", {}, "save ''", 4, "no file name", "", "", false},
        {"a folder that is not there", {}, "save NOFOLDER/x.lab", 2, "No such file or directory", "", "", false},
        {"the longest Cyrillic name",
         {},
         "save 'CONFIGS/" + longName + ".lab'",
         0,
         "",
         longName + ".lab",
         longName + ".prg",
         true},
    };
    for (const Case& c : cases) {
        TempDir ws;
        CopyExampleWorkspace(ws.path());
        WriteFileText(ws / "CONFIGS" / "rx.prg", "another configuration\n");
        if (c.arrange) c.arrange(ws.path());
        const BatchRun r = RunBatchTool(ws.path(), c.args);
        EXPECT_EQ(r.status, c.status) << c.what << "\n" << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.what << "\n" << r.err;
        EXPECT_EQ(ReadFileText(ws / "CONFIGS" / "rx.prg"), "another configuration\n") << c.what;
        if (c.lab.empty()) continue;
        const fs::path lab = ws / "CONFIGS" / c.lab, prg = ws / "CONFIGS" / c.prg;
        if (c.written) {
            EXPECT_NE(ReadFileText(lab).find("LabFile DDC GC5016"), std::string::npos) << c.what;
            EXPECT_NE(ReadFileText(prg).find("ProgFile DDC GC5016"), std::string::npos) << c.what;
        } else {
            EXPECT_FALSE(fs::is_regular_file(lab) && fs::is_regular_file(prg)) << c.what << ": half a pair was written";
        }
    }
}

TEST(SaveCommand, KeepsPermissionsAndReplacesNoWriteProtectedFile) {
    TempDir ws;
    CopyExampleWorkspace(ws.path());
    WriteFileText(ws / "CONFIGS" / "own.lab", "old lab\n");
    WriteFileText(ws / "CONFIGS" / "own.prg", "old prg\n");
    fs::permissions(ws / "CONFIGS" / "own.lab", fs::perms(0600));
    BatchRun r = RunBatchTool(ws.path(), "save CONFIGS/own.lab");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Mode(ws / "CONFIGS" / "own.lab"), std::to_string(0600));

    WriteFileText(ws / "CONFIGS" / "ro.lab", "old lab\n");
    WriteFileText(ws / "CONFIGS" / "ro.prg", "old prg\n");
    fs::permissions(ws / "CONFIGS" / "ro.prg", fs::perms(0444));
    r = RunBatchTool(ws.path(), "save CONFIGS/ro.lab");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("cannot write CONFIGS/ro.prg"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Permission denied"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFileText(ws / "CONFIGS" / "ro.lab"), "old lab\n");
    EXPECT_EQ(ReadFileText(ws / "CONFIGS" / "ro.prg"), "old prg\n");
}

// A start-up lab file that is there but cannot be read is never replaced by the defaults.
TEST(CloseCommand, AnUnreadableStartupLabIsNotReplaced) {
    const struct {
        const char* what;
        std::string bytes;
        const char* problem;
    } cases[] = {
        {"UTF-16LE",
         std::string("\xFF\xFE"
                     "F\0u\0l\0l\0",
                     10),
         "UTF-16LE"},
        {"UTF-16BE", std::string("\xFE\xFF\0F\0u\0l\0l", 10), "UTF-16BE"},
        {"NUL bytes", std::string("FullDebug 0\n\0\0\0\0", 16), "NUL"},
    };
    for (const auto& c : cases) {
        TempDir ws;
        CopyExampleWorkspace(ws.path());
        WriteFileText(ws / "CONFIGS" / "std.lab", c.bytes);
        BatchRun r = RunBatchTool(ws.path(), "lab");
        EXPECT_EQ(r.status, 4) << c.what << "\n" << r.err;
        EXPECT_NE(r.err.find(c.problem), std::string::npos) << c.what << "\n" << r.err;
        EXPECT_EQ(ReadFileText(ws / "CONFIGS" / "std.lab"), c.bytes) << c.what;
        // Commands that do not write it go on with the defaults, and say so.
        r = RunBatchTool(ws.path(), "prg --out CONFIGS/x.prg");
        EXPECT_EQ(r.status, 0) << c.what << "\n" << r.err;
        EXPECT_NE(r.err.find("it will not be replaced"), std::string::npos) << c.what << "\n" << r.err;
        // Nor does "Записать" replace it (or a program file it cannot read) without the explicit yes.
        for (const char* target : {"CONFIGS/std.lab", "CONFIGS/other.prg"}) {
            WriteFileText(ws / target, c.bytes);
            r = RunBatchTool(ws.path(), std::string("save CONFIGS/") + (target[8] == 's' ? "std.lab" : "other.lab"));
            EXPECT_EQ(r.status, 2) << c.what << " " << target << "\n" << r.err;
            EXPECT_NE(r.err.find(std::string("not replacing ") + target), std::string::npos) << r.err;
            EXPECT_EQ(ReadFileText(ws / target), c.bytes) << c.what << " " << target;
        }
        r = RunBatchTool(ws.path(), "save --force CONFIGS/std.lab");
        EXPECT_EQ(r.status, 0) << c.what << "\n" << r.err;
        EXPECT_EQ(ReadFileText(ws / "CONFIGS" / "std.lab").rfind("*** LabFile", 0), 0u) << c.what;
    }
}

TEST(ToolCommands, AHungToolIsStoppedAndNothingIsTakenFromIt) {
    TempDir ws;
    CopyExampleWorkspace(ws.path());
    for (const char* args : {"--tool-timeout 0.3 prg --tool", "--tool-timeout 0.3 workcmd --tool"}) {
        const auto start = std::chrono::steady_clock::now();
        const BatchRun r = test::RunBatchBesideTool(ws.path(), "exec sleep 600\n", args);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20)) << args;
        EXPECT_EQ(r.status, 4) << args << "\n" << r.err;
        EXPECT_NE(r.err.find("time limit"), std::string::npos) << args << "\n" << r.err;
    }
    EXPECT_FALSE(fs::exists(ws / "CONFIGS" / "std.prg"));
    // A limit so short that it would round to none, or stop any tool, is refused with the range.
    for (const char* limit : {"0.0004", "0.09", "-1", "86401"}) {
        const BatchRun r = RunBatchTool(ws.path(), std::string("--tool-timeout ") + limit + " prg --tool");
        EXPECT_EQ(r.status, 1) << limit;
        EXPECT_NE(r.err.find("0 (no limit) or seconds from 0.1 to 86400"), std::string::npos) << limit << r.err;
    }
}

// A tool that fails in any way fails the command, and what an earlier run of
// another configuration left in FILTERS/ is moved aside, never read.
TEST(ToolCommands, AFailedToolFailsTheCommandAndItsLeftoversAreNotRead) {
    struct Case {
        const char* what;
        const char* tool;  // run in FILTERS/, where ../answer.* is a good answer
        const char* said;
        int workcmdStatus;  // the script command does not read the gc101 output
    };
    const Case cases[] = {
        {"exit 1", "exit 1\n", "the chip tool ended with exit status 1", 4},
        {"SIGSEGV", "cp ../answer.gc101 workcmd.gc101\nkill -SEGV $$\n", "killed by signal 11", 4},
        {"missing", "", "no chip tool found", 4},
        {"half its gc101", "head -c 300 ../answer.gc101 > workcmd.gc101\ncp ../answer.tbl workcmd.tbl\n",
         "lacks the 16 writes of page 0x10", 0},
        {"no table", "cp ../answer.gc101 workcmd.gc101\n", "left no FILTERS/workcmd.tbl", 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir ws;
        CopyExampleWorkspace(ws.path());
        // A run of the real stand-in on another configuration leaves its answer.
        fs::copy_file(fs::path(GC5016_TEST_DATA) / "splitiq.lab", ws / "CONFIGS" / "std.lab",
                      fs::copy_options::overwrite_existing);
        ASSERT_EQ(RunBatchTool(ws.path(), "prg --tool").status, 0);
        fs::copy_file(ws / "FILTERS" / "workcmd.gc101", ws / "answer.gc101");
        fs::copy_file(ws / "FILTERS" / "workcmd.tbl", ws / "answer.tbl");
        const std::string stale = ReadFileText(ws / "FILTERS" / "workcmd.gc101");
        CopyExampleWorkspace(ws.path());
        fs::remove(ws / "CONFIGS" / "std.prg");

        const BatchRun r = test::RunBatchBesideTool(ws.path(), c.tool, "prg --tool");
        EXPECT_EQ(r.status, 4) << r.err;
        EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "") << "no mismatch counts from a failed run";
        EXPECT_FALSE(fs::exists(ws / "CONFIGS" / "std.prg"));
        EXPECT_EQ(ReadFileText(ws / "FILTERS" / "workcmd.gc101.old"), stale);
        EXPECT_TRUE(fs::exists(ws / "FILTERS" / "workcmd.tbl.old"));
        EXPECT_EQ(test::RunBatchBesideTool(ws.path(), c.tool, "workcmd --tool").status, c.workcmdStatus);
    }
}

TEST(Commands, SayWhatTheyChanged) {
    TempDir ws;
    CopyExampleWorkspace(ws.path());
    fs::create_directories(ws / "FDFDP");
    WriteFileText(ws / "FDFDP" / "short.flt", "filter\n5\n7\n8\n");
    BatchRun r = RunBatchTool(ws.path(), "flt2taps FDFDP/short.flt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("names 5 taps but holds 2"), std::string::npos) << r.err;

    std::string lab = ReadFileText(ws / "CONFIGS" / "std.lab");
    lab.replace(lab.find("SystemClock"), lab.find('\n', lab.find("SystemClock")) - lab.find("SystemClock"),
                "SystemClock            0");
    WriteFileText(ws / "CONFIGS" / "std.lab", lab);
    r = RunBatchTool(ws.path(), "tbl");
    EXPECT_NE(r.err.find("clock 0 Hz"), std::string::npos) << r.err;

    // A bare name is written into FILTERS/, its floating-point copy into the working folder's Appl/.
    r = RunBatchTool(ws.path(), "testfilter ramp.taps");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::exists(ws / "FILTERS" / "ramp.taps"));
    EXPECT_TRUE(fs::exists(ws / "Appl" / "ramp.taps"));
}

// Without a lab file every channel runs CIC 2, PFIR 1: the program file must
// not carry the start-up totals 4, 8 and 16 of the channels never shown.
TEST(SaveCommand, ProgramFileTotalsAreTheChannelsOwn) {
    TempDir ws;
    fs::create_directories(ws / "CONFIGS");
    fs::create_directories(ws / "FILTERS");
    const BatchRun r = RunBatchTool(ws.path(), "save CONFIGS/fresh.lab");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string prg = ReadFileText(ws / "CONFIGS" / "fresh.prg");
    for (int n = 0; n < 4; ++n)
        EXPECT_NE(prg.find("Decimation Ch" + std::to_string(n) + "= 2\n"), std::string::npos) << n;
}

}  // namespace
}  // namespace gc
