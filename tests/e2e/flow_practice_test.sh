#!/usr/bin/env bash
# A practice match played as a person would: the rink and the figures appear, the mouse moves
# the selected figure, Space switches sides while the camera swings round, C brings in the
# computer on the other team (its badge shows), F10 returns to the main menu, the next match
# starts with the computer on hard and it scores with no other input, and Esc ends the
# program from a match.
# Usage: flow_practice_test.sh [frostel|frostel_640]   (default frostel)
source "$(dirname "$0")/flow_common.sh"
source "$(dirname "$0")/aimed_play.sh"  # scores

PROG=${1:-frostel}
program_layout "$PROG"

write_opts "$OPTS" 1.0 6116 127.000.000.001 1 50 50

skip_intro "$PROG"
# shellcheck disable=SC2086
move_pointer $PRACTICE_MOVE
shot menu

step "the practice item starts a match: the rink and the figures appear"
click
shot_settled rink menu
expect_more "pixels changed from the menu" "$(differing menu rink)" $((GAME_PIXELS / 2))
expect_more "brightness of the ice" "$(brightness rink "$ICE")" 400

step "the mouse slides the selected figure (the goalie)"
move_pointer 30 0
shot_until moved rink more 200
shot_still moved
moved=$(differing rink moved)
echo "$moved pixels changed"
expect_more "pixels changed by moving the goalie" "$moved" 200
expect_less "pixels changed by moving the goalie" "$moved" $((GAME_PIXELS / 10))
# And back. A move sets the target from where the figure stands, so where it ends depends on
# how the counts fell into frames: the rest of the test starts from wherever that is.
move_pointer -30 0
shot_still back

