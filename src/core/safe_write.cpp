#include "core/safe_write.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <optional>
#include <random>
#include <string>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <locale.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gc {

namespace fs = std::filesystem;

std::string ErrnoText(int code) {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    if (c) return strerror_l(code, c);
    return "error " + std::to_string(code);
}

namespace {

// Scratch files of this program: ".gc5016-" six random characters and an
// ending. One short length whatever the target's name, so that a temporary
// fits beside a file whose own name takes all the bytes the system allows.
constexpr std::string_view kScratchPrefix = ".gc5016-";
constexpr size_t kScratchRandom = 6;
constexpr std::string_view kTemp = ".tmp";
constexpr std::string_view kBackup = ".bak";
constexpr std::string_view kJournal = ".jnl";
// Every writer holds the folder's lock, so under it any scratch file is a
// dead writer's. Where the file system has no lock, only files older than
// this are taken for a dead writer's (a running one keeps touching its own).
constexpr time_t kStaleSeconds = 60;
constexpr std::string_view kJournalHeader = "gc5016 journal 1";

std::string ScratchName(std::string_view ending) {
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local pid_t seededFor = 0;
    thread_local std::mt19937_64 rng;
    // A forked child would otherwise draw the same names as its parent.
    if (seededFor != ::getpid()) {
        seededFor = ::getpid();
        rng.seed(std::random_device{}() ^ static_cast<uint64_t>(seededFor));
    }
    std::string name(kScratchPrefix);
    for (size_t i = 0; i < kScratchRandom; ++i) name += kChars[rng() % (sizeof kChars - 1)];
    name += ending;
    return name;
}

// The ending of a name of ScratchName's pattern, or empty for any other name.
std::string_view ScratchKind(std::string_view name) {
    if (name.size() != kScratchPrefix.size() + kScratchRandom + 4 || !name.starts_with(kScratchPrefix)) return {};
    for (size_t i = kScratchPrefix.size(); i < kScratchPrefix.size() + kScratchRandom; ++i)
        if (!std::isalnum(static_cast<unsigned char>(name[i]))) return {};
    const std::string_view ending = name.substr(name.size() - 4);
    for (std::string_view kind : {kTemp, kBackup, kJournal})
        if (ending == kind) return kind;
    return {};
}

struct Fd {
    int fd = -1;
    explicit Fd(int f) : fd(f) {}
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int release() { return std::exchange(fd, -1); }
};

// The folder of a write, opened and locked until the end of the scope, so
// that two writers (threads or processes) never interleave their steps. The
// lock is on the folder itself: no lock file is left behind.
class LockedFolder {
public:
    explicit LockedFolder(const fs::path& folder) : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (fd_.fd < 0) {
            error_ = errno;
            return;
        }
        int r = 0;
        do r = ::flock(fd_.fd, LOCK_EX);
        while (r != 0 && errno == EINTR);
        locked_ = r == 0;
    }
    int fd() const { return fd_.fd; }
    int error() const { return error_; }
    // False where the file system has no flock: writes still go through
    // temporaries, but a journal there may be a running writer's.
    bool locked() const { return locked_; }

private:
    Fd fd_;
    int error_ = 0;
    bool locked_ = false;
};

fs::path FolderOf(const fs::path& path) { return path.has_parent_path() ? path.parent_path() : fs::path("."); }

int NameError(const std::string& name) {
    if (name.empty()) return EINVAL;
    if (name.size() > NAME_MAX) return ENAMETOOLONG;
    return 0;
}

int WriteAll(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t n = ::write(fd, content.data(), content.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return EIO;
        content.remove_prefix(static_cast<size_t>(n));
    }
    return 0;
}

// What CheckWriteTarget finds, with the target's status and whether a
// failure concerns the folder rather than the file.
struct Probe {
    TargetCheck check{TargetState::Unwritable, 0};
    bool aboutFolder = false;
    struct stat st {};
};

