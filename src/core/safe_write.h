// Placeholder of the safe-write interface until the real one lands (replaced on merge).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace gc {

struct WriteOutcome {
    int code = 0;
    std::filesystem::path path;
    bool ok() const { return code == 0; }
};
std::string ErrnoText(int code);
struct WritePolicy {
    bool replaceReadOnly = false;
};
WriteOutcome WriteFileSafely(const std::filesystem::path& path, std::string_view content, WritePolicy policy = {});
struct FileToWrite {
    std::filesystem::path path;
    std::string content;
};
WriteOutcome WriteFilesTogether(const std::vector<FileToWrite>& files, WritePolicy policy = {});
enum class TargetState { Missing, Writable, ReadOnly, NotAFile, Unwritable };
struct TargetCheck {
    TargetState state;
    int code = 0;
};
TargetCheck CheckWriteTarget(const std::filesystem::path& path);
void RecoverInterruptedWrites(const std::filesystem::path& folder);

}  // namespace gc

namespace gc {
enum class TextProblem { None, Missing, Unreadable, NotAFile, Utf16LE, Utf16BE, Binary };
struct TextInspection {
    TextProblem problem = TextProblem::None;
    int code = 0;
};
TextInspection InspectTextFile(const std::filesystem::path& path);
std::string TextProblemText(const TextInspection& r);
}  // namespace gc
