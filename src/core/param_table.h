// The parameter table: one entry per setting and register field, walked by
// every text file that lists them (lab file, table files, comparison report).
#pragma once

#include <cstddef>
#include <span>

#include "core/model.h"

namespace gc {

enum ParamType : int32_t { PT_UINT16 = 0, PT_INT16 = 1, PT_INT = 2, PT_FLOAT = 3, PT_STRING = 4 };
enum ParamCount : int32_t {
    PC_SCALAR = 0,        // one value
    PC_PFIR_CHANNEL = 1,  // the field in each channel's PfirChannelRegs
    PC_CIC_CHANNEL = 2,   // the field in each channel's CicChannelRegs
    PC_ARRAY4 = 3,        // four consecutive values
};

struct ParamEntry {
    ParamType type;
    ParamCount count;
    const char* name;
    // Address of value k (channel 0..3; ignored for PC_SCALAR) in the given model.
    void* (*locate)(Model& m, int k);

    int values() const { return count == PC_SCALAR ? 1 : kChannels; }
};

inline constexpr int kParamCount = 533;
inline constexpr int kSettingsFirst = 0, kSettingsLast = 40;
inline constexpr int kWorkFirst = 41, kWorkLast = 282;
inline constexpr int kToolFirst = 283, kToolLast = 532;

std::span<const ParamEntry> ParamTable();

// The table's section [first, last] as a span.
std::span<const ParamEntry> ParamSection(int first, int last);

// Typed access to value k of an entry; strings are read and written as text.
double ParamGetNumber(Model& m, const ParamEntry& e, int k);
void ParamSetInteger(Model& m, const ParamEntry& e, int k, long v);
void ParamSetFloat(Model& m, const ParamEntry& e, int k, double v);

}  // namespace gc