Probe ProbeTarget(int dirfd, const std::string& name) {
    Probe p;
    if ((p.check.code = NameError(name)) != 0) return p;
    bool exists = true;
    if (::fstatat(dirfd, name.c_str(), &p.st, 0) != 0) {
        if (errno != ENOENT) {
            p.check.code = errno;
            return p;
        }
        exists = false;
    } else if (!S_ISREG(p.st.st_mode)) {
        // A rename would put a file in the place of a folder's name or a device
        // (as root even of /dev/zero).
        p.check = {TargetState::NotAFile, S_ISDIR(p.st.st_mode) ? EISDIR : ENOTSUP};
        return p;
    }
    if (::faccessat(dirfd, ".", W_OK | X_OK, AT_EACCESS) != 0) {
        p.check.code = errno;
        p.aboutFolder = true;
        return p;
    }
    if (!exists) {
        p.check.state = TargetState::Missing;
        return p;
    }
    // Root may write anything: there a file that no one may write counts as
    // read-only too.
    if (::faccessat(dirfd, name.c_str(), W_OK, AT_EACCESS) != 0 || (p.st.st_mode & 0222) == 0) {
        p.check = {TargetState::ReadOnly, EACCES};
        return p;
    }
    p.check.state = TargetState::Writable;
    return p;
}

// A replaced file keeps its owner where the process may give it, and its
// permission bits (after the owner: a change of owner clears set-id bits).
int KeepAttributes(int fd, const struct stat& old) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 && errno != EPERM && errno != EINVAL) return errno;
    if (::fchmod(fd, old.st_mode & 07777) != 0) return errno;
    return 0;
}

