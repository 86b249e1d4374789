// Reading a command script into settings, the way the chip tool understands it.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "core/model.h"
#include "core/text_io.h"

namespace cmd5016 {

struct ScriptRequest {
    bool printTable = false;
    bool printGc101 = false;
    bool printAnalysis = false;
};

// Sets the settings from the script's lines: clock, input mode, TDM, and per
// channel decimations (with the total decimations), tuning, gains, sync
// sources and coefficient file. Lines it does not know are reported on warn
// and skipped.
ScriptRequest ApplyScript(gc::Settings& s, gc::DecimationState& d, gc::LineReader& in, std::ostream& warn);

}  // namespace cmd5016
