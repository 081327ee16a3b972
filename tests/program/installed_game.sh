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
. "$(dirname "$0")/../support/game_window.sh"
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
for f in games/quorvane share/games/quorvane/assets/levels.xml \
    share/games/quorvane/assets/PixAntiqua.ttf share/games/quorvane/assets/rooms/1.tmx \
    share/applications/quorvane.desktop share/man/man6/quorvane.6.gz \
    share/doc/quorvane/copyright share/doc/quorvane/changelog.gz; do
    [ -f "$PREFIX/$f" ] || fail "not installed: $f"
done
for size in 16 24 32 48 64 128 256; do
    [ -f "$PREFIX/share/icons/hicolor/${size}x$size/apps/quorvane.png" ] || fail "no $size icon"
done
[ -n "$(ls "$PREFIX"/share/metainfo/*.metainfo.xml 2>/dev/null)" ] || fail "no metainfo"
grep -qx 'Exec=quorvane' "$PREFIX/share/applications/quorvane.desktop" || fail "desktop entry Exec"
grep -qx 'Icon=quorvane' "$PREFIX/share/applications/quorvane.desktop" || fail "desktop entry Icon"
[ -z "$(ls "$PREFIX/share/games/quorvane/assets/rooms" | grep -E '^10[0-4]\.tmx$')" ] ||
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
"$PREFIX/games/quorvane" >"$WORK/game.log" 2>&1 &
pid=$!
focus_game_window

sleep 7.5 # the logos
alive "splash"
start_new_game
[ -f "$DATA/save.xml" ] || fail "no save in the data directory"
take_screenshot "$DATA/screenshots" "$WORK/level.png"

press Escape
sleep 1.6
leave_level
sleep 3
alive "quit to menu"
quit_from_menu
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
