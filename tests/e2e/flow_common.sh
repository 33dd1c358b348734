# Shared by the flow_*_test.sh scripts, on top of lib.sh: the game runs from a scratch copy
# of the run folder (it writes "opts.dat" there), is driven like a player with relative
# mouse moves, clicks and key presses, and is checked by screenshot pixels.
# FLOW_SHOTS=DIR keeps a copy of every screenshot for a person to look at.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
in_xvfb "$@"

# program_layout PROG: where PROG (frostel or frostel_640) draws. Sets SPLASH (the middle of
# the intro picture), MENU (the menu picture), ICE (ice in front of team 0's goal at the
# start of a match), PRACTICE_MOVE (mouse counts from the pointer's start to the practice
# item) and GAME_PIXELS (the size of its screen). The 640x480 build's menus are those of the
# large one moved by (-232, -144), its pointer starts at (20, 20) and its intro picture is
# 480x480 at (80, 0); its view of the rink is framed differently.
program_layout() {
    case $1 in
        frostel)
            SPLASH=200x200+412+284 MENU=256x256+384+256 ICE=300x100+362+450
            PRACTICE_MOVE="0 0" GAME_PIXELS=$((1024 * 768)) ;;
        frostel_640)
            SPLASH=100x100+270+190 MENU=256x256+152+112 ICE=240x60+240+410
            PRACTICE_MOVE="240 223" GAME_PIXELS=$((640 * 480)) ;;
        *) fail "no layout for $1" ;;
    esac
}
program_layout frostel
SHOTS_DIR=${FLOW_SHOTS:-}

PLAY="$E2E_WORK/run"
play_dir "$PLAY"
FROSTEL_RUN_DIR=$PLAY
OPTS="$PLAY/opts.dat"  # the options the game starts with and saves to

# run_game PROG: starts it with the mouse pointer in the middle of the screen, so relative
# moves have room either way, and waits for its window. A start that dies before showing a
# window (the display refused the connection, as with xdo) is tried again.
run_game() {
    local attempt i
    for attempt in 1 2 3; do
        xdo mousemove 512 384
        start_game "$1"
        for (( i = 0; i < 600; i++ )); do
            GAME_WINDOW=$(xdotool search --onlyvisible --name "$FROSTEL_WINDOW_NAME" 2>/dev/null | head -n 1 || true)
            [ -n "$GAME_WINDOW" ] && return 0
            kill -0 "$GAME_PID" 2>/dev/null || break
            sleep 0.1
        done
        [ -n "$GAME_WINDOW" ] && return 0
        echo "($1 ended before its window, attempt $attempt: $(grep -v '^ALSA' "$E2E_WORK/$1.stderr" | tail -n 1))"
        wait "$GAME_PID" 2>/dev/null || true
        GAME_PID=""
    done
    fail "$1 never showed its window"
}

