#include "SolverKernels.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

const SolverKernels& portableSolverKernels();
#if FLUID_X86_SIMD_PATHS
const SolverKernels& avx2SolverKernels();
#endif

namespace {

// The path that FLUID_SIMD asks for, if any; a warning for a value that cannot be honoured.
SimdPath simdPathFromEnvironment() {
    const char* wanted = std::getenv("FLUID_SIMD");
    if (wanted == nullptr || *wanted == '\0') {
        return fastestSimdPath();
    }
    for (SimdPath path : {SimdPath::Portable, SimdPath::Avx2}) {
        if (std::strcmp(wanted, simdPathName(path)) != 0) {
            continue;
        }
        if (isSimdPathSupported(path)) {
            return path;
        }
        std::fprintf(stderr,
                     "fluidsim: FLUID_SIMD=%s: this processor or build lacks it; using %s\n",
                     wanted, simdPathName(fastestSimdPath()));
        return fastestSimdPath();
    }
    std::fprintf(stderr, "fluidsim: FLUID_SIMD=%s is not portable or avx2; using %s\n", wanted,
                 simdPathName(fastestSimdPath()));
    return fastestSimdPath();
}

}  // namespace

bool isSimdPathSupported(SimdPath path) {
    switch (path) {
        case SimdPath::Portable:
            return true;
        case SimdPath::Avx2:
#if FLUID_X86_SIMD_PATHS
            // Only built with GCC or clang, which have these built-ins.
            __builtin_cpu_init();
            return __builtin_cpu_supports("avx2");
#else
            return false;
#endif
    }
    return false;
}

SimdPath fastestSimdPath() {
    return isSimdPathSupported(SimdPath::Avx2) ? SimdPath::Avx2 : SimdPath::Portable;
}

SimdPath defaultSimdPath() {
    // Read once: the warning is given once, and every solver takes the same path.
    static const SimdPath path = simdPathFromEnvironment();
    return path;
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

const char* kernelName(SimdPath path) {
#if FLUID_PLAIN_KERNELS
    if (path == SimdPath::Portable) {
        return "plain";
    }
#endif
    return simdPathName(path);
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
