# Helpers for two copies of the game on one display, named "creating" and "joining": their
# folders, start-up, the way into a match and the failure report. Sourced after lib.sh;
# FAIL_PREFIX heads a failure. The caller defines focus and show.
#
# Each copy runs "native" (frostel) or "windows" (frostel.exe under Wine): copy_programs
# CREATING JOINING sets them, by default the run folder's own. A native copy beside a Wine one
# comes from $FROSTEL_NATIVE_RUN_DIR, the Wine one from $FROSTEL_RUN_DIR.
declare -A PID WIN PROGRAM STATUS
FAIL_PREFIX=${FAIL_PREFIX:-FAIL}

# fail MESSAGE, also as the lib.sh helpers call it: with the stderr of both copies, and for a
# copy that has ended, its status and what crash_report finds.
fail() {
    echo "$FAIL_PREFIX: $*" >&2
    local n
    for n in creating joining; do
        if [ -s "$E2E_WORK/$n.stderr" ]; then
            echo "--- $n stderr ---" >&2
            grep -v '^ALSA' "$E2E_WORK/$n.stderr" | tail -n 20 >&2 || true
        fi
        if [ -n "${PID[$n]:-}" ] && ! running "$n"; then
            ended "$n"
            echo "--- $n ended with status ${STATUS[$n]}" >&2
            crash_report "$E2E_WORK/$n" "${STATUS[$n]}" >&2
        fi
    done
    exit 1
}

# copy_programs [CREATING [JOINING]]; ends the test with 77 (skipped) when the native build a
# Wine copy plays against is missing.
copy_programs() {
    local own=native n
    under_wine && own=windows
    PROGRAM[creating]=${1:-$own}
    PROGRAM[joining]=${2:-$own}
    for n in creating joining; do
        case ${PROGRAM[$n]} in
        native) [ -x "$(copy_run_dir native)/frostel" ] || {
                echo "SKIP: no native frostel in '$(copy_run_dir native)' (FROSTEL_NATIVE_RUN_DIR)" >&2
                exit 77
            } ;;
        windows) under_wine || fail "a windows copy needs FROSTEL_WINE_PREFIX"
            [ -f "$RESTORE_WINDOW" ] || fail "$RESTORE_WINDOW is not built (windows_tests)" ;;
        *) fail "copy program ${PROGRAM[$n]}: native or windows" ;;
        esac
    done
}

# The Windows build's tool that restores a minimized game window (tests/e2e/wine).
RESTORE_WINDOW=${FROSTEL_RESTORE_WINDOW:-${FROSTEL_RUN_DIR%/}/../tests/e2e/restore_window.exe}

# focus_copy NAME: keys and mouse go to that copy. A full-screen Direct3D device minimizes its
# window when another program takes the focus, and Wine gives a minimized window no focus: a
# Windows copy is first restored and made the foreground window, as from the taskbar.
focus_copy() {
    if [ "${PROGRAM[$1]}" = windows ]; then
        wine "$RESTORE_WINDOW" >/dev/null 2>"$E2E_WORK/restore.stderr" ||
            fail "could not restore the $1 window: $(cat "$E2E_WORK/restore.stderr")"
        sleep 0.5  # the device takes the screen again; a key pressed meanwhile may be lost
    fi
    xdo windowfocus --sync "${WIN[$1]}"
}

copy_run_dir() {
    if [ "$1" = native ] && under_wine; then echo "${FROSTEL_NATIVE_RUN_DIR:-}"; else echo "$FROSTEL_RUN_DIR"; fi
}

kill_copies() {
    local n
    for n in "${!PID[@]}"; do kill -KILL "${PID[$n]}" 2>/dev/null || true; done
}

running() { kill -0 "${PID[$1]}" 2>/dev/null; }

# ended NAME: sets STATUS[NAME] to the exit status of a copy that has ended (waited for once).
ended() {
    if [ -z "${STATUS[$1]:-}" ]; then
        local status=0
        wait "${PID[$1]}" 2>/dev/null || status=$?
        STATUS[$1]=$status
    fi
}

