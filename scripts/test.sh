#!/bin/sh
# Sets everything up and runs every test headless (Xvfb + Mesa), first on the
# normal build with warnings as errors, then on the sanitized build.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
JOBS=$(nproc)

"$ROOT/scripts/setup.sh" "$ROOT/build" -DQUORVANE_WERROR=ON
"$ROOT/scripts/setup.sh" "$ROOT/build-asan" -DQUORVANE_WERROR=ON -DQUORVANE_SANITIZE=ON

export LIBGL_ALWAYS_SOFTWARE=1
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Software OpenGL under a busy shared display now and then draws a picture
# black; a test that fails is run once more, and the log shows it.
for dir in build build-asan; do
    echo "=== tests: $dir"
    xvfb-run -a -s "-screen 0 1920x1080x24" \
        ctest --test-dir "$ROOT/$dir" --output-on-failure -j "$JOBS" --repeat until-pass:2
done
