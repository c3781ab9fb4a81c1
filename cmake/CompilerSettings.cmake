# Warnings, the sanitizers, the fuzzing instrumentation and the strict floating-point flags, for
# GCC and clang and, untested here, for MSVC.

option(FLUID_WERROR "Treat warnings as errors" OFF)
if(MSVC)
  add_compile_options(/W4 /permissive-)
  if(FLUID_WERROR)
    add_compile_options(/WX)
  endif()
else()
  add_compile_options(-Wall -Wextra)
  if(FLUID_WERROR)
    add_compile_options(-Werror)
  endif()
endif()

if(FLUID_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "FLUID_FUZZ needs clang++ (libFuzzer): CXX=clang++ cmake -DFLUID_FUZZ=ON ...")
  endif()
  # Coverage for the fuzzer, and the sanitizers with assertions kept, in every library it reaches.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer -UNDEBUG)
  add_link_options(-fsanitize=address,undefined)
endif()
if(FLUID_SANITIZE)
  if(MSVC)
    message(FATAL_ERROR "FLUID_SANITIZE needs GCC or clang")
  endif()
  # -UNDEBUG keeps the assertions (cells inside their field, among others) in the optimised build.
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer
                      -UNDEBUG)
  add_link_options(-fsanitize=address,undefined)
endif()

# The numerical code rounds to 32-bit floats exactly where its comments say; a fused multiply-add
# or a fast-math reassociation would change the results bit for bit. MSVC's /fp:precise keeps
# the source's order and rounding, and contracts nothing unless /fp:contract is given.
if(MSVC)
  set(FLUID_STRICT_FP_FLAGS /fp:precise)
else()
  set(FLUID_STRICT_FP_FLAGS -ffp-contract=off -fno-fast-math)
endif()