# escape_ends NAME: Esc on that copy (the caller's focus brings it forward) ends it with status
# 0; pressed again every 2 s, since a restored Wine copy may miss the first.
escape_ends() {
    local i
    focus "$1"
    press Escape
    for (( i = 1; i <= 100; i++ )); do running "$1" || break; (( i % 20 )) || press Escape; sleep 0.1; done
    running "$1" && fail "$1 still runs after Esc"
    ended "$1"
    [ "${STATUS[$1]}" = 0 ] || fail "$1 ended with status ${STATUS[$1]}"
    unset "PID[$1]"
}

# A UDP port no one uses now.
free_port() {
    python3 -c '
import socket
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.bind(("", 0))
print(s.getsockname()[1])'
}

# make_dir NAME PORT: a play folder with the run folder linked in and its own options:
# sensitivity 1.0 (one mouse count is one pointer pixel), the port, the padded loopback
# address, volumes 0.
make_dir() {
    [ -n "${PROGRAM[$1]:-}" ] || copy_programs
    FROSTEL_RUN_DIR=$(copy_run_dir "${PROGRAM[$1]}") play_dir "$E2E_WORK/$1"
    write_opts "$E2E_WORK/$1/opts.dat" 1.0 "$2" 127.000.000.001 1 0 0
}

# start NAME: runs the copy's program in its folder and waits until its window is mapped.
# Wine's windows carry the program's process id too (wine becomes the program).
start() {
    local i id
    xdo mousemove 512 384
    if [ "${PROGRAM[$1]}" = windows ]; then
        (cd "$E2E_WORK/$1" && allow_core && exec wine ./frostel.exe) 2>"$E2E_WORK/$1.stderr" >/dev/null &
    else
        (cd "$E2E_WORK/$1" && allow_core && exec ./frostel) 2>"$E2E_WORK/$1.stderr" >/dev/null &
    fi
    PID[$1]=$!
    for (( i = 0; i < 600; i++ )); do
        id=$(xdotool search --all --onlyvisible --pid "${PID[$1]}" --name "$FROSTEL_WINDOW_NAME" 2>/dev/null |
            head -n 1 || true)
        if [ -n "$id" ]; then
            WIN[$1]=$id
            return 0
        fi
        running "$1" || fail "$1 ended before its window appeared"
        sleep 0.1
    done
    fail "no window for $1"
}

# The intro picture stands alone in the middle of a black screen; the menus' picture is framed
# by the arena, which fills this patch left of it. Told apart by it, since a window that has
# not drawn yet shows whatever was there before: the white root, or the other copy's screen.
BESIDE_INTRO=80x80+160+300
shows_intro() { drawn "$1" 200x200+412+284 && [ "$(brightness "$1" "$BESIDE_INTRO")" -lt 20 ]; }
shows_menu() { drawn "$1" 256x256+384+256 && [ "$(brightness "$1" "$BESIDE_INTRO")" -gt 100 ]; }

# to_main_menu NAME: the intro clicked away once it is drawn, the main menu shot NAME-main;
# the pointer stands at (512, 384). The caller's focus and show bring the copy forward.
to_main_menu() {
    local i
    focus "$1"
    show "$1"
    for (( i = 0; i < 240; i++ )); do
        shot "$1-intro"
        shows_intro "$1-intro" && break
        running "$1" || fail "$1 ended while loading"
        sleep 0.25
    done
    shows_intro "$1-intro" || fail "$1: no intro after 60 s"
    sleep 0.3
    # The shot of the menu is the reference for every later look, so it waits for the menu
    # picture itself: between the intro and the menu the screen is black while the picture
    # loads, which takes a while under the sanitizers on a busy machine. Clicked again, as a
    # player would, while the intro stays (a click a loaded frame missed).
    local attempt
    for attempt in 1 2 3; do
        click
        for (( i = 0; i < 40; i++ )); do
            shot "$1-main"
            shows_menu "$1-main" && return 0
            running "$1" || fail "$1 ended on its intro"
            sleep 0.25
        done
        echo "-- the $1 copy still shows its intro after a click, attempt $attempt"
    done
    fail "$1: no main menu after three clicks on the intro"
}

# From the main menu with the pointer at (512, 384): create a game and start it, or join
# one and connect.
create_and_start() {
    move_pointer 0 -69  # create item at (512, 315)
    click
    move_pointer -42 120  # start item at (470, 435)
    click
}
join_and_connect() {
    move_pointer 0 -34  # join item at (512, 350)
    click
    move_pointer -42 90  # connect item at (470, 440)
    click
}
