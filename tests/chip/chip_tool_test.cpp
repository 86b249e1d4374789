#include "chip/chip_tool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

#include "chip/page_map.h"
#include "chip/program_file.h"
#include "session/commands.h"

#include "test_util.h"

namespace gc {
namespace {

using test::ReadFileText;
using test::TempDir;
using test::WriteFileText;

// Sets PATH for one scope.
class ScopedPath {
public:
    explicit ScopedPath(const std::string& value) {
        if (const char* old = std::getenv("PATH")) old_ = old;
        ::setenv("PATH", value.c_str(), 1);
    }
    ~ScopedPath() {
        if (old_)
            ::setenv("PATH", old_->c_str(), 1);
        else
            ::unsetenv("PATH");
    }

private:
    std::optional<std::string> old_;
};

// A stand-in tool that records where it ran, with which arguments and as which
// copy, then fails: the caller must not care.
void MakeFakeTool(const std::filesystem::path& dir, const std::string& tag) {
    std::filesystem::create_directories(dir);
    const auto tool = dir / "cmd5016";
    WriteFileText(
        tool, "#!/bin/sh\npwd > ran.txt\necho \"$@\" >> ran.txt\necho " + tag + " >> ran.txt\necho noise\nexit 3\n");
    std::filesystem::permissions(tool, std::filesystem::perms::owner_all);
}

TEST(ChipTool, RunsInTheFolderWithTheScriptArgumentAndLeavesOurFolderAlone) {
    TempDir dir;
    MakeFakeTool(dir / "bin", "own");
    std::filesystem::create_directories(dir / "FILTERS");
    ScopedPath path((dir / "empty").string());
    const auto before = std::filesystem::current_path();
    const ChipToolOutcome o = RunChipTool(dir / "FILTERS", dir / "bin");
    EXPECT_EQ(o.run, ToolRun::Ran);
    EXPECT_EQ(o.exitStatus, 3);
    EXPECT_EQ(std::filesystem::current_path(), before);
    const std::string ran = ReadFileText(dir / "FILTERS" / "ran.txt");
    EXPECT_EQ(ran, std::filesystem::canonical(dir / "FILTERS").string() + "\nworkcmd\nown\n");
}

TEST(ChipTool, ProgramFolderComesBeforePath) {
    TempDir dir;
    MakeFakeTool(dir / "bin", "own");
    MakeFakeTool(dir / "onpath", "path");
    std::filesystem::create_directories(dir / "FILTERS");
    ScopedPath path((dir / "nothing").string() + "::" + (dir / "onpath").string());
    ASSERT_EQ(FindChipTool(dir / "bin"), dir / "bin" / "cmd5016");
    EXPECT_EQ(FindChipTool(dir / "elsewhere"), dir / "onpath" / "cmd5016");
    EXPECT_EQ(FindChipTool({}), dir / "onpath" / "cmd5016");

    EXPECT_EQ(RunChipTool(dir / "FILTERS", dir / "elsewhere").run, ToolRun::Ran);
    EXPECT_NE(ReadFileText(dir / "FILTERS" / "ran.txt").find("path\n"), std::string::npos);
}

// An installation keeps the stand-in in libexec: it is found only when no
// tool lies beside the program or on PATH.
TEST(ChipTool, InstalledStandInComesLast) {
    TempDir dir;
    std::filesystem::create_directories(dir / "bin");
    MakeFakeTool(dir / "libexec" / "gc5016-config", "standin");
    ScopedPath none((dir / "nothing").string());
    EXPECT_EQ(FindChipTool(dir / "bin"), dir / "libexec" / "gc5016-config" / "cmd5016");
    EXPECT_EQ(FindChipTool({}), std::nullopt);

    MakeFakeTool(dir / "onpath", "path");
    ScopedPath onPath((dir / "onpath").string());
    EXPECT_EQ(FindChipTool(dir / "bin"), dir / "onpath" / "cmd5016");
    MakeFakeTool(dir / "bin", "own");
    EXPECT_EQ(FindChipTool(dir / "bin"), dir / "bin" / "cmd5016");
}

// A tool found through a relative folder is still the one that runs, although
// it runs with FILTERS as its working folder.
TEST(ChipTool, RelativeFoldersNameTheToolFoundFromOurFolder) {
    TempDir dir;
    MakeFakeTool(dir / "bin", "own");
    MakeFakeTool(dir / "onpath", "path");
    std::filesystem::create_directories(dir / "FILTERS");
    test::ScopedCwd cwd(dir.path());

    auto foundAs = [](const std::optional<std::filesystem::path>& found, const std::filesystem::path& want) {
        return found && found->is_absolute() && std::filesystem::equivalent(*found, want);
    };
    ScopedPath path("onpath");
    ASSERT_TRUE(foundAs(FindChipTool({}), dir / "onpath" / "cmd5016"));
    EXPECT_EQ(RunChipTool("FILTERS", {}).run, ToolRun::Ran);
    EXPECT_NE(ReadFileText(dir / "FILTERS" / "ran.txt").find("path\n"), std::string::npos);

    ASSERT_TRUE(foundAs(FindChipTool("bin"), dir / "bin" / "cmd5016"));
    EXPECT_EQ(RunChipTool("FILTERS", "bin").run, ToolRun::Ran);
    EXPECT_NE(ReadFileText(dir / "FILTERS" / "ran.txt").find("own\n"), std::string::npos);
}

TEST(ChipTool, MissingOrUnusableToolIsNotFound) {
    TempDir dir;
    std::filesystem::create_directories(dir / "FILTERS");
    // A file of that name that cannot be run does not count.
    std::filesystem::create_directories(dir / "bin");
    WriteFileText(dir / "bin" / "cmd5016", "not a program\n");
    std::filesystem::permissions(dir / "bin" / "cmd5016", std::filesystem::perms::owner_read);
    std::filesystem::create_directories(dir / "bin2" / "cmd5016");  // nor does a folder
    ScopedPath path((dir / "bin2").string());
    EXPECT_EQ(FindChipTool(dir / "bin"), std::nullopt);
    EXPECT_EQ(RunChipTool(dir / "FILTERS", dir / "bin").run, ToolRun::NotFound);
    EXPECT_TRUE(std::filesystem::is_empty(dir / "FILTERS"));
}

TEST(ChipTool, MissingFolderDoesNotRunTheToolElsewhereAndSaysWhy) {
    TempDir dir;
    MakeFakeTool(dir / "bin", "own");
    ScopedPath path("");
    const auto before = std::filesystem::current_path();
    const ChipToolOutcome o = RunChipTool(dir / "FILTERS", dir / "bin");
    EXPECT_EQ(o.run, ToolRun::StartFailed);
    EXPECT_NE(ChipToolRunText(o, kDefaultChipToolTimeout).find(": No such file or directory"), std::string::npos);
    EXPECT_EQ(std::filesystem::current_path(), before);
    EXPECT_FALSE(std::filesystem::exists(before / "ran.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir / "bin" / "ran.txt"));
}

void WriteTool(const std::filesystem::path& dir, const std::string& script) {
    std::filesystem::create_directories(dir / "bin");
    std::filesystem::create_directories(dir / "FILTERS");
    WriteFileText(dir / "bin" / "cmd5016", "#!/bin/sh\n" + script);
    std::filesystem::permissions(dir / "bin" / "cmd5016", std::filesystem::perms::owner_all);
}

// Live processes of the group (zombies left to an absent reaper do not count).
int LiveGroupMembers(pid_t group) {
    int live = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        if (entry.path().filename().string().find_first_not_of("0123456789") != std::string::npos) continue;
        // Past the command name "(...)", which may hold spaces.
        const std::string stat = ReadFileText(entry.path() / "stat");
        std::istringstream rest(stat.substr(std::min(stat.rfind(')') + 1, stat.size())));
        char state = 0;
        pid_t ppid = 0, pgrp = 0;
        if (rest >> state >> ppid >> pgrp && pgrp == group && state != 'Z') ++live;
    }
    return live;
}

// A hung tool is stopped with every process it started, by the time limit or
// by a cancel from another thread.
TEST(ChipTool, HungToolIsStoppedWithItsChildren) {
    struct Case {
        const char* body;  // after the line that records the group's id
        bool byCancel;
    };
    const Case cases[] = {
        {"sleep 1000\n", false},
        {"trap '' TERM\nsleep 1000 &\nwhile :; do wait; done\n", false},  // both ignore SIGTERM
        {"sleep 1000 &\nwait\n", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        TempDir dir;
        WriteTool(dir.path(), std::string("echo $$ > pid.tmp\nmv pid.tmp pid\n") + c.body);
        const auto pidFile = dir / "FILTERS" / "pid";
        std::atomic<bool> cancel{false};
        const ChipToolRunOptions options{std::chrono::milliseconds(c.byCancel ? 0 : 500), &cancel};
        std::thread canceller([&] {
            for (int i = 0; c.byCancel && i < 500 && !std::filesystem::exists(pidFile); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            cancel = c.byCancel;
        });
        const auto start = std::chrono::steady_clock::now();
        const ChipToolOutcome o = RunChipTool(dir / "FILTERS", dir / "bin", options);
        const auto took = std::chrono::steady_clock::now() - start;
        canceller.join();

        EXPECT_EQ(o.run, c.byCancel ? ToolRun::Cancelled : ToolRun::TimedOut);
        EXPECT_LT(took, std::chrono::seconds(10));
        if (!c.byCancel) {
            EXPECT_EQ(ChipToolRunText(o, options.timeout), "the chip tool was stopped after 500 ms");
        }
        ASSERT_TRUE(std::filesystem::exists(pidFile));
        const pid_t group = std::stoi(ReadFileText(pidFile));
        // SIGKILL lands a moment after kill() returns.
        int live = LiveGroupMembers(group);
        for (int i = 0; i < 200 && live > 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            live = LiveGroupMembers(group);
        }
        EXPECT_EQ(live, 0);
        if (live > 0) ::kill(-group, SIGKILL);
    }
}

// A stopped tool may have written half its answer: "Write *.prg" stops, the
// tool tables keep their values and no program file is written.
TEST(ChipTool, StoppedToolStopsTheProgramCommand) {
    TempDir dir;
    WriteTool(dir.path(), "printf '      0002 0011\\n      0010 0064\\n' > workcmd.gc101\nexec sleep 1000\n");
    std::filesystem::create_directories(dir / "CONFIGS");
    auto m = std::make_unique<Session>();
    ToolPage17Table(*m, 0)[0] = -7;
    const ChipToolRunner runner = [&](const std::filesystem::path& folder) {
        return RunChipTool(folder, dir / "bin", {std::chrono::milliseconds(500), nullptr});
    };
    const ProgramCommandResult r = WriteProgramCommand(*m, Workspace{dir.path()}, {{}, &runner});
    EXPECT_EQ(r.status, CommandStatus::ToolStopped);
    EXPECT_EQ(r.tool.run, ToolRun::TimedOut);
    EXPECT_EQ(ToolPage17Table(*m, 0)[0], -7);
    EXPECT_FALSE(std::filesystem::exists(dir / "CONFIGS" / "std.prg"));
    Gc101List list;
    EXPECT_EQ(ReadGc101File(dir / "FILTERS" / "workcmd.gc101", list), 2) << "the half answer was there to take";
}

bool Alive(pid_t pid) {
    const std::string stat = ReadFileText("/proc/" + std::to_string(pid) + "/stat");
    const size_t close = stat.rfind(')');
    return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] != 'Z';
}

bool EndsWithin(pid_t pid, std::chrono::milliseconds limit) {
    for (auto end = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < end;) {
        if (!Alive(pid)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return !Alive(pid);
}

// The batch tool's own output is read through a pipe, as a script reads it: a
// grandchild that left the tool's group with setsid keeps the tool's output
// open, and neither we nor our reader wait for it.
TEST(ChipTool, AGrandchildHoldingTheOutputDoesNotHoldTheCaller) {
    for (const char* tail : {"exit 0\n", "exec sleep 30\n"}) {
        SCOPED_TRACE(tail);
        TempDir ws;
        test::CopyExampleWorkspace(ws.path());
        std::filesystem::copy_file(std::filesystem::path(GC5016_BIN_DIR) / "gc5016-batch", ws / "gc5016-batch");
        WriteFileText(ws / "cmd5016",
                      std::string("#!/bin/sh\nPATH=/usr/bin:/bin\nsetsid sleep 30 &\necho $! > gpid\n") +
                          "echo tool says hello\n" + tail);
        std::filesystem::permissions(ws / "cmd5016", std::filesystem::perms(0755));
        const std::string cmd = "PATH=/nonexistent '" + (ws / "gc5016-batch").string() + "' -C '" + ws.path().string() +
                                "' --tool-timeout 1 workcmd --tool 2>&1; echo status $?";
        const auto start = std::chrono::steady_clock::now();
        FILE* pipe = ::popen(cmd.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::string out;
        char buf[256];
        while (size_t n = std::fread(buf, 1, sizeof buf, pipe)) out.append(buf, n);
        ::pclose(pipe);
        const auto took = std::chrono::steady_clock::now() - start;
        if (const std::string g = ReadFileText(ws / "FILTERS" / "gpid"); !g.empty()) ::kill(std::stoi(g), SIGKILL);
        EXPECT_LT(took, std::chrono::seconds(10)) << out;
        EXPECT_NE(out.find("tool says hello\n"), std::string::npos) << out;
        EXPECT_NE(out.find("status 4\n"), std::string::npos) << out;
    }
}

// A killed batch tool takes its chip tool with it.
TEST(ChipTool, TheToolDiesWithItsCaller) {
    TempDir ws;
    test::CopyExampleWorkspace(ws.path());
    std::filesystem::copy_file(std::filesystem::path(GC5016_BIN_DIR) / "gc5016-batch", ws / "gc5016-batch");
    WriteFileText(ws / "cmd5016", "#!/bin/sh\necho $$ > pid.tmp\n/bin/mv pid.tmp pid\nexec /bin/sleep 600\n");
    std::filesystem::permissions(ws / "cmd5016", std::filesystem::perms(0755));
    const std::string batch = (ws / "gc5016-batch").string(), root = ws.path().string();
    const pid_t caller = ::fork();
    ASSERT_GE(caller, 0);
    if (caller == 0) {
        ::execl(batch.c_str(), "gc5016-batch", "-C", root.c_str(), "--tool-timeout", "0", "prg", "--tool",
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    const auto pidFile = ws / "FILTERS" / "pid";
    for (int i = 0; i < 500 && !std::filesystem::exists(pidFile); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ::kill(caller, SIGKILL);
    ::waitpid(caller, nullptr, 0);
    ASSERT_TRUE(std::filesystem::exists(pidFile));
    const pid_t tool = std::stoi(ReadFileText(pidFile));
    const bool ended = EndsWithin(tool, std::chrono::seconds(5));
    EXPECT_TRUE(ended);
    if (!ended) ::kill(tool, SIGKILL);
}

TEST(ChipTool, RunningProgramDirIsTheTestBinaryFolder) {
    const auto dir = RunningProgramDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_TRUE(std::filesystem::exists(dir / "core_tests"));
}

}  // namespace
}  // namespace gc
