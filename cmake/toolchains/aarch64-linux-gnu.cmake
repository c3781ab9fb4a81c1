# Cross build for 64-bit ARM Linux with Debian's g++-aarch64-linux-gnu. Test programs run under
# qemu-aarch64 with the cross sysroot, so ctest runs them on this machine:
#   cmake -S . -B build-aarch64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/aarch64-linux-gnu.cmake \
#         -DFLUID_CORE_ONLY=ON -DFLUID_GTEST_SOURCE_DIR=/usr/src/googletest
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(FLUID_CROSS_TRIPLE aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${FLUID_CROSS_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${FLUID_CROSS_TRIPLE}-g++)

set(FLUID_CROSS_SYSROOT /usr/${FLUID_CROSS_TRIPLE})
set(CMAKE_FIND_ROOT_PATH ${FLUID_CROSS_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 -L ${FLUID_CROSS_SYSROOT})
