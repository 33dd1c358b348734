# Shared by the flow_*_test.sh scripts: runs the real program under Xvfb in a scratch
# folder and drives it like a player, with xdotool, checking screenshots by pixels.
# Source it after setting FLOW_SCREEN (e.g. "1024x768") if the default does not fit.
set -euo pipefail

: "${FROSTEL_RUN_DIR:?FROSTEL_RUN_DIR must name the folder with the programs and assets}"
FLOW_SCREEN=${FLOW_SCREEN:-1024x768}

# Each script runs inside its own X server.
if [ -z "${FLOW_IN_XVFB:-}" ]; then
    # A random first server number keeps parallel runs from racing for the same display.
    exec xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 ${FLOW_SCREEN}x24" env FLOW_IN_XVFB=1 bash "$0" "$@"
fi

PLAY=$(mktemp -d /tmp/frostel-flow-XXXXXX)
GAME_PID=""
cleanup() {
    if [ -n "$GAME_PID" ] && kill -0 "$GAME_PID" 2>/dev/null; then kill "$GAME_PID" 2>/dev/null || true; fi
    if [ -z "${FLOW_KEEP:-}" ]; then rm -rf "$PLAY"; else echo "kept $PLAY"; fi
}
trap cleanup EXIT

# The assets and programs, linked; the options file is the test's own.
for f in "$FROSTEL_RUN_DIR"/*; do
    [ "$(basename "$f")" = opts.dat ] || ln -s "$f" "$PLAY/"
done

fail() {
    echo "FAIL: $*" >&2
    [ -f "$PLAY/game.log" ] && grep -v '^ALSA' "$PLAY/game.log" | tail -5 >&2
    exit 1
}

step() { echo "-- $*"; }

# write_opts SENSITIVITY PORT ADDRESS DETAIL EFFECTS MUSIC: the 40-byte options record.
write_opts() {
    python3 - "$PLAY/opts.dat" "$@" <<'EOF'
import struct, sys
path, sens, port, addr, detail, effects, music = sys.argv[1:]
with open(path, "wb") as f:
    f.write(struct.pack("<fi20sB3xii", float(sens), int(port), addr.encode(), int(detail), int(effects), int(music)))
EOF
}

# opts_field OFFSET FORMAT: one field of the options file the game wrote.
opts_field() {
    python3 -c "import struct,sys; d=open(sys.argv[1],'rb').read(); print(len(d) == 40 and struct.unpack_from(sys.argv[3], d, int(sys.argv[2]))[0])" \
        "$PLAY/opts.dat" "$1" "$2"
}

# start_game PROGRAM: starts it in the scratch folder and waits for its window.
start_game() {
    xdotool mousemove $((${FLOW_SCREEN%x*} / 2)) $((${FLOW_SCREEN#*x} / 2))  # room to move either way
    (cd "$PLAY" && exec "./$1" >>"$PLAY/game.log" 2>&1) &
    GAME_PID=$!
    for _ in $(seq 1 100); do
        xdotool search --name Frostel >/dev/null 2>&1 && return 0
        kill -0 "$GAME_PID" 2>/dev/null || fail "$1 ended before showing its window"
        sleep 0.1
    done
    fail "$1 showed no window"
}

# expect_exit_0 [SECONDS]: the game ends by itself with status 0.
expect_exit_0() {
    local limit=${1:-10} status=0
    for _ in $(seq 1 $((limit * 10))); do
        kill -0 "$GAME_PID" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$GAME_PID" 2>/dev/null && fail "the game is still running"
    wait "$GAME_PID" || status=$?
    GAME_PID=""
    [ "$status" -eq 0 ] || fail "the game ended with status $status"
}

expect_running() { kill -0 "$GAME_PID" 2>/dev/null || fail "the game has ended"; }

press_key() {
    xdotool keydown "$1"
    sleep 0.1
    xdotool keyup "$1"
    sleep 0.2
}

click() {
    xdotool mousedown 1
    sleep 0.1
    xdotool mouseup 1
    sleep 0.3
}

# move_pointer DX DY: relative mouse counts, in small steps (the menus take at most 60 a frame).
move_pointer() {
    local dx=$1 dy=$2 sx sy
    while [ "$dx" -ne 0 ] || [ "$dy" -ne 0 ]; do
        sx=$dx sy=$dy
        [ "$sx" -gt 20 ] && sx=20
        [ "$sx" -lt -20 ] && sx=-20
        [ "$sy" -gt 20 ] && sy=20
        [ "$sy" -lt -20 ] && sy=-20
        xdotool mousemove_relative -- "$sx" "$sy"
        dx=$((dx - sx)) dy=$((dy - sy))
        sleep 0.05
    done
    sleep 0.2
}

shot() { import -window root "$PLAY/$1.png"; }

# differing A B [WxH+X+Y]: how many pixels of two screenshots differ (in a region).
differing() {
    local a="$PLAY/$1.png" b="$PLAY/$2.png"
    if [ $# -ge 3 ]; then
        convert "$a" -crop "$3" +repage "$PLAY/.a.png"
        convert "$b" -crop "$3" +repage "$PLAY/.b.png"
        a="$PLAY/.a.png" b="$PLAY/.b.png"
    fi
    compare -metric AE -fuzz 2% "$a" "$b" null: 2>&1 | cut -d' ' -f1 || true
}

# brightness SHOT WxH+X+Y: mean brightness of a region, 0..1000.
brightness() {
    convert "$PLAY/$1.png" -crop "$2" +repage -colorspace Gray -format '%[fx:int(mean*1000)]' info:
}

# wait_bright WxH+X+Y SECONDS: until that region of the screen is lit.
wait_bright() {
    for _ in $(seq 1 $(($2 * 4))); do
        shot .wait
        [ "$(brightness .wait "$1")" -gt 50 ] && return 0
        sleep 0.25
    done
    fail "nothing appeared at $1"
}

expect_more() { [ "$2" -gt "$3" ] || fail "$1: $2 is not above $3"; }
expect_less() { [ "$2" -lt "$3" ] || fail "$1: $2 is not below $3"; }
