#include "core/text_io.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>
#include <clocale>

namespace gc {

namespace {

// File formats use '.' whatever locale the process runs in (a GUI toolkit may
// have switched LC_NUMERIC to the user's, where the decimal point is ',').
class CNumericLocale {
public:
    CNumericLocale() : old_(c_locale() ? uselocale(c_locale()) : nullptr) {}
    ~CNumericLocale() {
        if (old_) uselocale(old_);
    }
    CNumericLocale(const CNumericLocale&) = delete;
    CNumericLocale& operator=(const CNumericLocale&) = delete;

private:
    static locale_t c_locale() {
        static const locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
        return loc;
    }
    locale_t old_;
};

// Byte order marks: UTF-8's is skipped; a UTF-16 text read byte by byte
// would give every line with a NUL between its characters.
enum class Bom { None, Utf8, Utf16LE, Utf16BE };

Bom BomOf(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) return Bom::Utf8;
    if (text.starts_with("\xFF\xFE")) return Bom::Utf16LE;
    if (text.starts_with("\xFE\xFF")) return Bom::Utf16BE;
    return Bom::None;
}

// UTF-16 without a mark: its first characters are ASCII, each with a NUL
// after it (little-endian, zeroAt 1) or before it (big-endian, zeroAt 0).
bool LooksUtf16(std::string_view head, size_t zeroAt) {
    const size_t units = std::min<size_t>(head.size() / 2, 32);
    for (size_t i = 0; i < units; ++i) {
        const unsigned char z = static_cast<unsigned char>(head[2 * i + zeroAt]);
        const unsigned char c = static_cast<unsigned char>(head[2 * i + 1 - zeroAt]);
        if (z != 0 || c == 0 || c > 0x7F) return false;
    }
    return units > 0;
}

}  // namespace

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t nl = text.find('\n', start);
        size_t stop = nl == std::string_view::npos ? text.size() : nl;
        std::string_view line = text.substr(start, stop - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
        if (nl == std::string_view::npos) break;
        start = nl + 1;
    }
    return lines;
}

LineReader::LineReader(TextBytes text, TextLimits limits) : limits_(limits), open_(true) {
    pending_ = text.bytes.substr(0, std::min(text.bytes.size(), limits_.maxTotalBytes));
    consumed_ = pending_.size();
    overLimit_ = text.bytes.size() > pending_.size();
    open_ = StartText();
}

LineReader::LineReader(const std::filesystem::path& path, TextLimits limits) : limits_(limits) {
    // O_NONBLOCK: opening a FIFO must not wait for a writer, and a special file
    // that claims to be regular (/proc/kmsg) must not block a read.
    fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) return;
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        return;
    }
    Fill();
    open_ = StartText();
    if (!open_) {
        ::close(fd_);
        fd_ = -1;
    }
}

bool LineReader::StartText() {
    // The first chunk stands for the file: real files fit in it whole.
    if (limits_.textOnly && IsNotText(InspectTextBytes(pending_))) return false;
    switch (BomOf(pending_)) {
        case Bom::None:
            break;
        case Bom::Utf8:
            pending_.remove_prefix(3);
            break;
        case Bom::Utf16LE:
        case Bom::Utf16BE:
            return false;
    }
    return true;
}

LineReader::~LineReader() {
    if (fd_ >= 0) ::close(fd_);
}

bool LineReader::Fill() {
    if (eof_) return false;
    if (fd_ < 0) {
        eof_ = true;
        truncated_ = overLimit_;
        return false;
    }
    if (consumed_ >= limits_.maxTotalBytes) {
        char probe = 0;
        ssize_t n = 0;
        do n = ::read(fd_, &probe, 1);
        while (n < 0 && errno == EINTR);
        truncated_ = n > 0;
        eof_ = true;
        return false;
    }
    constexpr size_t kChunk = 64 * 1024;
    const size_t want = std::min(kChunk, limits_.maxTotalBytes - consumed_);
    buffer_.resize(want);
    ssize_t n = 0;
    do n = ::read(fd_, buffer_.data(), want);
    while (n < 0 && errno == EINTR);
    // A read error (EAGAIN from a special file, EIO) ends the text like its end.
    if (n <= 0) {
        eof_ = true;
        return false;
    }
    consumed_ += static_cast<size_t>(n);
    pending_ = std::string_view(buffer_.data(), static_cast<size_t>(n));
    return true;
}

