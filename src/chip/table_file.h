// Register tables: one line per parameter-table entry, the name followed by
// its value or its four channel values. The configurator writes and reads its
// own work image in this form, and reads the chip tool's table into the tool
// image for the comparison report.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/model.h"
#include "core/param_table.h"
#include "core/text_io.h"

namespace gc {

// The line of one entry, with its line end.
std::string FormatTableLine(const RegisterImage& image, const RegisterParam& e);

// The whole table of the work image, with the table file's names.
std::string FormatTableFile(const RegisterImage& work);

// The whole table of the tool image, with the chip tool's names, in the order
// the tool-table reader expects; used by the chip-tool stand-in.
std::string FormatToolTable(const RegisterImage& tool);

// Writes FormatTableFile; false (and nothing written) when the file cannot be created.
bool WriteTableFile(const RegisterImage& work, const std::filesystem::path& path);

// Writes FormatToolTable; false (and nothing written) when the file cannot be created.
bool WriteToolTableFile(const RegisterImage& tool, const std::filesystem::path& path);

// True when the line begins with the entry's name and the name is followed by
// a blank, a tab or the end of the line.
bool LineBelongsTo(std::string_view line, const RegisterParam& e);

// Parses the value text (the rest of the line after the name) into the entry.
void ParseTableValue(RegisterImage& image, const RegisterParam& e, const char* valueText);

// Reads a table into the work image: every line is matched against every
// entry of the table file; the last line of an entry wins, entries without a
// line keep their values. False, with nothing changed, when the file cannot
// be opened or is not text (NUL bytes, UTF-16).
bool ReadTableFile(RegisterImage& work, const std::filesystem::path& path);
void ReadTableFile(RegisterImage& work, LineReader& in);

// Reads the chip tool's table into the tool image: line k is matched only
// with entry k of the tool's list, at most 250 lines. False, with nothing
// changed, when the file cannot be opened or is not text.
bool ReadToolTableFile(RegisterImage& tool, const std::filesystem::path& path);
void ReadToolTableFile(RegisterImage& tool, LineReader& in);

}  // namespace gc
