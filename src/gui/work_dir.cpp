#include "gui/work_dir.h"

#include <system_error>

namespace gc {

WorkingDirGuard::WorkingDirGuard() {
    std::error_code ec;
    saved_ = std::filesystem::current_path(ec);
}

WorkingDirGuard::~WorkingDirGuard() { Restore(); }

bool WorkingDirGuard::Enter(const std::filesystem::path& dir) {
    std::error_code ec;
    std::filesystem::current_path(dir, ec);
    return !ec;
}

void WorkingDirGuard::Restore() {
    if (saved_.empty()) return;
    std::error_code ec;
    std::filesystem::current_path(saved_, ec);
}

}  // namespace gc
