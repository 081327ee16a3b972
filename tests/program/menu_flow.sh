#!/bin/sh
# The real executable driven by real X input: the logos, the main menu, a new
# game, the level, the pause window, back to the menu, the credits, the menu
# again and out through "Quit game". Every screen is saved with F12.
#   menu_flow.sh <path to quorvane> [directory to keep the screenshots in]
# Needs DISPLAY (ctest runs under Xvfb) and xdotool.
set -u
. "$(dirname "$0")/../support/game_window.sh"
GAME=$1
KEEP=${2:-}
BUILD=$(pwd)
WORK=$(mktemp -d /tmp/quorvane-flow-XXXXXX)
pid=
trap 'rm -rf "$WORK"' EXIT
ln -s "$BUILD/assets" "$WORK/assets"
cd "$WORK"
fail() {
    echo "FAIL: $*"
    [ -f game.log ] && cat game.log
    kill -TERM "$pid" 2>/dev/null
    exit 1
}
command -v xdotool >/dev/null || fail "xdotool is not installed"

printf '<settings volume="0" muted="1" fullscreen="0" width="1280" height="720"/>\n' >settings.xml
# Starts the game and gives its window the keyboard.
launch() {
    "$GAME" >game.log 2>&1 &
    pid=$!
    focus_game_window
}
shots=0
# Saves the current screen as <name>.png.
shot() {
    take_screenshot screenshots "$1.png"
    shots=$((shots + 1))
}

# Any key after the first half second cuts both logos short, the screenshot
# key as well: the first logo is taken in a run of its own.
launch
sleep 1.2
shot 1-splash-first-logo
kill -TERM "$pid"
wait "$pid" || fail "closing the window during the splash ended with status $?"

launch
sleep 3.6
shot 2-splash-second-logo
sleep 3.5
alive "splash"
shot 3-main-menu

press Down # "Start new game": without a save "Continue" is grey
press Return
sleep 1.6
shot 4-start-question
press Down # "Yes"
press Return
sleep 3
alive "new game"
[ -f save.xml ] || fail "no save after a new game"
grep -q 'level="0"' save.xml || fail "the save is not level 0: $(cat save.xml)"
shot 5-level

press Escape
sleep 1.6
shot 6-pause
leave_level
sleep 3
alive "quit to menu"
shot 7-menu-again

press Down # "Continue", now that there is a save
press Down # "Start new game"
press Down # "Endless Mode"
press Down # "Level packs"
press Down # "Options"
press Down # "Credits"
press Return
sleep 2
shot 8-credits
press space
sleep 3
alive "credits"
shot 9-menu-after-credits

quit_from_menu shot 10-exit-question
wait "$pid"
status=$?
[ "$status" -eq 0 ] || fail "the game ended with status $status"
[ "$(cat settings.xml)" = '<settings volume="1" muted="1" fullscreen="0" width="1280" height="720" musicVolume="0" effectsVolume="0"/>' ] ||
    fail "settings not written back: $(cat settings.xml)"
! grep -q "Exception" game.log || fail "$(cat game.log)"
[ "$shots" -eq 10 ] || fail "$shots screenshots"
if [ -n "$KEEP" ]; then
    mkdir -p "$KEEP"
    cp ./*.png "$KEEP/"
fi
echo "ok"
