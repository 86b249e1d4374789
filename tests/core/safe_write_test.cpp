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
#include <vector>

#include "core/safe_write.h"
#include "test_util.h"

namespace gc {
namespace {

namespace fs = std::filesystem;
using test::ReadFileText;
using test::TempDir;
using test::WriteFileText;

// Everything under a folder: each entry's kind, mode and (for files) content,
// so a comparison shows any change and any file left behind.
std::map<std::string, std::string> Snapshot(const fs::path& dir) {
    std::map<std::string, std::string> all;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        const std::string mode = std::to_string(static_cast<int>(e.symlink_status().permissions()));
        const std::string rel = fs::relative(e.path(), dir).string();
        all[rel] =
            e.is_regular_file() ? mode + ":" + ReadFileText(e.path()) : mode + (e.is_directory() ? ":dir" : ":other");
    }
    return all;
}

// "420:text": a new file's mode (0666 less the umask) and its text, as Snapshot shows it.
std::string NewFile(const std::string& text) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return std::to_string(0666 & ~mask) + ":" + text;
}

TEST(SafeWrite, RefusesABadTargetBeforeWritingAnything) {
    const bool root = ::geteuid() == 0;
    const std::string tooLong(256, 'x');
    const struct {
        std::string target;  // relative to the folder
        int code;
        std::string concerns;  // the path the outcome names, relative
        TargetState state;
    } cases[] = {
        {"d.lab", EISDIR, "d.lab", TargetState::NotAFile},
        {"fifo.prg", ENOTSUP, "fifo.prg", TargetState::NotAFile},
        {"ro.prg", EACCES, "ro.prg", TargetState::ReadOnly},
        {"sub/", EINVAL, "sub/", TargetState::Unwritable},
        {tooLong, ENAMETOOLONG, tooLong, TargetState::Unwritable},
        {"missing/x.lab", ENOENT, "missing", TargetState::Unwritable},
        {"locked/x.lab", EACCES, "locked", TargetState::Unwritable},  // a folder without write permission
    };
    for (const auto& c : cases) {
        if (root && c.target.starts_with("locked/")) continue;  // root writes into any folder
        TempDir dir;
        WriteFileText(dir / "a.lab", "old a\n");
        fs::create_directories(dir / "d.lab");
        fs::create_directories(dir / "sub");
        ASSERT_EQ(::mkfifo((dir / "fifo.prg").c_str(), 0644), 0);
        WriteFileText(dir / "ro.prg", "old ro\n");
        fs::permissions(dir / "ro.prg", static_cast<fs::perms>(0444));
        fs::create_directories(dir / "locked");
        WriteFileText(dir / "locked" / "a.lab", "old locked a\n");
        fs::permissions(dir / "locked", static_cast<fs::perms>(0555));
        const auto before = Snapshot(dir.path());
        const fs::path target = dir.path() / c.target;
        const fs::path mate = (target.has_filename() ? target.parent_path() : dir.path()) / "a.lab";

        EXPECT_EQ(CheckWriteTarget(target).state, c.state) << c.target;
        const WriteOutcome single = WriteFileSafely(target, "new\n");
        const WriteOutcome pair = WriteFilesTogether({{mate, "new a\n"}, {target, "new\n"}});
        for (const WriteOutcome& r : {single, pair}) {
            EXPECT_EQ(r.code, c.code) << c.target << ": " << ErrnoText(r.code);
            EXPECT_EQ(r.path, dir.path() / c.concerns) << c.target;
        }
        EXPECT_EQ(Snapshot(dir.path()), before) << c.target;
        fs::permissions(dir / "locked", fs::perms::owner_all);
    }
}

TEST(SafeWrite, APairMustNameTwoFilesOfOneFolder) {
    TempDir dir;
    fs::create_directories(dir / "other");
    const struct {
        fs::path first, second;
    } cases[] = {
        {dir / "a.lab", dir / "other" / "a.prg"},
        {dir / "a.lab", dir / "a.lab"},
    };
    for (const auto& c : cases) {
        const WriteOutcome r = WriteFilesTogether({{c.first, "1\n"}, {c.second, "2\n"}});
        EXPECT_EQ(r.code, EINVAL) << c.second;
        EXPECT_EQ(r.path, c.second);
        EXPECT_FALSE(fs::exists(c.first));
    }
    // The same folder spelled another way is the same folder.
    EXPECT_TRUE(WriteFilesTogether({{dir / "a.lab", "1\n"}, {dir / "other" / ".." / "a.prg", "2\n"}}).ok());
}

