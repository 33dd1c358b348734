#!/usr/bin/env bash
# Two copies of the game play a network match over loopback on one X display. One creates
# on a port other than the default (from its own "opts.dat"); the other joins it on the
# padded address "127.000.000.001". Both reach the match, both connection indicators go,
# a goal (the scripted opening shot of the joining copy from the face-off; aimed input, as in
# the soak, if that misses) shows the same score on both screens, a figure moved on one screen
# moves on the other, and F10 brings each back to its menu.
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

# seen_within NAME SHOT REF REGION more|less LIMIT SECONDS: takes that copy's screen as SHOT
# until it differs from REF in REGION by more (or less) than LIMIT pixels; false if it does
# not within SECONDS. SEEN holds the last count.
seen_within() {
    local i
    SEEN=0
    for (( i = 0; i < $7 * 4; i++ )); do
        shot "$2"
        # A copy that has ended changes the screen too: its window is gone.
        running "$1" || fail "$1 ended"
        SEEN=$(differing "$3" "$2" "$4")
        if [ "$5" = more ] && [ "$SEEN" -gt "$6" ]; then return 0; fi
        if [ "$5" = less ] && [ "$SEEN" -lt "$6" ]; then return 0; fi
        sleep 0.25
    done
    return 1
}

# wait_until NAME SHOT REF REGION more|less LIMIT: the same, for up to 20 s (frames may come
# slowly on a busy machine), or the test fails.
wait_until() {
    seen_within "$@" 20 || fail "$1: $2 against $3 in $4 differs by $SEEN pixels, not $5 than $6"
}

# back_to_menu NAME SHOT REF: F10 on that copy (focused and shown), held until its menu is
# back: the match frame ends the match in whichever frame sees the key down, and a loaded
# frame (the sanitizer build beside other work) can outlast any fixed press. Pressed again if
# not seen: a Wine copy just restored may miss a key on a loaded machine.
back_to_menu() {
    local attempt
    for attempt in 1 2 3; do
        xdo keydown F10
        if seen_within "$1" "$2" "$3" "$MENU" less 3000 7; then
            xdo keyup F10
            return 0
        fi
        xdo keyup F10
        echo "-- F10 $attempt on the $1 copy not seen"
    done
    fail "$1: no menu after three presses of F10 ($SEEN pixels differ)"
}

# click_until NAME SHOT REF REGION more|less LIMIT: a click on that copy (focused and shown),
# again if its screen has not changed so within 7 s: a click lost to a slow frame.
click_until() {
    local attempt
    for attempt in 1 2 3; do
        click
        seen_within "$@" 7 && return 0
        echo "-- click $attempt on the $1 copy not seen"
    done
    fail "$1: $2 against $3 in $4 differs by $SEEN pixels, not $5 than $6, after three clicks"
}

PORT=$(free_port)
[ "$PORT" != 6116 ] || PORT=$(free_port)
make_dir creating "$PORT"
make_dir joining "$PORT"
echo "port $PORT"

step "the joining copy enters a match with no one there: its indicator stays"
start joining
to_main_menu joining
move_pointer 0 -34  # join item
click_until joining joining-join joining-main "$MENU" more 3000
move_pointer -42 90  # connect
click_until joining joining-alone joining-join "$MENU" more 20000
sleep 1.5  # resends into nothing
shot joining-alone

step "F10 takes it back to the main menu"
back_to_menu joining joining-menu joining-main

step "the creating copy creates on port $PORT and waits: its indicator stays"
start creating
to_main_menu creating
move_pointer 0 -69  # create item
click_until creating creating-create creating-main "$MENU" more 3000
move_pointer -42 120  # start
click_until creating creating-alone creating-create "$MENU" more 20000
# The same picture on both screens, over two different views of the rink: the indicator.
# Waited for: on a loaded machine the match's first frames can come slowly.
wait_until creating creating-alone joining-alone "$INDICATOR" less 300
expect_more "the views behind it differ" "$(differing creating-alone joining-alone "$RINK")" 5000
udp_bound "$PORT" || fail "nothing bound to UDP port $PORT"
[ "$(opts_field "$E2E_WORK/creating/opts.dat" 4 '<i')" = "$PORT" ] || fail "opts.dat no longer holds port $PORT"

