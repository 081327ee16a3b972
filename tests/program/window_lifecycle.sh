#!/bin/sh
# The real executable: it opens its window at the size in settings.xml,
# closing it ends the game with status 0 and a rewritten settings.xml; with no
# settings.xml it starts full screen at the desktop size and writes the file.
#   window_lifecycle.sh <path to quorvane>   (needs DISPLAY, e.g. under xvfb-run)
set -u
GAME=$1
BUILD=$(pwd)
WORK=$(mktemp -d /tmp/quorvane-program-XXXXXX)
trap 'rm -rf "$WORK"' EXIT
ln -s "$BUILD/assets" "$WORK/assets"
cd "$WORK"
fail() { echo "FAIL: $*"; exit 1; }

# Other tests may have their own "Quorvane" windows open at the same time,
# so the window is found by the game's process id.
# Runs the game for a moment, asks its window to close (SDL turns SIGTERM
# into the same quit request as the close button) and returns its status.
run_and_close() {
    "$GAME" >game.log 2>&1 &
    pid=$!
    i=0
    while [ $i -lt 100 ]; do
        if command -v xdotool >/dev/null && xdotool search --all --onlyvisible --pid $pid --name '^Quorvane$' >/dev/null 2>&1; then
            break
        fi
        sleep 0.1
        i=$((i + 1))
    done
    sleep 1
    if command -v xdotool >/dev/null; then
        xdotool search --all --onlyvisible --pid $pid --name '^Quorvane$' getwindowgeometry >geometry.txt 2>/dev/null
    fi
    kill -TERM $pid
    wait $pid
    return $?
}

# 1. A windowed size from settings.xml.
printf '<settings volume="0.5" muted="1" fullscreen="0" width="800" height="450"/>\n' >settings.xml
run_and_close || fail "windowed run ended with status $? ($(cat game.log))"
grep -q "Geometry: 800x450" geometry.txt || fail "window was not 800x450: $(cat geometry.txt)"
# A file from before the two volume levels: its one volume carries over into
# both levels, so the game sounds as loud as it did.
[ "$(cat settings.xml)" = '<settings volume="1" muted="1" fullscreen="0" width="800" height="450" musicVolume="0.5" effectsVolume="0.5"/>' ] ||
    fail "settings not written back: $(cat settings.xml)"

# 2. No settings.xml: full screen at the desktop size, then the file exists.
rm -f settings.xml
run_and_close || fail "first run ended with status $? ($(cat game.log))"
[ -f settings.xml ] || fail "settings.xml not written"
desktop=$(xdpyinfo 2>/dev/null | awk '/dimensions:/ {print $2}')
grep -q 'fullscreen="1"' settings.xml || fail "not full screen: $(cat settings.xml)"
if [ -n "$desktop" ]; then
    w=${desktop%x*}
    h=${desktop#*x}
    grep -q "width=\"$w\" height=\"$h\"" settings.xml || fail "not the desktop size $desktop: $(cat settings.xml)"
fi
[ ! -e settings.xml.tmp ] || fail "temporary file left behind"
echo "ok"
