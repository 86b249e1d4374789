// The command script "workcmd" that describes the configuration to the chip
// tool in its own terms, so that its register table can be compared with ours.
#pragma once

#include <filesystem>
#include <string>

#include "core/model.h"

namespace gc {

// The script's text, byte for byte, from the work image and EnableTDM.
std::string FormatCommandScript(const Settings& settings, const RegisterImage& work);

// Writes the script to path: 1 when written, -1 when the file cannot be
// created (nothing is written then).
int WriteCommandScript(const Settings& settings, const RegisterImage& work, const std::filesystem::path& path);

}  // namespace gc
