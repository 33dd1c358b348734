#!/usr/bin/env bash
# The intro: it gives way to the main menu by itself after about six seconds, a click skips
# it, a button already held when the program starts does not, and Esc ends the program.
source "$(dirname "$0")/flow_common.sh"

TILE=120x80+160+160     # a background tile: black during the intro, lit on the menus

write_opts "$OPTS" 1.0 6116 127.000.000.001 1 50 50

step "with no input the intro gives way after about six seconds"
run_game frostel
wait_shown intro "$SPLASH" 30
started=$(date +%s%N)
sleep 4.5
shot intro
expect_less "a tile during the intro" "$(brightness intro "$TILE")" 20
gone=""
for _ in $(seq 1 60); do
    shot later
    if [ "$(brightness later "$TILE")" -gt 50 ]; then
        gone=$(( ($(date +%s%N) - started) / 1000000 ))
        break
    fi
    sleep 0.25
done
[ -n "$gone" ] || fail "the intro never gave way"
echo "the main menu appeared ${gone} ms after the intro was first seen"
expect_more "milliseconds until the menu" "$gone" 5000
expect_more "pixels of the intro picture changed" "$(differing intro later "$SPLASH")" 5000
press Escape
expect_exit_0

step "a click skips it"
run_game frostel
wait_shown intro "$SPLASH" 30
sleep 0.5
click
shot clicked
expect_more "a tile after the click" "$(brightness clicked "$TILE")" 50
press Escape
expect_exit_0

step "a button held at start-up does not skip it; Esc ends the program from the intro"
xdo mousedown 1
run_game frostel
wait_shown held "$SPLASH" 30
sleep 1.5
shot held
expect_less "a tile with the button held" "$(brightness held "$TILE")" 20
xdo mouseup 1
sleep 1
shot released
expect_less "a tile after the release" "$(brightness released "$TILE")" 20
press Escape
expect_exit_0
pass "intro"
