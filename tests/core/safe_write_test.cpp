// Writing the user's files: checks before anything is written, long names,
// kept attributes, stale scratch files, and pairs saved from two processes.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <string>

#include "core/safe_write.h"
#include "test_util.h"

namespace gc {
namespace {

namespace fs = std::filesystem;
using test::ReadFileText;
using test::TempDir;
using test::WriteFileText;

// Every entry under a folder with its text ("" for others), so a comparison
// shows any change and anything left behind.
std::map<std::string, std::string> Snapshot(const fs::path& dir) {
    std::map<std::string, std::string> all;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        all[fs::relative(e.path(), dir).string()] = e.is_regular_file() ? ReadFileText(e.path()) : "";
    return all;
}

// Single writes and pairs alike: the cause and the path it concerns, and nothing written.
TEST(SafeWrite, RefusesABadTargetBeforeWritingAnything) {
    const std::string tooLong(256, 'x');
    const struct {
        std::string target, other;  // the pair's files, in the folder
        int code;
        std::string concerns;
        TargetState state;
    } cases[] = {
        {"d.lab", "a.prg", EISDIR, "d.lab", TargetState::NotAFile},  // a folder in the way
        {"fifo.lab", "a.prg", ENOTSUP, "fifo.lab", TargetState::NotAFile},
        {"ro.prg", "a.lab", EACCES, "ro.prg", TargetState::ReadOnly},
        {"sub/", "a.prg", EINVAL, "sub/", TargetState::Unwritable},
        {tooLong, "a.prg", ENAMETOOLONG, tooLong, TargetState::Unwritable},
        {"no/a.lab", "no/a.prg", ENOENT, "no", TargetState::Unwritable},
        {"shut/a.lab", "shut/a.prg", EACCES, "shut", TargetState::Unwritable},  // root may write there
        {"a.lab", "sub/a.prg", EINVAL, "sub/a.prg", TargetState::Writable},     // two folders
        {"a.lab", "a.lab", EINVAL, "a.lab", TargetState::Writable},
    };
    for (const auto& c : cases) {
        if (::geteuid() == 0 && c.concerns == "shut") continue;
        TempDir dir;
        WriteFileText(dir / "a.lab", "old a\n");
        fs::create_directories(dir / "d.lab");
        fs::create_directories(dir / "sub");
        ASSERT_EQ(::mkfifo((dir / "fifo.lab").c_str(), 0644), 0);
        WriteFileText(dir / "ro.prg", "old ro\n");
        fs::permissions(dir / "ro.prg", static_cast<fs::perms>(0444));
        fs::create_directories(dir / "shut");
        fs::permissions(dir / "shut", static_cast<fs::perms>(0555));
        const auto before = Snapshot(dir.path());
        const fs::path concerns = dir / c.concerns;
        EXPECT_EQ(CheckWriteTarget(dir / c.target).state, c.state) << c.target;
        if (c.state != TargetState::Writable) {
            EXPECT_EQ(WriteFileSafely(dir / c.target, "new\n"), (WriteOutcome{c.code, concerns})) << c.target;
        }
        EXPECT_EQ(WriteFilesTogether({{dir / c.target, "new\n"}, {dir / c.other, "new\n"}}),
                  (WriteOutcome{c.code, concerns}))
            << c.target << " " << c.other;
        EXPECT_EQ(Snapshot(dir.path()), before) << c.target;
    }
}

// 125 two-byte letters, one more byte and ".lab": the 255 bytes a name may
// hold; a temporary named after its target could not stand beside it.
TEST(SafeWrite, WritesNamesOfTheLongestLengthAllowed) {
    std::string stem = "a";
    for (int i = 0; i < 125; ++i) stem += "ж";
    TempDir dir;
    for (const std::string text : {"made\n", "replaced\n"}) {
        ASSERT_TRUE(WriteFileSafely(dir / (stem + ".txt"), text).ok());
        ASSERT_TRUE(WriteFilesTogether({{dir / (stem + ".lab"), text}, {dir / (stem + ".prg"), text}}).ok());
        EXPECT_EQ(Snapshot(dir.path()), (std::map<std::string, std::string>{
                                            {stem + ".lab", text}, {stem + ".prg", text}, {stem + ".txt", text}}));
    }
}

TEST(SafeWrite, KeepsModeAndOwnerAndReplacesReadOnlyFilesOnlyWhenAsked) {
    const bool root = ::geteuid() == 0;  // root may give a file away: it must go back to its owner
    const struct {
        mode_t mode;
        bool replaceReadOnly, written;
    } cases[] = {{0600, false, true}, {0444, false, false}, {0444, true, true}};
    for (const auto& c : cases) {
        for (const bool pair : {false, true}) {
            TempDir dir;
            const fs::path a = dir / "a.lab", b = dir / "a.prg";
            for (const fs::path& p : {a, b}) {
                WriteFileText(p, "old\n");
                ASSERT_EQ(::chmod(p.c_str(), c.mode), 0);
                ASSERT_TRUE(!root || ::chown(p.c_str(), 4321, 4322) == 0);
            }
            const WriteOutcome r = pair ? WriteFilesTogether({{a, "new\n"}, {b, "new\n"}}, {c.replaceReadOnly})
                                        : WriteFileSafely(a, "new\n", {c.replaceReadOnly});
            const std::string what = std::to_string(c.mode) + (pair ? " pair" : " single");
            EXPECT_EQ(r, (c.written ? WriteOutcome{} : WriteOutcome{EACCES, a})) << what;
            EXPECT_EQ(ReadFileText(a), c.written ? "new\n" : "old\n") << what;
            struct stat st {};
            ASSERT_EQ(::stat(a.c_str(), &st), 0);
            EXPECT_EQ(st.st_mode & 07777, c.mode) << what;
            EXPECT_TRUE(!root || (st.st_uid == 4321 && st.st_gid == 4322)) << what;
            EXPECT_EQ(Snapshot(dir.path()).size(), 2u) << what;
        }
    }
}

// Every writer holds the folder's lock, so the next write removes a dead
// writer's scratch files at once, whatever their age.
TEST(SafeWrite, RemovesOnlyItsOwnScratchFilesAtTheNextWrite) {
    const struct {
        std::string name;
        int ageSeconds;
        bool removed;
    } cases[] = {
        {".gc5016-aB3xY9.tmp", 120, true},   {".gc5016-cccccc.bak", 3600, true},  {".gc5016-bbbbbb.tmp", 0, true},
        {".gc5016-dddddd.bak", 5, true},     {".gc5016-eeeeee.txt", 3600, false}, {".gc5016-fffffff.tmp", 3600, false},
        {".gc5016-gg-ggg.tmp", 3600, false}, {".std.lab.abcdef", 3600, false},    {"notes.tmp", 3600, false},
    };
    TempDir dir;
    for (const auto& c : cases) {
        WriteFileText(dir / c.name, "x");
        const timespec times[2] = {{::time(nullptr) - c.ageSeconds, 0}, {::time(nullptr) - c.ageSeconds, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, (dir / c.name).c_str(), times, 0), 0);
    }
    ASSERT_TRUE(WriteFileSafely(dir / "x.lab", "x\n").ok());
    for (const auto& c : cases) EXPECT_EQ(!fs::exists(dir / c.name), c.removed) << c.name;
}

// A linked lab or program file is written through its link: the file it
// names (in its own folder, with the pair's all-or-nothing rules) gets the
// content, the link stays, and nothing else is left in either folder.
TEST(SafeWrite, WritesThroughSymbolicLinks) {
    const struct {
        const char* what;
        std::map<std::string, std::string> links;  // link below CONFIGS/ -> its text
        bool pair;
        std::map<std::string, std::string> after;  // "" for a link
        int code = 0;
    } cases[] = {
        {"lab into another folder",
         {{"x.lab", "../keep/real.lab"}},
         true,
         {{"CONFIGS", ""},
          {"CONFIGS/x.lab", ""},
          {"CONFIGS/x.prg", "new prg\n"},
          {"keep", ""},
          {"keep/real.lab", "new lab\n"}}},
        {"single through a chain",
         {{"x.lab", "y.lab"}, {"y.lab", "../keep/real.lab"}},
         false,
         {{"CONFIGS", ""}, {"CONFIGS/x.lab", ""}, {"CONFIGS/y.lab", ""}, {"keep", ""}, {"keep/real.lab", "new lab\n"}}},
        {"dangling link makes its file",
         {{"x.lab", "../keep/made.lab"}},
         false,
         {{"CONFIGS", ""},
          {"CONFIGS/x.lab", ""},
          {"keep", ""},
          {"keep/made.lab", "new lab\n"},
          {"keep/real.lab", "old lab\n"}}},
        {"loop",
         {{"x.lab", "x.lab"}},
         true,
         {{"CONFIGS", ""}, {"CONFIGS/x.lab", ""}, {"keep", ""}, {"keep/real.lab", "old lab\n"}},
         ELOOP},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        fs::create_directories(dir / "CONFIGS");
        fs::create_directories(dir / "keep");
        WriteFileText(dir / "keep/real.lab", "old lab\n");
        for (const auto& [link, to] : c.links) fs::create_symlink(to, dir / "CONFIGS" / link);
        const fs::path lab = dir / "CONFIGS/x.lab";
        const WriteOutcome r = c.pair ? WriteFilesTogether({{lab, "new lab\n"}, {dir / "CONFIGS/x.prg", "new prg\n"}})
                                      : WriteFileSafely(lab, "new lab\n");
        EXPECT_EQ(r.code, c.code) << ErrnoText(r.code);
        std::map<std::string, std::string> tree;  // a link as "", never followed
        for (const auto& e : fs::recursive_directory_iterator(dir.path())) {
            const bool file = fs::is_regular_file(e.symlink_status());
            tree[e.path().lexically_relative(dir.path()).string()] = file ? ReadFileText(e.path()) : "";
        }
        EXPECT_EQ(tree, c.after);
        for (const auto& [link, to] : c.links) EXPECT_TRUE(fs::is_symlink(dir / "CONFIGS" / link)) << link;
    }
}

// Two processes save one pair over and over; whenever either looks (under the
// folder's lock, as a writer takes it) both files come from one save.
TEST(SafeWrite, TwoProcessesSavingOnePairNeverMixIt) {
    TempDir dir;
    const fs::path lab = dir / "rx.lab", prg = dir / "rx.prg";
    auto firstLine = [](const fs::path& p) {
        const std::string text = ReadFileText(p);
        return text.substr(0, text.find('\n'));
    };
    auto writer = [&](int id) {
        for (int round = 0; round < 100; ++round) {
            const std::string text = "writer " + std::to_string(id) + " round " + std::to_string(round) + "\n";
            if (!WriteFilesTogether({{lab, text + std::string(4000, 'l')}, {prg, text + std::string(9000, 'p')}}).ok())
                return 2;
            const int fd = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY);
            ::flock(fd, LOCK_EX);
            const bool same = firstLine(lab) == firstLine(prg);
            ::close(fd);
            if (!same) return 3;
        }
        return 0;
    };
    pid_t pids[2];
    for (int id = 0; id < 2; ++id)
        if ((pids[id] = ::fork()) == 0) ::_exit(writer(id));
    for (const pid_t pid : pids) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_EQ(status, 0);
    }
    EXPECT_EQ(firstLine(lab), firstLine(prg));
    EXPECT_EQ(Snapshot(dir.path()).size(), 2u);
}

}  // namespace
}  // namespace gc
