#!/bin/sh
# Sets everything up (packages, build, assets) and starts the game.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
"$ROOT/scripts/setup.sh" "$ROOT/build"
cd "$ROOT/build"
exec ./quorvane
