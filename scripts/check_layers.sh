#!/bin/sh
# Checks that includes point one way down the layers:
#   engine -> core -> render, audio -> entities -> world -> ui -> scenes -> game
# A file may include its own folder and any lower layer; render and audio sit
# side by side and do not include each other. Prints every include that points
# up (or sideways) and fails if there is one.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"

rank() {
    case "$1" in
    engine) echo 0 ;;
    core) echo 1 ;;
    render | audio) echo 2 ;;
    entities) echo 3 ;;
    world) echo 4 ;;
    ui) echo 5 ;;
    scenes) echo 6 ;;
    game) echo 7 ;;
    *) echo 99 ;;
    esac
}

bad=0
for dir in engine core render audio entities world ui scenes game; do
    own=$(rank "$dir")
    for file in "$dir"/*.h "$dir"/*.cpp; do
        [ -e "$file" ] || continue
        for target in $(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([a-z]*\)\/.*/\1/p' "$file" | sort -u); do
            [ "$target" = "$dir" ] && continue
            other=$(rank "$target")
            if [ "$other" -ge "$own" ]; then
                grep -n "#include \"$target/" "$file" | sed "s|^|$file:|; s|\$|   ($dir may not include $target)|"
                bad=1
            fi
        done
    done
done
if [ "$bad" -ne 0 ]; then
    echo "layers: includes above point up the layer order" >&2
    exit 1
fi
echo "layers: every include points down"
