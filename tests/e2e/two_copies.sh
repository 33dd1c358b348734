# Helpers for two copies of the game on one display, named "creating" and "joining": their
# folders, start-up, the way into a match and the failure report. Sourced after lib.sh;
# FAIL_PREFIX heads a failure. The caller defines focus and show.
declare -A PID WIN
FAIL_PREFIX=${FAIL_PREFIX:-FAIL}

# fail MESSAGE, also as the lib.sh helpers call it: with the stderr of both copies.
fail() {
    echo "$FAIL_PREFIX: $*" >&2
    local n
    for n in creating joining; do
        if [ -s "$E2E_WORK/$n.stderr" ]; then
            echo "--- $n stderr ---" >&2
            grep -v '^ALSA' "$E2E_WORK/$n.stderr" | tail -n 20 >&2 || true
        fi
    done
    exit 1
}

kill_copies() {
    local n
    for n in "${!PID[@]}"; do kill -KILL "${PID[$n]}" 2>/dev/null || true; done
}

running() { kill -0 "${PID[$1]}" 2>/dev/null; }

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
    play_dir "$E2E_WORK/$1"
    write_opts "$E2E_WORK/$1/opts.dat" 1.0 "$2" 127.000.000.001 1 0 0
}

# start NAME: runs frostel in its folder and waits until its window is mapped.
start() {
    local i id
    xdo mousemove 512 384
    (cd "$E2E_WORK/$1" && exec "./frostel") 2>"$E2E_WORK/$1.stderr" >/dev/null &
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

# to_main_menu NAME: the intro clicked away once it is drawn, the main menu shot NAME-main;
# the pointer stands at (512, 384). The caller's focus and show bring the copy forward.
to_main_menu() {
    local i
    focus "$1"
    show "$1"
    for (( i = 0; i < 240; i++ )); do
        shot "$1-intro"
        [ "$(brightness "$1-intro" 200x200+412+284)" -gt 50 ] && break
        running "$1" || fail "$1 ended while loading"
        sleep 0.25
    done
    sleep 0.3
    click
    shot "$1-main"
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
