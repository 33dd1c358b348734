# Shared helpers of the end-to-end tests. A test script starts with
#
#   source "$(dirname "$0")/lib.sh"
#   in_xvfb "$@"
#
# and then drives the real programs from $FROSTEL_RUN_DIR (set by CTest).
#
# The programs are the native ones, or with $FROSTEL_WINE_PREFIX set (by the Windows build's
# CTest) the .exe files of that build run under Wine in that prefix (scripts/wine-prefix.sh);
# a test names them the same either way ("frostel", "frostel_640").
#
#   in_xvfb ARGS...          re-runs the calling script inside its own Xvfb: a 1024x768x24
#                            screen with a white root window, so that anything the game
#                            presents (black at first) stands out. No window manager runs.
#   start_game PROG          starts PROG (frostel or frostel_640) in the background from
#                            $FROSTEL_RUN_DIR, as a player would; sets GAME_PID and GAME_PROG.
#                            Its stderr goes to $E2E_WORK/PROG.stderr. With $FROSTEL_LAUNCHER
#                            set, PROG is started through it.
#   run_program PROG         runs PROG from the current folder in the foreground (exec).
#   under_wine               true when the programs run under Wine.
#   wait_for_window [SECS]   waits (default 60 s) until the visible window titled "Frostel"
#                            is mapped; sets GAME_WINDOW to its id. Fails if the game ends first.
#   wait_for_exit [SECS]     waits (default 30 s) for the game to end; sets GAME_STATUS to its
#                            exit status, or kills it and sets 124 on timeout.
#   stop_game                kills the game if it still runs (also done on exit).
#   screenshot FILE          writes the whole screen to FILE as a binary PPM, 8 bits a sample
#                            (taken again when a window going away breaks the grab).
#   pixel_at FILE X Y        prints "R G B" of one pixel of a PPM file.
#   wait_for_pixel X Y "R G B" [SECS]
#                            waits (default 30 s) until the screen shows that colour at X Y.
#   press_key KEYSYM         holds a key for 0.1 s, as a player's press (xdotool keydown/keyup).
#   press_until_exit KEYSYM [SECS]
#                            holds the key down for up to 2 s, again and again, until the game
#                            ends (a press while the assets load, before the first frame, is
#                            not seen); gives
#                            up after SECS (default 60). Sets GAME_STATUS like wait_for_exit.
#   close_request            asks the game window to close as a window manager does for
#                            Alt+F4 or the close button (a WM_DELETE_WINDOW message).
#   window_geometry          prints "X Y WIDTH HEIGHT" of GAME_WINDOW.
#   fail MESSAGE             prints MESSAGE, the game's stderr (and, after a crash, what
#                            crash_report finds), and ends the test with 1.
#   crash_report DIR STATUS  for a program run in DIR that ended with STATUS: the signal that
#                            killed it and the stacks of its core file, if it left one.
#   pass MESSAGE             prints MESSAGE.
#   step MESSAGE             prints MESSAGE as the heading of the next part of a test.
#   expect_more WHAT N LIMIT fails unless N is above LIMIT; expect_less: unless below.
#
# Driving the game like a player (tried again when the display is briefly out of reach):
#
#   xdo ARGS...              xdotool ARGS, tried up to six times; fails if it never gets through.
#   click                    clicks mouse button 1, then waits $CLICK_PAUSE s (default 0.3).
#   press KEYSYM             holds a key for 0.1 s, then waits $KEY_PAUSE s (default 0.2).
#   move_pointer DX DY       moves the pointer by relative counts, 10 a tenth of a second, then
#                            waits $MOVE_PAUSE s (default 0.2).
#
# Screens and options files (NAME is a screenshot $E2E_WORK/NAME.ppm):
#
#   shot NAME                takes a screenshot as NAME, tried again when none is written; with
#                            $SHOTS_DIR set a copy goes there for a person to look at.
#   differing A B [WxH+X+Y]  prints how many pixels of shots A and B differ (2 % fuzz), in a
#                            region if given.
#   brightness NAME WxH+X+Y  prints the mean brightness of a region of a shot, 0..1000.
#   drawn NAME WxH+X+Y       whether the game has drawn that region (not the white root).
#   play_dir DIR             makes DIR a folder to run the game from: all of $FROSTEL_RUN_DIR
#                            linked in but "opts.dat", which is the test's own.
#   write_opts FILE SENSITIVITY PORT ADDRESS DETAIL EFFECTS MUSIC
#                            writes FILE as the 40-byte options record.
#   opts_field FILE OFFSET FORMAT
#                            prints one field (a Python struct FORMAT) of an options file,
#                            or "short" if the file is not 40 bytes.
#
# Everything the helpers write goes to $E2E_WORK, a fresh folder removed on exit.

