#include "core/safe_write.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <memory>
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
    // wait false: a lock held by another writer is not waited for (locked() false).
    explicit LockedFolder(const fs::path& folder, bool wait = true)
        : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (fd_.fd < 0) {
            error_ = errno;
            return;
        }
        int r = 0;
        do r = ::flock(fd_.fd, LOCK_EX | (wait ? 0 : LOCK_NB));
        while (r != 0 && errno == EINTR);
        locked_ = r == 0;
        if (!locked_) error_ = errno;
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
    std::string name;    // the target's name in the folder
    std::string tmp;     // the new content, until renamed over the target
    std::string bak;     // a hard link to the old target; empty when there was none
    ino_t tmpIno = 0;    // tells a target renamed in from one made by someone else
    std::string folder;  // a set over several folders: the entry's folder, absolute
    int dirfd = -1;      // the entry's folder while a write or a recovery runs
};

// Undoes a set write, from any point: a target that is this write's file, or
// is gone, gets its backup back; a target that did not exist before goes when
// it is still this write's file; a target that is neither (a later write's)
// stays; scratch files go. Doing it twice does no harm. The errno of the
// first step that failed (the journal must then stay for a later try), or 0.
int Restore(const std::vector<Entry>& entries) {
    int err = 0;
    auto step = [&](int r) {
        if (r != 0 && !err) err = errno;
    };
    for (const Entry& e : entries) {
        const int dirfd = e.dirfd;
        struct stat now {};
        const bool present = ::fstatat(dirfd, e.name.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0;
        const bool ours = present && now.st_ino == e.tmpIno;
        struct stat bak {};
        if (!e.bak.empty() && ::fstatat(dirfd, e.bak.c_str(), &bak, AT_SYMLINK_NOFOLLOW) == 0) {
            if (!present || ours) {
                step(::renameat(dirfd, e.bak.c_str(), dirfd, e.name.c_str()));
            } else {
                step(::unlinkat(dirfd, e.bak.c_str(), 0));
            }
        } else if (e.bak.empty() && ours) {
            step(::unlinkat(dirfd, e.name.c_str(), 0));
        }
        if (!e.tmp.empty() && ::unlinkat(dirfd, e.tmp.c_str(), 0) != 0 && errno != ENOENT) step(-1);
    }
    return err;
}

// Whether every target of a set write is the file the write put there: the
// write ran to its end and only its retirement was cut short, so it is kept.
bool AllInPlace(const std::vector<Entry>& entries) {
    for (const Entry& e : entries) {
        struct stat now {};
        if (::fstatat(e.dirfd, e.name.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0 || now.st_ino != e.tmpIno) return false;
    }
    return !entries.empty();
}

// Retires a set write that is in place: its backups and temporaries go. The
// errno of the first removal that failed, or 0.
int KeepWrite(const std::vector<Entry>& entries) {
    int err = 0;
    for (const Entry& e : entries)
        for (const std::string* name : {&e.bak, &e.tmp})
            if (!name->empty() && ::unlinkat(e.dirfd, name->c_str(), 0) != 0 && errno != ENOENT && !err) err = errno;
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
// temporary's inode; a set over several folders (version 2) puts the target's
// folder, absolute and in hex, first, and leaves the same journal in each. It
// is synced before the first rename, so one without its last line was cut
// before any target changed.
constexpr std::string_view kJournalHeader2 = "gc5016 journal 2";

std::string JournalText(const std::vector<Entry>& entries) {
    const bool across = !entries.empty() && !entries.front().folder.empty();
    std::string text = std::string(across ? kJournalHeader2 : kJournalHeader) + "\n";
    for (const Entry& e : entries)
        text += (across ? Hex(e.folder) + " " : std::string()) + Hex(e.name) + " " + e.tmp + " " +
                (e.bak.empty() ? "-" : e.bak) + " " + std::to_string(e.tmpIno) + "\n";
    return text + "end\n";
}

// The entries of a journal's whole lines; a line that is not whole or not of
// this form is skipped (its scratch files go with the stale ones).
std::vector<Entry> ParseJournal(std::string_view text) {
    std::vector<Entry> entries;
    const size_t headerEnd = text.find('\n');
    if (headerEnd == std::string_view::npos) return entries;
    const std::string_view header = text.substr(0, headerEnd);
    if (header != kJournalHeader && header != kJournalHeader2) return entries;
    const size_t want = header == kJournalHeader2 ? 5 : 4;
    text.remove_prefix(headerEnd + 1);
    for (size_t nl; (nl = text.find('\n')) != std::string_view::npos; text.remove_prefix(nl + 1)) {
        std::string_view fields[5];
        std::string_view line = text.substr(0, nl);
        size_t count = 0;
        for (; count < want && !line.empty(); ++count) {
            const size_t sp = line.find(' ');
            fields[count] = line.substr(0, sp);
            line = sp == std::string_view::npos ? std::string_view{} : line.substr(sp + 1);
        }
        Entry e;
        if (count != want || !line.empty()) continue;
        const std::string_view* f = fields;
        if (want == 5 &&
            (!Unhex(*f++, e.folder) || !e.folder.starts_with('/') || e.folder.find('\0') != std::string::npos))
            continue;
        if (!Unhex(f[0], e.name) || NameError(e.name) || e.name.find('/') != std::string::npos ||
            ScratchKind(f[1]) != kTemp)
            continue;
        e.tmp = f[1];
        if (f[2] != "-") {
            if (ScratchKind(f[2]) != kBackup) continue;
            e.bak = f[2];
        }
        e.tmpIno = std::strtoull(std::string(f[3]).c_str(), nullptr, 10);
        if (e.tmpIno == 0) continue;
        entries.push_back(std::move(e));
    }
    return entries;
}

// Writes the journal under a new name, or under name when one is given (the
// same journal in a second folder).
int WriteJournal(int dirfd, const std::vector<Entry>& entries, std::string& name) {
    Fd fd{-1};
    const bool named = !name.empty();
    for (int attempt = 0; attempt < 100 && fd.fd < 0; ++attempt) {
        if (!named) name = ScratchName(kJournal);
        fd.fd = ::openat(dirfd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd.fd < 0 && (errno != EEXIST || named)) break;
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

// A folder whose lock this write holds, known by its device and inode.
struct HeldFolder {
    int fd;
    dev_t dev;
    ino_t ino;
};

// Gives each entry its folder's descriptor: the folder being tidied, one the
// write holds, or another, locked without waiting (a writer there may wait
// for this folder). Entries in a folder that is gone are dropped: the set
// can no longer be whole there. 0 or the errno.
int BindFolders(std::vector<Entry>& entries, int dirfd, const std::vector<HeldFolder>& held,
                std::vector<std::unique_ptr<LockedFolder>>& opened) {
    std::vector<Entry> kept;
    struct stat here {};
    if (::fstat(dirfd, &here) != 0) return errno;
    for (Entry& e : entries) {
        e.dirfd = dirfd;
        if (!e.folder.empty()) {
            struct stat st {};
            if (::stat(e.folder.c_str(), &st) != 0) {
                if (errno == ENOENT || errno == ENOTDIR) continue;
                return errno;
            }
            e.dirfd = st.st_dev == here.st_dev && st.st_ino == here.st_ino ? dirfd : -1;
            for (const HeldFolder& h : held)
                if (e.dirfd < 0 && h.dev == st.st_dev && h.ino == st.st_ino) e.dirfd = h.fd;
            if (e.dirfd < 0) {
                auto lock = std::make_unique<LockedFolder>(e.folder, false);
                if (!lock->locked()) return lock->error() ? lock->error() : EWOULDBLOCK;
                e.dirfd = lock->fd();
                opened.push_back(std::move(lock));
            }
        }
        kept.push_back(std::move(e));
    }
    entries = std::move(kept);
    return 0;
}

// Settles every set write a kill or a failing disk left in the folder (the
// lock must be held): one whose targets are all in place is kept (it may
// have been reported as written), any other is rolled back, in every folder
// it wrote to. A journal that is left is returned with the cause; code 0 and
// no name when none is left.
struct Leftover {
    int code = 0;
    std::string journal;
};
Leftover RecoverLocked(int dirfd, const std::vector<HeldFolder>& held) {
    Leftover left;
    for (const auto& [name, kind] : ScratchFiles(dirfd)) {
        if (kind != kJournal) continue;
        errno = 0;
        const std::optional<std::string> text = ReadJournal(dirfd, name);
        int err = text ? 0 : errno ? errno : EIO;
        if (text) {
            std::vector<Entry> entries = ParseJournal(*text);
            std::vector<std::unique_ptr<LockedFolder>> opened;
            err = BindFolders(entries, dirfd, held, opened);
            if (!err) err = AllInPlace(entries) ? KeepWrite(entries) : Restore(entries);
            // The same journal stands in every folder of the set.
            std::vector<int> fds{dirfd};
            for (const Entry& e : entries)
                if (std::find(fds.begin(), fds.end(), e.dirfd) == fds.end()) fds.push_back(e.dirfd);
            for (const int fd : fds)
                if (!err && ::fsync(fd) != 0) err = errno;
            for (auto it = fds.rbegin(); it != fds.rend(); ++it)
                if (!err && ::unlinkat(*it, name.c_str(), 0) != 0 && errno != ENOENT) err = errno;
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
Leftover Tidy(const LockedFolder& dir, const std::vector<HeldFolder>& held = {}) {
    // Without the lock a journal may be a running writer's: leave it be.
    const Leftover left = dir.locked() ? RecoverLocked(dir.fd(), held) : Leftover{};
    SweepStale(dir.fd(), dir.locked(), dir.locked() && left.journal.empty());
    return left;
}

struct Target {
    Entry entry;
    fs::path path;  // as the caller names it
    fs::path real;  // where it is written: a symbolic link is followed to its target
    std::string_view content;
    bool existed = false;
    struct stat old {};
};

std::vector<Entry> EntriesOf(const std::vector<Target>& targets) {
    std::vector<Entry> entries;
    for (const Target& t : targets) entries.push_back(t.entry);
    return entries;
}

// Writes the targets, their folders locked: checks, temporaries, then (for
// more than one) backups and journal (in each folder), renames, and the
// folders synced.
WriteOutcome WriteLocked(std::vector<Target>& targets, WritePolicy policy) {
    for (Target& t : targets) {
        const Probe p = ProbeTarget(t.entry.dirfd, t.entry.name);
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
                return {p.check.code, p.aboutFolder ? FolderOf(t.real) : t.path};
        }
    }
    // Each folder once, with a target's path to name it by.
    std::vector<std::pair<int, fs::path>> folders;
    for (const Target& t : targets)
        if (std::none_of(folders.begin(), folders.end(), [&](const auto& f) { return f.first == t.entry.dirfd; }))
            folders.emplace_back(t.entry.dirfd, FolderOf(t.real));
    auto discard = [&] { Restore(EntriesOf(targets)); };
    for (Target& t : targets) {
        if (const int err =
                MakeTemp(t.entry.dirfd, t.content, t.existed ? &t.old : nullptr, t.entry.tmp, t.entry.tmpIno)) {
            discard();
            return {err, t.path};
        }
    }
    // One file needs no more than a rename; several need a way back.
    const bool together = targets.size() > 1;
    std::string journal;
    std::vector<int> journaled;  // the folders that hold it
    auto dropJournals = [&] {
        for (const int fd : journaled) ::unlinkat(fd, journal.c_str(), 0);
    };
    if (together) {
        for (Target& t : targets) {
            if (!t.existed) continue;
            const int dirfd = t.entry.dirfd;
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
        for (const auto& [fd, folder] : folders) {
            std::string name = journal;
            if (const int err = WriteJournal(fd, EntriesOf(targets), name)) {
                dropJournals();
                discard();
                return {err, folder};
            }
            journal = name;
            journaled.push_back(fd);
        }
    }
    auto rollBack = [&] {
        if (Restore(EntriesOf(targets)) != 0) return;
        for (const auto& f : folders)
            if (::fsync(f.first) != 0) return;
        dropJournals();
    };
    for (Target& t : targets) {
        if (::renameat(t.entry.dirfd, t.entry.tmp.c_str(), t.entry.dirfd, t.entry.name.c_str()) != 0) {
            const int err = errno;
            rollBack();
            return {err, t.path};
        }
    }
    // The new names are on disk only once the folder is. A single file is in
    // place by now but may not outlive a power cut: that is still a failure.
    for (const auto& [fd, folder] : folders) {
        if (::fsync(fd) != 0) {
            const int err = errno;
            if (together) rollBack();
            return {err, folder};
        }
    }
    if (together) {
        // The write is whole from here on. A journal or backup that cannot be
        // removed now is retired by the next write into the folder, which
        // finds every target in place and keeps them.
        dropJournals();
        for (const auto& f : folders) ::fsync(f.first);
        for (const Target& t : targets)
            if (!t.entry.bak.empty()) ::unlinkat(t.entry.dirfd, t.entry.bak.c_str(), 0);
    }
    return {};
}

// Opens and locks the targets' folders, tidies them and writes. Folders are
// locked in one order (device, inode), so two writers never wait on each
// other; acrossFolders false: every target must be named in the first one's
// folder (a link among them may still lead elsewhere).
WriteOutcome WriteTargets(std::vector<Target>& targets, WritePolicy policy, bool acrossFolders = false) {
    for (const Target& t : targets)
        if (const int err = NameError(t.entry.name)) return {err, t.path};
    if (!acrossFolders) {
        const fs::path first = FolderOf(targets.front().path);
        struct stat here {};
        const bool known = ::stat(first.c_str(), &here) == 0;
        for (const Target& t : targets) {
            const fs::path other = FolderOf(t.path);
            if (other.lexically_normal() == first.lexically_normal()) continue;
            struct stat there {};
            if (!known || ::stat(other.c_str(), &there) != 0 || there.st_dev != here.st_dev ||
                there.st_ino != here.st_ino)
                return {EINVAL, t.path};
        }
    }
    struct Folder {
        fs::path path;
        struct stat st {};
        std::unique_ptr<LockedFolder> lock;
    };
    std::vector<Folder> folders;
    std::vector<size_t> folderOf;
    for (const Target& t : targets) {
        const fs::path path = FolderOf(t.real);
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) return {errno, path};
        size_t i = 0;
        while (i < folders.size() && (folders[i].st.st_dev != st.st_dev || folders[i].st.st_ino != st.st_ino)) ++i;
        if (i == folders.size()) folders.push_back({path, st, nullptr});
        folderOf.push_back(i);
    }
    std::vector<size_t> order(folders.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return std::pair(folders[a].st.st_dev, folders[a].st.st_ino) <
               std::pair(folders[b].st.st_dev, folders[b].st.st_ino);
    });
    std::vector<HeldFolder> held;
    for (const size_t i : order) {
        Folder& f = folders[i];
        f.lock = std::make_unique<LockedFolder>(f.path);
        if (f.lock->fd() < 0) return {f.lock->error(), f.path};
        held.push_back({f.lock->fd(), f.st.st_dev, f.st.st_ino});
    }
    for (const size_t i : order)
        if (const Leftover left = Tidy(*folders[i].lock, held); !left.journal.empty())
            return {left.code, folders[i].path / left.journal};
    std::error_code ec;
    for (size_t k = 0; k < targets.size(); ++k) {
        const Folder& f = folders[folderOf[k]];
        targets[k].entry.dirfd = f.lock->fd();
        if (folders.size() > 1) targets[k].entry.folder = fs::absolute(f.path, ec).lexically_normal().string();
    }
    return WriteLocked(targets, policy);
}

// The file a write replaces: a symbolic link is followed (a link to a link
// too), so that the file it names gets the content and the link stays. A loop
// is left as it is: the write then fails on it with the system's cause.
fs::path RealTarget(const fs::path& path) {
    fs::path p = path;
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(p, ec)) || ec) return p;
        const fs::path link = fs::read_symlink(p, ec);
        if (ec) return p;
        p = link.is_absolute() ? link : FolderOf(p) / link;
    }
    return p;
}

Target TargetOf(const fs::path& path, std::string_view content) {
    Target t;
    t.real = RealTarget(path);
    t.entry.name = t.real.filename().string();
    t.path = path;
    t.content = content;
    return t;
}

}  // namespace

TargetCheck CheckWriteTarget(const fs::path& linkOrPath) {
    const fs::path path = RealTarget(linkOrPath);
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

namespace {
WriteOutcome WriteSet(const std::vector<FileToWrite>& files, WritePolicy policy, bool acrossFolders) {
    if (files.empty()) return {};
    std::vector<Target> targets;
    for (const FileToWrite& f : files) {
        targets.push_back(TargetOf(f.path, f.content));
        for (size_t i = 0; i + 1 < targets.size(); ++i)
            if (targets[i].real.lexically_normal() == targets.back().real.lexically_normal() ||
                (!acrossFolders && targets[i].entry.name == targets.back().entry.name))
                return {EINVAL, f.path};
    }
    return WriteTargets(targets, policy, acrossFolders);
}
}  // namespace

WriteOutcome WriteFilesTogether(const std::vector<FileToWrite>& files, WritePolicy policy) {
    return WriteSet(files, policy, false);
}

WriteOutcome WriteFileSet(const std::vector<FileToWrite>& files, WritePolicy policy) {
    return WriteSet(files, policy, true);
}

void RecoverInterruptedWrites(const fs::path& folder) {
    LockedFolder dir(folder);
    if (dir.fd() >= 0) Tidy(dir);
}

}  // namespace gc
