#!/usr/bin/env bash
# Two copies of the game play a network match over loopback on one X display. One creates
# on a port other than the default (from its own "opts.dat"); the other joins it on the
# padded address "127.000.000.001". Both reach the match, both connection indicators go,
# a figure moved on one screen moves on the other, a goal (the puck steered in by aimed input,
# as in the soak) shows the same score on both screens, and F10 brings each back to its menu.
#
# Both windows cover the whole screen, so a screenshot shows the one on top: a copy is
# raised before it is looked at, and input goes to whichever copy has the keyboard focus.
# NET_SHOTS=DIR keeps every screenshot for a person to look at.
#
# Usage: net_match_test.sh [CREATING JOINING], each "native" or "windows" (two_copies.sh):
# by default both are the run folder's own program.
source "$(dirname "$0")/lib.sh"
in_xvfb "$@"
source "$(dirname "$0")/two_copies.sh"
source "$(dirname "$0")/aimed_play.sh"
copy_programs "$@"

INDICATOR=120x100+4+64  # the opaque middle of the 128x128 indicator at (0, 52)
MENU=256x256+384+256    # the menu picture
RINK=1024x560+0+140     # the match view below the score panel

SHOTS_DIR=${NET_SHOTS:-}
# Two copies share the display, so their frames come slower than in the flow tests.
CLICK_PAUSE=0.4
KEY_PAUSE=0.3
MOVE_PAUSE=0.3

_net_cleanup() {
    kill_copies
    _e2e_cleanup
}
trap _net_cleanup EXIT

# udp_bound PORT: whether some socket of this machine is bound to that UDP port.
udp_bound() {
    python3 - "$1" <<'EOF'
import sys
port = int(sys.argv[1])
with open("/proc/net/udp") as f:
    rows = f.read().splitlines()[1:]
sys.exit(0 if any(int(r.split()[1].split(":")[1], 16) == port for r in rows) else 1)
EOF
}

# focus NAME: keys and mouse go to that copy. A copy in a match takes the pointer when it
# gets the focus, and SDL raises a window that takes the pointer: call show after focus.
focus() {
    focus_copy "$1"
    sleep 0.3
}

# top_window: the id of the topmost game window (xwininfo lists the top child first).
top_window() {
    printf '%d' "$(xwininfo -root -children | awk '/"Frostel"/ { print $1; exit }')"
}

# show NAME: that copy's window on top, so that screenshots see it; the focus stays.
show() {
    xdo windowraise "${WIN[$1]}"
    sleep 0.6
    [ "$(top_window)" = "${WIN[$1]}" ] || fail "the $1 window is not on top"
}

hold() {
    xdo keydown "$1"
    sleep "$2"
    xdo keyup "$1"
    sleep 0.5
}

# wait_until NAME SHOT REF REGION more|less LIMIT: takes that copy's screen as SHOT until it
# differs from REF in REGION by more (or less) than LIMIT pixels; frames may come slowly on
# a busy machine, so this waits up to 20 s.
wait_until() {
    local i n=0
    for (( i = 0; i < 80; i++ )); do
        shot "$2"
        n=$(differing "$3" "$2" "$4")
        if [ "$5" = more ] && [ "$n" -gt "$6" ]; then return 0; fi
        if [ "$5" = less ] && [ "$n" -lt "$6" ]; then return 0; fi
        running "$1" || fail "$1 ended"
        sleep 0.25
    done
    fail "$1: $2 against $3 in $4 differs by $n pixels, not $5 than $6"
}

PORT=$(free_port)
[ "$PORT" != 6116 ] || PORT=$(free_port)
make_dir creating "$PORT"
make_dir joining "$PORT"
echo "port $PORT"

step "the joining copy enters a match with no one there: its indicator stays"
start joining
to_main_menu joining
join_and_connect
wait_until joining joining-alone joining-main "$MENU" more 20000
sleep 1.5  # resends into nothing
shot joining-alone

step "F10 takes it back to the main menu"
press F10
wait_until joining joining-menu joining-main "$MENU" less 3000

step "the creating copy creates on port $PORT and waits: its indicator stays"
start creating
to_main_menu creating
create_and_start
wait_until creating creating-alone creating-main "$MENU" more 20000
sleep 1.5
shot creating-alone
# The same picture on both screens, over two different views of the rink: the indicator.
expect_less "indicator on both (same pixels)" "$(differing creating-alone joining-alone "$INDICATOR")" 300
expect_more "the views behind it differ" "$(differing creating-alone joining-alone "$RINK")" 5000
udp_bound "$PORT" || fail "nothing bound to UDP port $PORT"
[ "$(opts_field "$E2E_WORK/creating/opts.dat" 4 '<i')" = "$PORT" ] || fail "opts.dat no longer holds port $PORT"

