#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite.
# SANITIZE=1 builds into build-sanitize with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
ensure_packages

build_dir=build
options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${SANITIZE:-0}" != 0 ]; then
    build_dir=build-sanitize
    options+=(-DFLUID_SANITIZE=ON)
    # No strict_string_checks: the X keyboard library that Qt starts with hands strndup an unterminated
    # buffer with its length, which is legal, and that check would stop every Qt test there.
    export ASAN_OPTIONS="detect_stack_use_after_return=1"
    export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi

cmake -S . -B "$build_dir" "${options[@]}"
cmake --build "$build_dir" -j2

tests=(ctest --test-dir "$build_dir" --output-on-failure -j2)
# -noreset: by default Xvfb resets when its last client leaves, and a test starting at that
# moment cannot connect.
if [ -z "${DISPLAY:-}" ]; then
    xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "${tests[@]}"
else
    "${tests[@]}"
fi
