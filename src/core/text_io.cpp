#include "core/text_io.h"

#include <cctype>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <system_error>

#include <locale.h>
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

std::optional<std::vector<std::string>> ReadLines(const std::filesystem::path& path, bool* endsWithBreak) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (endsWithBreak) *endsWithBreak = !text.empty() && text.back() == '\n';
    return SplitLines(text);
}

bool WriteFileAtomic(const std::filesystem::path& path, std::string_view content) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::is_directory(path, ec)) return false;
    fs::path tmp = path;
    tmp += StrPrintf(".tmp%ld", static_cast<long>(getpid()));
    FILE* f = std::fopen(tmp.string().c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(content.data(), 1, content.size(), f) == content.size();
    ok = std::fflush(f) == 0 && ok;
    ok = fsync(fileno(f)) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    if (ok) {
        fs::rename(tmp, path, ec);
        ok = !ec;
    }
    if (!ok) fs::remove(tmp, ec);
    return ok;
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

long CToLongHexOrDec(const char* text) {
    while (*text && std::isspace(static_cast<unsigned char>(*text))) ++text;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) return CToLong(text + 2, 16);
    return CToLong(text, 10);
}

std::string BareFileName(std::string_view path) {
    size_t cut = path.find_last_of("/\\");
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

}  // namespace gc
