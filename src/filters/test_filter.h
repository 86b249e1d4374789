// Synthetic PFIR coefficient sets: ramps (1, 2, 3, ...) in three symmetry
// variants, with a floating-point copy in the Appl folder beside the chosen
// folder, and linear-FM (chirp) sets in two parts, I and Q, optionally tapered.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/model.h"
#include "core/safe_write.h"

namespace gc {

enum TestFilterKind : int {
    kRampEven = 0,   // "Симм. четн."
    kRampOdd = 1,    // "Симм. нечетн."
    kRampPlain = 2,  // "Несимметрич."
    kChirpUp = 3,    // "ЛЧМв"
    kChirpDown = 4,  // "ЛЧМн"
};

inline constexpr int kChirpMaxTaps = 512;   // the I and Q buffers
inline constexpr int kRampMaxTaps = 65536;  // far beyond any coefficient store
inline constexpr double kChirpAmplitude = 15000.0;

struct TestFilterParams {
    int kind = 0;             // IndexFilter
    int numTaps = 0;          // NumTapsFilter, N
    int32_t deviation = 0;    // Deviation, Hz
    int obkatka = 0;          // 1: taper the chirp
    float outputRate = 0.0f;  // Fs of the chirp, Hz
};
// IndexFilter, NumTapsFilter, Deviation, Obkatka and OutputRate of CurrentChannel.
TestFilterParams TestFilterParamsOf(const Settings& s, const DecimationState& d, int channel);

// The ramp of a kind: plain 1..N; odd symmetric 1..M..1 with M = (N+1) div 2;
// even symmetric 1..H,H..1 with H = N div 2. Empty for other kinds or N < 1.
std::vector<int> RampValues(int kind, int N);

// Squared-sinc taper, 1 at tap N/2 and 0 at tap 0; 1 everywhere unless obkatka is 1.
double ChirpWindow(int n, int N, int obkatka);

struct ChirpSums {
    float I = 0, Q = 0, II = 0, QQ = 0;  // sums of the taps and of their squares
};
struct ChirpSet {
    std::vector<int32_t> I, Q;
    ChirpSums sums;
};
// The chirp of kind 3 (rising) or 4 (falling); the caller has checked that
// 2 <= N <= 512 and that the rate is positive.
ChirpSet ComputeChirp(const TestFilterParams& p);

struct TestFilterResult {
    bool ok = false;
    std::string message;  // why it stopped, for the user; empty when ok
    bool chirp = false;
    ChirpSums sums;  // chirps only
    std::vector<std::filesystem::path> written;
    std::filesystem::path failed;  // the file that could not be written, if any
    WriteOutcome failure;          // and why
};

// "WriteFilter" with the path chosen in the save dialog. Ramps: the chosen
// file (" %d" lines) and <folder>/../Appl/<name> (" %f" lines). Chirps:
// "_I" and "_Q" followed by the chosen name without its first two characters,
// in the chosen folder. Parameters that give no usable set are refused with a
// message before anything is written.
TestFilterResult WriteTestFilter(const TestFilterParams& p, const std::filesystem::path& chosen);

}  // namespace gc