bool LineReader::Next(std::string& line) {
    line.clear();
    lineEnded_ = false;
    if (!open_) return false;
    // One byte past the bound is kept so that a '\r' before the break can go.
    const size_t keep = limits_.maxLineBytes + 1;
    bool any = false;
    for (;;) {
        if (pending_.empty() && !Fill()) {
            if (truncated_ || !any) {
                line.clear();
                return false;
            }
            break;
        }
        any = true;
        const size_t nl = pending_.find('\n');
        const std::string_view part = pending_.substr(0, nl);
        if (line.size() < keep) line.append(part.substr(0, keep - line.size()));
        if (nl != std::string_view::npos) {
            pending_.remove_prefix(nl + 1);
            lineEnded_ = true;
            break;
        }
        pending_ = {};
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > limits_.maxLineBytes) line.resize(limits_.maxLineBytes);
    return true;
}

TextFileState CheckTextFile(const std::filesystem::path& path, TextLimits limits) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return TextFileState::Unopenable;
    struct stat st {};
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ::close(fd);
    if (!regular) return TextFileState::Unopenable;
    return static_cast<size_t>(st.st_size) > limits.maxTotalBytes ? TextFileState::TooLong : TextFileState::Readable;
}

TextInspection InspectTextFile(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return {errno == ENOENT ? TextProblem::Missing : TextProblem::Unreadable, errno};
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return {TextProblem::NotAFile, S_ISDIR(st.st_mode) ? EISDIR : 0};
    }
    std::string head(64 * 1024, '\0');
    size_t got = 0;
    int err = 0;
    while (got < head.size()) {
        const ssize_t n = ::read(fd, head.data() + got, head.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) err = errno;
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    if (err && err != EAGAIN) return {TextProblem::Unreadable, err};
    return {InspectTextBytes(std::string_view(head.data(), got))};
}

TextProblem InspectTextBytes(std::string_view text) {
    switch (BomOf(text)) {
        case Bom::Utf16LE:
            return TextProblem::Utf16LE;
        case Bom::Utf16BE:
            return TextProblem::Utf16BE;
        case Bom::Utf8:
            text.remove_prefix(3);
            break;
        case Bom::None:
            break;
    }
    if (LooksUtf16(text, 1)) return TextProblem::Utf16LE;
    if (LooksUtf16(text, 0)) return TextProblem::Utf16BE;
    if (text.find('\0') != std::string_view::npos) return TextProblem::Binary;
    return TextProblem::None;
}

std::string TextProblemText(const TextInspection& r) {
    switch (r.problem) {
        case TextProblem::None:
            return "";
        case TextProblem::Missing:
            return "no such file";
        case TextProblem::Unreadable:
            return ErrnoText(r.code);
        case TextProblem::NotAFile:
            return r.code == EISDIR ? "is a folder" : "not a regular file";
        case TextProblem::Utf16LE:
            return "UTF-16LE text, not UTF-8 (save it as UTF-8)";
        case TextProblem::Utf16BE:
            return "UTF-16BE text, not UTF-8 (save it as UTF-8)";
        case TextProblem::Binary:
            return "holds NUL bytes: not a text file";
    }
    return "";
}

std::optional<std::vector<std::string>> ReadLines(const std::filesystem::path& path, bool* endsWithBreak) {
    LineReader in(path);
    if (!in.is_open()) return std::nullopt;
    std::vector<std::string> lines;
    std::string line;
    bool ended = false;
    while (in.Next(line)) {
        lines.push_back(line);
        ended = in.lineEnded();
    }
    if (endsWithBreak) *endsWithBreak = ended;
    return lines;
}

bool WriteFileAtomic(const std::filesystem::path& path, std::string_view content) {
    return WriteFileSafely(path, content).ok();
}

std::string StrPrintf(const char* fmt, ...) {
    CNumericLocale c;
    va_list ap;
    va_start(ap, fmt);
    va_list ap2;
    va_copy(ap2, ap);
    int n = std::vsnprintf(nullptr, 0, fmt, ap);
    va_end(ap);
    std::string out;
    if (n > 0) {
        out.resize(static_cast<size_t>(n) + 1);
        std::vsnprintf(out.data(), out.size(), fmt, ap2);
        out.resize(static_cast<size_t>(n));
    }
    va_end(ap2);
    return out;
}

long CToLong(const char* text, int base, const char** end) {
    char* e = nullptr;
    errno = 0;
    long v = std::strtol(text, &e, base);
    if (end) *end = e;
    return v;
}

double CToDouble(const char* text, const char** end) {
    CNumericLocale c;
    char* e = nullptr;
    double v = std::strtod(text, &e);
    if (end) *end = e;
    return v;
}

long CToLongHexOrDec(const char* text, const char** end) {
    const char* const start = text;
    while (*text && std::isspace(static_cast<unsigned char>(*text))) ++text;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        const long v = CToLong(text + 2, 16, end);
        if (end && *end == text + 2) *end = start;  // "0x" alone is no number
        return v;
    }
    return CToLong(text, 10, end);
}

std::string BareFileName(std::string_view path) {
    size_t cut = path.find_last_of("/\\");
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

}  // namespace gc
