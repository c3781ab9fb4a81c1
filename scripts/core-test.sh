#!/usr/bin/env bash
# Builds the solver and the simulation alone (no Qt, no OpenGL) and runs their tests, warnings
# as errors. The compiler comes from CXX; further CMake options follow the build folder:
#   CXX=g++-11 scripts/core-test.sh build-core-gcc11
#   scripts/core-test.sh build-core-plain -DFLUID_PLAIN_KERNELS=ON
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
compiler=${CXX:-g++}
package=$compiler
case "$compiler" in
    clang++*) package=${compiler/clang++/clang} ;;
esac
ensure_only_packages cmake make libgtest-dev "$package"

build_dir=${1:?usage: scripts/core-test.sh BUILD_DIR [CMAKE_OPTION...]}
shift
CXX=$compiler cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DFLUID_CORE_ONLY=ON \
    -DFLUID_WERROR=ON "$@"
cmake --build "$build_dir" -j2
ctest --test-dir "$build_dir" --output-on-failure -j2
