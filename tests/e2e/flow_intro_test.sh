#!/usr/bin/env bash
# The intro: it gives way to the main menu by itself after about six seconds, a click skips
# it, a button already held when the program starts does not, and Esc ends the program.
source "$(dirname "$0")/flow_common.sh"

TILE=120x80+160+160     # a background tile: black during the intro, lit on the menus

write_opts "$OPTS" 1.0 6116 127.000.000.001 1 50 50

# Screenshots come slowly on a loaded machine, so the intro's times are bounded by when the
# screenshots around them were taken, not by when a test step ran.
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# wait_intro SHOT: waits until the intro is drawn, leaving it as SHOT. It began after
# INTRO_BEFORE, when the last screenshot without it was started.
wait_intro() {
    local i start
    for (( i = 0; i < 120; i++ )); do
        start=$(now_ms)
        shot "$1"
        if drawn "$1" "$SPLASH"; then
            [ $i -gt 0 ] || INTRO_BEFORE=$start
            return 0
        fi
        INTRO_BEFORE=$start
        kill -0 "$GAME_PID" 2>/dev/null || fail "$GAME_PROG ended while waiting for the intro"
        sleep 0.25
    done
    fail "no intro after 30 s"
}

# wait_menu SHOT: waits up to 30 s until a tile is lit, leaving it as SHOT; MENU_BY is when
# that screenshot was taken, so the menu came before it.
wait_menu() {
    local deadline=$(( $(now_ms) + 30000 ))
    while [ "$(now_ms)" -lt "$deadline" ]; do
        shot "$1"
        MENU_BY=$(now_ms)
        [ "$(brightness "$1" "$TILE")" -gt 50 ] && return 0
        kill -0 "$GAME_PID" 2>/dev/null || fail "$GAME_PROG ended while waiting for the menu"
        sleep 0.25
    done
    fail "no menu after 30 s"
}

# still_intro SHOT WHAT: a tile is still dark on SHOT, unless the screenshot came so late that
# the intro may have ended by itself.
still_intro() {
    shot "$1"
    [ "$(brightness "$1" "$TILE")" -lt 20 ] && return 0
    [ $(( $(now_ms) - INTRO_BEFORE )) -lt 5800 ] || { echo "($1 came too late to tell)"; return 0; }
    fail "$2 ended the intro"
}

step "with no input the intro gives way after about six seconds"
run_game frostel
wait_intro intro
wait_menu later
# The intro lasts six seconds of game time, which never runs ahead of the clock.
echo "the intro was shown for at most $(( MENU_BY - INTRO_BEFORE )) ms"
expect_more "milliseconds the intro could have been shown" $(( MENU_BY - INTRO_BEFORE )) 5800
expect_more "pixels of the intro picture changed" "$(differing intro later "$SPLASH")" 5000
escape_exits

step "a click skips it"
run_game frostel
wait_intro intro
sleep 0.5
click
wait_menu clicked
# The intro alone lasts at least 5.9 s; a menu seen sooner came from the click. Screenshots
# slower than that cannot tell the two apart.
if [ $(( MENU_BY - INTRO_BEFORE )) -lt 5800 ]; then
    pass "the menu came at most $(( MENU_BY - INTRO_BEFORE )) ms after the intro"
else
    echo "(screenshots too slow to tell the click from the intro's end: $(( MENU_BY - INTRO_BEFORE )) ms)"
fi
escape_exits

step "a button held at start-up does not skip it; Esc ends the program from the intro"
xdo mousedown 1
run_game frostel
wait_intro held
sleep 1
still_intro held "the button held"
xdo mouseup 1
sleep 0.5
still_intro released "the release"
escape_exits
pass "intro"
