#!/usr/bin/env bash
# Network soak: two real copies of frostel play a network match under one Xvfb for the given
# time, with random mouse and key input on both, their datagrams passing through a relay of
# ours (scripts/udp_relay.py) that drops 30 % and holds back (reorders) some. The joining
# copy connects to the relay's port; the relay forwards to the creating copy, which answers
# the latest sender.
#
# Checks: neither copy ends or crashes; the resident memory of each grows by less than 1 MB
# after the first minute (runs under three minutes measure after their first third, where the
# renderer may still be compiling shaders for situations met the first time, and fail only
# above 4 MB); both screens
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
FAIL_PREFIX="SOAK FAIL"
source "$root/tests/e2e/two_copies.sh"

RINK=1024x560+0+140     # the match view below the score panel
INDICATOR=120x100+4+64  # the connection indicator
declare -A PREV RSS_BASE RSS_MAX
RELAY_PID=""

say() { echo "soak: $*"; }

_soak_cleanup() {
    kill_copies
    [ -n "$RELAY_PID" ] && kill -TERM "$RELAY_PID" 2>/dev/null || true
    _e2e_cleanup
}
trap _soak_cleanup EXIT

SHOTS_DIR=${SOAK_SHOTS:-}
# Two copies share the display, so their frames come slower than in the flow tests.
CLICK_PAUSE=0.4
MOVE_PAUSE=0.3

alive() {
    local n status
    for n in creating joining; do
        if ! running "$n"; then
            status=0
            wait "${PID[$n]}" || status=$?
            fail "the $n copy has ended (status $status)"
        fi
    done
}

focus() { xdo windowfocus --sync "${WIN[$1]}"; sleep 0.1; }
show() { xdo windowraise "${WIN[$1]}"; RAISED=$1; sleep 0.4; }

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
create_and_start
sleep 1
shot creating-alone

start joining
to_main_menu joining
join_and_connect

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

# Input, one side at a time (only the focused window reads it). Plain jitter of small random
# moves never scored: the puck glides far, comes to rest out of reach of whatever figure
# happens to move, and stays there. So most turns aim: the puck's place is worked out from the
# raised window's screenshot (the camera follows the puck, so the outline of the rink against
# the background tells where it is), the skater of each side whose groove passes nearest is
# picked, driven to the nearer end of its groove and stepped back to the slide nearest the puck
# (5 counts a move, so that no frame gets more than its 10 steps), and then spun at full speed
# in a random direction: the stick strikes the puck as hard as the game allows. The direction,
# a little slide jitter and which turns aim stay random. When no skater of a side reaches the
# puck, its turn sweeps a random skater along its groove while spinning; one turn in five is the
# plain jitter, goalie keys included. Once a side has 8 goals only jitter is played, so that no
# run reaches the tenth goal and the end of the match.
cat >"$E2E_WORK/aim.py" <<'EOF'
# Where the puck is, from a screenshot of a match view. The match camera looks at the puck
# from an eye placed by the puck's position, so each puck position gives its own outline of the
# rink (63 x 123 half-size, corners of radius 33, from 7 below the ice to 4.5 above) against
# the background colour; the position whose projected outline best fits the shot is taken.
import math, re, sys

# The camera of the near (creating) or far (joining) view for a puck at (px, pz).
def camera(px, pz, far):
    c = 0.007854
    if not far:
        if pz > 0: y, z = 110.0, pz - 160.0
        else:
            s = math.sin(-c * pz); y, z = 110.0 + 30.0 * s, -160.0 - 50.0 * s
    else:
        if pz >= 0:
            s = math.sin(c * pz); y, z = 110.0 + 30.0 * s, 160.0 + 50.0 * s
        else: y, z = 110.0, pz + 160.0
    return (0.5 * px, y, z), (px, 0.0, pz)

def basis(eye, at):
    f = [at[i] - eye[i] for i in range(3)]
    n = math.sqrt(sum(v * v for v in f)); f = [v / n for v in f]
    up = (0.0, 1.0, 0.0)
    x = [up[1] * f[2] - up[2] * f[1], up[2] * f[0] - up[0] * f[2], up[0] * f[1] - up[1] * f[0]]
    n = math.sqrt(sum(v * v for v in x)); x = [v / n for v in x]
    y = [f[1] * x[2] - f[2] * x[1], f[2] * x[0] - f[0] * x[2], f[0] * x[1] - f[1] * x[0]]
    return x, y, f

YS = 1.0 / math.tan(0.45)  # field of view 0.9, drawn to the whole 1024 x 768 window

