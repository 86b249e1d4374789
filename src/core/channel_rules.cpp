#include "core/channel_rules.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace gc {

int EffectiveInputMode(const Settings& s) { return s.ModeOfInput >= 0 && s.ModeOfInput <= 2 ? s.ModeOfInput : 0; }

int SourceChannel(int mode, int i) {
    const int g = mode == 1 || mode == 2 ? 2 : 1;
    return g * (i / g);
}

int DerivedCicDec(int cicDec, int rinRate) { return std::clamp(cicDec, std::max(1, rinRate), kCicDecMax); }

int DerivedFirDec(int firDec) { return std::clamp(firDec, 1, 8); }

int32_t ComputeTotalDec(int32_t cicDec, int32_t firDec) {
    const int64_t t = int64_t{cicDec} * firDec;
    return static_cast<int32_t>(
        std::clamp<int64_t>(t, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

float ComputeOutputRate(int32_t systemClock, int32_t totalDec) {
    if (systemClock <= 0 || totalDec <= 0) return 0.0f;
    return static_cast<float>(static_cast<double>(systemClock) / static_cast<double>(totalDec));
}

FirShiftResult FirShift(int32_t S, std::optional<int> manualShift) {
    int j = 0;
    while (j < 24 && (int64_t{1} << j) < S) ++j;
    const int a = std::max(0, 21 - j);
    const int b = std::max(0, 22 - j);
    const double gA = std::ldexp(static_cast<double>(S), a - 21);
    const double gB = std::ldexp(static_cast<double>(S), b - 21);
    int64_t shift = gB - 1.0 > 1.0 - gA ? a : b;
    if (manualShift) shift = *manualShift;
    FirShiftResult r;
    r.shift = static_cast<uint16_t>(static_cast<uint64_t>(shift));
    // Any exponent beyond this already gives 0 or infinity.
    const int exponent = static_cast<int>(std::clamp<int64_t>(shift - 21, -4000, 4000));
    r.gain = static_cast<float>(std::ldexp(static_cast<double>(S), exponent));
    return r;
}

}  // namespace gc
