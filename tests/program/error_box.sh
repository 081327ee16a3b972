#!/bin/sh
# The real executable with a broken room in a copy of the assets: the saved
# level fails to load, and the box that says so names the file and why.
# Each run ends the box another way (SIGTERM, SIGINT, Return, Escape, a
# click): the game ends with status 0, and no process of it (nor any child
# it made) is left behind.
#   error_box.sh <path to quorvane> [directory to keep the box's picture in]
# Needs DISPLAY (ctest runs under Xvfb) and xdotool.
set -u
GAME=$1
KEEP=${2:-}
BUILD=$(pwd)
WORK=$(mktemp -d /tmp/quorvane-errorbox-XXXXXX)
pid=
trap 'rm -rf "$WORK"' EXIT
fail() {
    echo "FAIL: $*"
    [ -f "$WORK/game.log" ] && cat "$WORK/game.log"
    [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
    exit 1
}
command -v xdotool >/dev/null || fail "xdotool is not installed"

# The assets as built, but room 1 (where the story starts) is no map.
mkdir "$WORK/assets"
for entry in "$BUILD"/assets/*; do
    [ "$(basename "$entry")" = rooms ] || ln -s "$entry" "$WORK/assets/"
done
cp -r "$BUILD/assets/rooms" "$WORK/assets/rooms"
echo "this is no map" >"$WORK/assets/rooms/1.tmx"
cd "$WORK"

press() {
    xdotool keydown "$1"
    sleep 0.15
    xdotool keyup "$1"
    sleep 0.3
}

# Every process below `1`, children first.
descendants() {
    for child in $(ps -o pid= --ppid "$1"); do
        descendants "$child"
        echo "$child"
    done
}

# Starts the game on the broken level and waits for the box.
open_box() {
    printf '<settings volume="0" muted="1" fullscreen="0" width="1280" height="720"/>\n' >settings.xml
    printf '<save level="0"/>\n' >save.xml
    rm -rf screenshots
    # A shell starts background commands with SIGINT ignored; a game run
    # from a terminal has it as Ctrl+C sends it. The game opens straight on
    # the saved level, as "Continue" does.
    QUORVANE_TEST_START_LEVEL=1 env --default-signal=INT "$GAME" >game.log 2>&1 &
    pid=$!
    win=
    i=0
    while ! win=$(xdotool search --all --pid "$pid" --name '^Quorvane$' 2>/dev/null | head -1) || [ -z "$win" ]; do
        i=$((i + 1))
        [ $i -lt 100 ] || fail "no game window"
        kill -0 "$pid" 2>/dev/null || fail "the game did not start"
        sleep 0.1
    done
    xdotool windowfocus --sync "$win" 2>/dev/null || xdotool windowfocus "$win"
    xdotool mousemove --window "$win" 640 700
    i=0
    until grep -q "^Exception: " game.log; do
        i=$((i + 1))
        [ $i -lt 300 ] || fail "no error box"
        kill -0 "$pid" 2>/dev/null || fail "the game ended instead of showing the box"
        sleep 0.1
    done
    # The box takes its picture with F12: once it is written, the box is
    # up and reading the keyboard.
    press F12
    i=0
    until [ -n "$(ls screenshots 2>/dev/null)" ]; do
        i=$((i + 1))
        [ $i -lt 100 ] || fail "no picture of the box"
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null || fail "the game ended without the box"
    family=$(descendants "$pid")
}

# Waits for the game to end; fails unless it ends by itself with status 0
# and leaves nothing of it running.
expect_clean_end() {
    i=0
    while kill -0 "$pid" 2>/dev/null; do
        i=$((i + 1))
        [ $i -lt 100 ] || fail "$1 did not end the game"
        sleep 0.1
    done
    wait "$pid"
    status=$?
    [ "$status" -eq 0 ] || fail "$1: the game ended with status $status"
    for p in $family; do
        ! kill -0 "$p" 2>/dev/null || fail "$1: process $p of the game outlived it: $(ps -o pid,ppid,comm,args -p "$p")"
    done
    grep -q "GAME: .* frames in" game.log || fail "$1: the game did not shut down in order"
}

# 1. SIGTERM while the box is up; the box names the file and the reason.
open_box
grep -q "^Exception: Map 1 is invalid: assets/rooms/1.tmx cannot be read (XML_ERROR_PARSING_TEXT)$" game.log ||
    fail "the message does not name the file and the reason"
if [ -n "$KEEP" ]; then
    mkdir -p "$KEEP"
    cp "screenshots/$(ls screenshots | head -1)" "$KEEP/error-box.png"
fi
kill -TERM "$pid"
expect_clean_end "SIGTERM"

# 2. The other ways to end it.
open_box
kill -INT "$pid"
expect_clean_end "SIGINT"
for key in Return Escape; do
    open_box
    press "$key"
    expect_clean_end "$key"
done
open_box
xdotool mousemove --window "$win" 640 400 click 1
expect_clean_end "a click"
echo "ok"
