// Magnitude responses of a channel's decimating chain (5-stage CIC followed by
// the PFIR) over the plot's frequency grid, as linear values. Point i stands
// for the input-relative frequency i / (512 * xStretch).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/model.h"

namespace gc {

using ResponseCurve = std::array<double, kResponsePoints>;

// The three curves of the selected channel. Not normalised: the CIC carries
// its DC gain R^5 and the PFIR the sum of the integer taps; the plot scales.
struct ChannelResponse {
    ResponseCurve CicResponse{};
    ResponseCurve PfirResponse{};
    ResponseCurve OverallResponse{};
};

// Smallest PFIR magnitude kept, so that the plot's logarithm stays defined.
inline constexpr double kPfirFloor = 1e-300;

// The CIC's rectify-and-floor rule for the single-stage ratio r: r >= 0.001
// stays, r <= -0.0001 becomes -r, anything else (NaN included) 0.0001.
double RectifyCic(double r);

// Five-stage CIC of decimation R at theta = pi f / Fs (Fs its input rate),
// normalised to 1 at DC, with the single-stage ratio rectified and floored as
// the plot does it. R below 1 counts as 1.
double CicGainAt(int R, double theta);

// Five-stage CIC of decimation R on the grid of xStretch (below 1 taken as 1).
// Point 0 (DC) is the limit R^5, rectified and floored as the other points.
void ComputeCicResponse(int R, int xStretch, ResponseCurve& out);

// |sum taps[j] e^(i j phi)| with phi = R pi / 256 * i / xStretch at point i,
// for the first count taps (clamped to 0..512). A zero magnitude is kPfirFloor.
void ComputePfirResponse(const int32_t* taps, int count, int R, int xStretch, ResponseCurve& out);

// What the three curves of a channel are computed from: its cic_dec and the
// fitted taps in use.
struct ResponseChannel {
    int R = 1;
    std::vector<int32_t> taps;
    bool operator==(const ResponseChannel&) const = default;
};
ResponseChannel ResponseChannelOf(const ChipState& chip, int channel);

// Overall = CIC * PFIR point by point.
void ComputeChannelResponse(const ResponseChannel& ch, int xStretch, ChannelResponse& r);
// The same for the model's channel.
void RecomputeResponse(const ChipState& chip, int channel, int xStretch, ChannelResponse& r);

// Magnitude of the tap polynomial at the points whose angles (radians per tap)
// are given: the shared kernel of the main plot and the PFIR window. One
// complex rotation per tap and point, laid out so the compiler vectorises
// across points.
void TapPolynomialMagnitudes(const int32_t* taps, int count, const double* angles, double* out);

}  // namespace gc
