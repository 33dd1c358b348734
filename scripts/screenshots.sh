#!/usr/bin/env bash
# Takes the README's screenshots: the intro, the main menu and a practice match of the
# 1024x768 build, under a virtual X server, driven like a player with the mouse.
# Usage: screenshots.sh [BUILD_DIR]   (default: build; the game and its assets must be built)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
out="$root/docs/screenshots"

if [ -z "${FROSTEL_SHOTS_IN_XVFB:-}" ]; then
    export FROSTEL_SHOTS_IN_XVFB=1
    exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp -noreset" bash "$0" "$build"
fi

[ -x "$build/run/frostel" ] || { echo "screenshots: $build/run/frostel is not built" >&2; exit 1; }
work=$(mktemp -d /tmp/frostel-shots-XXXXXX)
game=""
cleanup() {
    [ -n "$game" ] && kill "$game" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# The game writes its options beside itself: play from a folder of links, with options
# that make one mouse count one pointer pixel.
mkdir -p "$work/run"
for f in "$build/run"/*; do
    [ "$(basename "$f")" = opts.dat ] || ln -s "$f" "$work/run/"
done
python3 - "$work/run/opts.dat" <<'PY'
import struct, sys
with open(sys.argv[1], "wb") as f:
    f.write(struct.pack("<fi20sB3xii", 1.0, 6116, b"127.000.000.001", 1, 50, 50))
PY

shot() { xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng >"$out/$1.png" 2>/dev/null; }
click() { xdotool mousedown 1; sleep 0.1; xdotool mouseup 1; sleep 0.4; }
move() {  # relative mouse counts, in steps the menus take in one frame
    local dx=$1 dy=$2 sx sy
    while [ "$dx" -ne 0 ] || [ "$dy" -ne 0 ]; do
        sx=$(( dx > 20 ? 20 : (dx < -20 ? -20 : dx) )); sy=$(( dy > 20 ? 20 : (dy < -20 ? -20 : dy) ))
        xdotool mousemove_relative -- "$sx" "$sy"
        dx=$((dx - sx)) dy=$((dy - sy))
        sleep 0.05
    done
}

mkdir -p "$out"
xdotool mousemove 512 384
(cd "$work/run" && exec ./frostel) >/dev/null 2>&1 &
game=$!
sleep 3
shot intro
click                 # leaves the intro; the pointer starts at (512, 384)
sleep 0.8
move -20 40           # over the options item...
move 0 -40            # ...and back, so the pointer shows
shot main_menu
move -17 3            # the practice item at (495, 387)
click
sleep 1.5
move 0 -30            # slide the goalie a little and turn a skater
xdotool key 2
move 25 0
sleep 1
shot match
xdotool key Escape
sleep 0.5

# A screenshot must show the game: not one flat colour, and each unlike the others.
for s in intro main_menu match; do
    colours=$(convert "$out/$s.png" -format '%k' info:)
    [ "$colours" -gt 50 ] || { echo "screenshots: $s.png is nearly blank ($colours colours)" >&2; exit 1; }
done
for pair in "intro main_menu" "main_menu match"; do
    set -- $pair
    diff=$(compare -metric AE -fuzz 5% "$out/$1.png" "$out/$2.png" null: 2>&1 | cut -d' ' -f1 || true)
    [ "${diff%.*}" -gt 20000 ] || { echo "screenshots: $1 and $2 look alike ($diff pixels differ)" >&2; exit 1; }
done
echo "screenshots: wrote intro.png, main_menu.png and match.png to $out"
