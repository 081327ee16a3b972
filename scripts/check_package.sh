#!/bin/sh
# Checks the Debian package as the distribution's tools see it: its desktop
# entry (desktop-file-validate), its AppStream metainfo (appstreamcli
# validate, offline) and the whole package (lintian: no error, and no
# warning that dist/lintian-warnings.txt does not name and justify).
#   scripts/check_package.sh <quorvane_*.deb>
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
DEB=$(realpath "$1")
WORK=$(mktemp -d /tmp/quorvane-check-XXXXXX)
trap 'rm -rf "$WORK"' EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}

dpkg-deb -x "$DEB" "$WORK/tree"
desktop-file-validate "$WORK/tree/usr/share/applications/quorvane.desktop" ||
    fail "desktop-file-validate"
echo "check: desktop entry valid"
for metainfo in "$WORK"/tree/usr/share/metainfo/*.metainfo.xml; do
    appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate $(basename "$metainfo")"
done

# Run as root, lintian says so on every run; the package is what is judged.
lintian --display-info --pedantic "$DEB" 2>&1 | grep -v 'running with root privileges' \
    >"$WORK/lintian.txt" || true
echo "check: lintian says"
cat "$WORK/lintian.txt"
! grep -q '^E: ' "$WORK/lintian.txt" || fail "lintian found errors"
allowed=$(sed -e 's/#.*//' -e '/^[[:space:]]*$/d' "$ROOT/dist/lintian-warnings.txt" | cut -d' ' -f1)
for tag in $(grep '^W: ' "$WORK/lintian.txt" | cut -d' ' -f3 | sort -u); do
    echo "$allowed" | grep -qx "$tag" ||
        fail "lintian warns $tag, which dist/lintian-warnings.txt does not justify"
done
echo "check: ok"
