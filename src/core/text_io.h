// Text input and output shared by every file reader and writer.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gc {

// All lines of a text file, whole, whatever their length, without their line
// break ("\n" or "\r\n"). A last line without a break counts when it holds text.
// nullopt when the file cannot be opened. endsWithBreak, when given, tells
// whether the text ends with a line break (readers that take only finished
// lines need it).
std::optional<std::vector<std::string>> ReadLines(const std::filesystem::path& path, bool* endsWithBreak = nullptr);

// Splits text into lines by the same rule.
std::vector<std::string> SplitLines(std::string_view text);

// Writes the file through a temporary file in the same folder and a rename, so
// that a failed write never leaves a truncated file in place of a good one.
bool WriteFileAtomic(const std::filesystem::path& path, std::string_view content);

// printf-style formatting into a string.
std::string StrPrintf(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// The C library's conversions, on text that need not end where the number does.
// Both skip leading white space and give 0 when no number is there.
long CToLong(const char* text, int base, const char** end = nullptr);
double CToDouble(const char* text, const char** end = nullptr);

// Integer written in decimal or, after "0x"/"0X", in hexadecimal.
long CToLongHexOrDec(const char* text);

// The file name after the last '/' or '\'.
std::string BareFileName(std::string_view path);

}  // namespace gc
