// A library the writers' fault tests preload (LD_PRELOAD): it wraps the C
// library calls a writer makes, so a test can make one of them fail the way a
// full disk or a dying disk would, or kill the process right there.
//
// GC5016_FAULTS, read at every call (a test may set and unset it at will):
// rules separated by ',', each CALL:N:ACTION, then optionally '#' and a tag.
//   CALL    write, fsync, openat, renameat, linkat, unlinkat, fchmod, fchown,
//           open (the readers' opens by path)
//   N       which call of that kind fails, counted from 1 since the variable
//           took its present value (a new tag restarts the count)
//   ACTION  an errno name (ENOSPC, EDQUOT, EIO, EACCES, EPERM, EROFS, EMLINK,
//           EXDEV, ENOENT, EEXIST) or its number, or "kill" (SIGKILL at that
//           call); any other word fails with EIO
// Example: GC5016_FAULTS="write:1:ENOSPC", or "renameat:2:kill#7".
#undef _FORTIFY_SOURCE

#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

enum Call { kWrite, kFsync, kOpenat, kRenameat, kLinkat, kUnlinkat, kFchmod, kFchown, kOpen, kCallKinds };
constexpr std::string_view kCallNames[kCallKinds] = {"write",    "fsync",  "openat", "renameat", "linkat",
                                                     "unlinkat", "fchmod", "fchown", "open"};

struct ErrnoName {
    std::string_view name;
    int code;
};
constexpr ErrnoName kErrnos[] = {{"ENOSPC", ENOSPC}, {"EDQUOT", EDQUOT}, {"EIO", EIO},       {"EACCES", EACCES},
                                 {"EPERM", EPERM},   {"EROFS", EROFS},   {"EMLINK", EMLINK}, {"EXDEV", EXDEV},
                                 {"ENOENT", ENOENT}, {"EEXIST", EEXIST}};

char g_rules[1024];  // the value the counts belong to
bool g_haveRules = false;
long g_counts[kCallKinds];

// A decimal number, or -1.
long Number(std::string_view text) {
    long n = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return -1;
        n = n * 10 + (c - '0');
    }
    return text.empty() ? -1 : n;
}

// The errno this call is to fail with, or 0 to let it through.
int Fault(Call call) {
    const char* value = std::getenv("GC5016_FAULTS");
    if (!value) {
        g_haveRules = false;
        return 0;
    }
    if (!g_haveRules || std::strcmp(value, g_rules) != 0) {
        std::strncpy(g_rules, value, sizeof g_rules - 1);
        std::memset(g_counts, 0, sizeof g_counts);
        g_haveRules = true;
    }
    const long n = ++g_counts[call];
    std::string_view rules(value);
    rules = rules.substr(0, rules.find('#'));
    while (!rules.empty()) {
        const size_t comma = rules.find(',');
        std::string_view rule = rules.substr(0, comma);
        rules = comma == std::string_view::npos ? std::string_view{} : rules.substr(comma + 1);
        const size_t c1 = rule.find(':'), c2 = rule.find(':', c1 + 1);
        if (c1 == std::string_view::npos || c2 == std::string_view::npos) continue;
        if (rule.substr(0, c1) != kCallNames[call]) continue;
        if (Number(rule.substr(c1 + 1, c2 - c1 - 1)) != n) continue;
        const std::string_view action = rule.substr(c2 + 1);
        if (action == "kill") ::kill(::getpid(), SIGKILL);
        for (const ErrnoName& e : kErrnos)
            if (action == e.name) return e.code;
        const long code = Number(action);
        return code > 0 ? static_cast<int>(code) : EIO;
    }
    return 0;
}

template <typename F>
F Real(const char* name) {
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" {

// Lets a test check that the library is loaded.
int gc5016_faults_loaded = 1;

ssize_t write(int fd, const void* buf, size_t count) {
    static const auto real = Real<ssize_t (*)(int, const void*, size_t)>("write");
    if (const int e = Fault(kWrite)) return errno = e, -1;
    return real(fd, buf, count);
}

int fsync(int fd) {
    static const auto real = Real<int (*)(int)>("fsync");
    if (const int e = Fault(kFsync)) return errno = e, -1;
    return real(fd);
}

int openat(int dirfd, const char* path, int flags, ...) {
    static const auto real = Real<int (*)(int, const char*, int, ...)>("openat");
    mode_t mode = 0;
    if ((flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE) {
        va_list ap;
        va_start(ap, flags);
        mode = static_cast<mode_t>(va_arg(ap, int));
        va_end(ap);
    }
    if (const int e = Fault(kOpenat)) return errno = e, -1;
    return real(dirfd, path, flags, mode);
}

int open(const char* path, int flags, ...) {
    static const auto real = Real<int (*)(const char*, int, ...)>("open");
    mode_t mode = 0;
    if ((flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE) {
        va_list ap;
        va_start(ap, flags);
        mode = static_cast<mode_t>(va_arg(ap, int));
        va_end(ap);
    }
    if (const int e = Fault(kOpen)) return errno = e, -1;
    return real(path, flags, mode);
}

int renameat(int olddirfd, const char* oldpath, int newdirfd, const char* newpath) {
    static const auto real = Real<int (*)(int, const char*, int, const char*)>("renameat");
    if (const int e = Fault(kRenameat)) return errno = e, -1;
    return real(olddirfd, oldpath, newdirfd, newpath);
}

int linkat(int olddirfd, const char* oldpath, int newdirfd, const char* newpath, int flags) {
    static const auto real = Real<int (*)(int, const char*, int, const char*, int)>("linkat");
    if (const int e = Fault(kLinkat)) return errno = e, -1;
    return real(olddirfd, oldpath, newdirfd, newpath, flags);
}

int unlinkat(int dirfd, const char* path, int flags) {
    static const auto real = Real<int (*)(int, const char*, int)>("unlinkat");
    if (const int e = Fault(kUnlinkat)) return errno = e, -1;
    return real(dirfd, path, flags);
}

int fchmod(int fd, mode_t mode) {
    static const auto real = Real<int (*)(int, mode_t)>("fchmod");
    if (const int e = Fault(kFchmod)) return errno = e, -1;
    return real(fd, mode);
}

int fchown(int fd, uid_t owner, gid_t group) {
    static const auto real = Real<int (*)(int, uid_t, gid_t)>("fchown");
    if (const int e = Fault(kFchown)) return errno = e, -1;
    return real(fd, owner, group);
}

}  // extern "C"
