#include "session/work_folder.h"

namespace gc {

namespace fs = std::filesystem;

bool IsWorkFolder(const fs::path& path) {
    std::error_code ec;
    return !path.empty() && fs::is_directory(path / "CONFIGS", ec);
}

WorkFolderDecision DecideWorkFolder(const WorkFolderStart& start) {
    if (!start.commandLine.empty()) return {WorkFolderSource::CommandLine, start.commandLine};
    if (!start.desktop && IsWorkFolder(start.current)) return {WorkFolderSource::Current, start.current};
    if (IsWorkFolder(start.remembered)) return {WorkFolderSource::Remembered, start.remembered};
    return {};
}

fs::path ProposedWorkFolder(const fs::path& remembered, const fs::path& documents) {
    return remembered.empty() ? documents / "gc5016" : remembered;
}

fs::path FindExampleWorkFolder(const std::vector<fs::path>& candidates) {
    std::error_code ec;
    for (const fs::path& c : candidates)
        if (!c.empty() && fs::is_regular_file(c / "CONFIGS" / "std.lab", ec)) return c;
    return {};
}

ExampleCopy CopyExampleWorkFolder(const fs::path& example, const fs::path& target) {
    ExampleCopy r;
    auto fail = [&r](const fs::path& what, std::error_code ec) {
        r.error = ec;
        r.failed = what;
        return r;
    };
    std::error_code ec;
    // A target inside the example would be copied into itself without end.
    const fs::path from = fs::weakly_canonical(example, ec), to = fs::weakly_canonical(target, ec);
    if (!ec) {
        const fs::path rel = to.lexically_relative(from);
        if (!rel.empty() && *rel.begin() != "..")
            return fail(target, std::make_error_code(std::errc::invalid_argument));
    }
    fs::create_directories(target, ec);
    if (ec || !fs::is_directory(target, ec))
        return fail(target, ec ? ec : std::make_error_code(std::errc::not_a_directory));
    fs::recursive_directory_iterator it(example, ec), end;
    if (ec) return fail(example, ec);
    for (; it != end; it.increment(ec)) {
        if (ec) return fail(example, ec);
        const fs::path rel = it->path().lexically_relative(example);
        const fs::path to = target / rel;
        if (it->is_directory(ec)) {
            fs::create_directories(to, ec);
            if (ec || !fs::is_directory(to, ec))
                return fail(to, ec ? ec : std::make_error_code(std::errc::not_a_directory));
            continue;
        }
        if (fs::exists(fs::symlink_status(to, ec))) {
            r.kept.push_back(rel);
            continue;
        }
        // Without overwrite the target is created exclusively: a file that
        // appears meanwhile makes the copy fail rather than be replaced.
        if (!fs::copy_file(it->path(), to, fs::copy_options::none, ec) || ec) {
            if (ec != std::errc::file_exists) {
                std::error_code ignored;
                fs::remove(to, ignored);
            }
            return fail(to, ec ? ec : std::make_error_code(std::errc::file_exists));
        }
        r.copied.push_back(rel);
    }
    return r;
}

}  // namespace gc
