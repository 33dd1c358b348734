#!/usr/bin/env bash
# The options menu: clicking the music slider's right end and the detail toggle, then the back
# item, writes "opts.dat" with musicVolume 99 and highDetail 0, and the next run starts with
# them: the markers stand where they were left and the match shows the low-detail figures.
source "$(dirname "$0")/flow_common.sh"

write_opts "$OPTS" 1.0 6116 127.000.000.001 1 50 50

# practice_shot NAME: a practice match from the main menu (the pointer starts on its item),
# one screenshot of the figures at the face-off once the view has settled, and back with F10.
practice_shot() {
    shot "$1-menu"
    click
    shot_settled "$1" "$1-menu"
    press F10
}

step "first run: high detail; set the music to the slider's end and the detail to low"
skip_intro
practice_shot practice_high
move_pointer -22 39  # options item at (490, 423)
click
shot options_before
move_pointer 102 -104  # music row at (592, 319): the slider's right end
click
move_pointer -42 63  # detail toggle at (550, 382)
click
shot options_after
expect_more "changed pixels of the options menu" "$(differing options_before options_after "$MENU")" 300
move_pointer -100 91  # back item at (450, 473)
click
escape_exits

[ "$(opts_field "$OPTS" 36 '<i')" = 99 ] || fail "musicVolume in opts.dat is $(opts_field "$OPTS" 36 '<i'), not 99"
[ "$(opts_field "$OPTS" 28 B)" = 0 ] || fail "highDetail in opts.dat is $(opts_field "$OPTS" 28 B), not 0"
[ "$(opts_field "$OPTS" 32 '<i')" = 50 ] || fail "effectsVolume changed to $(opts_field "$OPTS" 32 '<i')"
[ "$(opts_field "$OPTS" 0 '<f')" = 1.0 ] || fail "mouseSensitivity changed to $(opts_field "$OPTS" 0 '<f')"
[ "$(opts_field "$OPTS" 4 '<i')" = 6116 ] || fail "port changed to $(opts_field "$OPTS" 4 '<i')"
pass "opts.dat holds musicVolume 99 and highDetail 0"

step "second run: the saved values are in use"
skip_intro
practice_shot practice_low
changed=$(differing practice_high practice_low)
echo "$changed pixels differ between the high- and low-detail face-off"
expect_more "pixels changed by the low-detail figures" "$changed" 300
expect_less "pixels changed by the low-detail figures" "$changed" 150000
move_pointer -22 39
click
move_pointer 102 -104
move_pointer -42 63
shot options_next
expect_less "changed pixels against the menu as it was left" "$(differing options_after options_next "$MENU")" 100
escape_exits
pass "options"
