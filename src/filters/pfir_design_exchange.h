// The weighted minimax (Parks-McClellan) lowpass of the PFIR designer: any
// desired response and weight over a passband from 0 and a stopband up to
// half the rate, linear phase, either parity.
#pragma once

#include <functional>
#include <vector>

namespace gc {

// Desired amplitude and (positive) weight at f, a fraction of the rate.
using ExchangeTarget = std::function<void(double f, double& desired, double& weight)>;

struct ExchangeResult {
    std::vector<double> taps;  // symmetric, unscaled; empty when the exchange broke down
    double delta = 0;          // the equiripple weighted error level reached
    int iterations = 0;
    bool converged = false;
    std::vector<int> extremal;  // the final reference, grid indices: a start for a nearby weighting
};

// Bands 0 ... passNorm and stopNorm ... 0.5; at least 3 taps. A start from
// an earlier result of the same length and bands (other weights) saves most
// iterations; one that does not fit the grid is ignored.
ExchangeResult RemezLowpass(int ntaps, double passNorm, double stopNorm, const ExchangeTarget& target,
                            const std::vector<int>* start = nullptr);

}  // namespace gc
