#!/bin/sh
# Builds the game's Debian package from this tree in one go: installs
# whatever Debian packages the build needs (scripts/setup.sh), builds the
# game and its assets, and packs the install tree with CPack, its
# dependencies read from the executable by dpkg-shlibdeps.
#   scripts/package.sh [build-dir]
# A new build directory (build-deb by default) is a release build with
# Debian's hardening flags and without the tests and benchmarks; an existing
# one is packed as it is configured. The package is left alone in
# <build-dir>/package/, quorvane_<version>_<arch>.deb, and its path is the
# last line printed.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-"$ROOT/build-deb"}

if [ -f "$BUILD/CMakeCache.txt" ]; then
    "$ROOT/scripts/setup.sh" "$BUILD"
else
    # dpkg-buildflags: Debian's optimisation and hardening flags (stack
    # protector, fortified functions, read-only relocations bound at start).
    # CMake takes no CPPFLAGS: they go with the compiler flags.
    export DEB_BUILD_MAINT_OPTIONS=hardening=+all
    command -v dpkg-buildflags >/dev/null && eval "$(dpkg-buildflags --export=sh)"
    export CFLAGS="${CFLAGS:-} ${CPPFLAGS:-}" CXXFLAGS="${CXXFLAGS:-} ${CPPFLAGS:-}"
    "$ROOT/scripts/setup.sh" "$BUILD" -DCMAKE_BUILD_TYPE=Release -DQUORVANE_TESTS=OFF \
        -DQUORVANE_BENCH=OFF
fi
rm -rf "$BUILD/package"
(cd "$BUILD" && cpack -G DEB) >"$BUILD/cpack.log" 2>&1 || {
    cat "$BUILD/cpack.log"
    exit 1
}
DEB=$(ls "$BUILD"/package/quorvane_*.deb)
echo "package: $(du -k "$DEB" | cut -f1) KiB, installed $(dpkg-deb -f "$DEB" Installed-Size) KiB"
echo "$DEB"
