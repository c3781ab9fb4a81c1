#pragma once

// The instruction sets that the solver's kernels are compiled for. Every path gives the same
// results to the bit; they differ only in speed.
enum class SimdPath {
    Portable,  // the build's baseline: SSE2 on x86-64, whatever the compiler targets elsewhere
    Avx2,      // x86-64 with AVX2, chosen at run time
};

// Whether this build has the path and this processor can run it.
bool isSimdPathSupported(SimdPath path);
// The widest supported path.
SimdPath fastestSimdPath();
const char* simdPathName(SimdPath path);
