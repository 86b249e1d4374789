// The working folder a session runs in: its configurations, coefficient files
// and board-software folder. Every file is opened by its full path below the
// root; the process's own current directory is never changed.
#pragma once

#include <filesystem>

namespace gc {

struct Workspace {
    std::filesystem::path root;

    std::filesystem::path Configs() const { return root / "CONFIGS"; }
    std::filesystem::path Filters() const { return root / "FILTERS"; }
    std::filesystem::path Appl() const { return root / "Appl"; }
    // The lab file read at start and written at close.
    std::filesystem::path StartupLab() const { return Configs() / "std.lab"; }
};

}  // namespace gc
