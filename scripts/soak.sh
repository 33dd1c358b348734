#!/usr/bin/env bash
# Network soak: two real copies of frostel play a network match under one Xvfb for the given
# time, with random mouse and key input on both, their datagrams passing through a relay of
# ours (scripts/udp_relay.py) that drops 30 % and holds back (reorders) some. The joining
# copy connects to the relay's port; the relay forwards to the creating copy, which answers
# the latest sender.
#
# Checks: neither copy ends or crashes; the resident memory of each grows by less than 1 MB
# after the first minute (for runs under three minutes: after the first third); both screens
# keep changing; the score the joining copy shows equals the creating copy's, within 2 s of
# the last change. Scores are read from screenshots: the marker circling the current digit
# of each team's row in the score panel.
#
# Usage: soak.sh [SECONDS, default 600]
# Environment: FROSTEL_RUN_DIR (default <root>/build/run), SOAK_SHOTS=DIR keeps screenshots.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
duration=${1:-600}
export FROSTEL_RUN_DIR=${FROSTEL_RUN_DIR:-$root/build/run}
source "$root/tests/e2e/lib.sh"
in_xvfb "$@"

RINK=1024x560+0+140     # the match view below the score panel
INDICATOR=120x100+4+64  # the connection indicator
declare -A PID WIN PREV RSS_BASE RSS_MAX
RELAY_PID=""

say() { echo "soak: $*"; }

# fail MESSAGE, also as the lib.sh helpers call it: with the stderr of both copies.
fail() {
    echo "SOAK FAIL: $*" >&2
    local n
    for n in creating joining; do
        if [ -s "$E2E_WORK/$n.stderr" ]; then
            echo "--- $n stderr ---" >&2
            grep -v '^ALSA' "$E2E_WORK/$n.stderr" | tail -n 20 >&2 || true
        fi
    done
    exit 1
}

_soak_cleanup() {
    local n
    for n in "${!PID[@]}"; do kill -KILL "${PID[$n]}" 2>/dev/null || true; done
    [ -n "$RELAY_PID" ] && kill -TERM "$RELAY_PID" 2>/dev/null || true
    _e2e_cleanup
}
trap _soak_cleanup EXIT

SHOTS_DIR=${SOAK_SHOTS:-}
# Two copies share the display, so their frames come slower than in the flow tests.
CLICK_PAUSE=0.4
MOVE_PAUSE=0.3

running() { kill -0 "${PID[$1]}" 2>/dev/null; }
alive() {
    running creating || fail "the creating copy has ended"
    running joining || fail "the joining copy has ended"
}

free_port() {
    python3 -c '
import socket
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.bind(("127.0.0.1", 0))
print(s.getsockname()[1])'
}

# make_dir NAME PORT: a play folder with the run folder linked in, sensitivity 1.0 (one
# mouse count is one pointer pixel), the port and the padded loopback address, volumes 0.
make_dir() {
    play_dir "$E2E_WORK/$1"
    write_opts "$E2E_WORK/$1/opts.dat" 1.0 "$2" 127.000.000.001 1 0 0
}

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

focus() { xdo windowfocus --sync "${WIN[$1]}"; sleep 0.1; }
show() { xdo windowraise "${WIN[$1]}"; sleep 0.4; }

# scores SHOT: "FIN SWE" as the score panel shows them; "- -" when no panel is drawn. The red
# marker of a row sits 18 pixels further right for each goal (its centre at x 54 for 0).
scores() {
    python3 - "$E2E_WORK/$1.ppm" <<'EOF'
import re, sys
data = open(sys.argv[1], "rb").read()
m = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", data)
w = int(m.group(1))
px = data[m.end():]
out = []
for y0, y1 in ((1, 12), (40, 51)):  # the top of the first row's circle, the bottom of the second's
    xs = []
    for y in range(y0, y1):
        row = px[(y * w) * 3:(y * w + 260) * 3]
        for x in range(20, 260):
            r, g, b = row[3 * x], row[3 * x + 1], row[3 * x + 2]
            if r > 180 and g < 110 and b < 90:
                xs.append(x)
    out.append(str(round((sum(xs) / len(xs) - 54.5) / 18)) if len(xs) > 20 else "-")
print(" ".join(out))
EOF
}

rss_kb() { awk '$1 == "VmRSS:" { print $2 }' "/proc/${PID[$1]}/status" 2>/dev/null || echo 0; }

to_main_menu() {
    local i
    show "$1"
    focus "$1"
    for (( i = 0; i < 240; i++ )); do
        shot "$1-intro"
        [ "$(brightness "$1-intro" 200x200+412+284)" -gt 50 ] && break
        running "$1" || fail "$1 ended while loading"
        sleep 0.25
    done
    sleep 0.3
    click
}

# ---- set-up: relay, the creating copy waiting, the joining copy connecting through the relay
PORT=$(free_port)
RELAY_PORT=$(free_port)
while [ "$RELAY_PORT" = "$PORT" ]; do RELAY_PORT=$(free_port); done
make_dir creating "$PORT"
make_dir joining "$RELAY_PORT"
python3 "$root/scripts/udp_relay.py" "$RELAY_PORT" "$PORT" --drop 0.3 --delay 0.2 --max-delay 0.25 \
    --seed "${SOAK_SEED:-$$}" --stats "$E2E_WORK/relay.txt" &
RELAY_PID=$!
say "creating copy on port $PORT, joining copy through the relay on port $RELAY_PORT, $duration s"

