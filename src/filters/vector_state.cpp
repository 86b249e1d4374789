#include "filters/vector_state.h"

namespace gc {

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))

void ClearUpperVectorState() {
    // vzeroupper is an AVX instruction: it must not run where AVX is missing.
    static const bool hasAvx = __builtin_cpu_supports("avx");
    if (!hasAvx) return;
    // The clobbers make the compiler keep no vector value in a register across it.
    asm volatile("vzeroupper" ::
                     : "xmm0", "xmm1", "xmm2", "xmm3", "xmm4", "xmm5", "xmm6", "xmm7", "xmm8", "xmm9", "xmm10", "xmm11",
                       "xmm12", "xmm13", "xmm14", "xmm15");
}

#else

void ClearUpperVectorState() {}

#endif

}  // namespace gc
