// The shared line reader and the atomic writer: what every file reader and
// writer inherits. Bad inputs (devices, pipes, huge files) and killed writes.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "chip/program_file.h"
#include "chip/table_file.h"
#include "core/lab_file.h"
#include "core/text_io.h"
#include "filters/coef_files.h"
#include "test_util.h"

namespace gc {
namespace {

namespace fs = std::filesystem;
using test::ReadFileText;
using test::TempDir;
using test::WriteFileText;

struct Line {
    std::string text;
    bool ended;
    bool operator==(const Line&) const = default;
};

std::vector<Line> AllLines(LineReader& in) {
    std::vector<Line> lines;
    std::string line;
    while (in.Next(line)) lines.push_back({line, in.lineEnded()});
    return lines;
}

TEST(LineReader, SplitsLinesTheSameFromMemoryAndFromAFile) {
    const TextLimits small{8, 1 << 20};
    const struct {
        std::string bytes;
        std::vector<Line> lines;
    } cases[] = {
        {"", {}},
        {"\n", {{"", true}}},
        {"a\nb", {{"a", true}, {"b", false}}},
        {"a\r\nb\r\n", {{"a", true}, {"b", true}}},
        {"a\n\r", {{"a", true}, {"", false}}},
        {"\n\nx", {{"", true}, {"", true}, {"x", false}}},
        // Longer lines keep their head; the rest up to the break is skipped.
        {"0123456789abc\nz\n", {{"01234567", true}, {"z", true}}},
        // A '\r' just past the bound is still the line end's, not text.
        {"01234567\r\nz", {{"01234567", true}, {"z", false}}},
        {std::string("a\0b\n", 4), {{std::string("a\0b", 3), true}}},
    };
    TempDir dir;
    for (const auto& c : cases) {
        LineReader mem(TextBytes{c.bytes}, small);
        EXPECT_EQ(AllLines(mem), c.lines) << c.bytes;
        EXPECT_FALSE(mem.truncated());
        WriteFileText(dir / "f.txt", c.bytes);
        LineReader file(dir / "f.txt", small);
        ASSERT_TRUE(file.is_open());
        EXPECT_EQ(AllLines(file), c.lines) << c.bytes;
        EXPECT_FALSE(file.truncated());
    }
}

TEST(LineReader, StopsAtTheTotalBoundAndDropsTheLineCutThere) {
    const TextLimits limits{100, 10};
    const struct {
        std::string bytes;
        std::vector<Line> lines;
        bool truncated;
    } cases[] = {
        {"abcd\nefgh\n", {{"abcd", true}, {"efgh", true}}, false},  // exactly at the bound
        {"abcd\nefgh\nij", {{"abcd", true}, {"efgh", true}}, true},
        {"abcd\nefghij\n", {{"abcd", true}}, true},
        {"abcdefghijkl", {}, true},
    };
    TempDir dir;
    for (const auto& c : cases) {
        LineReader mem(TextBytes{c.bytes}, limits);
        EXPECT_EQ(AllLines(mem), c.lines) << c.bytes;
        EXPECT_EQ(mem.truncated(), c.truncated) << c.bytes;
        WriteFileText(dir / "f.txt", c.bytes);
        LineReader file(dir / "f.txt", limits);
        EXPECT_EQ(AllLines(file), c.lines) << c.bytes;
        EXPECT_EQ(file.truncated(), c.truncated) << c.bytes;
    }
}

TEST(LineReader, AHugeFileIsReadOnlyToTheBound) {
    TempDir dir;
    const fs::path big = dir / "big.lab";
    // Sparse: 300 MB of zero bytes that take no disk.
    {
        WriteFileText(big, "SystemClock 1234\n");
        fs::resize_file(big, size_t{300} << 20);
    }
    EXPECT_EQ(CheckTextFile(big), TextFileState::TooLong);
    LineReader in(big);
    std::string line;
    ASSERT_TRUE(in.Next(line));
    EXPECT_EQ(line, "SystemClock 1234");
    // The rest is one line of zeros cut at the total bound: not given.
    EXPECT_FALSE(in.Next(line));
    EXPECT_TRUE(in.truncated());

    Settings s;
    DecimationState d;
    ASSERT_TRUE(ReadLab(s, d, big));
    EXPECT_EQ(s.SystemClock, 1234);
}

// A byte order mark from a Windows editor: UTF-8's is not text (a tap file
// lost its first tap to it); UTF-16 would be read as lines full of NULs.
TEST(LineReader, SkipsAUtf8MarkAndRefusesUtf16) {
    const struct {
        std::string bytes;
        bool open;
        std::vector<Line> lines;
    } cases[] = {
        {"\xEF\xBB\xBF 12\n", true, {{" 12", true}}},
        {"\xEF\xBB\xBF", true, {}},
        {" 12\n\xEF\xBB\xBF\n", true, {{" 12", true}, {"\xEF\xBB\xBF", true}}},  // only at the start
        {"\xFF\xFE" + std::string("1\0\n\0", 4), false, {}},
        {"\xFE\xFF" + std::string("\0"
                                  "1\0\n",
                                  4),
         false,
         {}},
    };
    TempDir dir;
    for (const auto& c : cases) {
        LineReader mem(TextBytes{c.bytes});
        EXPECT_EQ(mem.is_open(), c.open) << c.bytes;
        EXPECT_EQ(AllLines(mem), c.lines) << c.bytes;
        WriteFileText(dir / "f.txt", c.bytes);
        LineReader file(dir / "f.txt");
        EXPECT_EQ(file.is_open(), c.open) << c.bytes;
        EXPECT_EQ(AllLines(file), c.lines) << c.bytes;
    }
    // A tap file keeps every tap.
    const fs::path taps = fs::path(GC5016_EXAMPLES) / "workspace" / "FILTERS" / "cdma31.taps";
    WriteFileText(dir / "bom.taps", "\xEF\xBB\xBF" + ReadFileText(taps));
    TapBuffer plain{}, marked{};
    EXPECT_EQ(ReadTapFile(dir / "bom.taps", marked), ReadTapFile(taps, plain));
    EXPECT_EQ(marked, plain);
}

TEST(InspectTextFile, NamesWhyAFileIsNotText) {
    const std::string ascii = "SystemClock 100\r\n";
    std::string le, be;
    for (char ch : ascii) {
        le += {ch, '\0'};
        be += {'\0', ch};
    }
    const struct {
        std::string bytes;
        TextProblem problem;
        std::string text;
    } cases[] = {
        {ascii, TextProblem::None, ""},
        {"\xEF\xBB\xBF" + ascii, TextProblem::None, ""},
        {"", TextProblem::None, ""},
        {"\xD0\x96 \xD0\xB6\n", TextProblem::None, ""},  // UTF-8 Cyrillic
        {"\xFF\xFE" + le, TextProblem::Utf16LE, "UTF-16LE text, not UTF-8 (save it as UTF-8)"},
        {"\xFE\xFF" + be, TextProblem::Utf16BE, "UTF-16BE text, not UTF-8 (save it as UTF-8)"},
        {le, TextProblem::Utf16LE, "UTF-16LE text, not UTF-8 (save it as UTF-8)"},
        {be, TextProblem::Utf16BE, "UTF-16BE text, not UTF-8 (save it as UTF-8)"},
        {"\xFF\xFE", TextProblem::Utf16LE, "UTF-16LE text, not UTF-8 (save it as UTF-8)"},
        {ascii + std::string(1, '\0') + ascii, TextProblem::Binary, "holds NUL bytes: not a text file"},
        {std::string("\x04\x00\x7f\x45", 4), TextProblem::Binary, "holds NUL bytes: not a text file"},
        {std::string(70000, 'a') + std::string(1, '\0'), TextProblem::None, ""},  // past the 64 KiB looked at
    };
    TempDir dir;
    for (const auto& c : cases) {
        WriteFileText(dir / "f.lab", c.bytes);
        const TextInspection r = InspectTextFile(dir / "f.lab");
        EXPECT_EQ(r.problem, c.problem) << c.bytes.substr(0, 40);
        EXPECT_EQ(TextProblemText(r), c.text) << c.bytes.substr(0, 40);
        // Readers that must not take pieces of a non-text file refuse it by the same look.
        EXPECT_EQ(LineReader(dir / "f.lab", kTextOnly).is_open(), !IsNotText(c.problem)) << c.bytes.substr(0, 40);
    }
    fs::create_directories(dir / "folder.lab");
    EXPECT_EQ(TextProblemText(InspectTextFile(dir / "folder.lab")), "is a folder");
    EXPECT_EQ(InspectTextFile(dir / "missing.lab").problem, TextProblem::Missing);
    EXPECT_EQ(TextProblemText(InspectTextFile("/dev/null")), "not a regular file");
    if (::geteuid() != 0) {  // root reads any file
        WriteFileText(dir / "closed.lab", ascii);
        fs::permissions(dir / "closed.lab", fs::perms::none);
        const TextInspection r = InspectTextFile(dir / "closed.lab");
        EXPECT_EQ(r.problem, TextProblem::Unreadable);
        EXPECT_EQ(TextProblemText(r), "Permission denied");
    }
}

// Every reader meets anything but a regular file as a missing file, at once.
TEST(LineReader, ReadersTakeOnlyRegularFiles) {
    TempDir dir;
    const fs::path fifo = dir / "fifo.lab";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);  // no writer: a blocking open would wait forever
    const fs::path folder = dir / "folder.lab";
    fs::create_directories(folder);
    for (const fs::path& p : {fs::path("/dev/zero"), fs::path("/dev/urandom"), fifo, folder, dir / "missing"}) {
        EXPECT_FALSE(LineReader(p).is_open()) << p;
        EXPECT_EQ(CheckTextFile(p), TextFileState::Unopenable) << p;
        EXPECT_FALSE(ReadLines(p)) << p;
        Settings s;
        DecimationState d;
        EXPECT_FALSE(ReadLab(s, d, p)) << p;
        auto image = std::make_unique<RegisterImage>();
        EXPECT_FALSE(ReadTableFile(*image, p)) << p;
        EXPECT_FALSE(ReadToolTableFile(*image, p)) << p;
        auto list = std::make_unique<Gc101List>();
        EXPECT_EQ(ReadGc101File(p, *list), -1) << p;
        TapBuffer taps;
        EXPECT_EQ(ReadTapFile(p, taps), -1) << p;
        EXPECT_EQ(ConvertFltToTaps(p, Workspace{dir.path()}).status, FltConversion::InputUnreadable) << p;
    }
}

// The batch tool names the file it could not read and goes on, or warns that
// it read only the start of one.
TEST(LineReader, BatchToolReportsDevicesAndHugeFiles) {
    TempDir ws;
    test::CopyExampleWorkspace(ws.path());
    fs::create_symlink("/dev/zero", ws / "FILTERS" / "workcmd.tbl");
    WriteFileText(ws / "CONFIGS" / "huge.lab", "SystemClock 1234\n" + std::string(size_t{20} << 20, ' '));
    // A device named where a file is needed, or put where the tool table is
    // read, is refused (4); a cut lab file is a warning.
    const struct {
        std::string args;
        std::string message;
        int status;
    } cases[] = {
        {"--lab /dev/zero lab --out CONFIGS/out.lab", "cannot read /dev/zero", 4},
        {"--lab /dev/urandom lab --out CONFIGS/out.lab", "cannot read /dev/urandom", 4},
        {"gc101 /dev/zero", "cannot read /dev/zero", 4},
        {"compare", "cannot read FILTERS/workcmd.tbl", 4},
        {"--lab CONFIGS/huge.lab lab --out CONFIGS/out.lab", "CONFIGS/huge.lab is longer than 16 MiB", 0},
    };
    for (const auto& c : cases) {
        const auto start = std::chrono::steady_clock::now();
        const test::BatchRun r = test::RunBatchTool(ws.path(), c.args);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << c.args;
        EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << "\n" << r.err;
    }
}

// Names in the folder other than the given ones.
std::vector<std::string> OtherEntries(const fs::path& dir, const std::string& keep) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().filename() != keep) names.push_back(e.path().filename().string());
    return names;
}

