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
# round as levels load and free), the player's own two figures from the end
# of its last round, back in the menu (the heap in use, exact; the resident
# memory once the allocator has returned its free pages, which also sees the
# OpenGL driver's own mappings but moves by a megabyte or two with how the
# free pages lie), the count of error lines so far and the rounds played.
# Fails when the game fails or prints an error (an OpenGL error, an
# exception, a failed write or check), or when a round-end figure from the
# third minute on exceeds the highest of the second minute: the heap by
# more than SOAK_GROWTH_KB (1024 unless set), the resident memory by more
# than SOAK_RESIDENT_GROWTH_KB (4096 unless set). The warm-up (one round and
# every story level) fills the caches within the first minute; the highest
# figure of the second is the measure because a round sometimes ends holding
# a megabyte or so less, never more.
set -u
ROOT=$(cd "$(dirname "$0")/.." && pwd)
MINUTES=${1:?usage: soak.sh <minutes> [build dir]}
BUILD=${2:-"$ROOT/build"}
HEAP_LIMIT_KB=${SOAK_GROWTH_KB:-1024}
RESIDENT_LIMIT_KB=${SOAK_RESIDENT_GROWTH_KB:-4096}
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
echo "minute,resident_kb,settled_resident_kb,heap_kb,errors,rounds" >"$CSV"
echo "soak: $MINUTES minutes, log $LOG"
# The player's round-end figures: "<seconds> <resident kB> <heap kB>" a line.
settled() { sed -n 's/^SOAK: \(warmed up\|round [0-9]* done\) at \([0-9]*\) s, resident \([0-9]*\) kB, heap \([0-9]*\) kB$/\2 \3 \4/p' "$LOG"; }
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
    last=$(settled | tail -1)
    settled_rss=$(echo "$last" | cut -s -d' ' -f2)
    heap=$(echo "$last" | cut -s -d' ' -f3)
    echo "$minute,$rss,$settled_rss,$heap,$(errors),$(rounds)" >>"$CSV"
    echo "soak: minute $minute: $rss kB resident; at the last round's end ${settled_rss:-?} kB resident, ${heap:-?} kB heap; $(errors) errors, $(rounds) rounds"
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
# Growth of the round-end figures from the third minute on past the highest
# of the second: column 2 the resident memory, column 3 the heap.
growth() {
    settled | awk -v col="$1" -v limit="$2" '
        $1 >= 60 && $1 < 120 && (base == "" || $col > base) { base = $col }
        $1 >= 120 && base != "" && $col - base > worst { worst = $col - base; when = $1 }
        END { if (worst > limit) printf "from %d kB in the second minute by %d kB at %d s", base, worst, when }'
}
for check in "2 $RESIDENT_LIMIT_KB resident memory" "3 $HEAP_LIMIT_KB heap"; do
    set -- $check
    grew=$(growth "$1" "$2")
    if [ -n "$grew" ]; then
        shift 2
        echo "soak: FAIL: the $* grew $grew"
        fail=1
    fi
done
grep '^SOAK: \(warmed\|round\)' "$LOG"
[ $fail -eq 0 ] && echo "soak: ok ($(rounds) rounds after the warm-up, no errors)"
exit $fail
