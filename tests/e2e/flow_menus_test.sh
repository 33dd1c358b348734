#!/usr/bin/env bash
# The menus answer where their items are, Esc ends the program from each of them with
# status 0, and the quit item ends it too. The pointer starts at (512, 384); with the
# sensitivity 1.0 one mouse count moves it one pixel.
source "$(dirname "$0")/flow_common.sh"

write_opts "$OPTS" 1.0 6116 127.000.000.001 1 50 50

# to_main_menu: the game started and its intro clicked away; the main menu is shot "main".
to_main_menu() {
    skip_intro
    shot main
}

# open_menu NAME DX DY: move to an item of the main menu, click it, and see the picture change.
open_menu() {
    move_pointer "$2" "$3"
    click
    shot_until "$1" main more 5000 "$MENU"
}

step "Esc on the main menu"
to_main_menu
escape_exits

step "the create menu, then Esc"
to_main_menu
open_menu create 0 -69  # create item at (512, 315)
escape_exits

step "the join menu, then Esc"
to_main_menu
open_menu join 0 -34  # join item at (512, 350)
escape_exits

step "the options menu, its back item, then Esc"
to_main_menu
open_menu options -22 39  # options item at (490, 423)
move_pointer -40 50       # back item at (450, 473)
click
move_pointer 62 -89       # back where the pointer was on the first shot
shot_until back main less 100 "$MENU"
escape_exits

step "the quit item ends the program"
to_main_menu
move_pointer -42 89  # quit item at (470, 473)
# Clicked again, as a player would, while the program still runs 5 s later (a missed click).
for attempt in 1 2 3; do
    click
    for (( i = 0; i < 50; i++ )); do kill -0 "$GAME_PID" 2>/dev/null && sleep 0.1; done
    kill -0 "$GAME_PID" 2>/dev/null || break
    echo "(still running after a click on quit, attempt $attempt)"
done
expect_exit_0
pass "menus"