TEST(WriteFileAtomic, ReplacesTheTargetAndLeavesNothingElse) {
    TempDir dir;
    const fs::path target = dir / "good.lab";
    ASSERT_TRUE(WriteFileAtomic(target, "old\n"));
    ASSERT_TRUE(WriteFileAtomic(target, "new\n"));
    EXPECT_EQ(ReadFileText(target), "new\n");
    EXPECT_TRUE(OtherEntries(dir.path(), "good.lab").empty());
    // The permissions a newly created file gets (the temporary starts private).
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(fs::status(target).permissions(), static_cast<fs::perms>(0666 & ~mask));

    // Failures leave the folder as it was.
    fs::create_directories(dir / "folder");
    EXPECT_FALSE(WriteFileAtomic(dir / "folder", "x"));
    EXPECT_FALSE(WriteFileAtomic(dir / "missing" / "x.lab", "x"));
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_FALSE(WriteFileAtomic(dir / "fifo", "x"));
    EXPECT_TRUE(fs::is_fifo(dir / "fifo"));
    fs::remove(dir / "fifo");
    EXPECT_EQ(OtherEntries(dir.path(), "good.lab"), std::vector<std::string>{"folder"});
    EXPECT_TRUE(fs::is_empty(dir / "folder"));
}

// A writer killed at any moment leaves the old file or the new one, whole,
// and no visible temporary beside it (a hidden one only when the kill falls
// between naming the finished temporary and the rename).
TEST(WriteFileAtomic, AKilledWriteLeavesTheOldOrTheNewFileAndNoVisibleTemporary) {
    TempDir dir;
    const fs::path target = dir / "good.lab";
    // Large enough that a kill often lands inside the write or the sync.
    const std::string texts[2] = {std::string(2 << 20, 'a') + "\n", std::string(3 << 20, 'b') + "\n"};
    ASSERT_TRUE(WriteFileAtomic(target, texts[0]));
    const unsigned seed = std::random_device{}();
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> delayUs(0, 20000);
    constexpr int kRounds = 60;
    int hidden = 0;
    for (int round = 0; round < kRounds; ++round) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            for (int k = 0;; ++k) WriteFileAtomic(target, texts[(k + round) % 2]);
        }
        ::usleep(static_cast<useconds_t>(delayUs(rng)));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        const std::string now = ReadFileText(target);
        ASSERT_TRUE(now == texts[0] || now == texts[1])
            << "seed " << seed << " round " << round << ": " << now.size() << " bytes";
        for (const std::string& name : OtherEntries(dir.path(), "good.lab")) {
            ASSERT_TRUE(name.starts_with(".gc5016-") && name.ends_with(".tmp"))
                << "seed " << seed << " round " << round << ": " << name;
            ++hidden;
            fs::remove(dir / name);
        }
    }
    EXPECT_LE(hidden, kRounds / 10) << "seed " << seed;
}

}  // namespace
}  // namespace gc
