#include "session/work_folder.h"

#include <gtest/gtest.h>

#include "test_util.h"

namespace gc {
namespace {

namespace fs = std::filesystem;

TEST(WorkFolder, CommandLineThenCurrentThenRememberedElseAsk) {
    test::TempDir dir;
    const fs::path work = dir.path() / "work", other = dir.path() / "other", bare = dir.path() / "bare";
    fs::create_directories(work / "CONFIGS");
    fs::create_directories(other / "CONFIGS");
    fs::create_directories(bare / "FILTERS");
    using S = WorkFolderSource;
    const struct {
        WorkFolderStart start;
        S source;
        fs::path folder;
    } cases[] = {
        {{bare, work, other, false}, S::CommandLine, bare},  // -C wins and needs no CONFIGS/
        {{{}, work, other, false}, S::Current, work},        // a terminal in a working folder: as always
        {{{}, work, other, true}, S::Remembered, other},     // the desktop's current folder is chance
        {{{}, bare, other, false}, S::Remembered, other},
        {{{}, bare, bare, false}, S::Ask, {}},  // the remembered folder lost CONFIGS/
        {{{}, bare, dir.path() / "gone", false}, S::Ask, {}},
        {{{}, work, {}, true}, S::Ask, {}},
    };
    for (const auto& c : cases) {
        const WorkFolderDecision d = DecideWorkFolder(c.start);
        EXPECT_EQ(d.source, c.source) << c.start.current << " " << c.start.remembered;
        EXPECT_EQ(d.folder, c.folder);
    }
}

TEST(WorkFolder, ExampleCopyFillsWhatIsMissingAndKeepsWhatIsThere) {
    test::TempDir dir;
    const fs::path example = fs::path(GC5016_EXAMPLES) / "workspace";
    const fs::path fresh = dir.path() / "new/gc5016";
    const ExampleCopy first = CopyExampleWorkFolder(example, fresh);
    ASSERT_TRUE(first.done()) << first.error.message();
    EXPECT_TRUE(first.kept.empty());
    for (const char* f : {"CONFIGS/std.lab", "FILTERS/cdma.taps", "Appl/.keep"})
        EXPECT_EQ(test::ReadFileText(fresh / f), test::ReadFileText(example / f)) << f;

    // The user's own lab file and taps survive a second copy into the same folder.
    test::WriteFileText(fresh / "CONFIGS/std.lab", "mine");
    fs::remove(fresh / "FILTERS/cdma31.taps");
    const ExampleCopy again = CopyExampleWorkFolder(example, fresh);
    ASSERT_TRUE(again.done());
    EXPECT_EQ(again.copied, std::vector<fs::path>{"FILTERS/cdma31.taps"});
    EXPECT_EQ(test::ReadFileText(fresh / "CONFIGS/std.lab"), "mine");
    EXPECT_EQ(again.kept.size(), first.copied.size() - 1);
}

TEST(WorkFolder, ExampleCopyRefusesTargetsItCannotUse) {
    test::TempDir dir;
    fs::create_directories(dir.path() / "ex/CONFIGS");
    test::WriteFileText(dir.path() / "ex/CONFIGS/std.lab", "x");
    test::WriteFileText(dir.path() / "file", "a file, not a folder");
    const struct {
        fs::path target;
        std::errc error;
    } cases[] = {
        {dir.path() / "ex/inner", std::errc::invalid_argument},  // would copy itself without end
        {dir.path() / "file", std::errc::not_a_directory},
        {dir.path() / "file/below", std::errc::not_a_directory},
    };
    for (const auto& c : cases) {
        const ExampleCopy r = CopyExampleWorkFolder(dir.path() / "ex", c.target);
        EXPECT_EQ(r.error, c.error) << c.target << ": " << r.error.message();
        EXPECT_TRUE(r.copied.empty());
    }
    EXPECT_FALSE(fs::exists(dir.path() / "ex/inner"));
    EXPECT_EQ(test::ReadFileText(dir.path() / "file"), "a file, not a folder");
}

}  // namespace
}  // namespace gc