step "the joining copy connects on 127.000.000.001: both indicators go"
focus joining
show joining
move_pointer 42 -90  # join item again, from where the pointer was left
click
move_pointer -42 90  # connect
click
wait_until joining joining-match joining-alone "$INDICATOR" more 6000
show creating
wait_until creating creating-match creating-alone "$INDICATOR" more 6000

# walk_goalie MOVER WATCHER KEY: the mover's goalie walks while the watcher's screen is shown.
walk_goalie() {
    focus "$1"
    show "$2"
    shot "$2-still"
    sleep 0.5
    shot "$2-still2"
    expect_less "the $2 screen is still without input" "$(differing "$2-still" "$2-still2" "$RINK")" 50
    # Up to three walks: a Wine copy just restored from its minimized state may miss keys for
    # a while (seen as flaky on a loaded machine).
    local attempt i n=0
    for attempt in 1 2 3; do
        hold "$3" 0.7
        for (( i = 0; i < 12; i++ )); do
            shot "$2-moved"
            n=$(differing "$2-still" "$2-moved" "$RINK")
            [ "$n" -gt 200 ] && break 2
            running "$2" || fail "$2 ended"
            sleep 0.25
        done
        echo "-- the $2 screen did not change after walk $attempt"
        focus "$1"
        show "$2"
    done
    [ "$n" -gt 200 ] || fail "the $2 screen did not change after three walks on the $1 copy"
    [ "$(top_window)" = "${WIN[$2]}" ] || fail "the $2 window is no longer on top"
    pass "the $2 screen changed by $(differing "$2-still" "$2-moved" "$RINK") pixels"
}

step "a goalie walked on the joining copy moves on the creating screen"
walk_goalie joining creating w

step "a goalie walked on the creating copy moves on the joining screen"
walk_goalie creating joining q

step "aimed play on both sides until a goal: the same score on both screens"
# Goals stay rare events even with aimed input (the soak sees one in minutes, on a loaded
# machine none in ten), so a match without one in the time given ends the test as skipped
# (77) after the remaining checks, saying so, rather than as passed.
show creating
shot creating-score
start_score=$(scores creating-score)
[ "$start_score" = "0 0" ] || fail "the creating copy shows $start_score before any goal"
goal_budget=${NET_GOAL_SECONDS:-240}
play_start=$(date +%s)
score=$start_score
while [ "$score" = "$start_score" ] && [ $(( $(date +%s) - play_start )) -lt "$goal_budget" ]; do
    play_turn creating
    play_turn joining
    show creating
    shot creating-score
    score=$(scores creating-score)
done
if [ "$score" = "$start_score" ]; then
    no_goal="no goal in $goal_budget s of aimed play"
    echo "-- $no_goal: the score check is left out"
else
    pass "the creating copy shows $score after $(( $(date +%s) - play_start )) s of play"
    # the other screen, within three looks (about a second each): datagrams may be late
    for (( i = 0; i < 3; i++ )); do
        show joining
        shot joining-score
        [ "$(scores joining-score)" = "$score" ] && break
    done
    [ "$(scores joining-score)" = "$score" ] || fail "the joining copy shows $(scores joining-score), the creating copy $score"
    show creating
    shot creating-score
    [ "$(scores creating-score)" = "$score" ] || fail "the creating copy went on to $(scores creating-score)"
    pass "both show $score"
fi

step "F10 on each returns it to the main menu"
focus joining
show joining
press F10
wait_until joining joining-left joining-menu "$MENU" less 3000
focus creating
show creating
press F10
wait_until creating creating-left creating-main "$MENU" less 3000
running creating || fail "the creating copy has ended"
running joining || fail "the joining copy has ended"
udp_bound "$PORT" && fail "port $PORT is still bound after F10"

step "Esc ends both with status 0"
for n in creating joining; do
    focus "$n"
    press Escape
    # pressed again every 2 s: a restored Wine copy may miss the first
    for (( i = 1; i <= 100; i++ )); do running "$n" || break; (( i % 20 )) || press Escape; sleep 0.1; done
    running "$n" && fail "$n still runs after Esc"
    ended "$n"
    [ "${STATUS[$n]}" = 0 ] || fail "$n ended with status ${STATUS[$n]}"
    unset "PID[$n]"
done
if [ -n "${no_goal:-}" ]; then
    echo "SKIP: all other checks passed, but $no_goal" >&2
    exit 77
fi
pass "network match over loopback"
