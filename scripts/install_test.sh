#!/bin/sh
# The Debian package on a system that has never seen the source: a clean
# Debian bookworm root made with debootstrap from the Debian archive, the
# package installed into it with apt (a library it fails to depend on is
# missing there and fails the run), the game started in it as a player, on
# an Xvfb display, from the PATH, a frame taken, the music volume changed on
# the options page and saved to the player's data folder, the game quit from
# its menu, the package removed and purged, and /usr checked to be as it was.
#   scripts/install_test.sh <quorvane_*.deb> [folder to keep the screenshots in]
# Needs root (debootstrap, chroot, mounts), Xvfb and xdotool. Where
# debootstrap cannot run (not root, no debootstrap, no chroot, the archive
# out of reach) it says so and ends with status 0: skipped, not failed.
#
# The debootstrapped root is kept as a tarball in $QUORVANE_ROOT_CACHE
# (/var/cache/quorvane-install-test), renewed after 30 days, with apt's
# package lists and downloads beside it, so a later run unpacks it and
# downloads only what changed. Every run unpacks a fresh copy.
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/../tests/support/game_window.sh"
DEB=$(realpath "$1")
KEEP=${2:-}
CACHE=${QUORVANE_ROOT_CACHE:-/var/cache/quorvane-install-test}
MIRROR=${QUORVANE_DEBIAN_MIRROR:-http://deb.debian.org/debian}
SECURITY=${QUORVANE_DEBIAN_SECURITY:-http://deb.debian.org/debian-security}
SUITE=bookworm
BASE=$CACHE/$SUITE-minbase.tar
PLAYER_PATH=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games
started=$(date +%s)

skip() {
    echo "SKIP: install test: $* (the package was not tried on a clean system)"
    exit 0
}
[ "$(id -u)" -eq 0 ] || skip "debootstrap and chroot need root"
command -v debootstrap >/dev/null || skip "debootstrap is not installed"
for tool in Xvfb xdotool; do
    command -v $tool >/dev/null || { echo "FAIL: $tool is not installed"; exit 1; }
done
mkdir -p "$CACHE/archives/partial" "$CACHE/lists/partial" || skip "cannot write $CACHE"

WORK=$(mktemp -d /var/tmp/quorvane-install-XXXXXX)
ROOT=$WORK/root
mounts=""
xvfb=
pid=
cleanup() {
    set +e # every step, whatever the one before did
    [ -n "$pid" ] && kill -TERM "$pid" 2>/dev/null
    [ -n "$xvfb" ] && kill -TERM "$xvfb" 2>/dev/null
    for m in $mounts; do umount "$m" 2>/dev/null || umount -l "$m"; done
    # Never past the root's own file system, whatever is still mounted in it.
    rm -rf --one-file-system "$WORK"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
fail() {
    echo "FAIL: install test: $*"
    [ -f "$WORK/game.log" ] && cat "$WORK/game.log"
    exit 1
}
in_root() { chroot "$ROOT" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LC_ALL=C.UTF-8 "$@"; }

# The clean root, made once and kept.
if [ -f "$BASE" ] && [ -z "$(find "$BASE" -mtime +30)" ]; then
    echo "install test: the clean $SUITE root from $BASE"
else
    echo "install test: making a clean $SUITE root with debootstrap (a few minutes, once)"
    mkdir "$ROOT"
    debootstrap --variant=minbase "$SUITE" "$ROOT" "$MIRROR" >"$WORK/debootstrap.log" 2>&1 ||
        skip "debootstrap cannot run here: $(tail -3 "$WORK/debootstrap.log" | tr '\n' ' ')"
    in_root true || skip "cannot chroot into the new root"
    cat >"$ROOT/etc/apt/sources.list" <<EOF
deb $MIRROR $SUITE main
deb $MIRROR $SUITE-updates main
deb $SECURITY $SUITE-security main
EOF
    in_root useradd --create-home --shell /bin/sh player
    in_root apt-get clean
    tar -C "$ROOT" -cf "$BASE.new" . && mv "$BASE.new" "$BASE"
    rm -rf --one-file-system "$ROOT"
fi
mkdir "$ROOT"
tar -C "$ROOT" -xf "$BASE"
cp /etc/resolv.conf "$ROOT/etc/resolv.conf" 2>/dev/null || true
bind() {
    mount --bind "$1" "$ROOT$2" || fail "cannot mount $1 on $2"
    mounts="$ROOT$2 $mounts"
}
mount -t proc proc "$ROOT/proc" || skip "cannot mount /proc in the root"
mounts="$ROOT/proc"
bind "$CACHE/archives" /var/cache/apt/archives
bind "$CACHE/lists" /var/lib/apt/lists
mkdir -p /tmp/.X11-unix "$ROOT/tmp/.X11-unix"
bind /tmp/.X11-unix /tmp/.X11-unix

# apt as a player runs it: the package file, its dependencies from the archive.
(cd "$ROOT" && find usr etc -xdev | sort) >"$WORK/before"
in_root apt-get update -q >"$WORK/apt.log" 2>&1 || fail "apt-get update: $(cat "$WORK/apt.log")"
cp "$DEB" "$ROOT/tmp/"
if ! in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
    "/tmp/$(basename "$DEB")" >"$WORK/apt.log" 2>&1; then
    fail "apt-get install: $(cat "$WORK/apt.log")"
fi
echo "install test: installed with $(grep -c '^Setting up' "$WORK/apt.log") packages set up"
rm "$ROOT/tmp/$(basename "$DEB")"
[ "$(in_root sh -c "PATH=$PLAYER_PATH command -v quorvane")" = /usr/games/quorvane ] ||
    fail "quorvane is not /usr/games/quorvane on a player's PATH"

# The game, started as a player would from a shell in the home folder.
Xvfb -displayfd 3 -screen 0 1280x720x24 -nolisten tcp -noreset 3>"$WORK/display" \
    >"$WORK/xvfb.log" 2>&1 &
xvfb=$!
i=0
while [ ! -s "$WORK/display" ]; do
    i=$((i + 1))
    [ $i -lt 100 ] || fail "Xvfb did not start: $(cat "$WORK/xvfb.log")"
    sleep 0.1
done
export DISPLAY=":$(cat "$WORK/display")"
DATA=$ROOT/home/player/.local/share/quorvane
touch "$WORK/marker"
chroot --userspec=player:player "$ROOT" /usr/bin/env -i HOME=/home/player USER=player \
    PATH=$PLAYER_PATH DISPLAY="$DISPLAY" LIBGL_ALWAYS_SOFTWARE=1 \
    /bin/sh -c 'cd "$HOME" && exec quorvane' >"$WORK/game.log" 2>&1 &
pid=$!
focus_game_window
shot() { take_screenshot "$DATA/screenshots" "$WORK/$1.png"; }

sleep 7.5 # the logos
alive "splash"
start_new_game
[ -f "$DATA/save.xml" ] || fail "no save in the data folder"
shot level

press Escape
sleep 1.6
leave_level
sleep 3
alive "quit to menu"
for entry in Continue Start Endless Packs Options; do press Down; done
press Return
sleep 1.6
press Down # "Fullscreen: Off"
press Down # "Audio: On"
press Down # "Music volume"
press Left
press Left
shot options
for entry in Effects VSync Scaling Controls Close; do press Down; done
press Return # "Close Options" keeps the choices
sleep 1.6
alive "options"
grep -q 'musicVolume="0\.8' "$DATA/settings.xml" 2>/dev/null ||
    fail "the music volume was not saved: $(cat "$DATA/settings.xml" 2>/dev/null)"
quit_from_menu
status=0
wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || fail "the game ended with status $status"
grep -q "keeping settings and saves in /home/player/.local/share/quorvane" "$WORK/game.log" ||
    fail "the game did not keep its files in the data folder"
written=$(cd "$ROOT" && find usr etc -xdev -newer "$WORK/marker")
[ -z "$written" ] || fail "the game wrote outside the data folder: $written"
if [ -n "$KEEP" ]; then
    mkdir -p "$KEEP"
    cp "$WORK/level.png" "$WORK/options.png" "$KEEP/"
fi
kill -TERM "$xvfb" 2>/dev/null
xvfb=

# Removed, purged, and the dependencies apt brought with it gone again.
in_root env DEBIAN_FRONTEND=noninteractive apt-get remove -y -q quorvane >"$WORK/apt.log" 2>&1 ||
    fail "apt-get remove: $(cat "$WORK/apt.log")"
[ -z "$(cd "$ROOT" && find usr -xdev -name '*quorvane*')" ] || fail "files left after apt-get remove"
# With no configuration files of its own, the removal leaves dpkg nothing to
# purge: apt no longer knows the name, dpkg purges what record may be left.
in_root dpkg --purge quorvane >"$WORK/apt.log" 2>&1 || fail "dpkg --purge: $(cat "$WORK/apt.log")"
in_root dpkg-query -W -f='${Status}\n' quorvane 2>/dev/null | grep -q 'install ok' &&
    fail "quorvane is still known to dpkg after the purge"
in_root env DEBIAN_FRONTEND=noninteractive apt-get autoremove --purge -y -q \
    >"$WORK/apt.log" 2>&1 || fail "apt-get autoremove: $(cat "$WORK/apt.log")"
(cd "$ROOT" && find usr etc -xdev | sort) >"$WORK/after"
left=$(comm -13 "$WORK/before" "$WORK/after")
[ -z "$left" ] || fail "left in the root after the purge: $left"
[ -d "$DATA" ] || fail "the purge took the player's files"
echo "install test: ok in $(($(date +%s) - started)) s (installed, played, saved, purged)"
