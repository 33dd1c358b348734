# Shared by the flow_*_test.sh scripts, on top of lib.sh: the game runs from a scratch copy
# of the run folder (it writes "opts.dat" there), is driven like a player with relative
# mouse moves, clicks and key presses, and is checked by screenshot pixels.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
in_xvfb "$@"

# The programs and assets linked into a folder of our own; the options file is the test's.
PLAY="$E2E_WORK/run"
mkdir -p "$PLAY"
for f in "$FROSTEL_RUN_DIR"/*; do
    [ "$(basename "$f")" = opts.dat ] || ln -s "$f" "$PLAY/"
done
FROSTEL_RUN_DIR=$PLAY

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

# opts_field OFFSET FORMAT: one field of the options file the game wrote ("short" if it is not 40 bytes).
opts_field() {
    python3 -c "
import struct, sys
d = open(sys.argv[1], 'rb').read()
print(struct.unpack_from(sys.argv[3], d, int(sys.argv[2]))[0] if len(d) == 40 else 'short')" \
        "$PLAY/opts.dat" "$1" "$2"
}

# xdo ARGS...: xdotool, tried again when it cannot reach the display. On a busy machine an X
# connection is now and then refused; nothing was sent then, so a retry is safe.
xdo() {
    local i
    for i in 1 2 3 4 5 6; do
        xdotool "$@" 2>/dev/null && return 0
        sleep 0.2
    done
    fail "xdotool $* failed"
}

# run_game PROG: starts it with the mouse pointer in the middle of the screen, so relative
# moves have room either way, and waits for its window. A start that dies before showing a
# window (the display refused the connection, as above) is tried again.
run_game() {
    local attempt i
    for attempt in 1 2 3; do
        xdo mousemove 512 384
        start_game "$1"
        for (( i = 0; i < 600; i++ )); do
            GAME_WINDOW=$(xdotool search --onlyvisible --name "$FROSTEL_WINDOW_NAME" 2>/dev/null | head -n 1 || true)
            [ -n "$GAME_WINDOW" ] && return 0
            kill -0 "$GAME_PID" 2>/dev/null || break
            sleep 0.1
        done
        [ -n "$GAME_WINDOW" ] && return 0
        echo "($1 ended before its window, attempt $attempt: $(grep -v '^ALSA' "$E2E_WORK/$1.stderr" | tail -n 1))"
        wait "$GAME_PID" 2>/dev/null || true
        GAME_PID=""
    done
    fail "$1 never showed its window"
}

# expect_exit_0: the game ends by itself, with status 0.
expect_exit_0() {
    wait_for_exit 15
    [ "$GAME_STATUS" = 0 ] || fail "the game ended with status $GAME_STATUS (124: still running)"
}

expect_running() {
    sleep 0.5
    kill -0 "$GAME_PID" 2>/dev/null || fail "the game has ended"
}

click() {
    xdo mousedown 1
    sleep 0.1
    xdo mouseup 1
    sleep 0.3
}

press() {
    xdo keydown "$1"
    sleep 0.1
    xdo keyup "$1"
    sleep 0.2
}

# move_pointer DX DY: relative mouse counts in small steps (the menus take at most 60 a frame).
move_pointer() {
    local dx=$1 dy=$2 sx sy
    while [ "$dx" -ne 0 ] || [ "$dy" -ne 0 ]; do
        sx=$dx sy=$dy
        [ "$sx" -gt 20 ] && sx=20
        [ "$sx" -lt -20 ] && sx=-20
        [ "$sy" -gt 20 ] && sy=20
        [ "$sy" -lt -20 ] && sy=-20
        xdo mousemove_relative -- "$sx" "$sy"
        dx=$((dx - sx)) dy=$((dy - sy))
        sleep 0.05
    done
    sleep 0.2
}

shot() {
    local i
    for i in 1 2 3 4 5 6; do
        screenshot "$E2E_WORK/$1.ppm" || true
        if [ -s "$E2E_WORK/$1.ppm" ]; then
            # FLOW_SHOTS=DIR keeps a copy of every screenshot for a person to look at.
            [ -n "${FLOW_SHOTS:-}" ] && mkdir -p "$FLOW_SHOTS" && cp "$E2E_WORK/$1.ppm" "$FLOW_SHOTS/"
            return 0
        fi
        sleep 0.2
    done
    fail "no screenshot"
}

# differing A B [WxH+X+Y]: how many pixels of two screenshots differ, in a region if given.
differing() {
    local a="$E2E_WORK/$1.ppm" b="$E2E_WORK/$2.ppm"
    if [ $# -ge 3 ]; then
        convert "$a" -crop "$3" +repage "$E2E_WORK/.a.ppm"
        convert "$b" -crop "$3" +repage "$E2E_WORK/.b.ppm"
        a="$E2E_WORK/.a.ppm" b="$E2E_WORK/.b.ppm"
    fi
    compare -metric AE -fuzz 2% "$a" "$b" null: 2>&1 | cut -d' ' -f1 || true
}

# brightness SHOT WxH+X+Y: mean brightness of a region, 0..1000.
brightness() {
    convert "$E2E_WORK/$1.ppm" -crop "$2" +repage -colorspace Gray -format '%[fx:int(mean*1000)]' info:
}

# wait_shown SHOT WxH+X+Y SECONDS: until that region is drawn and stays as it is (the frames
# are running), leaving the last screenshot as SHOT.
wait_shown() {
    local i
    for (( i = 0; i < $3 * 4; i++ )); do
        shot "$1"
        if [ "$(brightness "$1" "$2")" -gt 50 ] && [ "$(brightness "$1" 8x8+0+0)" -lt 900 ]; then
            return 0
        fi
        kill -0 "$GAME_PID" 2>/dev/null || fail "$GAME_PROG ended while waiting for $2"
        sleep 0.25
    done
    fail "nothing was drawn at $2 after $3 s"
}

expect_more() { [ "$2" -gt "$3" ] || fail "$1: $2 is not above $3"; }
expect_less() { [ "$2" -lt "$3" ] || fail "$1: $2 is not below $3"; }
