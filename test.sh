#!/usr/bin/env bash
# Sets up, builds with warnings as errors and runs every test; then builds and runs the tests once
# more under AddressSanitizer and UndefinedBehaviorSanitizer, and runs each fuzz target for a minute.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/ensure-deps.sh
ensure_deps

jobs="$(nproc)"
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_WERROR=ON >/dev/null
cmake --build build/test -j"$jobs"
ctest --test-dir build/test --output-on-failure -j"$jobs"

export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMORA_WERROR=ON -DVELMORA_SANITIZE=ON \
    -DVELMORA_BENCH=OFF >/dev/null
cmake --build build/asan -j"$jobs"
ctest --test-dir build/asan --output-on-failure -j"$jobs"

# Every fuzz target for a minute from its seeds, under the same sanitizers; a finding fails the run.
scripts/fuzz.sh 60
