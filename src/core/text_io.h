// Text input and output shared by every file reader and writer.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/safe_write.h"

namespace gc {

// Every format's real files are a few kilobytes with lines under 80
// characters; these bounds sit far above that, so that no input (a device, a
// huge or binary file) can hang a reader or take memory in proportion to its size.
struct TextLimits {
    size_t maxLineBytes = 4096;               // the rest of a longer line is skipped
    size_t maxTotalBytes = size_t{16} << 20;  // reading stops there
    // A start that is not text (NUL bytes, UTF-16 without a mark) does not
    // open: readers whose every line feeds registers or a written file would
    // otherwise take the pieces between the NULs as values.
    bool textOnly = false;
};
inline constexpr TextLimits kTextOnly{.textOnly = true};

// Bytes in memory to be read as text (a tag, so that a string is never taken
// for a path or the other way round).
struct TextBytes {
    std::string_view bytes;
};

// Reads text one line at a time, from a file or from bytes in memory, with
// bounded memory. Only a regular file opens: a device, a pipe or a folder is
// treated as a missing file, so that /dev/zero or a FIFO never hangs a reader.
// A UTF-8 byte order mark at the start is skipped; text that starts with a
// UTF-16 one does not open (every line would be misread).
class LineReader {
public:
    // Text in memory; the bytes must outlive the reader.
    explicit LineReader(TextBytes text, TextLimits limits = {});
    explicit LineReader(const std::filesystem::path& path, TextLimits limits = {});
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    bool is_open() const { return open_; }
    // The next line without its break ("\n" or "\r\n"), cut to maxLineBytes.
    // A last line without a break counts when it holds text. False at the end.
    bool Next(std::string& line);
    // Whether the line Next gave last ended with a line break (readers that
    // take only finished lines need it).
    bool lineEnded() const { return lineEnded_; }
    // Reading stopped at maxTotalBytes with more text in the file; the line cut
    // there is not given.
    bool truncated() const { return truncated_; }

private:
    bool Fill();
    bool StartText();  // false for text that must not be read

    TextLimits limits_;
    int fd_ = -1;
    bool open_ = false;
    bool lineEnded_ = false;
    bool truncated_ = false;
    bool eof_ = false;
    bool overLimit_ = false;  // bytes in memory beyond maxTotalBytes
    size_t consumed_ = 0;     // bytes taken from the source so far
    std::string buffer_;      // file input not yet split; unused for bytes in memory
    std::string_view pending_;
};

// What a reader will find at a path.
enum class TextFileState {
    Readable,    // a regular file within the bounds
    Unopenable,  // missing, unreadable, or not a regular file
    TooLong,     // a regular file longer than maxTotalBytes: only its head is read
};
TextFileState CheckTextFile(const std::filesystem::path& path, TextLimits limits = {});

// Why a file could not be read as text, so that a caller can name the cause
// (and never take an unreadable file for a missing one and replace it).
enum class TextProblem { None, Missing, Unreadable, NotAFile, Utf16LE, Utf16BE, Binary };
struct TextInspection {
    TextProblem problem = TextProblem::None;
    int code = 0;  // errno for Unreadable; EISDIR for a folder
};
// Looks at the first 64 KiB: UTF-16 by its byte order mark, or without one
// by NUL bytes beside every character of an ASCII start; any other NUL byte
// makes the file Binary.
TextInspection InspectTextFile(const std::filesystem::path& path);
// The same look at bytes already read (problems Utf16LE, Utf16BE, Binary or None).
TextProblem InspectTextBytes(std::string_view head);
// UTF-16 or binary: text that a line reader would misread.
inline bool IsNotText(TextProblem p) {
    return p == TextProblem::Utf16LE || p == TextProblem::Utf16BE || p == TextProblem::Binary;
}
// The cause in English: "Permission denied", "is a folder", "UTF-16LE text,
// not UTF-8 (save it as UTF-8)", "holds NUL bytes: not a text file", ...
std::string TextProblemText(const TextInspection& r);

// All lines of a text file, read by LineReader (so bounded the same way).
// nullopt when the file cannot be opened. endsWithBreak, when given, tells
// whether the text read ends with a line break.
std::optional<std::vector<std::string>> ReadLines(const std::filesystem::path& path, bool* endsWithBreak = nullptr);

// Splits text into lines by the same rule.
std::vector<std::string> SplitLines(std::string_view text);

// WriteFileSafely, for writers that need only whether it worked.
bool WriteFileAtomic(const std::filesystem::path& path, std::string_view content);

// printf-style formatting into a string.
std::string StrPrintf(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// The C library's conversions, on text that need not end where the number does.
// Both skip leading white space and give 0 when no number is there.
long CToLong(const char* text, int base, const char** end = nullptr);
double CToDouble(const char* text, const char** end = nullptr);

// Integer written in decimal or, after "0x"/"0X", in hexadecimal.
long CToLongHexOrDec(const char* text, const char** end = nullptr);

// The file name after the last '/' or '\'.
std::string BareFileName(std::string_view path);

}  // namespace gc