set -euo pipefail

FROSTEL_WINDOW_NAME='^Frostel$'  # xdotool search pattern of the game window's title

E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
: "${FROSTEL_RUN_DIR:?set FROSTEL_RUN_DIR to the run folder of a build}"

under_wine() { [ -n "${FROSTEL_WINE_PREFIX:-}" ]; }

if under_wine; then
    export WINEPREFIX=$FROSTEL_WINE_PREFIX
    source "$E2E_DIR/../../scripts/wine-env.sh"
    [ -d "$WINEPREFIX/drive_c/windows/system32" ] || { echo "no Wine prefix at $WINEPREFIX (scripts/wine-prefix.sh start)" >&2; exit 1; }
fi

_WINE_SESSION=""
_WINE_PREFIX_SCRIPT=$E2E_DIR/../../scripts/wine-prefix.sh

# _wine_session: Wine's server and desktop on this test's display (the desktop stays on the
# display it was started on), and on none again when the test ends.
_wine_session() {
    bash "$_WINE_PREFIX_SCRIPT" session "$WINEPREFIX"
    _WINE_SESSION=1
    # frostel_640.exe takes the display full-screen at 640x480, and Xvfb cannot change its
    # mode. A Wine virtual desktop of exactly 640x480 is such a display: the device gets the
    # mode it asks for, and the desktop sits at (0, 0) where the native build's window is, so
    # the same screen regions apply. Set for that program only (AppDefaults) rather than by
    # `wine explorer /desktop=...`, whose status is always 0, not the program's.
    if ! grep -q 'AppDefaults\\\\frostel_640.exe\\\\Explorer' "$WINEPREFIX/user.reg" 2>/dev/null; then
        wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Frostel640 /d 640x480 /f >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\AppDefaults\frostel_640.exe\Explorer' /v Desktop /d Frostel640 /f >/dev/null 2>&1
    fi
}

# `wine PROG.exe` ends with the program's own status.
run_program() {
    if under_wine; then
        exec ${FROSTEL_LAUNCHER:-} wine "./$1.exe"
    else
        exec ${FROSTEL_LAUNCHER:-} "./$1"
    fi
}

in_xvfb() {
    if [ -z "${FROSTEL_E2E_IN_XVFB:-}" ]; then
        export FROSTEL_E2E_IN_XVFB=1
        rm -rf "$E2E_WORK"
        trap - EXIT
        # -noreset: otherwise the server resets whenever its last client leaves, and a
        # connection made during that reset is refused (a game start or an xdotool call).
        exec xvfb-run -a -s "-screen 0 1024x768x24 -wr -nolisten tcp -noreset" bash "$0" "$@"
    fi
    if under_wine; then _wine_session; fi
}

E2E_WORK=$(mktemp -d /tmp/frostel-e2e-XXXXXX)
GAME_PID=""
GAME_PROG=""
GAME_WINDOW=""
GAME_STATUS=""

_e2e_cleanup() {
    stop_game
    if [ -n "$_WINE_SESSION" ]; then env -u DISPLAY bash "$_WINE_PREFIX_SCRIPT" session "$WINEPREFIX"; fi
    rm -rf "$E2E_WORK"
}
trap _e2e_cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    if [ -n "$GAME_PROG" ] && [ -s "$E2E_WORK/$GAME_PROG.stderr" ]; then
        echo "--- $GAME_PROG stderr ---" >&2
        tail -n 40 "$E2E_WORK/$GAME_PROG.stderr" >&2
    fi
    [ -n "$GAME_STATUS" ] && crash_report "$FROSTEL_RUN_DIR" "$GAME_STATUS" >&2
    exit 1
}

# A crash under Wine says little by itself: a Windows exception ends the program with the
# code's low byte (5 for an access violation) after Wine's "Unhandled ..." lines on stderr,
# but a fault outside Windows code (Mesa's threads, X11, Wine's own) kills the Linux process,
# status 128 + the signal, with nothing written. So a program started in a scratch folder of
# $E2E_WORK may leave a core file there (the kernel's pattern is "core"), which is read here.
allow_core() {
    case $PWD/ in "$E2E_WORK"/*) ulimit -c unlimited 2>/dev/null || true ;; esac
}

crash_report() {
    local status=$2 core exe
    [ "$status" -gt 128 ] 2>/dev/null || return 0
    echo "--- status $status: killed by signal $(kill -l $(( status - 128 )) 2>/dev/null || echo $(( status - 128 )))"
    core=$(ls -t "$1"/core* 2>/dev/null | head -n 1 || true)
    if [ -z "$core" ]; then
        echo "--- no core file in $1"
        return 0
    fi
    exe=$(file -b "$core" | sed -n "s/.*execfn: '\([^']*\)'.*/\1/p")
    echo "--- stacks from $core ($exe)"
    timeout 120 gdb -batch -nx -ex "info threads" -ex "thread apply all bt 15" ${exe:+"$exe"} "$core" 2>&1 |
        grep -v '^\[New LWP\|^warning:' | head -n 150 || true
}

