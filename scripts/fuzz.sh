#!/bin/sh
# Builds the fuzz targets of fuzz/ (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, LeakSanitizer on) into build-fuzz, then runs
# each for the given time, one after the other, starting from the seeds in
# fuzz/corpus/<target>/ and what earlier runs found (build-fuzz/corpus/).
# Prints the executions of each target. A crash, hang, leak or oversized
# allocation fails the run; its input is kept in build-fuzz/findings/.
#   scripts/fuzz.sh [seconds-per-target] [target...]
# FUZZ_RUNS=<n> also stops each target after n executions; FUZZ_SEED=<n>
# fixes libFuzzer's random seed, so that a run tries the same inputs in the
# same order every time (0, the default, draws a fresh seed).
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
SECONDS_EACH=${1:-60}
[ $# -gt 0 ] && shift
TARGETS=${*:-$(cd "$ROOT/fuzz" && ls ./*_fuzz.cpp | sed 's|^\./||; s|_fuzz\.cpp$||')}
BUILD="$ROOT/build-fuzz"

LAUNCHER=""
command -v ccache >/dev/null 2>&1 && LAUNCHER="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache"
CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Fuzz \
    -DQUORVANE_FUZZ=ON $LAUNCHER >/dev/null
cmake --build "$BUILD" -j "$(nproc)" --target quorvane_fuzz

# The leak check names the same third-party libraries as the test run.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:allocator_may_return_null=0
export LSAN_OPTIONS="suppressions=$ROOT/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

status=0
for target in $TARGETS; do
    corpus="$BUILD/corpus/$target"
    findings="$BUILD/findings/$target"
    log="$BUILD/logs/$target.log"
    mkdir -p "$corpus" "$findings" "$(dirname "$log")"
    # -malloc_limit_mb: the largest thing a file may make the game hold is
    # an 8192 x 8192 image (256 MiB); anything beyond is a finding.
    # -close_fd_mask=2: the loaders' console words are dropped (libFuzzer's
    # own report and the sanitizers' still print).
    if "$BUILD/fuzz/fuzz_$target" "$corpus" "$ROOT/fuzz/corpus/$target" \
        -max_total_time="$SECONDS_EACH" -runs="${FUZZ_RUNS:--1}" -seed="${FUZZ_SEED:-0}" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=512 \
        -close_fd_mask=2 -print_final_stats=1 -artifact_prefix="$findings/" >"$log" 2>&1; then
        result=ok
    else
        result=FAILED
        status=1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    took=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -n 1)
    echo "fuzz $target: ${runs:-0} executions in ${took:-$SECONDS_EACH} s, $result"
    if [ "$result" = FAILED ]; then
        grep -E "ERROR|SUMMARY|Test unit written" "$log" | head -n 5
    fi
done
exit $status