start creating
to_main_menu creating
move_pointer 0 -69  # create item at (512, 315)
click
move_pointer -42 120  # start item at (470, 435)
click
sleep 1
shot creating-alone

start joining
to_main_menu joining
move_pointer 0 -34  # join item at (512, 350)
click
move_pointer -42 90  # connect item at (470, 440)
click

connected=0
for (( i = 0; i < 40; i++ )); do
    show creating
    shot creating-now
    if [ "$(differing creating-alone creating-now "$INDICATOR")" -gt 6000 ]; then connected=1; break; fi
    alive
    sleep 0.25
done
[ "$connected" = 1 ] || fail "the creating copy never heard from the joining copy"
say "connected"

# ---- play
start_time=$(date +%s)
end_time=$((start_time + duration))
base_at=$(( duration >= 180 ? 60 : duration / 3 ))
next_sample=$start_time
sample=0
mismatch=""
goals_seen=0
mismatches=0
last_scores=""
side=creating

LAST_C="" LAST_J=""
check_screens() {
    local n now c j changed read
    now=$(( $(date +%s) - start_time ))
    for n in creating joining; do
        show "$n"
        shot "$n-$sample"
        read=$(scores "$n-$sample")
        [ "$n" = creating ] && LAST_C=$read || LAST_J=$read
        if [ -n "${PREV[$n]:-}" ]; then
            changed=$(differing "${PREV[$n]}" "$n-$sample" "$RINK")
            [ "$changed" -gt 100 ] || fail "the $n screen did not change in the last interval ($changed pixels) at ${now} s"
        fi
        PREV[$n]="$n-$sample"
        # memory: the largest resident size up to the base time, then growth beyond it
        local rss
        rss=$(rss_kb "$n")
        if [ "$now" -le "$base_at" ] || [ -z "${RSS_BASE[$n]:-}" ]; then
            RSS_BASE[$n]=$rss
            RSS_MAX[$n]=$rss
        elif [ "$rss" -gt "${RSS_MAX[$n]}" ]; then
            RSS_MAX[$n]=$rss
        fi
    done
    c=$LAST_C j=$LAST_J
    [ "$c" = "- -" ] && fail "no score panel on the creating screen at ${now} s"
    [ "$j" = "- -" ] && fail "no score panel on the joining screen at ${now} s"
    if [ "$c" != "$last_scores" ]; then
        [ -n "$last_scores" ] && goals_seen=$((goals_seen + 1)) && say "score $c at ${now} s"
        last_scores=$c
    fi
    if [ "$c" != "$j" ]; then
        # Allowed only just after a goal: the next look, 2 s later, must find them equal
        # unless the creating copy's score has changed again meanwhile.
        [ -n "$mismatch" ] && [ "${mismatch%/*}" = "$c" ] &&
            fail "the joining copy shows $j, the creating copy $c, for more than 2 s (at ${now} s)"
        mismatch="$c/$j"
        mismatches=$((mismatches + 1))
    else
        mismatch=""
    fi
    sample=$((sample + 1))
}

# Key 4 picks the figure whose groove runs by the face-off spot, so the puck gets hit.
keys=(1 2 3 4 4 4 4 5 6 q w)
while [ "$(date +%s)" -lt "$end_time" ]; do
    alive
    if [ "$(date +%s)" -ge "$next_sample" ]; then
        check_screens
        if [ -n "$mismatch" ]; then
            next_sample=$(( $(date +%s) + 2 ))
        else
            next_sample=$(( $(date +%s) + (duration >= 120 ? 10 : 4) ))
        fi
    fi
    focus "$side"
    for (( k = 0; k < 12; k++ )); do
        xdo mousemove_relative -- $(( RANDOM % 91 - 45 )) $(( RANDOM % 91 - 45 ))
        if [ $(( RANDOM % 4 )) = 0 ]; then
            key=${keys[$(( RANDOM % ${#keys[@]} ))]}
            xdo keydown "$key"
            sleep 0.05
            xdo keyup "$key"
        fi
        sleep 0.02
    done
    [ "$side" = creating ] && side=joining || side=creating
done

# ---- the end: no more input, the puck comes to rest, the scores must agree
sleep 2.5
mismatch=""
check_screens
if [ "$LAST_C" != "$LAST_J" ]; then
    sleep 2
    check_screens
    [ "$LAST_C" = "$LAST_J" ] || fail "at the end the joining copy shows $LAST_J, the creating copy $LAST_C"
fi
final_c=$LAST_C

for n in creating joining; do
    growth=$(( ${RSS_MAX[$n]} - ${RSS_BASE[$n]} ))
    say "$n: resident $(( ${RSS_BASE[$n]} / 1024 )) MB at ${base_at} s, growth after that ${growth} kB"
    [ "$growth" -lt 1024 ] || fail "$n grew by $growth kB after ${base_at} s"
done

for n in creating joining; do
    focus "$n"
    xdo key Escape
    for (( i = 0; i < 100; i++ )); do running "$n" || break; xdo key Escape; sleep 0.1; done
    running "$n" && fail "$n still runs after Esc"
    status=0
    wait "${PID[$n]}" || status=$?
    [ "$status" = 0 ] || fail "$n ended with status $status"
    unset "PID[$n]"
done
kill -TERM "$RELAY_PID" 2>/dev/null || true
wait "$RELAY_PID" 2>/dev/null || true
RELAY_PID=""
say "$(cat "$E2E_WORK/relay.txt" 2>/dev/null || echo 'relay: no counts')"
say "passed: $duration s, $sample looks at each screen, final score $final_c on both, $goals_seen score changes seen, $mismatches looks just after one with the scores apart"
