// The comparison of the work image with the chip tool's image: one report
// line per field that differs, and the number of differing values.
#pragma once

#include <filesystem>
#include <string>

#include "core/model.h"

namespace gc {

struct CompareResult {
    int differences = 0;   // one per differing value (a four-value field counts each channel)
    bool written = false;  // whether the report file was written
};

// The report's text: every compared field of the chip tool's list, our work
// image against the tool image; differences receives the count.
std::string FormatCompareReport(const RegisterImage& work, const RegisterImage& tool, int& differences);

// Writes the report to path and returns the count; the count is valid even
// when the file cannot be created (nothing is written then).
CompareResult WriteCompareReport(const RegisterImage& work, const RegisterImage& tool,
                                 const std::filesystem::path& path);

}  // namespace gc
