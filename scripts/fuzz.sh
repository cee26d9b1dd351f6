#!/usr/bin/env bash
# Builds the fuzz targets and runs each for a given time, one after the other, then writes a summary.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
#
# SECONDS is the time for each target (default 60); TARGET is reader, picture or texts (default all).
# The build is a configuration of its own in build/fuzz: clang with libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer. Each target starts from its seeds under fuzz/corpus/ and from what
# earlier runs added in build/fuzz/corpus/ (which grows; the seeds are never written to). An input
# that crashes, leaks, runs longer than FUZZ_TIMEOUT seconds (default 10) or needs more than 4 GiB
# is written to build/fuzz/findings/TARGET/ (inputs slower than a second are kept there too, as
# slow-unit-*); copy it to tests/data/fuzz/TARGET/ once it is fixed, so that the test suite keeps it
# fixed. The summary (executions, coverage, corpus, slowest input, findings) goes to standard output
# and build/fuzz/summary.txt. Exits with 1 when anything was found.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-deps.sh
ensure_deps

seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(reader picture texts)
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -lt 1 ]; then
    echo "Usage: scripts/fuzz.sh [SECONDS] [reader|picture|texts ...]" >&2
    exit 2
fi
timeout="${FUZZ_TIMEOUT:-10}"

build=build/fuzz
# Debug keeps the program's own assertions; -O1 keeps the fuzzer fast enough.
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
    -DVELMORA_FUZZ=ON -DVELMORA_TESTS=OFF -DVELMORA_BENCH=OFF -DVELMORA_WERROR=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

summary="$build/summary.txt"
: >"$summary"
failed=0
for target in "${targets[@]}"; do
    corpus="$build/corpus/$target"
    findings="$build/findings/$target"
    log="$build/logs/$target.log"
    mkdir -p "$corpus" "$findings" "$(dirname "$log")"
    status=0
    "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout="$timeout" -rss_limit_mb=4096 \
        -max_len=16384 -report_slow_units=1 -dict=fuzz/velmora.dict -print_final_stats=1 \
        -artifact_prefix="$findings/" \
        "$corpus" "fuzz/corpus/$target" >"$log" 2>&1 || status=$?

    # The final statistics, or (when a finding ended the run early) the last status line's figures.
    stat() { sed -n "s/^stat::$1: *//p" "$log" | tail -1; }
    last="$(grep -E '^#[0-9]+' "$log" | tail -1 || true)"
    field() { echo "$last" | grep -o "$1 *[0-9]*" | grep -o '[0-9]*$' || true; }
    executions="$(stat number_of_executed_units)"
    [ -n "$executions" ] || executions="$(echo "$last" | sed -nE 's/^#([0-9]+).*/\1/p')"
    rate="$(stat average_exec_per_sec)"
    [ -n "$rate" ] || rate="$(field 'exec/s:')"
    memory="$(stat peak_rss_mb)"
    [ -n "$memory" ] || memory="$(field 'rss:')"
    slowest="$(stat slowest_unit_time_sec)"
    slow="$(grep -c '^Slowest unit:' "$log" || true)"
    found="$(grep -o 'Test unit written to .*' "$log" | sed 's/Test unit written to //' || true)"
    {
        printf '%-8s %s s: %s executions (%s/s), coverage %s edges, corpus %s inputs, ' "$target" "$seconds" \
            "${executions:-?}" "${rate:-?}" "$(field 'cov:')" "$(find "$corpus" -type f | wc -l)"
        printf 'slowest input %s s (%s slower than 1 s), peak memory %s MB, ' "${slowest:-?}" "$slow" \
            "${memory:-?}"
        if [ "$status" -eq 0 ]; then
            echo "no findings"
        else
            echo "FINDING (exit $status): ${found:-see $log}"
        fi
    } | tee -a "$summary"
    [ "$status" -eq 0 ] || failed=1
done
exit "$failed"
