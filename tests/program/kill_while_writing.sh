#!/bin/sh
# The real executable killed (SIGKILL) at random moments while it rewrites
# settings.xml, save.xml and endless.xml over and over (the test-only write
# loop in main.cpp): after every kill each file is whole, either the version
# before the write or the one after it, never empty, cut short or missing;
# the next start reads exactly what is on disk and clears the half-written
# temporary files; a last ordinary run closes with the files intact.
#   kill_while_writing.sh <path to quorvane>   (needs DISPLAY, e.g. under xvfb-run)
# The kill moments come from a fixed seed, printed first (and again by a
# failure): KILL_SEED=<n> replays or varies them, KILL_RUNS=<n> sets the
# number of kills.
set -u
GAME=$1
SEED=${KILL_SEED:-20261210}
RUNS=${KILL_RUNS:-80}
BUILD=$(pwd)
WORK=$(mktemp -d /tmp/quorvane-kill-XXXXXX)
pid=
trap 'rm -rf "$WORK"' EXIT
ln -s "$BUILD/assets" "$WORK/assets"
cd "$WORK"
echo "kill moments from seed $SEED ($RUNS kills; KILL_SEED=$SEED replays them)"
fail() {
    echo "FAIL (run $run, seed $SEED): $*"
    for f in settings.xml save.xml endless.xml; do
        [ -e "$f" ] && echo "$f: [$(cat "$f")]"
    done
    [ -f game.log ] && { echo "game.log:"; cat game.log; }
    [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
    exit 1
}

# The kill moments come from a small generator of their own, so a seed means
# the same moments on every machine.
state=$SEED
next_delay_ms() {
    state=$(((state * 1103515245 + 12345) % 2147483648))
    delay_ms=$((state / 65536 % 400))
}

# Each file must be one complete line in the form the game writes; the
# number in it is printed.
settings_seed() {
    sed -n 's/^<settings volume="[0-9.]*" muted="[01]" fullscreen="0" width="640" height="360" musicVolume="[0-9.]*" effectsVolume="[0-9.]*" endlessSeed="\([0-9]*\)"\/>$/\1/p' settings.xml
}
save_level() { sed -n 's/^<save level="\([0-9]*\)"\/>$/\1/p' save.xml; }
endless_best() { sed -n 's/^<endless best="\([0-9]*\)"\/>$/\1/p' endless.xml; }
whole() {
    [ -s "$1" ] || fail "$1 is missing or empty"
    [ "$(wc -l <"$1")" -le 1 ] || fail "$1 has more than one line"
}

printf '<settings volume="1" muted="1" fullscreen="0" width="640" height="360"/>\n' >settings.xml
levels=$(grep -c '<level ' assets/levels.xml)
[ "$levels" -ge 1 ] || fail "no levels in assets/levels.xml"

export QUORVANE_TEST_WRITE_LOOP=1
run=0
midwrite=0
cleared=0
seed=0
level=0
best=0
while [ $run -lt $RUNS ]; do
    run=$((run + 1))
    tmps_before=$(ls ./*.tmp 2>/dev/null | wc -l)
    # The shell opens the log after the fork: the last run's log must not be
    # read meanwhile.
    rm -f game.log
    "$GAME" >game.log 2>&1 &
    pid=$!
    i=0
    while ! grep -qs '^WRITE LOOP: read' game.log; do
        i=$((i + 1))
        [ $i -lt 500 ] || fail "the write loop never started"
        kill -0 "$pid" 2>/dev/null || fail "the game ended before its write loop"
        sleep 0.02
    done
    # The start read what the last kill left on disk, and cleared the
    # temporary files.
    expected="WRITE LOOP: read seed $seed level $level best $best"
    grep -qx "$expected" game.log || fail "expected '$expected' at start"
    removed=$(grep -c '^FILES: removed a half-written' game.log)
    [ "$removed" -eq "$tmps_before" ] || fail "$tmps_before temporary files before the start, $removed removed"
    cleared=$((cleared + removed))
    next_delay_ms
    sleep "$((delay_ms / 1000)).$(printf '%03d' $((delay_ms % 1000)))"
    kill -KILL "$pid"
    wait "$pid" 2>/dev/null
    pid=
    # A temporary file on disk: the kill came between its creation and its
    # rename, in the middle of a write.
    [ -n "$(ls ./*.tmp 2>/dev/null)" ] && midwrite=$((midwrite + 1))
    ! grep -q 'could not write\|Exception\|HALT' game.log || fail "a write failed"

    whole settings.xml
    whole save.xml
    whole endless.xml
    new_seed=$(settings_seed)
    new_level=$(save_level)
    new_best=$(endless_best)
    [ -n "$new_seed" ] || fail "settings.xml is not a whole settings file"
    [ -n "$new_level" ] || fail "save.xml is not a whole save"
    [ -n "$new_best" ] || fail "endless.xml is not a whole record"
    # The loop writes round n as settings, save, record, so beside settings
    # round n the save and the record hold round n or the one before: round
    # n - 1 when this run wrote it, else what the last run left. Without a
    # new settings round, nothing else changed either.
    [ "$new_seed" -ge "$seed" ] || fail "the settings went back from $seed to $new_seed"
    if [ "$new_seed" -eq "$seed" ]; then
        [ "$new_best" -eq "$best" ] && [ "$new_level" -eq "$level" ] ||
            fail "the save or the record changed without a new settings round"
    else
        before_best=$best
        before_level=$level
        if [ $((new_seed - 1)) -gt "$seed" ]; then
            before_best=$((new_seed - 1))
            before_level=$(((new_seed - 1) % levels))
        fi
        [ "$new_best" -eq "$new_seed" ] || [ "$new_best" -eq "$before_best" ] ||
            fail "record $new_best beside settings round $new_seed (the round before: $before_best)"
        [ "$new_level" -eq $((new_seed % levels)) ] || [ "$new_level" -eq "$before_level" ] ||
            fail "save level $new_level beside settings round $new_seed (the round before: $before_level)"
    fi
    seed=$new_seed
    level=$new_level
    best=$new_best
done

# An ordinary run after the last kill: it starts, clears what the kill left,
# and closing it writes the settings back whole with the last seed.
unset QUORVANE_TEST_WRITE_LOOP
run=final
"$GAME" >game.log 2>&1 &
pid=$!
sleep 2
kill -0 "$pid" 2>/dev/null || fail "the ordinary run did not start"
kill -TERM "$pid"
wait "$pid" || fail "the ordinary run ended with status $?"
pid=
[ -z "$(ls ./*.tmp 2>/dev/null)" ] || fail "temporary files left: $(ls ./*.tmp)"
[ "$(settings_seed)" = "$seed" ] || fail "settings.xml after the ordinary run: $(cat settings.xml)"
[ "$(save_level)" = "$level" ] && [ "$(endless_best)" = "$best" ] || fail "the save or the record changed"
echo "ok: $RUNS kills, $midwrite in the middle of a write, $cleared half-written temporary files cleared at the next start"
