#include "SolverKernels.h"

const SolverKernels& portableSolverKernels();
#if FLUID_X86_SIMD_PATHS
const SolverKernels& avx2SolverKernels();
#endif

bool isSimdPathSupported(SimdPath path) {
    switch (path) {
        case SimdPath::Portable:
            return true;
#if FLUID_X86_SIMD_PATHS
        case SimdPath::Avx2:
            __builtin_cpu_init();
            return __builtin_cpu_supports("avx2");
#else
        case SimdPath::Avx2:
            return false;
#endif
    }
    return false;
}

SimdPath fastestSimdPath() {
    return isSimdPathSupported(SimdPath::Avx2) ? SimdPath::Avx2 : SimdPath::Portable;
}

const char* simdPathName(SimdPath path) {
    switch (path) {
        case SimdPath::Portable:
            return "portable";
        case SimdPath::Avx2:
            return "avx2";
    }
    return "unknown";
}

const SolverKernels& solverKernels(SimdPath path) {
#if FLUID_X86_SIMD_PATHS
    if (path == SimdPath::Avx2) {
        return avx2SolverKernels();
    }
#else
    (void)path;
#endif
    return portableSolverKernels();
}
