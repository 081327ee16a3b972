#!/bin/sh
# The installed game: `cmake --install` of this build into a fresh prefix,
# then the installed executable started from an unrelated working directory
# with a home of its own, driven by real X input from the logos into a new
# game and out through "Quit game". It must find its assets, keep the
# player's files in ~/.local/share/quorvane, and write nothing into the
# installed tree or the working directory.
#   installed_game.sh <path to quorvane>    (run in the build directory)
# Needs DISPLAY (ctest runs under Xvfb), xdotool and cmake.
set -u
BUILD=$(pwd)
WORK=$(mktemp -d /tmp/quorvane-installed-XXXXXX)
pid=
trap 'rm -rf "$WORK"' EXIT
fail() {
    echo "FAIL: $*"
    [ -f "$WORK/game.log" ] && cat "$WORK/game.log"
    [ -n "$pid" ] && kill -TERM "$pid" 2>/dev/null
    exit 1
}
command -v xdotool >/dev/null || fail "xdotool is not installed"

PREFIX=$WORK/prefix
cmake --install "$BUILD" --prefix "$PREFIX" >"$WORK/install.log" 2>&1 ||
    fail "install: $(cat "$WORK/install.log")"
for f in bin/quorvane share/quorvane/assets/levels.xml share/quorvane/assets/PixAntiqua.ttf \
    share/quorvane/assets/rooms/1.tmx share/applications/quorvane.desktop \
    share/icons/hicolor/48x48/apps/quorvane.png share/icons/hicolor/256x256/apps/quorvane.png; do
    [ -f "$PREFIX/$f" ] || fail "not installed: $f"
done
grep -qx 'Exec=quorvane' "$PREFIX/share/applications/quorvane.desktop" || fail "desktop entry Exec"
grep -qx 'Icon=quorvane' "$PREFIX/share/applications/quorvane.desktop" || fail "desktop entry Icon"
[ -z "$(ls "$PREFIX/share/quorvane/assets/rooms" | grep -E '^10[0-4]\.tmx$')" ] ||
    fail "generated endless rooms were installed"
(cd "$PREFIX" && find . | sort) >"$WORK/tree.before"

export HOME="$WORK/home"
unset XDG_DATA_HOME
DATA="$HOME/.local/share/quorvane"
mkdir -p "$DATA" "$WORK/elsewhere"
printf '<settings volume="1" muted="1" fullscreen="0" width="1280" height="720" musicVolume="0.5" effectsVolume="0.5"/>\n' \
    >"$DATA/settings.xml"
cd "$WORK/elsewhere"

# Starts the game and gives its window the keyboard.
"$PREFIX/bin/quorvane" >"$WORK/game.log" 2>&1 &
pid=$!
win=
i=0
while ! win=$(xdotool search --all --pid "$pid" --name '^Quorvane$' 2>/dev/null | head -1) || [ -z "$win" ]; do
    i=$((i + 1))
    [ $i -lt 100 ] || fail "no game window"
    kill -0 "$pid" 2>/dev/null || fail "the installed game did not start: $(cat "$WORK/game.log")"
    sleep 0.1
done
xdotool windowfocus --sync "$win" 2>/dev/null || xdotool windowfocus "$win"
xdotool mousemove --window "$win" 5 715
press() {
    xdotool keydown "$1"
    sleep 0.15
    xdotool keyup "$1"
    sleep 0.25
}
alive() { kill -0 "$pid" 2>/dev/null || fail "the game ended early ($1)"; }

sleep 7.5 # the logos
alive "splash"
press Down # "Start new game": without a save "Continue" is grey
press Return
sleep 1.6
press Down # "Yes"
press Return
sleep 3
alive "new game"
[ -f "$DATA/save.xml" ] || fail "no save in the data directory"
press F12
i=0
while [ -z "$(ls "$DATA/screenshots" 2>/dev/null)" ]; do
    i=$((i + 1))
    [ $i -lt 50 ] || fail "no screenshot in the data directory"
    sleep 0.1
done

press Escape
sleep 1.6
press Down # "Resume "
press Down # "Options"
press Down # "Quit "
press Return
sleep 3
alive "quit to menu"
press Up # from the bottom: "Quit game"
press Return
sleep 1.6
press Down # "Yes"
press Return
i=0
while kill -0 "$pid" 2>/dev/null; do
    i=$((i + 1))
    [ $i -lt 100 ] || fail "the game did not end after Yes"
    sleep 0.1
done
wait "$pid"
status=$?
pid=
[ "$status" -eq 0 ] || fail "the game ended with status $status"
! grep -q "Exception" "$WORK/game.log" || fail "$(cat "$WORK/game.log")"
grep -q "keeping settings and saves in $DATA" "$WORK/game.log" || fail "$(cat "$WORK/game.log")"
grep -q 'musicVolume="0.5"' "$DATA/settings.xml" || fail "settings: $(cat "$DATA/settings.xml")"
[ -z "$(ls -A "$WORK/elsewhere")" ] || fail "written into the working directory: $(ls -A "$WORK/elsewhere")"
(cd "$PREFIX" && find . | sort) >"$WORK/tree.after"
cmp -s "$WORK/tree.before" "$WORK/tree.after" ||
    fail "written into the installed tree: $(diff "$WORK/tree.before" "$WORK/tree.after")"
echo "ok"
