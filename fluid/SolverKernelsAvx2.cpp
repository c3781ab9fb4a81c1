// The kernels for x86-64 with AVX2; compiled with -mavx2 -mno-fma, called only where the
// processor has AVX2.
#define FLUID_KERNEL_LANES 8
#include "SolverKernelsImpl.h"

const SolverKernels& avx2SolverKernels() {
    return kKernels;
}
