#!/bin/sh
# The real executable on a display of its own that goes away under it (the X
# server ends, as when the desktop session is closed): the game must end
# too, not stay behind spinning on the broken connection.
#   display_lost.sh <path to quorvane>
set -u
GAME=$1
BUILD=$(pwd)
WORK=$(mktemp -d /tmp/quorvane-program-XXXXXX)
trap 'kill -9 "$(cat "$WORK/game.pid" 2>/dev/null)" 2>/dev/null; rm -rf "$WORK"' EXIT
ln -s "$BUILD/assets" "$WORK/assets"
cd "$WORK"
fail() { echo "FAIL: $*"; exit 1; }
command -v xvfb-run >/dev/null || fail "xvfb-run is not installed"

printf '<settings volume="0" muted="1" fullscreen="0" width="640" height="360"/>\n' >settings.xml
# The game runs for a few seconds on a server of its own, which then ends
# while the game is still playing.
cat >run.sh <<SCRIPT
"$GAME" >game.log 2>&1 &
echo \$! >game.pid
i=0
while ! grep -q "first frame presented" game.log && [ \$i -lt 100 ]; do
    i=\$((i + 1))
    sleep 0.1
done
sleep 0.5
SCRIPT
xvfb-run -a -s "-screen 0 800x600x24 -noreset" sh run.sh
pid=$(cat game.pid)
grep -q "first frame presented" game.log || fail "the game never drew a frame: $(cat game.log)"
i=0
while kill -0 "$pid" 2>/dev/null; do
    i=$((i + 1))
    [ $i -lt 100 ] || fail "the game still runs 10 s after its display went away: $(cat game.log)"
    sleep 0.1
done
echo "the game ended $((i / 10)).$((i % 10)) s after its display went away"
