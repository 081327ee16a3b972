#!/bin/sh
# The soak: the whole game played round and round for a chosen time by its
# scripted player (tests/soak/soak_player.cpp: menus, new games, fights, the
# pause window, deaths and retries, the credits, every story level, the
# endless mode's rooms) in a real window under Xvfb, its resident memory
# and the errors it printed recorded each minute.
#   scripts/soak.sh <minutes> [build dir]
# Writes <build>/soak/soak.csv (minute, resident kB, errors so far, rounds)
# and <build>/soak/soak.log (everything the game printed). Fails when the
# game fails or prints an error (an OpenGL error, an exception, a failed
# write or check), or when its memory grows by more than SOAK_GROWTH_KB
# (1024 unless set) past what it held once warmed up: at the first minute
# after its warm-up (one round and every story level, normally under a
# minute), and from the end of the warm-up to the end of each round.
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
echo "minute,resident_kb,errors,rounds" >"$CSV"
echo "soak: $MINUTES minutes, log $LOG"
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
    warm=$(grep -c '^SOAK: warmed up' "$LOG")
    echo "$minute,$rss,$(errors),$(rounds)" >>"$CSV"
    note=""
    [ "$warm" -gt 0 ] || note=" (warming up)"
    echo "soak: minute $minute: $rss kB resident, $(errors) errors, $(rounds) rounds$note"
    [ "$warm" -gt 0 ] && [ -z "${base_minute:-}" ] && base_minute=$minute && base_rss=$rss
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
# Growth past the first minute after the warm-up.
if [ -n "${base_minute:-}" ]; then
    worst=$(awk -F, -v from="$base_minute" 'NR > 1 && $1 > from && $2 > max {max = $2} END {print max + 0}' "$CSV")
    if [ "$worst" -gt 0 ] && [ $((worst - base_rss)) -gt "$LIMIT_KB" ]; then
        echo "soak: FAIL: resident memory grew from $base_rss kB (minute $base_minute) to $worst kB"
        fail=1
    fi
fi
# Growth from the end of the warm-up to the end of each round.
warm_rss=$(sed -n 's/^SOAK: warmed up at .* resident \([0-9]*\) kB$/\1/p' "$LOG")
round_max=$(sed -n 's/^SOAK: round .* resident \([0-9]*\) kB$/\1/p' "$LOG" | sort -n | tail -1)
if [ -n "$warm_rss" ] && [ -n "$round_max" ] && [ $((round_max - warm_rss)) -gt "$LIMIT_KB" ]; then
    echo "soak: FAIL: resident memory grew from $warm_rss kB after the warm-up to $round_max kB at a round's end"
    fail=1
fi
grep '^SOAK: \(warmed\|round\)' "$LOG"
[ $fail -eq 0 ] && echo "soak: ok ($(rounds) rounds after the warm-up, no errors)"
exit $fail
