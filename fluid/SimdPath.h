#pragma once

// The instruction sets that the solver's kernels are compiled for. Every path gives the same
// results to the bit; they differ only in speed.
enum class SimdPath {
    Portable,  // the build's baseline: SSE2 on x86-64, NEON on aarch64, plain loops elsewhere
    Avx2,      // x86-64 with AVX2, chosen at run time
};

// Whether this build has the path and this processor can run it.
bool isSimdPathSupported(SimdPath path);
// The widest supported path.
SimdPath fastestSimdPath();
// The path that new solvers take: the one that the environment variable FLUID_SIMD names
// ("portable" or "avx2") where this processor has it, otherwise the fastest. A value that names
// no path, or one the processor lacks, is reported once on stderr.
SimdPath defaultSimdPath();
const char* simdPathName(SimdPath path);
// What the kernels of the path are, for reports: "avx2", "portable", or "plain" where the build
// has no vector extension and the portable path goes one cell at a time.
const char* kernelName(SimdPath path);
