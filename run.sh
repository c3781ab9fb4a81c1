#!/usr/bin/env bash
# Installs what is missing, makes a Release build and starts the program.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
ensure_packages

cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DFLUID_QT_MAJOR="${FLUID_QT_MAJOR:-auto}" \
    -DFLUID_BUILD_TESTS=OFF -DFLUID_BUILD_BENCH=OFF
cmake --build build-release -j2 --target fluidsim
exec build-release/app/fluidsim "$@"
