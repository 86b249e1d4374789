// The writers under failing system calls (the fault library is preloaded):
// every failure names its cause and leaves the old files whole and nothing
// beside them; a pair killed between its two renames is undone later.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include "core/safe_write.h"
#include "session/commands.h"
#include "test_util.h"

namespace gc {
namespace {

namespace fs = std::filesystem;
using test::ReadFileText;
using test::TempDir;
using test::WriteFileText;

// Makes the calls the rules name fail, for one scope; a fresh tag restarts
// the library's counts even when the rules repeat.
class Faults {
public:
    explicit Faults(const std::string& rules) {
        static int tag = 0;
        ::setenv("GC5016_FAULTS", (rules + "#" + std::to_string(++tag)).c_str(), 1);
    }
    ~Faults() { ::unsetenv("GC5016_FAULTS"); }
    Faults(const Faults&) = delete;
    Faults& operator=(const Faults&) = delete;
};

// Every file in the folder with its text.
std::map<std::string, std::string> Files(const fs::path& dir) {
    std::map<std::string, std::string> all;
    for (const auto& e : fs::directory_iterator(dir)) all[e.path().filename().string()] = ReadFileText(e.path());
    return all;
}

class WriteFaults : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(::dlsym(RTLD_DEFAULT, "gc5016_faults_loaded"), nullptr)
            << "run with LD_PRELOAD=" << GC5016_FAULTS_LIB << " (ctest sets it)";
        Reset({{"a.lab", "old lab\n"}, {"a.prg", "old prg\n"}});
    }
    // The folder holding just these files.
    void Reset(const std::map<std::string, std::string>& files) {
        fs::remove_all(dir.path());
        fs::create_directories(dir.path());
        for (const auto& [name, text] : files) WriteFileText(dir / name, text);
    }
    WriteOutcome Save(bool pair) {
        if (!pair) return WriteFileSafely(dir / "a.lab", "new lab\n");
        return WriteFilesTogether({{dir / "a.lab", "new lab\n"}, {dir / "a.prg", "new prg\n"}});
    }

    TempDir dir;
};

// A single write's calls: temporary written, synced, renamed, folder synced.
// A pair's: both temporaries written and synced, the journal written and
// synced, the folder synced, the renames, the folder synced.
TEST_F(WriteFaults, AFailedCallLeavesTheOldFilesAndNothingElse) {
    const struct {
        bool pair;
        std::string rules;
        int code;
        std::string concerns;   // "" for the folder
        bool replaced = false;  // the failure came after the new file was in place
        bool needsOld = false;  // the call is made only when a file is replaced
    } cases[] = {
        {false, "write:1:ENOSPC", ENOSPC, "a.lab"},
        {false, "write:1:EDQUOT", EDQUOT, "a.lab"},
        {false, "fsync:1:EIO", EIO, "a.lab"},
        {false, "fchmod:1:EPERM", EPERM, "a.lab", false, true},
        {false, "renameat:1:EXDEV", EXDEV, "a.lab"},
        {false, "fsync:2:EIO", EIO, "", true},
        {true, "write:1:ENOSPC", ENOSPC, "a.lab"},
        {true, "write:2:ENOSPC", ENOSPC, "a.prg"},
        {true, "fsync:2:EIO", EIO, "a.prg"},
        {true, "write:3:ENOSPC", ENOSPC, ""},  // the journal
        {true, "fsync:4:EIO", EIO, ""},
        {true, "renameat:1:EIO", EIO, "a.lab"},
        {true, "renameat:2:EIO", EIO, "a.prg"},  // the lab file is put back
        {true, "fsync:5:EIO", EIO, ""},          // both are put back
    };
    for (const bool withOld : {true, false}) {
        for (const auto& c : cases) {
            if (c.needsOld && !withOld) continue;
            const std::string what = (c.pair ? "pair " : "single ") + c.rules + (withOld ? " over old files" : "");
            if (withOld) {
                Reset({{"a.lab", "old lab\n"}, {"a.prg", "old prg\n"}});
            } else {
                Reset({});
            }
            auto expected = Files(dir.path());
            if (c.replaced) expected["a.lab"] = "new lab\n";
            WriteOutcome r;
            {
                Faults f(c.rules);
                r = Save(c.pair);
            }
            EXPECT_EQ(r.code, c.code) << what << ": " << ErrnoText(r.code);
            EXPECT_EQ(r.path, c.concerns.empty() ? dir.path() : dir / c.concerns) << what;
            EXPECT_EQ(Files(dir.path()), expected) << what;
        }
    }
}