def inside(x, z):
    ax, az = abs(x), abs(z)
    if ax > 63 or az > 123: return False
    if ax > 30 and az > 90: return (ax - 30) ** 2 + (az - 90) ** 2 < 33 * 33
    return True

def covered(eye, bx, by, bf, sx, sy):
    # ray through screen pixel (sx, sy); does it meet the rink's top or bottom outline?
    u = (sx - 512.0) / 512.0 / YS
    v = (384.0 - sy) / 384.0 / YS
    d = [bf[i] + u * bx[i] + v * by[i] for i in range(3)]
    if d[1] >= 0: return False
    for h in (4.5, -7.0):
        t = (h - eye[1]) / d[1]
        if inside(eye[0] + t * d[0], eye[2] + t * d[2]): return True
    return False

def read(path):
    data = open(path, "rb").read()
    m = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", data)
    return int(m.group(1)), data[m.end():]

def samples(w, px, step):
    out = []
    for sy in range(step // 2, 768, step):
        for sx in range(step // 2, 1024, step):
            if sx < 270 and sy < 70: continue  # the score panel
            if sx < 130 and 60 <= sy < 170: continue  # the connection indicator
            i = (sy * w + sx) * 3
            out.append((sx, sy, px[i:i + 3] != b"\x19\x33\x66"))
    return out

def score(cand, pts, far):
    eye, at = camera(cand[0], cand[1], far)
    bx, by, bf = basis(eye, at)
    return sum(covered(eye, bx, by, bf, sx, sy) != rink for sx, sy, rink in pts)

# Coarse grid first, then finer around the best, on sparser and denser pixel samples.
def locate(path, far):
    w, px = read(path)
    coarse = samples(w, px, 40)
    best = min(((x, z) for x in range(-55, 56, 10) for z in range(-115, 116, 10)), key=lambda c: score(c, coarse, far))
    fine = samples(w, px, 24)
    for span, st in ((8, 2), (2, 1)):
        best = min(((best[0] + dx, best[1] + dz) for dx in range(-span, span + 1, st) for dz in range(-span, span + 1, st)),
                   key=lambda c: score(c, fine, far))
    return best, score(best, fine, far), len(fine)


def lerp(a, b, t): return (b - a) * t + a

def groove(rod, s):
    if rod == 1:
        s *= 100.0 / 127.0
        if s < 10: return lerp(-40, -46, s * 0.1), lerp(17, 30, s * 0.1)
        if s < 50: return -46.0, lerp(30, 90, (s - 10) * 0.025)
        if s < 70:
            q = (s - 50) * 0.05 * 1.5708
            return -30 - 16 * math.cos(q), 90 + 16 * math.sin(q)
        return lerp(-30, 15, (s - 70) / 30.0), 106.0
    if rod == 2: return -28.0, lerp(-106, -12, s / 90.0)
    if rod == 3: return lerp(12, 0, s / 90.0), lerp(-13, 60, s / 90.0)
    if rod == 4: return 28.0, lerp(-90, -22, s / 90.0)
    return 46.0, lerp(-4, 95, s / 127.0)

LIMIT = {1: 127, 2: 90, 3: 90, 4: 90, 5: 127}

if __name__ == "__main__":
    # aim SHOT near|far: a line per team, "KEY SLIDE LIMIT DISTANCE X Z" for its skater whose
    # groove passes nearest the puck; nothing when the rink is not where a match view puts it.
    (x, z), misses, n = locate(sys.argv[1], sys.argv[2] == "far")
    if misses > n // 20: sys.exit(0)
    for sign in (1, -1):  # team 1's grooves are team 0's turned half round
        best = None
        for rod in range(1, 6):
            for s in range(LIMIT[rod] + 1):
                gx, gz = groove(rod, s)
                d = math.hypot(sign * gx - x, sign * gz - z)
                if best is None or d < best[0]: best = (d, rod, s)
        d, rod, s = best
        print(rod + 1, s, LIMIT[rod], int(d), x, z)
EOF
RAISED=creating
AIM=("" "") AIMED_KEY=("" "") AIMED_SLIDE=(0 0)
jitter_keys=(1 2 3 4 4 4 4 5 6 q w)
sweep_keys=(2 3 4 5 6)
# Moves and key presses are chained into one xdotool call each, with xdotool's own pauses
# between them: one process per move came to about 25 moves a second, fewer than frames.
hold() { xdo keydown "$1" sleep 0.08 keyup "$1"; }
jitter_turn() {
    local k key
    for (( k = 0; k < 12; k++ )); do
        xdo mousemove_relative -- $(( RANDOM % 91 - 45 )) $(( RANDOM % 91 - 45 ))
        if [ $(( RANDOM % 4 )) = 0 ]; then
            key=${jitter_keys[$(( RANDOM % ${#jitter_keys[@]} ))]}
            hold "$key"
        fi
        sleep 0.02
    done
}
# moves N DX DY PAUSE: appends N moves of DX, DY counts, PAUSE s apart, to CHAIN.
moves() {
    local k
    for (( k = 0; k < $1; k++ )); do CHAIN+=(mousemove_relative -- "$2" "$3" sleep "$4"); done
}
# spin MOVES [SLIDE]: turns the selected skater 10 steps a frame (a move a frame of 40 counts,
# cut to 10 steps), SLIDE counts a move along its groove, reversing now and then (default: a
# step or two either way now and then).
spin() {
    local k turn=$(( RANDOM % 2 ? 40 : -40 )) slide=${2:-0}
    CHAIN=()
    for (( k = 0; k < $1; k++ )); do
        if [ -n "${2:-}" ]; then
            [ $(( RANDOM % 12 )) = 0 ] && slide=$(( -slide ))
        else
            slide=$(( RANDOM % 5 == 0 ? RANDOM % 5 - 2 : 0 ))
        fi
        moves 1 "$turn" "$slide" 0.035
    done
    xdo "${CHAIN[@]}"
}
sweep_turn() {
    hold "${sweep_keys[$(( RANDOM % ${#sweep_keys[@]} ))]}"
    spin 30 $(( (RANDOM % 2 ? 1 : -1) * (RANDOM % 7 + 2) ))
}
# where_puck: AIM[team] = what aim.py says for that team, from the raised window; empty when
# the puck was not found.
where_puck() {
    local view=near lines
    [ "$RAISED" = joining ] && view=far
    shot aim
    lines=$(python3 "$E2E_WORK/aim.py" "$E2E_WORK/aim.ppm" "$view" 2>/dev/null || true)
    AIM[0]=$(sed -n 1p <<<"$lines")
    AIM[1]=$(sed -n 2p <<<"$lines")
}
# aim_turn TEAM: false when the puck was not found or no skater of TEAM reaches it.
aim_turn() {
    local key slide limit dist k steps dir
    read -r key slide limit dist _ <<<"${AIM[$1]}" || true
    [ -n "$key" ] && [ "$dist" -le 16 ] || return 1
    hold "$key"
    # Mouse up raises the slide, down lowers it. The skater aimed last time is where it was put
    # then, unless the puck stopped it; any other is first driven to the nearer end of its groove.
    CHAIN=()
    if [ "$key" = "${AIMED_KEY[$1]}" ] && [ $(( RANDOM % 3 )) != 0 ]; then
        steps=$(( slide - AIMED_SLIDE[$1] ))
        if [ "$steps" -ge 0 ]; then dir=-5; else dir=5 steps=$(( -steps )); fi
    else
        if [ "$slide" -le $(( limit / 2 )) ]; then dir=-5 steps=$slide; else dir=5 steps=$(( limit - slide )); fi
        moves 18 0 $(( -8 * dir )) 0.035
        CHAIN+=(sleep 0.1)
    fi
    AIMED_KEY[$1]=$key AIMED_SLIDE[$1]=$slide
    moves $(( steps / 5 )) 0 "$dir" 0.05
    [ $(( steps % 5 )) != 0 ] && moves 1 0 $(( steps % 5 * dir / 5 )) 0.05
    [ "${#CHAIN[@]}" -gt 0 ] && xdo "${CHAIN[@]}"
    spin 18
}
score_high() {
    local a=${last_scores% *} b=${last_scores#* }
    [[ "$a" =~ ^[0-9]+$ && "$b" =~ ^[0-9]+$ ]] && { [ "$a" -ge 8 ] || [ "$b" -ge 8 ]; }
}

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
    for side in creating joining; do
        # A look at the puck for each side's turn, through its own window (the other side's
        # turn has likely moved it; only the window on top can be seen).
        show "$side"
        where_puck
        focus "$side"
        team=$([ "$side" = creating ] && echo 0 || echo 1)
        if [ $(( RANDOM % 5 )) = 0 ] || score_high; then
            jitter_turn
            AIMED_KEY[$team]=""
        elif ! aim_turn "$team"; then
            sweep_turn
            AIMED_KEY[$team]=""
        fi
    done
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
    limit=$(( duration >= 180 ? 1024 : 4096 ))
    [ "$growth" -lt "$limit" ] || fail "$n grew by $growth kB after ${base_at} s"
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
