// The kernels for the build's baseline instruction set (SSE2 on x86-64).
#define FLUID_KERNEL_LANES 4
#include "SolverKernelsImpl.h"

const SolverKernels& portableSolverKernels() {
    return kKernels;
}
