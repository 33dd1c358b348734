#!/usr/bin/env bash
# Esc on the first screen ends either program with status 0, and its window goes away. Under
# Wine the window is also checked to cover the display at (0, 0): the whole screen for
# frostel.exe, its own 640x480 desktop for frostel_640.exe.
source "$(dirname "$0")/lib.sh"
in_xvfb "$@"

for prog in frostel frostel_640; do
    start_game "$prog"
    wait_for_window
    if under_wine; then
        size=1024x768
        [ "$prog" = frostel_640 ] && size=640x480
        read -r x y w h < <(window_geometry)
        [ "$x $y ${w}x$h" = "0 0 $size" ] || fail "$prog: window at $x,$y size ${w}x$h, not $size at 0,0"
    fi
    wait_for_pixel 5 5 "0 0 0"  # the device is up
    press_until_exit Escape
    [ "$GAME_STATUS" = 0 ] || fail "$prog ended with status $GAME_STATUS after Esc"
    if xdotool search --onlyvisible --name "$FROSTEL_WINDOW_NAME" >/dev/null 2>&1; then
        fail "a Frostel window is still shown after $prog ended"
    fi
    pass "$prog ends with 0 on Esc"
done