// The restore after a failed rename fails too: the journal stays, and the
// next look at the folder puts the old pair back.
TEST_F(WriteFaults, AFailedRestoreIsFinishedByTheNextWrite) {
    const auto before = Files(dir.path());
    {
        Faults f("renameat:2:EIO,renameat:3:EIO");
        EXPECT_EQ(Save(true), (WriteOutcome{EIO, dir / "a.prg"}));
    }
    EXPECT_EQ(ReadFileText(dir / "a.lab"), "new lab\n");
    RecoverInterruptedWrites(dir.path());
    EXPECT_EQ(Files(dir.path()), before);
}

// A pair in place whose journal and a backup could not be removed is
// reported as written and stays written: the next write retires what was
// left, and a write that cannot retire it is refused, as a later retirement
// would undo it.
TEST_F(WriteFaults, APairReportedAsWrittenIsNeverRolledBack) {
    const std::map<std::string, std::string> saved = {{"a.lab", "new lab\n"}, {"a.prg", "new prg\n"}};
    {
        Faults f("unlinkat:1:EIO,unlinkat:2:EIO");  // the journal, then the lab file's backup
        EXPECT_TRUE(Save(true).ok());
    }
    EXPECT_EQ(Files(dir.path()).size(), 4u);
    WriteOutcome refused;
    {
        Faults f("unlinkat:1:EIO");
        refused = WriteFileSafely(dir / "a.prg", "other prg\n");
    }
    EXPECT_EQ(refused.code, EIO);
    EXPECT_EQ(refused.path.parent_path(), dir.path());
    EXPECT_TRUE(refused.path.filename().string().ends_with(".jnl")) << refused.path;
    EXPECT_EQ(ReadFileText(dir / "a.prg"), "new prg\n");
    RecoverInterruptedWrites(dir.path());
    EXPECT_EQ(Files(dir.path()), saved);
}

TEST_F(WriteFaults, APairKilledBetweenItsRenamesIsUndoneBeforeTheNextWrite) {
    const struct {
        std::map<std::string, std::string> old;
        bool byNextWrite;  // else by RecoverInterruptedWrites
    } cases[] = {
        {{{"a.lab", "old lab\n"}, {"a.prg", "old prg\n"}}, false},
        {{{"a.lab", "old lab\n"}, {"a.prg", "old prg\n"}}, true},
        {{}, false},
        {{{"a.prg", "old prg\n"}}, false},
        {{{"a.lab", "old lab\n"}}, true},
    };
    for (const auto& c : cases) {
        Reset(c.old);
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            Faults f("renameat:2:kill");
            Save(true);
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
        ASSERT_EQ(ReadFileText(dir / "a.lab"), "new lab\n");  // killed half way
        auto expected = c.old;
        if (c.byNextWrite) {
            ASSERT_TRUE(WriteFileSafely(dir / "other.txt", "x\n").ok());
            expected["other.txt"] = "x\n";
        } else {
            RecoverInterruptedWrites(dir.path());
        }
        EXPECT_EQ(Files(dir.path()), expected) << c.old.size() << " old files";
    }
}

// A set over two folders (a ramp and its copy in Appl/): a full disk or a
// kill between the renames leaves the old set, settled by the next write
// into either folder.
TEST_F(WriteFaults, ASetOverTwoFoldersIsWholeOrTheOldOne) {
    const struct {
        const char* rules;
        bool killed;
        const char* nextWriteIn;  // "" for RecoverInterruptedWrites on the first folder
    } cases[] = {
        {"write:2:ENOSPC", false, ""},     {"renameat:2:EIO", false, ""},        {"renameat:2:kill", true, ""},
        {"renameat:2:kill", true, "Appl"}, {"renameat:2:kill", true, "FILTERS"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.rules) + " " + c.nextWriteIn);
        Reset({});
        fs::create_directories(dir / "FILTERS");
        fs::create_directories(dir / "Appl");
        WriteFileText(dir / "FILTERS/r.taps", "old taps\n");
        WriteFileText(dir / "Appl/r.taps", "old copy\n");
        const std::vector<FileToWrite> set = {{dir / "FILTERS/r.taps", "new taps\n"},
                                              {dir / "Appl/r.taps", "new copy\n"}};
        if (c.killed) {
            const pid_t pid = ::fork();
            ASSERT_GE(pid, 0);
            if (pid == 0) {
                Faults f(c.rules);
                WriteFileSet(set);
                ::_exit(0);
            }
            int status = 0;
            ASSERT_EQ(::waitpid(pid, &status, 0), pid);
            ASSERT_TRUE(WIFSIGNALED(status)) << status;
        } else {
            Faults f(c.rules);
            EXPECT_FALSE(WriteFileSet(set).ok());
        }
        if (std::string(c.nextWriteIn).empty()) {
            RecoverInterruptedWrites(dir / "FILTERS");
        } else {
            ASSERT_TRUE(WriteFileSafely(dir / c.nextWriteIn / "other.txt", "x\n").ok());
            fs::remove(dir / c.nextWriteIn / "other.txt");
        }
        EXPECT_EQ(Files(dir / "FILTERS"), (std::map<std::string, std::string>{{"r.taps", "old taps\n"}}));
        EXPECT_EQ(Files(dir / "Appl"), (std::map<std::string, std::string>{{"r.taps", "old copy\n"}}));
    }
    // Undisturbed, both are replaced and nothing else is left.
    ASSERT_TRUE(WriteFileSet({{dir / "FILTERS/r.taps", "new taps\n"}, {dir / "Appl/r.taps", "new copy\n"}}).ok());
    EXPECT_EQ(Files(dir / "FILTERS"), (std::map<std::string, std::string>{{"r.taps", "new taps\n"}}));
    EXPECT_EQ(Files(dir / "Appl"), (std::map<std::string, std::string>{{"r.taps", "new copy\n"}}));
}

