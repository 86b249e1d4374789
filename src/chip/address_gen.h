// The PFIR address generators of one channel, computed from the shape of the
// channel's coefficient set and its PFIR decimation.
#pragma once

#include <cstdint>

#include "core/model.h"

namespace gc {

struct AddrGenShape {
    int nblocks = 0;    // N: 16-word coefficient blocks the PFIR runs, 0..16
    int complex = 0;    // C: 1 for a complex PFIR, else 0
    int firDec = 1;     // D: PFIR decimation 1..8
    int symmetric = 0;  // Y
    int even = 0;       // Z: the loaded set has an even count of taps
};

// Some shapes have no rule for beragen_stepn, bewagen_soff or bewagen_sdepd
// (they need a set the fit does not produce, such as fewer blocks than the
// decimation); those fields then get this value.
inline constexpr uint16_t kUnlistedAddrGenValue = 0;

AddrGenFields ComputeAddrGen(const AddrGenShape& shape);

}  // namespace gc
