# Aimed play for two copies in a match (sourced after two_copies.sh; the caller defines focus
# and show): reading the scores off a screen, and turns of input that steer the puck at a goal.
#   scores SHOT            "FIN SWE" as SHOT's score panel shows them, "- -" with no panel.
#   play_turn SIDE [jitter] one turn of input on that copy, looking at its screen first; with
#                          "jitter" only the plain jitter.
#   opening_shot           from the face-off, the focused joining copy knocks the puck into the
#                          far goal (an own goal: the creating side's score goes to 1).

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
AIM=("" "") AIMED_KEY=("" "") AIMED_SLIDE=(0 0)
jitter_keys=(1 2 3 4 4 4 4 5 6 q w)
sweep_keys=(2 3 4 5 6)
# Moves and key presses are chained into one xdotool call each, with xdotool's own pauses
# between them: one process per move came to about 25 moves a second, fewer than frames.
tap_key() { xdo keydown "$1" sleep 0.08 keyup "$1"; }
jitter_turn() {
    local k key
    for (( k = 0; k < 12; k++ )); do
        xdo mousemove_relative -- $(( RANDOM % 91 - 45 )) $(( RANDOM % 91 - 45 ))
        if [ $(( RANDOM % 4 )) = 0 ]; then
            key=${jitter_keys[$(( RANDOM % ${#jitter_keys[@]} ))]}
            tap_key "$key"
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
    tap_key "${sweep_keys[$(( RANDOM % ${#sweep_keys[@]} ))]}"
    spin 30 $(( (RANDOM % 2 ? 1 : -1) * (RANDOM % 7 + 2) ))
}
# where_puck SIDE: AIM[team] = what aim.py says for that team, from SIDE's window (raised);
# empty when the puck was not found.
where_puck() {
    local view=near lines
    [ "$1" = joining ] && view=far
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
    tap_key "$key"
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
play_turn() {
    local team=0
    [ "$1" = joining ] && team=1
    # A look at the puck through the side's own window (the other side's turn has likely
    # moved it; only the window on top can be seen).
    show "$1"
    where_puck "$1"
    focus "$1"
    if [ $(( RANDOM % 5 )) = 0 ] || [ "${2:-}" = jitter ]; then
        jitter_turn
        AIMED_KEY[$team]=""
    elif ! aim_turn "$team"; then
        sweep_turn
        AIMED_KEY[$team]=""
    fi
}

# The opening shot, for the joining copy right after the face-off while it owns the puck (the
# same input, timed the same way, is replayed in tests/sim/game_test.cpp under many frame
# times). Needs sensitivity 1.0, as two_copies.sh writes it. The goalie goes to slide 50, out
# of the shot's way; skater 4 steps back to slide 0, turns its stick away (angle 32), steps up
# to slide 36 below the puck, turns to angle -22, comes back to slide 16 beside the puck, and
# one move of 40 counts (10 steps in one frame) sends the puck up the rink into the goal behind
# that goalie, about 1.5 s later; then the skater goes back to slide 0, off the centre spot
# where the puck comes back. Moves of 3 counts 0.1 s apart: a slow frame that sums three of
# them still takes every step. Keys are held 0.3 s so that a slow frame does not miss them.
# step_moves COUNTS DX DY: COUNTS in moves of 3 along DX, DY (each -1, 0 or 1), onto CHAIN.
step_moves() {
    local left=$1 c
    while [ "$left" -gt 0 ]; do
        c=$(( left < 3 ? left : 3 ))
        CHAIN+=(mousemove_relative -- $(( c * $2 )) $(( c * $3 )) sleep 0.1)
        left=$(( left - c ))
    done
}
opening_shot() {
    xdo keydown 1 sleep 0.3 keyup 1 sleep 0.1
    CHAIN=()
    moves 6 40 0 0.1
    xdo "${CHAIN[@]}" sleep 0.4  # no move in the frame that sees the next key
    xdo keydown 4 sleep 0.3 keyup 4 sleep 0.1
    CHAIN=(mousemove_relative -- 0 10 sleep 0.1)
    step_moves 64 1 0   # angle 96 -> 32
    step_moves 36 0 -1  # slide 0 -> 36
    step_moves 54 1 0   # angle 32 -> -22
    step_moves 20 0 1   # slide 36 -> 16
    CHAIN+=(sleep 0.4 mousemove_relative -- 40 0 sleep 1.0)
    moves 4 0 40 0.1
    xdo "${CHAIN[@]}"
}
