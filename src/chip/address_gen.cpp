#include "chip/address_gen.h"

#include <algorithm>
#include <optional>

namespace gc {

namespace {

using Opt = std::optional<int>;

uint16_t Low16(int64_t v) { return static_cast<uint16_t>(static_cast<uint64_t>(v)); }

// Forward read step: 0 when the decimation equals the block count, and 0 for a
// complex set decimated by more than 4.
int ForwardStep(int N, int C, int K, int D) {
    if (D == N) return 0;
    if (C == 1 && D > 4) return 0;
    return D * K;
}

int BackwardStep(int N, int C, int D) {
    if (D == N) return 0;
    if (C == 0) {
        if (D == 3 && N == 15) return 12;
        if (D == 5 && N == 15) return 10;
        if (D == 6 && N == 12) return 6;
        if (D == 7 && N == 14) return 7;
        return 16 - D;
    }
    switch (D) {
        case 1:
            return 14;
        case 2:
            return 12;
        case 3:
            return 6;
        case 4:
            return 8;
        default:
            return 0;
    }
}

int AgenModd(int N, int C, int D) {
    if (D == 3 && N == 6 && C == 1) return 12;
    if (C == 0) {
        if (D == 3 && N == 15) return 15;
        if (D == 5 && N == 15) return 15;
        if (D == 6 && N == 12) return 12;
        if (D == 7 && N == 14) return 14;
    }
    return 0;
}

// Backward-end read step. No rule covers a symmetric set with fewer blocks
// than the decimation.
Opt BeragenStepn(int N, int C, int K, int D, int Y, int B) {
    if (Y == 0) return B;
    if (D == N) return (D > 4 && C == 1) ? 0 : D * K;
    if (D < N) return B;
    return std::nullopt;
}

// First stage of the backward-end write offset, by symmetry and decimation.
Opt BewagenSoffStage1(int N, int C, int D, int Y, int Z) {
    if (Y == 0) {
        if (D == N) return 0;
        if (D > N) return std::nullopt;
        if (D == 3 && C == 1) return 6;
        if (D == 6 && C == 0) return 6;
        if (D == 7 && C == 0) return 7;
        if (D == 5 && C == 0 && N == 15) return 10;
        return 0;
    }
    if (N < D) return std::nullopt;
    const bool exact = N == D;
    switch (D) {
        case 1:
            if (exact) return Z == 0 ? 1 : 0;
            if (Z == 1) return 0;
            if (C != 0) return 14;
            return N <= 2 ? 1 : 15;
        case 2:
            if (exact) return Z == 1 ? 0 : (C == 0 ? 1 : 4);
            if (Z == 1) return N == 8 ? 12 : 0;
            return C == 0 ? 14 : 12;
        case 3:
            if (exact) return Z == 1 ? 0 : (C == 0 ? 3 : 6);
            if (Z == 1) return C == 0 ? 0 : 6;
            if (C != 0) return 6;
            return std::nullopt;  // odd-length real set longer than the decimation
        case 4:
            if (exact) return Z == 1 ? 0 : (C == 0 ? 4 : 8);
            if (Z == 1) return C == 0 ? 0 : 8;
            return C == 0 ? 12 : 8;
        case 5:
            if (exact) return Z == 1 ? 0 : (C == 0 ? 5 : 0);
            if (Z == 1) return (C == 0 && N == 15) ? 10 : 0;
            return N == 15 ? 10 : 11;
        default:
            return std::nullopt;  // decimations 6..8 are settled by the second stage
    }
}

// The second stage overrides the first for decimations 6..8 whatever the symmetry.
Opt BewagenSoff(int N, int C, int D, int Y, int Z) {
    if (D >= 6 && D <= 8) {
        if (N == D) return Z == 1 ? 0 : (C == 0 ? D : 0);
        if (N > D) return D;
    }
    return BewagenSoffStage1(N, C, D, Y, Z);
}

Opt BewagenSdepd(int N, int C, int K, int D, int Y, int Z) {
    if (Y == 0) return K * N - 1;
    if (Z == 1) return 0;
    if (D == 1 && C == 0) {
        if (N <= 2) return 0;
        if (N <= 16) return N - 1;
        return std::nullopt;
    }
    if (D == 1 && C == 1) {
        if (N >= 1 && N <= 8) return 2 * (N - 1);
        return std::nullopt;
    }
    if (D == 2 && C == 0) {
        if (N == 2) return 0;
        if (N >= 4 && N <= 16 && N % 2 == 0) return N - 1;
        return std::nullopt;
    }
    if (D == 2 && C == 1) {
        if (N >= 2 && N <= 8 && N % 2 == 0) return 2 * N - 2;
        if (N >= 10 && N <= 16 && N % 2 == 0) return N - 1;
        return std::nullopt;
    }
    if (D == 3 || D == 4) return (N - 1) * K;
    if (D > 4) return C == 1 ? 0 : N - 1;
    return std::nullopt;
}

// (2K)^e as a shift: 2K is 2 or 4, so its power is a run of K*e bits.
uint16_t ShiftedLow16(uint64_t value, int64_t bits) {
    if (bits >= 0) return bits >= 16 ? 0 : Low16(static_cast<int64_t>(value << bits));
    return -bits >= 64 ? 0 : Low16(static_cast<int64_t>(value >> -bits));
}

}  // namespace

AddrGenFields ComputeAddrGen(const AddrGenShape& shape) {
    // The derivation passes shapes in range; clamping here keeps every shift below defined.
    const int N = std::clamp(shape.nblocks, 0, 16);
    const int C = shape.complex != 0 ? 1 : 0;
    const int K = C + 1;
    const int D = std::clamp(shape.firDec, 1, 8);
    const int Y = shape.symmetric != 0 ? 1 : 0;
    const int Z = shape.even != 0 ? 1 : 0;
    const int depth = K * N - 1;

    AddrGenFields f{};
    f.coef_ofsc = 0;
    f.coef_modc = Low16(N - 1);
    f.coef_repc = C != 0 ? 1 : 0;
    f.coef_sym = static_cast<uint16_t>(Y);
    f.coef_zerofr = (D == 1 && C == 0 && N == 1) ? 1 : 0;

    f.agen_recr = 0;
    f.agen_depd = Low16(depth);
    f.agen_modd = Low16(AgenModd(N, C, D));
    f.agen_togen = (D > 4 && C == 1 && Y == 1) ? 1 : 0;

    const int F = ForwardStep(N, C, K, D);
    f.fragen_soff = 0;
    f.fragen_srecr = 0;
    f.fragen_sdepd = Low16(depth);
    f.fragen_stepn = Low16(F);

    f.fwagen_soff = 0;
    f.fwagen_srecr = 0;
    f.fwagen_sdepd = Low16((N - D) * K);
    f.fwagen_wrecrl = 0;

    const int B = BackwardStep(N, C, D);
    f.bragen_soff = 0;
    f.bragen_srecr = 0;
    f.bragen_sdepd = Low16(depth);
    f.bragen_stepn = Low16(B);
    f.bwagen_soff = Low16(B);
    f.bwagen_srecr = 0;
    f.bwagen_sdepd = Low16(F);
    f.bwagen_wrecrl = 0;

    f.beragen_soff = 0;
    f.beragen_srecr = 0;
    f.beragen_sdepd = Low16(depth);
    f.beragen_stepn = Low16(BeragenStepn(N, C, K, D, Y, B).value_or(kUnlistedAddrGenValue));
    f.bewagen_soff = Low16(BewagenSoff(N, C, D, Y, Z).value_or(kUnlistedAddrGenValue));
    f.bewagen_srecr = 0;
    f.bewagen_sdepd = Low16(BewagenSdepd(N, C, K, D, Y, Z).value_or(kUnlistedAddrGenValue));
    f.bewagen_wrecrl = 0;

    // M = (2K)^D - 1: a run of K*D one-bits; the forward strobe shifts it left
    // by K*(N - D) (right, truncating, when N < D).
    const uint64_t M = (uint64_t{1} << (K * D)) - 1;
    f.fwa_strobe = ShiftedLow16(M, int64_t{K} * (N - D));
    f.bwa_strobe = Y == 1 ? Low16(static_cast<int64_t>(M)) : 0;
    f.beagen_rbypass = Y == 0 ? 0xFFFF : 0;
    return f;
}

}  // namespace gc
