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
# -noreset: by default Xvfb resets itself whenever its last client leaves and
# refuses the connections made meanwhile, which a test starting at that moment
# takes for "no display".
for dir in build build-asan; do
    echo "=== tests: $dir"
    xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" \
        ctest --test-dir "$ROOT/$dir" --output-on-failure -j "$JOBS"
done
