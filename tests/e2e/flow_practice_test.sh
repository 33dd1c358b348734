#!/usr/bin/env bash
# A practice match played as a person would: the rink and the figures appear, the mouse moves
# the selected figure, Space switches sides while the camera swings round, F10 returns to
# the main menu, and Esc ends the program from a match.
source "$(dirname "$0")/flow_common.sh"

SCREEN_PIXELS=$((1024 * 768))

write_opts "$OPTS" 1.0 6116 127.000.000.001 1 50 50

skip_intro
shot menu

step "the practice item starts a match: the rink and the figures appear"
click  # the pointer starts on the practice item
sleep 1.5
shot rink
expect_more "pixels changed from the menu" "$(differing menu rink)" $((SCREEN_PIXELS / 2))
# The lower middle of the screen is the ice in front of team 0's goal.
expect_more "brightness of the ice" "$(brightness rink 300x100+362+450)" 400

step "the mouse slides the selected figure (the goalie)"
move_pointer 30 0
sleep 0.5
shot moved
moved=$(differing rink moved)
echo "$moved pixels changed"
expect_more "pixels changed by moving the goalie" "$moved" 200
expect_less "pixels changed by moving the goalie" "$moved" $((SCREEN_PIXELS / 10))
move_pointer -30 0  # and back where it was
sleep 0.5
shot back
expect_less "pixels changed after moving it back" "$(differing rink back)" 50

step "Space switches sides and the camera swings to the other end"
press space
shot swing
sleep 2
shot far
expect_more "pixels changed during the swing" "$(differing back swing)" $((SCREEN_PIXELS / 4))
expect_more "pixels changed at the far end" "$(differing back far)" $((SCREEN_PIXELS / 4))
expect_more "pixels changed from the swing to the far end" "$(differing swing far)" $((SCREEN_PIXELS / 4))
press space
sleep 2
shot near
expect_less "pixels changed after swinging back" "$(differing back near)" 200

step "F10 returns to the main menu"
press F10
shot menu_again
expect_less "changed pixels of the main menu picture" "$(differing menu menu_again "$MENU")" 100

step "Esc ends the program from a match"
click
sleep 1
press Escape
expect_exit_0
pass "practice"
