// The kernels for the build's baseline instruction set (SSE2 on x86-64, NEON on aarch64), or the
// plain kernels, one cell at a time, where the compiler has no vector extension.
#if FLUID_PLAIN_KERNELS
#define FLUID_KERNEL_LANES 1
#else
#define FLUID_KERNEL_LANES 4
#endif
#include "SolverKernelsImpl.h"

const SolverKernels& portableSolverKernels() {
    return kKernels;
}
