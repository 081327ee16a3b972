#!/bin/sh
# The real executable with files a player or modder broke: each is named on
# the console with what the game used instead, and none stops the game.
#   1. settings.xml asks for a 100000 x 99999999999999 window, muted="7",
#      fullscreen="-1"; endless.xml is garbage; a sound, the icon and a menu
#      particle system (NaN and 1e30 in its numbers) are broken; room 1's
#      first torch asks for Frames="1e9". The game starts, settings.xml is
#      repaired at once, the menu and the first level run.
#   2. An endless.xml of 50 MB: refused unread, the game's peak memory at
#      the main menu within 100 MB of a run without it.
#   3. No levels.xml: the menu names it as soon as it starts.
#   4. No assets/ anywhere: the folders searched are named.
#   broken_files.sh <path to quorvane>   (needs DISPLAY and xdotool)
set -u
GAME=$1
BUILD=$(pwd)
WORK=$(mktemp -d /tmp/quorvane-broken-XXXXXX)
pid=
trap 'rm -rf "$WORK"' EXIT
fail() {
    echo "FAIL: $*"
    [ -f "$WORK/run/game.log" ] && cat "$WORK/run/game.log"
    [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
    exit 1
}
command -v xdotool >/dev/null || fail "xdotool is not installed"

# A fresh run folder whose assets are the built ones, but for the folders
# named, which are copies to break.
fresh_run() {
    rm -rf "$WORK/run"
    mkdir -p "$WORK/run/assets"
    for entry in "$BUILD"/assets/*; do
        name=$(basename "$entry")
        case " $* " in
        *" $name "*) cp -r "$entry" "$WORK/run/assets/$name" ;;
        *) ln -s "$entry" "$WORK/run/assets/" ;;
        esac
    done
    cd "$WORK/run"
}

press() {
    xdotool keydown "$1"
    sleep 0.15
    xdotool keyup "$1"
    sleep 0.3
}

# Starts the game (or the executable given) and waits for the main menu (a
# key cuts the logos short).
launch() {
    # The null output of OpenAL Soft: sounds are loaded as with a device.
    ALSOFT_DRIVERS=null "${1:-$GAME}" >game.log 2>&1 &
    pid=$!
    win=
    i=0
    while ! win=$(xdotool search --all --pid "$pid" --name '^Quorvane$' 2>/dev/null | head -1) || [ -z "$win" ]; do
        i=$((i + 1))
        [ $i -lt 150 ] || fail "no game window"
        kill -0 "$pid" 2>/dev/null || fail "the game did not start"
        sleep 0.1
    done
    xdotool windowfocus --sync "$win" 2>/dev/null || xdotool windowfocus "$win"
    # The logos take a key only after their first half second, counted from
    # the first frame, which a busy machine presents late.
    i=0
    until grep -q "^GAME: first frame presented" game.log; do
        i=$((i + 1))
        [ $i -lt 300 ] || fail "no first frame"
        sleep 0.1
    done
    sleep 1
    press space
    sleep 2.5
    kill -0 "$pid" 2>/dev/null || fail "the game ended at the menu"
}

stop() {
    kill -TERM "$pid"
    wait "$pid"
    status=$?
    [ "$status" -eq 0 ] || fail "the game ended with status $status"
    pid=
}

# The console holds this line exactly (waiting for it while the game runs:
# a busy machine draws the logos and the menu slowly).
told() {
    i=0
    until grep -qxF "$1" game.log; do
        i=$((i + 1))
        [ $i -lt 300 ] || fail "not told: $1"
        sleep 0.1
    done
}

# 1. Many broken files at once.
fresh_run sounds particles rooms
printf '<settings volume="0" muted="7" fullscreen="-1" width="100000" height="99999999999999"/>\n' >settings.xml
echo "garbage" >endless.xml
echo "no sound at all" >assets/sounds/cursor_move.wav
rm assets/title.ico
echo "no icon" >assets/title.ico
sed -i 's/Scale="[^"]*"/Scale="1e30,nan"/; s/Color="[^"]*"/Color="nan,inf,1,1"/' assets/particles/starfield.xml
sed -i '0,/name="Frames" type="int" value="3"/s//name="Frames" type="int" value="1e9"/' assets/rooms/1.tmx
printf '<save level="0"/>\n' >save.xml
launch
desktop=$(xdpyinfo 2>/dev/null | awk '/dimensions:/ {print $2}')
w=${desktop%x*}
h=${desktop#*x}
told "SETTINGS: settings.xml: muted \"7\" is neither on (1) nor off (0): read as off"
told "SETTINGS: settings.xml: fullscreen \"-1\" is neither on (1) nor off (0): read as off"
told "SETTINGS: settings.xml: width \"100000\" is larger than any screen: read as 16384"
told "SETTINGS: settings.xml: height \"99999999999999\" is larger than any screen: read as 16384"
told "SETTINGS: settings.xml: the window size 16384 x 16384 does not fit the desktop's usable $w x $h: $w x $h is used instead"
# Written back at once: a game that never ends in order starts next time.
grep -q "width=\"$w\" height=\"$h\"" settings.xml || fail "settings.xml not repaired: $(cat settings.xml)"
told "ENDLESS: endless.xml: the file cannot be read (XML_ERROR_PARSING_TEXT): the best depth reads as 0"
told "SOUND: ./assets/sounds/cursor_move.wav cannot be read as a sound (Format not recognised.): it stays silent"
told "ICON: assets/title.ico holds no usable 32 x 32 image: the window keeps the desktop's icon"
told "PARTICLES: assets/particles/starfield.xml: Scale \"1e30,nan\" is not 2 finite numbers within +-100000: 0,0 is used instead"
told "PARTICLES: assets/particles/starfield.xml: Color \"nan,inf,1,1\" is not 4 finite numbers within +-100000: 1,1,1,1 is used instead"
sleep 1
! grep -q "Exception" game.log || fail "a broken file stopped the game"
stop
# The first level (opened at once, as "Continue" does): its torch's frames
# are named as the room loads.
export QUORVANE_TEST_START_LEVEL=1
launch
unset QUORVANE_TEST_START_LEVEL
told "ROOM: assets/rooms/1.tmx: object \"Torch\" (Torches) property Frames \"1e9\" is not a whole number: 3 is used instead"
sleep 1
! grep -q "Exception" game.log || fail "a broken file stopped the level"
stop

# 2. A record of 50 MB, against a run with a record of a few bytes that
#    cannot be used either: peak memory once the menu has read it.
peak_at_menu() {
    launch
    told "$1"
    sleep 1
    awk '/VmHWM/ {print $2}' "/proc/$pid/status"
    stop
}
fresh_run
echo "garbage" >endless.xml
without=$(peak_at_menu "ENDLESS: endless.xml: the file cannot be read (XML_ERROR_PARSING_TEXT): the best depth reads as 0")
head -c 52428800 /dev/zero | tr '\0' ' ' >endless.xml
sed -i '1s/^/<endless best="7"\/>/' endless.xml
with=$(peak_at_menu "ENDLESS: endless.xml: the file is larger than the 65536 bytes such a file may hold: the best depth reads as 0")
echo "peak memory at the menu: $without kB, $with kB with the 50 MB record"
[ $((with - without)) -lt 102400 ] || fail "the record took $((with - without)) kB more at the menu"

# 3. No levels.xml: named as the menu starts. The game is started from a
#    copy beside the assets, or it would move into its build folder.
fresh_run
rm assets/levels.xml
cp "$GAME" ./quorvane
launch "$WORK/run/quorvane"
told "FILES: assets/levels.xml is missing: the story cannot be played"
stop

# 4. No assets anywhere: the game names where it looked.
mkdir "$WORK/lost"
cp "$GAME" "$WORK/lost/quorvane"
cd "$WORK/lost"
./quorvane >game.log 2>&1 && fail "the game started without its assets"
told "FILES: no assets/ of the game in $WORK/lost/assets, $WORK/share/games/quorvane/assets, $WORK/share/quorvane/assets"
echo "ok"
