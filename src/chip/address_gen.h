// The PFIR address generators of one channel, computed from the shape of the
// channel's coefficient set and its PFIR decimation.
#pragma once

#include <cstdint>

namespace gc {

struct AddrGenShape {
    int nblocks = 0;    // N: 16-word coefficient blocks the PFIR runs, 0..16
    int complex = 0;    // C: 1 for a complex PFIR, else 0
    int firDec = 1;     // D: PFIR decimation 1..8
    int symmetric = 0;  // Y
    int even = 0;       // Z: the loaded set has an even count of taps
};

struct AddrGenFields {
    uint16_t coef_ofsc, coef_modc, coef_repc, coef_sym, coef_zerofr;
    uint16_t agen_recr, agen_depd, agen_modd, agen_togen;
    uint16_t fragen_soff, fragen_srecr, fragen_sdepd, fragen_stepn;
    uint16_t fwagen_soff, fwagen_srecr, fwagen_sdepd, fwagen_wrecrl;
    uint16_t bragen_soff, bragen_srecr, bragen_sdepd, bragen_stepn;
    uint16_t bwagen_soff, bwagen_srecr, bwagen_sdepd, bwagen_wrecrl;
    uint16_t beragen_soff, beragen_srecr, beragen_sdepd, beragen_stepn;
    uint16_t bewagen_soff, bewagen_srecr, bewagen_sdepd, bewagen_wrecrl;
    uint16_t fwa_strobe, bwa_strobe, beagen_rbypass;
};

// Some shapes have no rule for beragen_stepn, bewagen_soff or bewagen_sdepd
// (they need a set the fit does not produce, such as fewer blocks than the
// decimation); those fields then get this value.
inline constexpr uint16_t kUnlistedAddrGenValue = 0;

AddrGenFields ComputeAddrGen(const AddrGenShape& shape);

}  // namespace gc