// A reader whose file fails to open names the cause, never takes the file for
// a missing one, and changes nothing.
TEST_F(WriteFaults, AFailingOpenIsReportedWithItsCause) {
    TempDir ws;
    test::CopyExampleWorkspace(ws.path());
    WriteFileText(ws / "Appl" / "x.gc101", "write 2 12\nwrite 10 5\n");
    WriteFileText(ws / "CONFIGS" / "x.prg", "good\n");
    auto m = std::make_unique<Session>();
    Gc101CommandResult r;
    {
        Faults f("open:1:EIO,open:2:EIO");  // the reader's open, then the look for why
        r = ImportGc101Command(*m, Workspace{ws.path()}, ws / "Appl" / "x.gc101");
    }
    EXPECT_EQ(r.status, CommandStatus::InputRefused);
    EXPECT_NE(r.reason.find("Appl/x.gc101: Input/output error"), std::string::npos) << r.reason;
    EXPECT_EQ(ReadFileText(ws / "CONFIGS" / "x.prg"), "good\n");
}

// "Записать" on a full disk, and a batch save killed between its renames and
// followed by the next start: the configuration is the old pair or the new.
TEST_F(WriteFaults, ASavedConfigurationIsWholeOrTheOldOne) {
    TempDir ws;
    test::CopyExampleWorkspace(ws.path());
    const fs::path configs = ws / "CONFIGS";
    WriteFileText(configs / "a.lab", "old lab\n");
    WriteFileText(configs / "a.prg", "old prg\n");
    auto m = std::make_unique<Session>();
    StartSession(*m, Workspace{ws.path()}, configs / "std.lab", nullptr);
    {
        Faults f("write:2:ENOSPC");
        const SaveCommandResult r = SaveConfiguration(*m, Workspace{ws.path()}, configs / "a.lab");
        EXPECT_EQ(r.status, CommandStatus::WriteFailed);
        EXPECT_NE(r.reason.find("No space left on device"), std::string::npos) << r.reason;
        EXPECT_NE(r.reason.find("CONFIGS/a."), std::string::npos) << r.reason;
    }
    EXPECT_EQ(ReadFileText(configs / "a.lab"), "old lab\n");
    EXPECT_EQ(ReadFileText(configs / "a.prg"), "old prg\n");
    {
        // The journal, not the lab file, met the full disk: the folder is named.
        Faults f("write:3:ENOSPC");
        const SaveCommandResult r = SaveConfiguration(*m, Workspace{ws.path()}, configs / "a.lab");
        EXPECT_EQ(r.status, CommandStatus::WriteFailed);
        EXPECT_NE(r.reason.find("cannot write in "), std::string::npos) << r.reason;
        EXPECT_NE(r.reason.find("/CONFIGS: No space left on device"), std::string::npos) << r.reason;
        EXPECT_EQ(r.reason.find("a.lab"), std::string::npos) << r.reason;
    }

    ::setenv("GC5016_FAULTS", "renameat:2:kill#batch", 1);
    const test::BatchRun killed = test::RunBatchTool(ws.path(), "save CONFIGS/a.lab");
    ::unsetenv("GC5016_FAULTS");
    EXPECT_NE(killed.status, 0);
    EXPECT_EQ(test::RunBatchTool(ws.path(), "fit").status, 0);  // the next start undoes the half save
    EXPECT_EQ(ReadFileText(configs / "a.lab"), "old lab\n");
    EXPECT_EQ(ReadFileText(configs / "a.prg"), "old prg\n");
}

}  // namespace
}  // namespace gc
