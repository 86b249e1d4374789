// Writing the user's files: one file or a set of files in one folder, each
// whole or not at all, with the cause of any failure kept.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace gc {

// Why a write failed: errno and the path it concerns (the file, or the
// folder). code == 0: written.
struct WriteOutcome {
    int code = 0;
    std::filesystem::path path;
    bool ok() const { return code == 0; }
    bool operator==(const WriteOutcome&) const = default;
};

// The English cause, "No space left on device" (the C library's text in the C
// locale, whatever locale the process runs in; safe from any thread).
std::string ErrnoText(int code);

struct WritePolicy {
    bool replaceReadOnly = false;  // a target without write permission is replaced only when asked
};

// Writes one file through a temporary in the same folder and a rename, under
// the folder's lock. A symbolic link is written through: the file it names
// is replaced, in that file's folder, and the link stays. The target is checked first (see CheckWriteTarget); a
// replaced file keeps its permission bits and, where the process may set it,
// its owner; a new one gets 0666 less the umask. On failure the temporary is
// removed and the old file is untouched. Before writing, a set write that a
// kill interrupted is rolled back and stale temporaries of this program are
// removed from the folder.
WriteOutcome WriteFileSafely(const std::filesystem::path& path, std::string_view content, WritePolicy policy = {});

struct FileToWrite {
    std::filesystem::path path;
    std::string content;
};
// Several files in one folder, all or nothing: every target is checked and
// every temporary written before the first rename; the old files are kept
// under hidden hard links, named in a journal, until all are in place. A
// failed rename puts back every target already replaced. Paths named in
// other folders, or one name twice: EINVAL (links named here that lead to
// other folders are written there, as by WriteFileSet).
WriteOutcome WriteFilesTogether(const std::vector<FileToWrite>& files, WritePolicy policy = {});
// The same over several folders (a file and its copy elsewhere): each folder
// locked, holding the backups of its targets and a copy of the journal, so
// that a write into any of them settles the set. One path twice: EINVAL.
WriteOutcome WriteFileSet(const std::vector<FileToWrite>& files, WritePolicy policy = {});

// What a write would find at a target, so that a caller can ask before
// replacing.
enum class TargetState {
    Missing,     // a new file can be made there
    Writable,    // an existing file that will be replaced
    ReadOnly,    // an existing file without write permission (for root: without any write bit)
    NotAFile,    // a folder, a device, a pipe: never replaced
    Unwritable,  // the folder cannot take the file (missing, no permission, name too long, ...)
};
struct TargetCheck {
    TargetState state;
    int code = 0;  // errno for Unwritable and NotAFile
};
TargetCheck CheckWriteTarget(const std::filesystem::path& path);

// Rolls back a set write that a kill interrupted between its renames (the old
// files come back, files it created go) and removes what it left; harmless
// when nothing is pending. Every write into a folder does this first.
void RecoverInterruptedWrites(const std::filesystem::path& folder);

}  // namespace gc
