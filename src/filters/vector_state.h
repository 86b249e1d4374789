// The processor's vector state before long runs of scalar maths.
#pragma once

namespace gc {

// Clears the upper halves of the AVX registers where the processor has them,
// and does nothing elsewhere. While those halves hold data, code built for
// the plain x86-64 baseline (SSE2) pays a false dependency on every vector
// instruction on Intel processors with AVX-512: the CIC aliasing view took ten
// times as long in the configurator as in a plain program, because the
// toolkit's painting leaves the halves in use. Call it before such a run.
void ClearUpperVectorState();

}  // namespace gc
