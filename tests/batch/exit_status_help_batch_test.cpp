// What gc5016-batch tells a script: a refused input exits 4 with nothing
// written, warnings that change nothing keep 0, and --help, help COMMAND and
// --version answer without a session.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/model.h"
#include "core/text_io.h"
#include "core/version.h"
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

const std::vector<std::string> kCommands = {"lab", "tbl",   "prg",        "save",     "workcmd", "compare", "response",
                                            "fit", "gc101", "testfilter", "flt2taps", "decode",  "diff",    "plan"};

// Every file below the folder with its contents, to see that a run wrote nothing.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root))
        files[fs::relative(e.path(), root).string()] = e.is_regular_file() ? ReadFileText(e.path()) : "<dir>";
    return files;
}

void SetLabValue(const fs::path& lab, const std::string& key, const std::string& value) {
    std::string out;
    for (const std::string& line : SplitLines(ReadFileText(lab)))
        out += (line.rfind(key + " ", 0) == 0 ? key + " " + value : line) + "\n";
    WriteFileText(lab, out);
}

TEST(BatchExitStatus, EveryRefusedInputExits4AndWritesNothing) {
    struct Case {
        const char* what;
        const char* args;
        const char* kind;  // IndexFilter of the lab, for testfilter
        const char* taps;  // NumTapsFilter of the lab
    };
    const Case cases[] = {
        {"flt count 0", "flt2taps FILTERS/zero.flt", nullptr, nullptr},
        {"flt count 513", "flt2taps FILTERS/huge.flt", nullptr, nullptr},
        {"flt without a count", "flt2taps FILTERS/nocount.flt", nullptr, nullptr},
        {"flt missing", "flt2taps FILTERS/gone.flt", nullptr, nullptr},
        {"flt a folder", "flt2taps Appl", nullptr, nullptr},
        {"chirp of one tap", "testfilter FILTERS/xxsweep.taps", "3", "1"},
        {"chirp beyond 512 taps", "testfilter FILTERS/xxsweep.taps", "4", "513"},
        {"ramp of no taps", "testfilter FILTERS/ramp.taps", "2", "0"},
        {"gc101 missing", "gc101 Appl/gone.gc101", nullptr, nullptr},
        {"gc101 a folder", "gc101 FILTERS", nullptr, nullptr},
        {"lab named but missing", "--lab CONFIGS/gone.lab lab", nullptr, nullptr},
        {"lab named, a folder", "--lab CONFIGS save CONFIGS/new.lab", nullptr, nullptr},
        {"decode an empty file", "decode CONFIGS/empty.prg", nullptr, nullptr},
        {"decode a binary file", "decode FILTERS/bin.prg --save CONFIGS/x.lab", nullptr, nullptr},
        {"decode a device", "decode /dev/zero", nullptr, nullptr},
        {"decode a lab file", "decode CONFIGS/std.lab --save CONFIGS/x.lab", nullptr, nullptr},
        {"diff with a missing file", "diff CONFIGS/std.lab CONFIGS/gone.prg", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        TempDir ws;
        CopyExampleWorkspace(ws.path());
        WriteFileText(ws / "FILTERS/zero.flt", "lowpass\n0\n1\n2\n");
        WriteFileText(ws / "FILTERS/huge.flt", "lowpass\n513\n1\n");
        WriteFileText(ws / "FILTERS/nocount.flt", "lowpass\n");
        WriteFileText(ws / "FILTERS/zero.taps", " 7\n");  // an older conversion stays
        WriteFileText(ws / "CONFIGS/empty.prg", "");
        WriteFileText(ws / "FILTERS/bin.prg", std::string("*** ProgFile\0\x01\xff", 16));
        if (c.kind) {
            SetLabValue(ws / "CONFIGS/std.lab", "IndexFilter", c.kind);
            SetLabValue(ws / "CONFIGS/std.lab", "NumTapsFilter", c.taps);
        }
        const auto before = Snapshot(ws.path());
        BatchRun r = RunBatchTool(ws.path(), c.args);
        EXPECT_EQ(r.status, 4) << c.what << ": " << r.err;
        EXPECT_EQ(r.out, "") << c.what;
        EXPECT_NE(r.err.find("gc5016-batch: "), std::string::npos) << c.what;
        EXPECT_EQ(r.err.find("usage:"), std::string::npos) << c.what << ": not a usage error";
        EXPECT_EQ(Snapshot(ws.path()), before) << c.what;
    }
}

TEST(BatchExitStatus, WarningsThatChangeNothingKeep0) {
    TempDir ws;
    CopyExampleWorkspace(ws.path());
    // A coefficient file missing at start-up: reported, as the window does, and the run goes on.
    SetLabValue(ws / "CONFIGS/std.lab", "NameOfPFIR2:", "gone.taps");
    BatchRun r = RunBatchTool(ws.path(), "response --csv");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("gone.taps"), std::string::npos);
    EXPECT_FALSE(r.out.empty());
    // The default lab file missing: the defaults stand in.
    fs::remove(ws / "CONFIGS/std.lab");
    EXPECT_EQ(RunBatchTool(ws.path(), "fit").status, 0);
}

