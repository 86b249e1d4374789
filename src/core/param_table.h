// The parameter table: every setting and register field by name, type and
// count, walked by every text file that lists them (lab file, table files,
// comparison report). The register fields are one list that serves both
// register images: the table file names them one way, the chip tool's table
// (a few more fields) another.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <variant>

#include "core/model.h"

namespace gc {

enum class ParamType : int32_t { UInt16 = 0, Int16 = 1, Int = 2, Float = 3, String = 4 };
enum class ParamCount : int32_t {
    Scalar = 0,       // one value
    PfirChannel = 1,  // the field in each channel's PfirChannelRegs
    CicChannel = 2,   // the field in each channel's CicChannelRegs
    Array4 = 3,       // four consecutive values
};

// A typed reference to one value of a setting or register field.
using FieldRef = std::variant<uint16_t*, int16_t*, int32_t*, float*, double*, std::string*>;

template <class Record>
struct ParamEntry {
    ParamType type;
    ParamCount count;
    const char* name;
    // Value k (channel 0..3; ignored for ParamCount::Scalar) of the field in a record.
    FieldRef (*locate)(Record& r, int k);

    int values() const { return count == ParamCount::Scalar ? 1 : kChannels; }
};

using SettingParam = ParamEntry<Settings>;
using RegisterParam = ParamEntry<RegisterImage>;

// The 45 settings, in the order of the lab file.
std::span<const SettingParam> SettingParams();
// The 242 register fields of the table file, in the image's order.
std::span<const RegisterParam> TableParams();
// The 250 register fields of the chip tool's table: the same list with the
// tool's names and the fields only the tool lists.
std::span<const RegisterParam> ToolTableParams();

// Value k as a number (0 for a string). Locating a field changes nothing, so
// the readers take a const record.
template <class Record>
double ParamGetNumber(const Record& r, const ParamEntry<Record>& e, int k) {
    return std::visit(
        [](auto* p) -> double {
            if constexpr (std::is_same_v<decltype(p), std::string*>)
                return 0.0;
            else
                return static_cast<double>(*p);
        },
        e.locate(const_cast<Record&>(r), k));
}

// Stores an integer: integers keep their low bits, as a store into a narrower
// C integer does; a float takes the value; a string is left alone.
void StoreInteger(FieldRef f, long v);
// Stores a float value; out-of-range values saturate to infinity instead of
// an undefined conversion. Only float and double fields take it.
void StoreFloat(FieldRef f, double v);

template <class Record>
void ParamSetInteger(Record& r, const ParamEntry<Record>& e, int k, long v) {
    StoreInteger(e.locate(r, k), v);
}
template <class Record>
void ParamSetFloat(Record& r, const ParamEntry<Record>& e, int k, double v) {
    StoreFloat(e.locate(r, k), v);
}

// The text of a string field (empty for a number), and its replacement.
template <class Record>
std::string ParamGetText(const Record& r, const ParamEntry<Record>& e, int k) {
    const FieldRef f = e.locate(const_cast<Record&>(r), k);
    return std::holds_alternative<std::string*>(f) ? *std::get<std::string*>(f) : std::string();
}
template <class Record>
void ParamSetText(Record& r, const ParamEntry<Record>& e, int k, std::string text) {
    FieldRef f = e.locate(r, k);
    if (auto* s = std::get_if<std::string*>(&f)) **s = std::move(text);
}

}  // namespace gc
