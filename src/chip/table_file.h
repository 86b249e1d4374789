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

namespace gc {

// The line of one entry, with its line end.
std::string FormatTableLine(Model& m, const ParamEntry& e);

// The whole table of the work image (entries 41..282).
std::string FormatTableFile(Model& m);

// The whole table of the tool image (entries 283..532), in the order the
// tool-table reader expects; used by the chip-tool stand-in.
std::string FormatToolTable(Model& m);

// Writes FormatTableFile; false (and nothing written) when the file cannot be created.
bool WriteTableFile(Model& m, const std::filesystem::path& path);

// Writes FormatToolTable; false (and nothing written) when the file cannot be created.
bool WriteToolTableFile(Model& m, const std::filesystem::path& path);

// True when the line begins with the entry's name and the name is followed by
// a blank, a tab or the end of the line.
bool LineBelongsTo(std::string_view line, const ParamEntry& e);

// Parses the value text (the rest of the line after the name) into the entry.
void ParseTableValue(Model& m, const ParamEntry& e, const char* valueText);

// Reads a table into the work image: every line is matched against every entry
// 41..282; the last line of an entry wins, entries without a line keep their
// values. False, with nothing changed, when the file cannot be opened.
bool ReadTableFile(Model& m, const std::filesystem::path& path);

// Reads the chip tool's table into the tool image: line k is matched only
// with entry 283 + k, at most 250 lines. False, with nothing changed, when the
// file cannot be opened.
bool ReadToolTableFile(Model& m, const std::filesystem::path& path);

}  // namespace gc
