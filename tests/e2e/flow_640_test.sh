#!/usr/bin/env bash
# The 640x480 build: its pointer starts at (20, 20) and its menu items answer at the places of
# the large build moved by (-232, -144). One mouse count moves the pointer one pixel.
source "$(dirname "$0")/flow_common.sh"

write_opts "$OPTS" 1.0 6116 127.000.000.001 1 50 50

skip_intro frostel_640 100x100+270+190  # the middle of its 480x480 intro picture at (80, 0)
shot main

step "the large build's quit place does nothing here"
move_pointer 450 453  # (470, 473): quit on the 1024x768 build, no item on this one
click
expect_running

step "create, back and quit answer at their shifted places"
move_pointer -220 -302  # (250, 171): create, 197 < x < 365, 157 < y < 185
click
shot create
expect_more "pixels changed by the create menu" "$(differing main create)" 10000
move_pointer 0 156  # (250, 327): back, 196 < x < 312, 313 < y < 341
click
shot back
expect_more "pixels changed back to the main menu" "$(differing create back)" 10000
move_pointer -20 2  # (230, 329): quit, 196 < x < 272, 315 < y < 343
click
expect_exit_0
pass "640x480 menus"