step "the joining copy connects on 127.000.000.001: both indicators go"
focus joining
show joining
move_pointer 42 -90  # join item again, from where the pointer was left
click_until joining joining-join2 joining-join "$MENU" less 3000
move_pointer -42 90  # connect
click_until joining joining-match joining-join "$MENU" more 20000
wait_until joining joining-match joining-alone "$INDICATOR" more 6000
# the rink, not a menu: the indicator's place alone changed
expect_less "the joining copy's view of the rink" "$(differing joining-alone joining-match "$RINK")" 8000
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

# same_score: both screens show the score the creating screen shows, which differs from
# start_score; the other screen within three looks (about a second each): datagrams may be late.
same_score() {
    local i
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
}

# settle NAME: that copy's screen holds still for half a second (up to a minute): after a goal
# the puck waits 1.5 s in the goal, then goes back to the centre spot; a missed shot glides.
settle() {
    local i
    show "$1"
    for (( i = 0; i < 60; i++ )); do
        shot "$1-settle"
        sleep 0.5
        shot "$1-settled"
        [ "$(differing "$1-settle" "$1-settled" "$RINK")" -lt 50 ] && return 0
        running "$1" || fail "$1 ended"
    done
    fail "the $1 screen does not come to rest"
}

step "the opening shot of the joining copy from the face-off: the same score on both screens"
show creating
shot creating-score
start_score=$(scores creating-score)
[ "$start_score" = "0 0" ] || fail "the creating copy shows $start_score before any goal"
focus joining
show joining
shot_start=$(date +%s)
opening_shot
score=$start_score
for (( i = 0; i < 10; i++ )); do
    show creating
    shot creating-score
    score=$(scores creating-score)
    [ "$score" != "$start_score" ] && break
    sleep 0.5
done
if [ "$score" = "$start_score" ]; then
    echo "-- the opening shot did not score (input missed?): aimed play comes after the goalie walks"
else
    pass "the creating copy shows $score $(( $(date +%s) - shot_start )) s after the opening began"
    same_score
fi
sleep 2  # the goal pause
settle creating
settle joining

step "a goalie walked on the joining copy moves on the creating screen"
walk_goalie joining creating q  # Q: the opening left this goalie at the top of its groove (50)

step "a goalie walked on the creating copy moves on the joining screen"
walk_goalie creating joining q

if [ "$score" = "$start_score" ]; then
    step "aimed play on both sides until a goal: the same score on both screens"
    # Without the opening, goals are rare (the soak sees one in minutes, on a loaded machine
    # none in ten), so a match without one in the time given ends the test as skipped (77)
    # after the remaining checks, saying so, rather than as passed.
    # Within CTest's 600 s, leaving 120 s for the rest: on a loaded machine the steps before
    # may have taken 400 s, and a timeout would say nothing of what passed.
    goal_budget=${NET_GOAL_SECONDS:-240}
    (( goal_budget < 480 - SECONDS )) || goal_budget=$(( 480 - SECONDS ))
    play_start=$(date +%s)
    while [ "$score" = "$start_score" ] && [ $(( $(date +%s) - play_start )) -lt "$goal_budget" ]; do
        play_turn creating
        play_turn joining
        show creating
        shot creating-score
        score=$(scores creating-score)
    done
    if [ "$score" = "$start_score" ]; then
        no_goal="no goal from the opening shot or in $goal_budget s of aimed play"
        echo "-- $no_goal: the score check is left out"
    else
        pass "the creating copy shows $score after $(( $(date +%s) - play_start )) s of aimed play"
        same_score
    fi
fi

step "F10 on each returns it to the main menu"
focus joining
show joining
back_to_menu joining joining-left joining-menu
focus creating
show creating
back_to_menu creating creating-left creating-main
running creating || fail "the creating copy has ended"
running joining || fail "the joining copy has ended"
udp_bound "$PORT" && fail "port $PORT is still bound after F10"

step "Esc ends both with status 0"
escape_ends creating
escape_ends joining
if [ -n "${no_goal:-}" ]; then
    echo "SKIP: all other checks passed, but $no_goal" >&2
    exit 77
fi
pass "network match over loopback"