step "Space switches sides and the camera swings to the other end"
# swing SHOT REF: Space until the view turns away from REF, leaving SHOT as the first look at
# the turn. Pressed again, as a player would, when a loaded frame missed the press: Space is
# not taken while the camera swings, so a second press cannot turn it back.
swing() {
    local attempt i
    for attempt in 1 2 3; do
        press space
        for (( i = 0; i < 40; i++ )); do
            shot "$1"
            [ "$(differing "$2" "$1")" -gt $((GAME_PIXELS / 4)) ] && return 0
            sleep 0.25
        done
        echo "(no swing after Space, attempt $attempt)"
    done
    fail "three presses of Space did not turn the camera"
}
# The swing lasts a second of game time; a shot and its comparison can take as long on a
# loaded machine, so shots taken one by one may all miss it. The screen is grabbed as fast as
# it goes: the last 40 grabs before the turn is seen and up to 40 after it. A grab from the
# middle of the turn is looked for among those once the far end holds still.
burst=$E2E_WORK/burst
mkdir -p "$burst"
(
    after=0
    for (( n = 0; n < 2000 && after < 40; n++ )); do
        [ -d "$burst" ] && [ ! -e "$burst/stop" ] || break
        xwd -root -silent > "$burst/$n.xwd" 2>/dev/null || rm -f "$burst/$n.xwd"
        if [ -e "$burst/turned" ]; then after=$((after + 1)); else rm -f "$burst/$((n - 40)).xwd"; fi
        sleep 0.05
    done
) &
grabber=$!
swing turned back
touch "$burst/turned"
# The swing runs on game time, which falls behind the clock when frames are slow: the far end
# is looked at once it holds still, and only then is Space pressed again.
shot_still far
touch "$burst/stop"
wait "$grabber"
mid=""
for grab in $(ls "$burst"/*.xwd 2>/dev/null | sort -V); do
    xwdtopnm < "$grab" 2>/dev/null | pamdepth 255 > "$E2E_WORK/swing.ppm" 2>/dev/null || continue
    if [ "$(differing back swing)" -gt $((GAME_PIXELS / 4)) ] && [ "$(differing far swing)" -gt $((GAME_PIXELS / 4)) ]; then
        mid=$grab
        break
    fi
done
echo "$(ls "$burst" | grep -c xwd) grabs during the swing, from the middle: ${mid:-none}"
rm -rf "$burst"
[ -n "$mid" ] || fail "no view between the two ends: the camera did not swing"
expect_more "pixels changed at the far end" "$(differing back far)" $((GAME_PIXELS / 4))
swing swing_back far
# The same end again, not a view on the way: waited for, as frames on a loaded machine can
# come slower than shot_still looks. Not to the pixel: the goalie may still be settling.
SHOT_WAIT=60 shot_until near back less $((GAME_PIXELS / 50))

step "C three times: the computer takes Sweden on hard, and its badge shows beside the score panel"
# The badge, right of what `scores` reads. The small program's picture fills the screen
# natively; under Wine it keeps its 640x480 desktop at the top left, unscaled.
BADGE=120x56+266+2
[ "$PROG" = frostel_640 ] && ! under_wine && BADGE=180x84+426+4
shot no_badge
# The badge's plate is red on hard (green on easy, orange on normal). A press that a slow frame
# missed leaves a lower level showing; like a player, press C again until it reads hard.
red="none"
for (( presses = 1; presses <= 8; presses++ )); do
    press c
    for (( i = 0; i < 12; i++ )); do
        shot badge
        if [ "$(differing no_badge badge "$BADGE")" -gt 2000 ]; then
            red=$(convert "$E2E_WORK/badge.ppm" -crop "$BADGE" +repage \
                  -format '%[fx:int(mean.r*1000)] %[fx:int(mean.g*1000)]' info:)
            [ "${red% *}" -gt $(( 2 * ${red#* } )) ] && break 2
        fi
        sleep 0.25
    done
done
[ "$presses" -le 8 ] || fail "no red hard badge after 8 presses of C (red, green: $red)"
[ "$presses" -eq 3 ] || echo "note: the hard badge came after $presses presses of C"

step "F10 returns to the main menu"
press F10
shot_until menu_again menu less 100 "$MENU"

step "the next match starts with the computer on hard, and with no other input it scores"
# From the face-off: on the way to hard the computer played easy and normal for a moment, and
# easy may leave the puck where no Swedish figure reaches. How long the goal takes is printed,
# not held to a limit: the game's clock falls behind the wall's when frames are slow (a Wine
# copy beside a sanitizer test took over 3 minutes), so 6 minutes only guard against a hang.
click
computer_since=$SECONDS
shot_until rink_again menu_again more $((GAME_PIXELS / 2))  # the computer plays at once: no settling
[ "$(scores rink_again)" != "- -" ] || fail "no score panel while the computer plays"
# With no input only the computer moves anything. Sweden's mark on the second row of the score
# panel moves on at its first goal.
SWEDEN_ROW=240x12+20+40
[ "$PROG" = frostel_640 ] && ! under_wine && SWEDEN_ROW=384x19+32+64
# A puck that comes to rest where only Finland's still figures reach lies there for good (with
# uneven frames a strike can go other than it was tried): on a picture that stays still for
# 20 s, as a player would, F10 and a new match, three at most.
cp "$E2E_WORK/rink_again.ppm" "$E2E_WORK/last_move.ppm"
moved_at=$SECONDS
match=1
while shot scored; [ "$(differing no_badge scored "$SWEDEN_ROW")" -le 100 ]; do
    [ $((SECONDS - computer_since)) -le 360 ] || fail "no goal by the computer within 6 minutes"
    kill -0 "$GAME_PID" 2>/dev/null || fail "$GAME_PROG ended while the computer played"
    if [ "$(differing last_move scored)" -ge 50 ]; then
        cp "$E2E_WORK/scored.ppm" "$E2E_WORK/last_move.ppm"
        moved_at=$SECONDS
    elif [ $((SECONDS - moved_at)) -ge 20 ]; then
        [ "$match" -lt 3 ] || fail "the picture stood still for 20 s in 3 matches without a goal"
        echo "note: in match $match the picture stood still for 20 s; a new match"
        press F10
        shot_until menu_stalled menu less 100 "$MENU"
        click
        shot_until last_move menu_stalled more $((GAME_PIXELS / 2))
        moved_at=$SECONDS
        match=$((match + 1))
    fi
    sleep 0.5
done
echo "the computer's first goal after $((SECONDS - computer_since)) s (match $match)"
press F10
shot_until menu_third menu less 100 "$MENU"

step "Esc ends the program from a match"
# In a match of its own, early on, as this test always did: once, under Wine, Esc pressed just
# after the computer's goal ended frostel.exe with status 137 (killed), cause not yet known.
click
shot_until rink_third menu_third more $((GAME_PIXELS / 2))
escape_exits
pass "practice"
