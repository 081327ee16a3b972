# game_window.sh -- the game's window driven by real X input, for the shell
# scripts that play the real executable. Sourced by a script that has set
# `pid` to the running game and defined fail(); needs DISPLAY and xdotool.

# Waits up to 20 s for the game's window, gives it the keyboard and rests
# the pointer in its bottom-left corner, away from every entry; sets `win`.
focus_game_window() {
    win=
    i=0
    while ! win=$(xdotool search --all --pid "$pid" --name '^Quorvane$' 2>/dev/null | head -1) ||
        [ -z "$win" ]; do
        i=$((i + 1))
        [ $i -lt 200 ] || fail "no game window"
        kill -0 "$pid" 2>/dev/null || fail "the game did not start"
        sleep 0.1
    done
    xdotool windowfocus --sync "$win" 2>/dev/null || xdotool windowfocus "$win"
    xdotool mousemove --window "$win" 5 715
}

# A key held long enough for a frame to see it.
press() {
    xdotool keydown "$1"
    sleep 0.15
    xdotool keyup "$1"
    sleep 0.25
}

alive() { kill -0 "$pid" 2>/dev/null || fail "the game ended early ($1)"; }

# Saves the screen with F12 and moves the new picture out of the game's
# screenshot folder to a file:  take_screenshot <screenshot folder> <file>
# (Moved, not copied: the game may still be writing it, into the same file.)
take_screenshot() {
    before=$(ls "$1" 2>/dev/null | wc -l)
    press F12
    j=0
    while [ "$(ls "$1" 2>/dev/null | wc -l)" -le "$before" ]; do
        j=$((j + 1))
        [ $j -lt 50 ] || fail "no screenshot for $(basename "$2")"
        sleep 0.1
    done
    mv "$1/$(ls -t "$1" | head -1)" "$2"
}

# Answers the quit question ("Quit game" from the bottom of the menu, then
# "Yes") and waits up to 10 s for the game to end.
# From the pause window with nothing highlighted: "Quit ", then "Yes" to the
# question it asks.
# From the main menu of a player with no save: "Start new game" ("Continue"
# is grey), "Yes", and the first level running.
start_new_game() {
    press Down # "Start new game"
    press Return
    sleep 1.6
    press Down # "Yes"
    press Return
    sleep 3
    alive "new game"
}

leave_level() {
    press Down # "Resume "
    press Down # "Options"
    press Down # "Quit "
    press Return
    sleep 1.6
    press Down # "Yes"
    press Return
}

quit_from_menu() {
    press Up # from the bottom: "Quit game"
    press Return
    sleep 1.6
    ${1:+"$@"}
    press Down # "Yes"
    press Return
    i=0
    while kill -0 "$pid" 2>/dev/null; do
        i=$((i + 1))
        [ $i -lt 100 ] || fail "the game did not end after Yes"
        sleep 0.1
    done
}
