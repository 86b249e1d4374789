// One channel of the down-converter as the filter computations take it: the
// design, the splits of its decimation and the folded chain each read the
// fields they need.
#pragma once

#include <cstdint>
#include <vector>

namespace gc {

struct DdcChannel {
    int32_t systemClock = 0;  // Hz, the chip's input rate Fs
    int modeOfInput = 0;
    int cicDec = 1;  // R, as set or as the registers run it
    int firDec = 1;  // D
    // The input mode's CIC range, CicDecMin .. kCicDecMax in steps of cicDecStep.
    int cicDecMin = 1;
    int cicDecStep = 1;
    std::vector<int32_t> taps;  // the PFIR taps in use
    // The total decimation R D, which every split keeps.
    int TotalDec() const { return cicDec * firDec; }
    bool operator==(const DdcChannel&) const = default;
};

// A channel of the clock, input mode and decimations given, the rest as above.
inline DdcChannel ChannelAt(int32_t systemClock, int modeOfInput, int cicDec, int firDec) {
    DdcChannel c;
    c.systemClock = systemClock;
    c.modeOfInput = modeOfInput;
    c.cicDec = cicDec;
    c.firDec = firDec;
    return c;
}

}  // namespace gc
