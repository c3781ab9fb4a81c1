#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite.
# SANITIZE=1 builds into build-sanitize with AddressSanitizer and UndefinedBehaviorSanitizer;
# FLUID_QT_MAJOR=5 builds against Qt 5.15 into build-qt5 (Qt 6 otherwise).
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
ensure_packages

build_dir=build
options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DFLUID_QT_MAJOR="${FLUID_QT_MAJOR:-auto}")
if [ "${FLUID_QT_MAJOR:-auto}" = 5 ]; then
    build_dir=build-qt5
fi
if [ "${SANITIZE:-0}" != 0 ]; then
    build_dir=$build_dir-sanitize
    options+=(-DFLUID_SANITIZE=ON)
    # No strict_string_checks: the X keyboard library that Qt starts with hands strndup an unterminated
    # buffer with its length, which is legal, and that check would stop every Qt test there.
    export ASAN_OPTIONS="detect_stack_use_after_return=1"
    export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi

cmake -S . -B "$build_dir" "${options[@]}"
cmake --build "$build_dir" -j2

tests=(ctest --test-dir "$build_dir" --output-on-failure -j2 --timeout 300)
# The validation's runs take seconds optimised and minutes under the sanitizers, where the
# solver's own tests already cover the code they run.
if [ "${SANITIZE:-0}" != 0 ]; then
    tests+=(-LE validation)
fi
# -noreset: by default Xvfb resets when its last client leaves, and a test starting at that
# moment cannot connect.
if [ -z "${DISPLAY:-}" ]; then
    xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "${tests[@]}"
else
    "${tests[@]}"
fi