// 125 two-byte letters, one more byte and ".lab": 255 bytes, the most a name
// may hold; a temporary named after the target could never stand beside it.
TEST(SafeWrite, WritesNamesOfTheLongestLengthAllowed) {
    std::string stem;
    for (int i = 0; i < 125; ++i) stem += "ж";
    stem += "a";
    ASSERT_EQ(stem.size() + 4, 255u);
    TempDir dir;
    for (int round = 0; round < 2; ++round) {  // made, then replaced
        const std::string text = "round " + std::to_string(round) + "\n";
        ASSERT_TRUE(WriteFileSafely(dir / (stem + ".txt"), text).ok());
        const WriteOutcome r = WriteFilesTogether({{dir / (stem + ".lab"), text}, {dir / (stem + ".prg"), text}});
        ASSERT_TRUE(r.ok()) << ErrnoText(r.code);
        EXPECT_EQ(Snapshot(dir.path()),
                  (std::map<std::string, std::string>{
                      {stem + ".lab", NewFile(text)}, {stem + ".prg", NewFile(text)}, {stem + ".txt", NewFile(text)}}));
    }
}

TEST(SafeWrite, KeepsModeAndOwnerAndReplacesReadOnlyFilesOnlyWhenAsked) {
    const bool root = ::geteuid() == 0;
    const struct {
        mode_t mode;
        bool replaceReadOnly;
        bool written;
    } cases[] = {
        {0600, false, true}, {0640, false, true}, {0444, false, false}, {0444, true, true}, {0400, true, true},
    };
    for (const auto& c : cases) {
        for (const bool pair : {false, true}) {
            TempDir dir;
            const fs::path a = dir / "a.lab", b = dir / "a.prg";
            for (const fs::path& p : {a, b}) {
                WriteFileText(p, "old\n");
                ASSERT_EQ(::chmod(p.c_str(), c.mode), 0);
                // Root may give a file away; the new one must go back to its owner.
                if (root) {
                    ASSERT_EQ(::chown(p.c_str(), 4321, 4322), 0);
                }
            }
            const WriteOutcome r = pair ? WriteFilesTogether({{a, "new\n"}, {b, "new\n"}}, {c.replaceReadOnly})
                                        : WriteFileSafely(a, "new\n", {c.replaceReadOnly});
            const std::string what = std::to_string(c.mode) + (pair ? " pair" : " single");
            EXPECT_EQ(r.ok(), c.written) << what;
            if (!c.written) {
                EXPECT_EQ(r, (WriteOutcome{EACCES, a})) << what;
            }
            EXPECT_EQ(ReadFileText(a), c.written ? "new\n" : "old\n") << what;
            struct stat st {};
            ASSERT_EQ(::stat(a.c_str(), &st), 0);
            EXPECT_EQ(st.st_mode & 07777, c.mode) << what;
            if (root) {
                EXPECT_EQ(std::make_pair(st.st_uid, st.st_gid), std::make_pair(4321u, 4322u)) << what;
            }
            EXPECT_EQ(Snapshot(dir.path()).size(), 2u) << what;
        }
    }
}

TEST(SafeWrite, RemovesOnlyItsOwnScratchFilesOlderThanAMinute) {
    const struct {
        std::string name;
        int ageSeconds;
        bool removed;
    } cases[] = {
        {".gc5016-aB3xY9.tmp", 120, true},   {".gc5016-cccccc.bak", 3600, true},   {".gc5016-bbbbbb.tmp", 0, false},
        {".gc5016-dddddd.tmp", 30, false},  // a writer at work
        {".gc5016-eeeeee.txt", 3600, false}, {".gc5016-fffffff.tmp", 3600, false}, {".gc5016-gg-ggg.tmp", 3600, false},
        {".std.lab.abcdef", 3600, false},    {"notes.tmp", 3600, false},           {"gc5016-hhhhhh.tmp", 3600, false},
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

// Two processes save one pair over and over; whenever either looks (under the
// folder's lock, as a writer takes it) the two files come from one save.
TEST(SafeWrite, TwoProcessesSavingOnePairNeverMixIt) {
    TempDir dir;
    const fs::path lab = dir / "rx.lab", prg = dir / "rx.prg";
    constexpr int kRounds = 100;
    auto writer = [&](int id) {
        for (int round = 0; round < kRounds; ++round) {
            const std::string text = "writer " + std::to_string(id) + " round " + std::to_string(round) + "\n";
            if (!WriteFilesTogether({{lab, text + std::string(4000, 'l')}, {prg, text + std::string(9000, 'p')}}).ok())
                return 2;
            const int fd = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY);
            ::flock(fd, LOCK_EX);
            const std::string l = ReadFileText(lab), p = ReadFileText(prg);
            ::close(fd);
            if (l.substr(0, l.find('\n')) != p.substr(0, p.find('\n'))) return 3;
        }
        return 0;
    };
    pid_t pids[2];
    for (int id = 0; id < 2; ++id) {
        pids[id] = ::fork();
        ASSERT_GE(pids[id], 0);
        if (pids[id] == 0) ::_exit(writer(id));
    }
    for (const pid_t pid : pids) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    }
    const std::string l = ReadFileText(lab), p = ReadFileText(prg);
    EXPECT_EQ(l.substr(0, l.find('\n')), p.substr(0, p.find('\n')));
    EXPECT_EQ(Snapshot(dir.path()).size(), 2u);
}

}  // namespace
}  // namespace gc