// Writes the content to a new temporary in the folder, synced and named
// (with the attributes of the file it replaces, when there is one). 0 or the
// errno; on failure nothing is left.
int MakeTemp(int dirfd, std::string_view content, const struct stat* old, std::string& name, ino_t& ino) {
    name.clear();
    // First choice: a file without a name until it is whole, so a kill while
    // writing leaves nothing. It is named through /proc, so without /proc the
    // name is given from the start.
    Fd tmp{::access("/proc/self/fd", X_OK) == 0 ? ::openat(dirfd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666) : -1};
    const bool unnamed = tmp.fd >= 0;
    for (int attempt = 0; !unnamed && tmp.fd < 0 && attempt < 100; ++attempt) {
        name = ScratchName(kTemp);
        tmp.fd = ::openat(dirfd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (tmp.fd < 0 && errno != EEXIST) {
            const int err = errno;
            name.clear();
            return err;
        }
    }
    if (tmp.fd < 0) {
        name.clear();
        return EEXIST;
    }
    int err = WriteAll(tmp.fd, content);
    if (!err && old) err = KeepAttributes(tmp.fd, *old);
    if (!err && ::fsync(tmp.fd) != 0) err = errno;
    struct stat st {};
    if (!err && ::fstat(tmp.fd, &st) != 0) err = errno;
    ino = st.st_ino;
    if (!err && unnamed) {
        const std::string self = "/proc/self/fd/" + std::to_string(tmp.fd);
        err = EEXIST;
        for (int attempt = 0; attempt < 100 && err == EEXIST; ++attempt) {
            name = ScratchName(kTemp);
            err = ::linkat(AT_FDCWD, self.c_str(), dirfd, name.c_str(), AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
        }
        if (err) name.clear();
    }
    if (::close(tmp.release()) != 0 && !err) err = errno;
    if (err && !name.empty()) {
        ::unlinkat(dirfd, name.c_str(), 0);
        name.clear();
    }
    return err;
}

// One target of a write and the scratch files that stand for it.
struct Entry {
    std::string name;  // the target's name in the folder
    std::string tmp;   // the new content, until renamed over the target
    std::string bak;   // a hard link to the old target; empty when there was none
    ino_t tmpIno = 0;  // tells a target renamed in from one made by someone else
};

// Undoes a set write, from any point: a target that is no longer its backup's
// file gets the backup back, a target that did not exist before goes when it
// is still this write's file, scratch files go. Doing it twice does no harm.
// The errno of the first step that failed (the journal must then stay for a
// later try), or 0.
int Restore(int dirfd, const std::vector<Entry>& entries) {
    int err = 0;
    auto step = [&](int r) {
        if (r != 0 && !err) err = errno;
    };
    for (const Entry& e : entries) {
        struct stat now {};
        const bool present = ::fstatat(dirfd, e.name.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0;
        struct stat bak {};
        if (!e.bak.empty() && ::fstatat(dirfd, e.bak.c_str(), &bak, AT_SYMLINK_NOFOLLOW) == 0) {
            if (present && now.st_ino == bak.st_ino) {
                step(::unlinkat(dirfd, e.bak.c_str(), 0));
            } else {
                step(::renameat(dirfd, e.bak.c_str(), dirfd, e.name.c_str()));
            }
        } else if (e.bak.empty() && present && now.st_ino == e.tmpIno) {
            step(::unlinkat(dirfd, e.name.c_str(), 0));
        }
        if (!e.tmp.empty() && ::unlinkat(dirfd, e.tmp.c_str(), 0) != 0 && errno != ENOENT) step(-1);
    }
    return err;
}

// Whether every target of a set write is the file the write put there: the
// write ran to its end and only its retirement was cut short, so it is kept.
bool AllInPlace(int dirfd, const std::vector<Entry>& entries) {
    for (const Entry& e : entries) {
        struct stat now {};
        if (::fstatat(dirfd, e.name.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0 || now.st_ino != e.tmpIno) return false;
    }
    return !entries.empty();
}

// Retires a set write that is in place: its backups and temporaries go. The
// errno of the first removal that failed, or 0.
int KeepWrite(int dirfd, const std::vector<Entry>& entries) {
    int err = 0;
    for (const Entry& e : entries)
        for (const std::string* name : {&e.bak, &e.tmp})
            if (!name->empty() && ::unlinkat(dirfd, name->c_str(), 0) != 0 && errno != ENOENT && !err) err = errno;
    return err;
}

std::string Hex(std::string_view bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
    }
    return out;
}

bool Unhex(std::string_view hex, std::string& out) {
    out.clear();
    if (hex.size() % 2) return false;
    auto digit = [](char c) { return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1; };
    for (size_t i = 0; i < hex.size(); i += 2) {
        const int hi = digit(hex[i]), lo = digit(hex[i + 1]);
        if (hi < 0 || lo < 0) return false;
        out += static_cast<char>(hi * 16 + lo);
    }
    return true;
}

// The journal lists each target (its name in hex: a name may hold any byte
// but '/' and NUL) with its temporary, its backup ("-" for none) and the
// temporary's inode. It is synced before the first rename, so one without
// its last line was cut before any target changed.
std::string JournalText(const std::vector<Entry>& entries) {
    std::string text = std::string(kJournalHeader) + "\n";
    for (const Entry& e : entries)
        text += Hex(e.name) + " " + e.tmp + " " + (e.bak.empty() ? "-" : e.bak) + " " + std::to_string(e.tmpIno) + "\n";
    return text + "end\n";
}

// The entries of a journal's whole lines; a line that is not whole or not of
// this form is skipped (its scratch files go with the stale ones).
std::vector<Entry> ParseJournal(std::string_view text) {
    std::vector<Entry> entries;
    const size_t headerEnd = text.find('\n');
    if (headerEnd == std::string_view::npos || text.substr(0, headerEnd) != kJournalHeader) return entries;
    text.remove_prefix(headerEnd + 1);
    for (size_t nl; (nl = text.find('\n')) != std::string_view::npos; text.remove_prefix(nl + 1)) {
        std::string_view fields[4];
        std::string_view line = text.substr(0, nl);
        size_t count = 0;
        for (; count < 4 && !line.empty(); ++count) {
            const size_t sp = line.find(' ');
            fields[count] = line.substr(0, sp);
            line = sp == std::string_view::npos ? std::string_view{} : line.substr(sp + 1);
        }
        Entry e;
        if (count != 4 || !line.empty() || !Unhex(fields[0], e.name) || NameError(e.name) ||
            e.name.find('/') != std::string::npos || ScratchKind(fields[1]) != kTemp)
            continue;
        e.tmp = fields[1];
        if (fields[2] != "-") {
            if (ScratchKind(fields[2]) != kBackup) continue;
            e.bak = fields[2];
        }
        e.tmpIno = std::strtoull(std::string(fields[3]).c_str(), nullptr, 10);
        if (e.tmpIno == 0) continue;
        entries.push_back(std::move(e));
    }
    return entries;
}

int WriteJournal(int dirfd, const std::vector<Entry>& entries, std::string& name) {
    Fd fd{-1};
    for (int attempt = 0; attempt < 100 && fd.fd < 0; ++attempt) {
        name = ScratchName(kJournal);
        fd.fd = ::openat(dirfd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd.fd < 0 && errno != EEXIST) break;
    }
    if (fd.fd < 0) {
        const int err = errno;
        name.clear();
        return err;
    }
    int err = WriteAll(fd.fd, JournalText(entries));
    if (!err && ::fsync(fd.fd) != 0) err = errno;
    if (::close(fd.release()) != 0 && !err) err = errno;
    // The journal and the backups must be on disk before any target changes.
    if (!err && ::fsync(dirfd) != 0) err = errno;
    if (err) {
        ::unlinkat(dirfd, name.c_str(), 0);
        name.clear();
    }
    return err;
}

// A journal's text; nullopt when it cannot be read (another user's, say),
// so that it is left for one who can.
std::optional<std::string> ReadJournal(int dirfd, const std::string& name) {
    Fd fd{::openat(dirfd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC)};
    if (fd.fd < 0) return std::nullopt;
    std::string text;
    char buf[4096];
    for (ssize_t n; text.size() < (size_t{1} << 20) && (n = ::read(fd.fd, buf, sizeof buf)) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return std::nullopt;
        text.append(buf, static_cast<size_t>(n));
    }
    return text;
}

// The names in the folder that are scratch files of this program.
std::vector<std::pair<std::string, std::string_view>> ScratchFiles(int dirfd) {
    std::vector<std::pair<std::string, std::string_view>> found;
    const int fd = ::openat(dirfd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return found;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return found;
    }
    while (const dirent* d = ::readdir(dir)) {
        const std::string_view kind = ScratchKind(d->d_name);
        if (!kind.empty()) found.emplace_back(d->d_name, kind);
    }
    ::closedir(dir);
    return found;
}

// Settles every set write a kill or a failing disk left in the folder (the
// lock must be held): one whose targets are all in place is kept (it may
// have been reported as written), any other is rolled back. A journal that
// is left is returned with the cause; code 0 and no name when none is left.
struct Leftover {
    int code = 0;
    std::string journal;
};
Leftover RecoverLocked(int dirfd) {
    Leftover left;
    for (const auto& [name, kind] : ScratchFiles(dirfd)) {
        if (kind != kJournal) continue;
        errno = 0;
        const std::optional<std::string> text = ReadJournal(dirfd, name);
        int err = text ? 0 : errno ? errno : EIO;
        if (text) {
            const std::vector<Entry> entries = ParseJournal(*text);
            err = AllInPlace(dirfd, entries) ? KeepWrite(dirfd, entries) : Restore(dirfd, entries);
            if (!err && (::fsync(dirfd) != 0 || ::unlinkat(dirfd, name.c_str(), 0) != 0)) err = errno;
        }
        if (err && left.journal.empty()) left = {err, name};
    }
    return left;
}

// Removes the scratch files of dead writers: under the lock all of them, else
// those older than a minute. Backups only when no journal names them any
// more: they may be all that is left of an old file.
void SweepStale(int dirfd, bool locked, bool backupsToo) {
    const time_t now = ::time(nullptr);
    for (const auto& [name, kind] : ScratchFiles(dirfd)) {
        if (kind == kJournal || (kind == kBackup && !backupsToo)) continue;
        struct stat st {};
        if (::fstatat(dirfd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
            (locked || now - st.st_mtime > kStaleSeconds))
            ::unlinkat(dirfd, name.c_str(), 0);
    }
}

// What every write does first in its folder. A journal it cannot settle is
// returned: a write over its targets could be undone once it is settled.
Leftover Tidy(const LockedFolder& dir) {
    // Without the lock a journal may be a running writer's: leave it be.
    const Leftover left = dir.locked() ? RecoverLocked(dir.fd()) : Leftover{};
    SweepStale(dir.fd(), dir.locked(), dir.locked() && left.journal.empty());
    return left;
}

struct Target {
    Entry entry;
    fs::path path;
    std::string_view content;
    bool existed = false;
    struct stat old {};
};

std::vector<Entry> EntriesOf(const std::vector<Target>& targets) {
    std::vector<Entry> entries;
    for (const Target& t : targets) entries.push_back(t.entry);
    return entries;
}

// Writes the targets, all in the locked folder: checks, temporaries, then
// (for more than one) backups and journal, renames, and the folder synced.
WriteOutcome WriteLocked(const fs::path& folder, int dirfd, std::vector<Target>& targets, WritePolicy policy) {
    for (Target& t : targets) {
        const Probe p = ProbeTarget(dirfd, t.entry.name);
        switch (p.check.state) {
            case TargetState::Missing:
                break;
            case TargetState::ReadOnly:
                if (!policy.replaceReadOnly) return {p.check.code, t.path};
                [[fallthrough]];
            case TargetState::Writable:
                t.existed = true;
                t.old = p.st;
                break;
            case TargetState::NotAFile:
            case TargetState::Unwritable:
                return {p.check.code, p.aboutFolder ? folder : t.path};
        }
    }
    auto discard = [&] { Restore(dirfd, EntriesOf(targets)); };
    for (Target& t : targets) {
        if (const int err = MakeTemp(dirfd, t.content, t.existed ? &t.old : nullptr, t.entry.tmp, t.entry.tmpIno)) {
            discard();
            return {err, t.path};
        }
    }
    // One file needs no more than a rename; several need a way back.
    const bool together = targets.size() > 1;
    std::string journal;
    if (together) {
        for (Target& t : targets) {
            if (!t.existed) continue;
            int err = EEXIST;
            for (int attempt = 0; attempt < 100 && err == EEXIST; ++attempt) {
                t.entry.bak = ScratchName(kBackup);
                err = ::linkat(dirfd, t.entry.name.c_str(), dirfd, t.entry.bak.c_str(), 0) == 0 ? 0 : errno;
            }
            if (err) {
                t.entry.bak.clear();
                discard();
                return {err, t.path};
            }
        }
        if (const int err = WriteJournal(dirfd, EntriesOf(targets), journal)) {
            discard();
            return {err, folder};
        }
    }
    auto rollBack = [&] {
        if (Restore(dirfd, EntriesOf(targets)) == 0 && ::fsync(dirfd) == 0 && !journal.empty())
            ::unlinkat(dirfd, journal.c_str(), 0);
    };
    for (Target& t : targets) {
        if (::renameat(dirfd, t.entry.tmp.c_str(), dirfd, t.entry.name.c_str()) != 0) {
            const int err = errno;
            rollBack();
            return {err, t.path};
        }
    }
    // The new names are on disk only once the folder is. A single file is in
    // place by now but may not outlive a power cut: that is still a failure.
    if (::fsync(dirfd) != 0) {
        const int err = errno;
        if (together) rollBack();
        return {err, folder};
    }
    if (together) {
        // The write is whole from here on. A journal or backup that cannot be
        // removed now is retired by the next write into the folder, which
        // finds every target in place and keeps them.
        ::unlinkat(dirfd, journal.c_str(), 0);
        ::fsync(dirfd);
        for (const Target& t : targets)
            if (!t.entry.bak.empty()) ::unlinkat(dirfd, t.entry.bak.c_str(), 0);
    }
    return {};
}

// Opens and locks the folder the targets share, tidies it and writes.
WriteOutcome WriteTargets(std::vector<Target>& targets, WritePolicy policy) {
    for (const Target& t : targets)
        if (const int err = NameError(t.entry.name)) return {err, t.path};
    const fs::path folder = FolderOf(targets.front().path);
    LockedFolder dir(folder);
    if (dir.fd() < 0) return {dir.error(), folder};
    struct stat here {};
    if (::fstat(dir.fd(), &here) != 0) return {errno, folder};
    for (const Target& t : targets) {
        const fs::path other = FolderOf(t.path);
        if (other.lexically_normal() == folder.lexically_normal()) continue;
        struct stat there {};
        if (::stat(other.c_str(), &there) != 0 || there.st_dev != here.st_dev || there.st_ino != here.st_ino)
            return {EINVAL, t.path};
    }
    if (const Leftover left = Tidy(dir); !left.journal.empty()) return {left.code, folder / left.journal};
    return WriteLocked(folder, dir.fd(), targets, policy);
}

Target TargetOf(const fs::path& path, std::string_view content) {
    Target t;
    t.entry.name = path.filename().string();
    t.path = path;
    t.content = content;
    return t;
}

}  // namespace

TargetCheck CheckWriteTarget(const fs::path& path) {
    const std::string name = path.filename().string();
    if (const int err = NameError(name)) return {TargetState::Unwritable, err};
    Fd dir{::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (dir.fd < 0) return {TargetState::Unwritable, errno};
    return ProbeTarget(dir.fd, name).check;
}

WriteOutcome WriteFileSafely(const fs::path& path, std::string_view content, WritePolicy policy) {
    std::vector<Target> targets{TargetOf(path, content)};
    return WriteTargets(targets, policy);
}

WriteOutcome WriteFilesTogether(const std::vector<FileToWrite>& files, WritePolicy policy) {
    if (files.empty()) return {};
    std::vector<Target> targets;
    for (const FileToWrite& f : files) {
        targets.push_back(TargetOf(f.path, f.content));
        for (size_t i = 0; i + 1 < targets.size(); ++i)
            if (targets[i].entry.name == targets.back().entry.name) return {EINVAL, f.path};
    }
    return WriteTargets(targets, policy);
}

void RecoverInterruptedWrites(const fs::path& folder) {
    LockedFolder dir(folder);
    if (dir.fd() >= 0) Tidy(dir);
}

}  // namespace gc
