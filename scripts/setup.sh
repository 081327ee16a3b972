#!/bin/sh
# Installs whatever Debian packages are missing, then configures and builds
# the game, its tools, tests and assets into the given build directory.
#   scripts/setup.sh [build-dir] [extra cmake arguments...]
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-"$ROOT/build"}
[ $# -gt 0 ] && shift

PKGS=$(grep -v '^#' "$ROOT/scripts/packages.txt" | tr '\n' ' ')
MISSING=""
for p in $PKGS; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        MISSING="$MISSING $p"
    fi
done
if [ -n "$MISSING" ]; then
    echo "setup: installing$MISSING"
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO=sudo
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $MISSING
fi

LAUNCHER=""
command -v ccache >/dev/null 2>&1 && LAUNCHER="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache"
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo $LAUNCHER "$@"
cmake --build "$BUILD" -j "$(nproc)"
