#!/bin/sh
# The soak: the whole game played round and round for a chosen time by its
# scripted player (tests/soak/soak_player.cpp: menus, new games, fights, the
# pause window, deaths and retries, the credits, every story level, the
# endless mode's rooms) in a real window under Xvfb, its resident memory
# and the errors it printed recorded each minute.
#   scripts/soak.sh <minutes> [build dir]
# Writes <build>/soak/soak.csv and <build>/soak/soak.log (everything the
# game printed). Each minute the CSV gets the game's resident memory as the
# system sees it at that moment (VmRSS: it swings by megabytes within a
# round as levels load and free) and the player's own settled figure from
# the end of its last round (back in the menu, the allocator's free pages
# returned), the count of error lines so far and the rounds played.
# Fails when the game fails or prints an error (an OpenGL error, an
# exception, a failed write or check), or when a settled figure exceeds the
# first one after the first minute by more than SOAK_GROWTH_KB (1024 unless
# set). The warm-up (one round and every story level) fills the caches
# within that first minute.
set -u
ROOT=$(cd "$(dirname "$0")/.." && pwd)
MINUTES=${1:?usage: soak.sh <minutes> [build dir]}
BUILD=${2:-"$ROOT/build"}
LIMIT_KB=${SOAK_GROWTH_KB:-1024}
PLAYER="$BUILD/tests/soak_player"
[ -x "$PLAYER" ] || {
    echo "soak: $PLAYER is missing (build the project first)"
    exit 1
}
if [ -z "${DISPLAY:-}" ]; then
    # -noreset: Xvfb would otherwise reset itself when its last client
    # leaves, refusing connections meanwhile.
    exec xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" "$0" "$@"
fi
export LIBGL_ALWAYS_SOFTWARE=1

OUT="$BUILD/soak"
mkdir -p "$OUT"
LOG="$OUT/soak.log"
CSV="$OUT/soak.csv"
# Everything that counts as an error in what the game printed.
ERRORS='error|exception|halt|fail|could not|cannot|warning|leak'
errors() { grep -ciE "$ERRORS" "$LOG"; }
rounds() { grep -c '^SOAK: round' "$LOG"; }

cd "$BUILD" || exit 1
QUORVANE_SOAK_MINUTES=$MINUTES "$PLAYER" >"$LOG" 2>&1 &
pid=$!
trap 'kill -TERM $pid 2>/dev/null' INT TERM
echo "minute,resident_kb,settled_kb,errors,rounds" >"$CSV"
echo "soak: $MINUTES minutes, log $LOG"
# The player's settled figures: "<seconds> <kB>" a line.
settled() { sed -n 's/^SOAK: \(warmed up\|round [0-9]* done\) at \([0-9]*\) s, resident \([0-9]*\) kB$/\2 \3/p' "$LOG"; }
start=$(date +%s)
minute=0
while :; do
    minute=$((minute + 1))
    # Sleeps until the minute is due, a second at a time, while the game runs.
    while kill -0 $pid 2>/dev/null && [ $(($(date +%s) - start)) -lt $((minute * 60)) ]; do
        sleep 1
    done
    rss=$(awk '/^VmRSS:/ {print $2}' /proc/$pid/status 2>/dev/null)
    [ -n "$rss" ] || break # the game has ended
    last=$(settled | tail -1 | cut -d' ' -f2)
    echo "$minute,$rss,${last:-},$(errors),$(rounds)" >>"$CSV"
    echo "soak: minute $minute: $rss kB resident, settled ${last:-?} kB, $(errors) errors, $(rounds) rounds"
done
wait $pid
status=$?

fail=0
[ $status -eq 0 ] || {
    echo "soak: FAIL: the player ended with status $status"
    fail=1
}
n=$(errors)
if [ "$n" -gt 0 ]; then
    echo "soak: FAIL: $n error lines:"
    grep -iE "$ERRORS" "$LOG" | head -20
    fail=1
fi
# Growth of the settled figures past the first one after the first minute.
growth=$(settled | awk -v limit="$LIMIT_KB" '
    $1 >= 60 && base == "" { base = $2; at = $1; next }
    base != "" && $2 - base > worst { worst = $2 - base; when = $1 }
    END { if (worst > limit) printf "from %d kB at %d s by %d kB at %d s", base, at, worst, when }')
if [ -n "$growth" ]; then
    echo "soak: FAIL: resident memory grew $growth"
    fail=1
fi
grep '^SOAK: \(warmed\|round\)' "$LOG"
[ $fail -eq 0 ] && echo "soak: ok ($(rounds) rounds after the warm-up, no errors)"
exit $fail
