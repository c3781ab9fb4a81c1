# Which kernels the solver is built with. The vector kernels need the GCC and clang vector
# extension; where the compiler lacks it (MSVC), or with -DFLUID_PLAIN_KERNELS=ON, the plain
# kernels are built instead: the same formulas as ordinary loops, giving the same bits.
include(CheckCXXSourceCompiles)

check_cxx_source_compiles([[
typedef float Floats __attribute__((vector_size(16)));
typedef int Ints __attribute__((vector_size(16)));
int main() {
    Floats a = {1.0f, 2.0f, 3.0f, 4.0f};
    Ints b = __builtin_convertvector(a * a, Ints);
    return b[0] - 1;
}]] FLUID_HAVE_VECTOR_EXTENSION)

if(NOT FLUID_HAVE_VECTOR_EXTENSION)
  set(fluid_plain_default ON)
else()
  set(fluid_plain_default OFF)
endif()
option(FLUID_PLAIN_KERNELS "Build the solver's kernels as plain loops, without vector extensions"
       ${fluid_plain_default})
if(NOT FLUID_PLAIN_KERNELS AND NOT FLUID_HAVE_VECTOR_EXTENSION)
  message(FATAL_ERROR "This compiler has no vector extension: configure with -DFLUID_PLAIN_KERNELS=ON")
endif()
