#include "core/safe_write.h"

#include <cerrno>
#include <cstring>

#include "core/text_io.h"

namespace gc {

std::string ErrnoText(int code) { return std::strerror(code); }

WriteOutcome WriteFileSafely(const std::filesystem::path& path, std::string_view content, WritePolicy) {
    if (WriteFileAtomic(path, content)) return {};
    return {errno ? errno : EIO, path};
}

WriteOutcome WriteFilesTogether(const std::vector<FileToWrite>& files, WritePolicy policy) {
    for (const FileToWrite& f : files)
        if (WriteOutcome o = WriteFileSafely(f.path, f.content, policy); !o.ok()) return o;
    return {};
}

TargetCheck CheckWriteTarget(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return {TargetState::Missing};
    return {TargetState::Writable};
}

void RecoverInterruptedWrites(const std::filesystem::path&) {}

}  // namespace gc

namespace gc {
TextInspection InspectTextFile(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return {TextProblem::Missing};
    return {};
}
std::string TextProblemText(const TextInspection&) { return "unreadable"; }
}  // namespace gc
