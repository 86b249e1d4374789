#include "chip/chip_tool.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

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
    EXPECT_TRUE(RunChipTool(dir / "FILTERS", dir / "bin"));
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

    EXPECT_TRUE(RunChipTool(dir / "FILTERS", dir / "elsewhere"));
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
    EXPECT_TRUE(RunChipTool("FILTERS", {}));
    EXPECT_NE(ReadFileText(dir / "FILTERS" / "ran.txt").find("path\n"), std::string::npos);

    ASSERT_TRUE(foundAs(FindChipTool("bin"), dir / "bin" / "cmd5016"));
    EXPECT_TRUE(RunChipTool("FILTERS", "bin"));
    EXPECT_NE(ReadFileText(dir / "FILTERS" / "ran.txt").find("own\n"), std::string::npos);
}

TEST(ChipTool, MissingOrUnusableToolIsNoError) {
    TempDir dir;
    std::filesystem::create_directories(dir / "FILTERS");
    // A file of that name that cannot be run does not count.
    std::filesystem::create_directories(dir / "bin");
    WriteFileText(dir / "bin" / "cmd5016", "not a program\n");
    std::filesystem::permissions(dir / "bin" / "cmd5016", std::filesystem::perms::owner_read);
    std::filesystem::create_directories(dir / "bin2" / "cmd5016");  // nor does a folder
    ScopedPath path((dir / "bin2").string());
    EXPECT_EQ(FindChipTool(dir / "bin"), std::nullopt);
    EXPECT_FALSE(RunChipTool(dir / "FILTERS", dir / "bin"));
    EXPECT_TRUE(std::filesystem::is_empty(dir / "FILTERS"));
}

TEST(ChipTool, MissingFolderDoesNotRunTheToolElsewhere) {
    TempDir dir;
    MakeFakeTool(dir / "bin", "own");
    ScopedPath path("");
    const auto before = std::filesystem::current_path();
    RunChipTool(dir / "FILTERS", dir / "bin");
    EXPECT_EQ(std::filesystem::current_path(), before);
    EXPECT_FALSE(std::filesystem::exists(before / "ran.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir / "bin" / "ran.txt"));
}

TEST(ChipTool, RunningProgramDirIsTheTestBinaryFolder) {
    const auto dir = RunningProgramDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_TRUE(std::filesystem::exists(dir / "core_tests"));
}

}  // namespace
}  // namespace gc
