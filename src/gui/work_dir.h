// Every command that opens a file dialog or runs the chip tool leaves the
// working folder as it found it, even when it stops early or fails.
#pragma once

#include <filesystem>

namespace gc {

class WorkingDirGuard {
public:
    WorkingDirGuard();
    ~WorkingDirGuard();
    WorkingDirGuard(const WorkingDirGuard&) = delete;
    WorkingDirGuard& operator=(const WorkingDirGuard&) = delete;

    const std::filesystem::path& saved() const { return saved_; }
    // Changes to dir; false when that folder cannot be entered (the folder stays).
    bool Enter(const std::filesystem::path& dir);
    void Restore();

private:
    std::filesystem::path saved_;
};

}  // namespace gc
