#include "filters/responses.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace gc {

namespace {

int ClampStretch(int x) { return x < 1 ? 1 : x; }

// The build stays portable (no -march); where the processor has AVX2 and FMA
// the loader picks a clone of the tap kernel built for them, twice as fast.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__linux__)
#define GC5016_VECTOR_CLONES __attribute__((target_clones("arch=x86-64-v3", "default")))
#else
#define GC5016_VECTOR_CLONES
#endif

}  // namespace

double RectifyCic(double r) {
    if (r >= 0.001) return r;
    if (r <= -0.0001) return -r;
    return 0.0001;
}

double CicGainAt(int R, double theta) {
    if (R <= 1 || theta == 0.0) return 1.0;
    const double r = RectifyCic(std::sin(R * theta) / std::sin(theta)) / R;
    return r * r * r * r * r;
}

void ComputeCicResponse(int R, int xStretch, ResponseCurve& out) {
    const double x = ClampStretch(xStretch);
    const double rd = R;
    for (int i = 1; i < kResponsePoints; ++i) {
        // Same operation order at every zoom, so that point 2i at 2X is exactly point i at X.
        double theta = i * std::numbers::pi / (2.0 * 256.0 * x);
        double r = RectifyCic(std::sin(rd * theta) / std::sin(theta));
        out[i] = r * r * r * r * r;
    }
    // Point 0 is 0/0: it takes its limit, the DC gain R^5. At R 512 or 1024 on
    // the widest span every other point is a null, so a neighbour's value
    // would leave nothing but the floor.
    const double dc = RectifyCic(rd);
    out[0] = dc * dc * dc * dc * dc;
}

GC5016_VECTOR_CLONES
void TapPolynomialMagnitudes(const int32_t* taps, int count, const double* angles, double* out) {
    constexpr int P = kResponsePoints;
    if (count <= 0) {
        std::fill(out, out + P, kPfirFloor);
        return;
    }
    alignas(64) double c[P], s[P], re[P], im[P];
    for (int i = 0; i < P; ++i) {
        c[i] = std::cos(angles[i]);
        s[i] = std::sin(angles[i]);
    }
    // Horner's scheme on the unit circle: acc = acc * z + t[j] from the last tap
    // down. Taps outside, points inside, so every step is a vector operation.
    const double last = taps[count - 1];
    for (int i = 0; i < P; ++i) {
        re[i] = last;
        im[i] = 0.0;
    }
    for (int j = count - 2; j >= 0; --j) {
        const double t = taps[j];
        for (int i = 0; i < P; ++i) {
            double nr = re[i] * c[i] - im[i] * s[i] + t;
            double ni = re[i] * s[i] + im[i] * c[i];
            re[i] = nr;
            im[i] = ni;
        }
    }
    for (int i = 0; i < P; ++i) {
        double m = std::sqrt(re[i] * re[i] + im[i] * im[i]);
        out[i] = m > 0.0 ? m : kPfirFloor;
    }
}

void ComputePfirResponse(const int32_t* taps, int count, int R, int xStretch, ResponseCurve& out) {
    count = std::clamp(count, 0, kMaxTaps);
    const double base = R * std::numbers::pi / 256.0;
    const double x = ClampStretch(xStretch);
    double angles[kResponsePoints];
    for (int i = 0; i < kResponsePoints; ++i) angles[i] = base * (i / x);
    TapPolynomialMagnitudes(taps, count, angles, out.data());
}

ResponseChannel ResponseChannelOf(const ChipState& m, int channel) {
    const size_t ch = static_cast<size_t>(std::clamp(channel, 0, kChannels - 1));
    const int n = std::clamp(static_cast<int>(m.coefSetInfo[ch].ntaps), 0, kMaxTaps);
    const auto& taps = m.fittedTaps[ch];
    return {m.workImage.cic_dec[ch], std::vector<int32_t>(taps.begin(), taps.begin() + n)};
}

void ComputeChannelResponse(const ResponseChannel& ch, int xStretch, ChannelResponse& r) {
    ComputeCicResponse(ch.R, xStretch, r.CicResponse);
    r.OverallResponse = r.CicResponse;
    ComputePfirResponse(ch.taps.data(), static_cast<int>(ch.taps.size()), ch.R, xStretch, r.PfirResponse);
    for (int i = 0; i < kResponsePoints; ++i) r.OverallResponse[i] *= r.PfirResponse[i];
}

void RecomputeResponse(const ChipState& m, int channel, int xStretch, ChannelResponse& r) {
    ComputeChannelResponse(ResponseChannelOf(m, channel), xStretch, r);
}

}  // namespace gc