pass() { echo "ok: $*"; }

start_game() {
    local prog=$1
    local file=$prog
    under_wine && file=$prog.exe
    [ -f "$FROSTEL_RUN_DIR/$file" ] || fail "$FROSTEL_RUN_DIR/$file is not built"
    GAME_PROG=$prog
    GAME_WINDOW=""
    GAME_STATUS=""
    (cd "$FROSTEL_RUN_DIR" && allow_core && run_program "$prog") 2>"$E2E_WORK/$prog.stderr" >/dev/null &
    GAME_PID=$!
}

_game_running() { [ -n "$GAME_PID" ] && kill -0 "$GAME_PID" 2>/dev/null; }

stop_game() {
    if _game_running; then
        kill -KILL "$GAME_PID" 2>/dev/null || true
        wait "$GAME_PID" 2>/dev/null || true
    fi
    GAME_PID=""
}

wait_for_window() {
    local limit=$(( ${1:-60} * 10 )) i id
    for (( i = 0; i < limit; i++ )); do
        id=$(xdotool search --onlyvisible --name "$FROSTEL_WINDOW_NAME" 2>/dev/null | head -n 1 || true)
        if [ -n "$id" ]; then
            GAME_WINDOW=$id
            return 0
        fi
        _game_running || fail "$GAME_PROG ended before its window appeared"
        sleep 0.1
    done
    fail "no visible Frostel window after ${1:-60} s"
}

wait_for_exit() {
    local limit=$(( ${1:-30} * 10 )) i
    for (( i = 0; i < limit; i++ )); do
        _game_running || break
        sleep 0.1
    done
    if _game_running; then
        stop_game
        GAME_STATUS=124
        return 0
    fi
    GAME_STATUS=0
    wait "$GAME_PID" || GAME_STATUS=$?
    GAME_PID=""
}

# Wine's virtual desktop comes out of xwdtopnm with 16-bit samples. xwd reads the attributes
# of every top-level window, and ends with BadWindow when one goes away meanwhile (a program
# starting or ending): such a grab is taken again.
screenshot() {
    local i
    for i in 1 2 3 4 5 6; do
        if xwd -root -silent >"$E2E_WORK/grab.xwd" 2>"$E2E_WORK/grab.err"; then
            xwdtopnm <"$E2E_WORK/grab.xwd" 2>/dev/null | pamdepth 255 >"$1" 2>/dev/null
            return
        fi
        sleep 0.1
    done
    cat "$E2E_WORK/grab.err" >&2
    return 1
}

pixel_at() {
    pamcut -left "$2" -top "$3" -width 1 -height 1 "$1" | pamtopnm -plain |
        awk 'NR > 3 { for (i = 1; i <= NF; i++) v = v (v == "" ? "" : " ") $i } END { print v }'
}

wait_for_pixel() {
    local x=$1 y=$2 want=$3 limit=$(( ${4:-30} * 10 )) i got=""
    local shot="$E2E_WORK/wait.ppm"
    for (( i = 0; i < limit; i++ )); do
        screenshot "$shot"
        got=$(pixel_at "$shot" "$x" "$y")
        [ "$got" = "$want" ] && return 0
        _game_running || fail "$GAME_PROG ended while waiting for ($want) at $x,$y"
        sleep 0.1
    done
    fail "pixel $x,$y is ($got), not ($want), after ${4:-30} s"
}

press_key() {
    xdotool keydown "$1"
    sleep 0.1
    xdotool keyup "$1"
}

# The key stays down until the game ends or 2 s pass: a press shorter than a frame is never
# seen, and under Wine on a loaded machine a frame may take longer than any fixed hold.
press_until_exit() {
    local key=$1 deadline=$(( $(date +%s) + ${2:-60} )) i
    while _game_running && [ "$(date +%s)" -lt "$deadline" ]; do
        xdo keydown "$key"
        for (( i = 0; i < 20; i++ )); do
            _game_running || break
            sleep 0.1
        done
        xdo keyup "$key"
        sleep 0.2
    done
    wait_for_exit 1
}

close_request() {
    [ -n "$GAME_WINDOW" ] || fail "close_request: no window yet"
    python3 "$E2E_DIR/close_window.py" "$GAME_WINDOW" || fail "could not send the close request"
}