TEST(BatchHelp, HelpNamesEveryCommandAndTheExitStatuses) {
    TempDir ws;
    BatchRun help = RunBatchTool(ws.path(), "--help");
    ASSERT_EQ(help.status, 0) << help.err;
    EXPECT_EQ(help.err, "");
    EXPECT_EQ(help.out.rfind("Usage: gc5016-batch ", 0), 0u);
    for (const std::string& c : kCommands) EXPECT_NE(help.out.find("\n  " + c + " "), std::string::npos) << c;
    for (const char* status :
         {"\n  0  done", "\n  1  bad usage", "\n  2  ", "\n  3  ", "\n  4  the input", "\n  5  diff", "\n  6  plan"})
        EXPECT_NE(help.out.find(status), std::string::npos) << status;
    // The short form and the global options before it change nothing; no session runs.
    EXPECT_EQ(RunBatchTool(ws.path(), "-h").out, help.out);
    EXPECT_EQ(RunBatchTool(ws.path(), "--lab x.lab --lchm --help").out, help.out);
    EXPECT_EQ(RunBatchTool(ws.path(), "help").out, help.out);
    EXPECT_TRUE(fs::is_empty(ws.path()));

    // Every command the help lists, this test's or one added later, has its own help.
    std::vector<std::string> listed;
    bool inCommands = false;
    for (const std::string& line : SplitLines(help.out)) {
        if (line == "Commands:") inCommands = true;
        if (line.empty()) inCommands = false;
        if (inCommands && line.rfind("  ", 0) == 0 && line[2] != ' ')
            listed.push_back(line.substr(2, line.find(' ', 2) - 2));
    }
    EXPECT_GE(listed.size(), kCommands.size());
    for (const std::string& c : listed) {
        BatchRun one = RunBatchTool(ws.path(), "help " + c);
        EXPECT_EQ(one.status, 0) << c;
        EXPECT_EQ(one.out.rfind("Usage: gc5016-batch [-C DIR] [--lab PATH] [--lchm] [--tool-timeout S] " + c, 0), 0u)
            << one.out;
        EXPECT_NE(one.out.find("\nOutput: "), std::string::npos) << c;
        EXPECT_EQ(RunBatchTool(ws.path(), c + " --help").out, one.out) << c;
    }
    BatchRun unknown = RunBatchTool(ws.path(), "help nosuch");
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.err.find("nosuch"), std::string::npos);

    BatchRun version = RunBatchTool(ws.path(), "--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("gc5016-batch ") + kProjectVersion + " (board model " +
                               std::to_string(kBoardModel) + ", " + BoardName(kBoardModel) + ")\n");
    // A usage error points to the help.
    EXPECT_NE(RunBatchTool(ws.path(), "nosuch").err.find("--help"), std::string::npos);
}

}  // namespace
}  // namespace gc