# skip_intro [PROG [WxH+X+Y]]: runs PROG (default frostel), waits until its intro is drawn
# at that region (default SPLASH) and clicks it away; the pointer stays where it started.
# Clicked again, as a player would, if the intro is still there after 3 s (a loaded frame
# missed the click; the intro would end by itself later, with the pointer's moves lost).
skip_intro() {
    local attempt i region=${2:-$SPLASH} size
    size=${region%%+*}
    run_game "${1:-frostel}"
    wait_shown intro "$region" 30
    sleep 0.3
    for attempt in 1 2 3; do
        click
        for (( i = 0; i < 12; i++ )); do
            shot skipped
            # the menu picture covers the middle of the intro's
            [ "$(differing intro skipped "$region")" -gt $(( ${size%x*} * ${size#*x} / 4 )) ] && return 0
            kill -0 "$GAME_PID" 2>/dev/null || fail "$GAME_PROG ended on its intro"
            sleep 0.25
        done
        echo "(the intro is still shown after a click, attempt $attempt)"
    done
    fail "three clicks did not skip the intro"
}

# expect_exit_0: the game ends by itself, with status 0.
expect_exit_0() {
    wait_for_exit 15
    [ "$GAME_STATUS" = 0 ] || fail "the game ended with status $GAME_STATUS (124: still running)"
}

# escape_exits: Esc ends the game with status 0. The key is held again while the game still
# runs, as a player would press it again: a press shorter than a loaded frame is not seen.
escape_exits() {
    press_until_exit Escape 60
    [ "$GAME_STATUS" = 0 ] || fail "the game ended with status $GAME_STATUS after Esc (124: still running)"
}

expect_running() {
    sleep 0.5
    kill -0 "$GAME_PID" 2>/dev/null || fail "the game has ended"
}

# shot_until SHOT REF more|less LIMIT [WxH+X+Y]: takes SHOT until it differs from shot REF by
# more (or less) than LIMIT pixels (in the region, if given), for up to $SHOT_WAIT s (default
# 10): frames come slowly on a loaded machine, under Wine most of all, so a fixed pause may
# look too early.
shot_until() {
    local i n=0
    for (( i = 0; i < ${SHOT_WAIT:-10} * 4; i++ )); do
        shot "$1"
        n=$(differing "$2" "$1" ${5:+"$5"})
        if [ "$3" = more ] && [ "$n" -gt "$4" ]; then return 0; fi
        if [ "$3" = less ] && [ "$n" -lt "$4" ]; then return 0; fi
        kill -0 "$GAME_PID" 2>/dev/null || fail "$GAME_PROG ended while waiting for $1"
        sleep 0.25
    done
    fail "$1 against $2 differs by $n pixels, not $3 than $4"
}

# shot_settled SHOT REF: takes SHOT until it differs from shot REF by more than half the game's
# pixels and by fewer than 50 from the one before (the match has come and its camera has
# stopped), for up to 40 screenshots: a match takes a while to show on a loaded machine.
shot_settled() {
    local i n=0
    shot "$1"
    for (( i = 0; i < 40; i++ )); do
        sleep 0.25
        cp "$E2E_WORK/$1.ppm" "$E2E_WORK/$1-before.ppm"
        shot "$1"
        if [ "$(differing "$2" "$1")" -gt $(( GAME_PIXELS / 2 )) ]; then
            n=$(differing "$1-before" "$1")
            [ "$n" -lt 50 ] && return 0
        fi
        kill -0 "$GAME_PID" 2>/dev/null || fail "$GAME_PROG ended while waiting for $1"
    done
    fail "$1 did not settle into a view unlike $2 ($n pixels still changing)"
}

# shot_still SHOT: takes SHOT until it has held still (fewer than 50 pixels changing between
# shots half a second apart) for a second, for up to 45 s: figures walking to their targets or
# a camera swing, on game time that falls behind the clock when frames are slow. Two shots
# alike alone could fall between two slow frames.
shot_still() {
    local i still=0
    shot "$1"
    for (( i = 0; i < 90 && still < 2; i++ )); do
        sleep 0.5
        cp "$E2E_WORK/$1.ppm" "$E2E_WORK/$1-before.ppm"
        shot "$1"
        if [ "$(differing "$1-before" "$1")" -lt 50 ]; then still=$((still + 1)); else still=0; fi
        kill -0 "$GAME_PID" 2>/dev/null || fail "$GAME_PROG ended while waiting for $1"
    done
    [ "$still" -ge 2 ] || fail "$1 did not come to rest"
}

# wait_shown SHOT WxH+X+Y SECONDS: until that region is drawn and stays as it is (the frames
# are running), leaving the last screenshot as SHOT.
wait_shown() {
    local i
    for (( i = 0; i < $3 * 4; i++ )); do
        shot "$1"
        drawn "$1" "$2" && return 0
        kill -0 "$GAME_PID" 2>/dev/null || fail "$GAME_PROG ended while waiting for $2"
        sleep 0.25
    done
    fail "nothing was drawn at $2 after $3 s"
}