window_geometry() {
    xwininfo -id "$GAME_WINDOW" | awk '
        /Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
        /Width:/ { w = $NF } /Height:/ { h = $NF } END { print x, y, w, h }'
}

step() { echo "-- $*"; }

expect_more() { [ "$2" -gt "$3" ] || fail "$1: $2 is not above $3"; }
expect_less() { [ "$2" -lt "$3" ] || fail "$1: $2 is not below $3"; }

# On a busy machine an X connection is now and then refused; nothing was sent then, so a
# retry is safe.
xdo() {
    local i
    for i in 1 2 3 4 5 6; do
        xdotool "$@" 2>/dev/null && return 0
        sleep 0.2
    done
    fail "xdotool $* failed"
}

CLICK_PAUSE=0.3
KEY_PAUSE=0.2
MOVE_PAUSE=0.2
# How long a click or key is held: the game reads the button and key state once a frame, and
# a press that begins and ends between two frames is never seen. On a loaded machine a frame
# takes longer than 0.1 s natively too (a practice match at 4.5 frames a second, the menus at
# about ten, with the load at 27 on two cores), and longer still under Wine.
HOLD=0.3

click() {
    xdo mousedown 1
    sleep "$HOLD"
    xdo mouseup 1
    sleep "$CLICK_PAUSE"
}

press() {
    xdo keydown "$1"
    sleep "$HOLD"
    xdo keyup "$1"
    sleep "$KEY_PAUSE"
}

# Small, slow steps: the menus take at most 60 counts a frame, and a loaded frame (a third of
# a second under the sanitizers or Wine) must not gather more than that, or the pointer ends
# short of where it was sent. 10 counts a tenth of a second stays under 60 for frames up to
# 0.6 s.
move_pointer() {
    local dx=$1 dy=$2 sx sy
    while [ "$dx" -ne 0 ] || [ "$dy" -ne 0 ]; do
        sx=$dx sy=$dy
        [ "$sx" -gt 10 ] && sx=10
        [ "$sx" -lt -10 ] && sx=-10
        [ "$sy" -gt 10 ] && sy=10
        [ "$sy" -lt -10 ] && sy=-10
        xdo mousemove_relative -- "$sx" "$sy"
        dx=$((dx - sx)) dy=$((dy - sy))
        sleep 0.1
    done
    sleep "$MOVE_PAUSE"
}

SHOTS_DIR=""

shot() {
    local i file="$E2E_WORK/$1.ppm"
    for i in 1 2 3 4 5 6; do
        screenshot "$file" || true
        if [ -s "$file" ]; then
            if [ -n "$SHOTS_DIR" ]; then mkdir -p "$SHOTS_DIR" && cp "$file" "$SHOTS_DIR/"; fi
            return 0
        fi
        sleep 0.2
    done
    fail "no screenshot"
}

differing() {
    local a="$E2E_WORK/$1.ppm" b="$E2E_WORK/$2.ppm"
    if [ $# -ge 3 ]; then
        convert "$a" -crop "$3" +repage "$E2E_WORK/.a.ppm"
        convert "$b" -crop "$3" +repage "$E2E_WORK/.b.ppm"
        a="$E2E_WORK/.a.ppm" b="$E2E_WORK/.b.ppm"
    fi
    compare -metric AE -fuzz 2% "$a" "$b" null: 2>&1 | cut -d' ' -f1 || true
}

brightness() {
    convert "$E2E_WORK/$1.ppm" -crop "$2" +repage -colorspace Gray -format '%[fx:int(mean*1000)]' info:
}

# drawn SHOT WxH+X+Y: whether the game has drawn that region of SHOT. Bright is not enough: the
# root window is white (-wr) and shows through a window that has not drawn its first frame, so
# the top-left corner, black on every screen of the game, must not be white either.
drawn() { [ "$(brightness "$1" "$2")" -gt 50 ] && [ "$(brightness "$1" 8x8+0+0)" -lt 900 ]; }

play_dir() {
    local f
    mkdir -p "$1"
    for f in "$FROSTEL_RUN_DIR"/*; do
        [ "$(basename "$f")" = opts.dat ] || ln -s "$f" "$1/"
    done
}

write_opts() {
    python3 - "$@" <<'EOF'
import struct, sys
path, sens, port, addr, detail, effects, music = sys.argv[1:]
with open(path, "wb") as f:
    f.write(struct.pack("<fi20sB3xii", float(sens), int(port), addr.encode(), int(detail), int(effects), int(music)))
EOF
}

opts_field() {
    python3 -c "
import struct, sys
d = open(sys.argv[1], 'rb').read()
print(struct.unpack_from(sys.argv[3], d, int(sys.argv[2]))[0] if len(d) == 40 else 'short')" "$@"
}
