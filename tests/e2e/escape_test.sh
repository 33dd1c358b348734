#!/usr/bin/env bash
# Esc on the first screen ends either program with status 0, and its window goes away.
source "$(dirname "$0")/lib.sh"
in_xvfb "$@"

for prog in frostel frostel_640; do
    start_game "$prog"
    wait_for_window
    wait_for_pixel 5 5 "0 0 0"  # the device is up
    press_until_exit Escape
    [ "$GAME_STATUS" = 0 ] || fail "$prog ended with status $GAME_STATUS after Esc"
    if xdotool search --onlyvisible --name "$FROSTEL_WINDOW_NAME" >/dev/null 2>&1; then
        fail "a Frostel window is still shown after $prog ended"
    fi
    pass "$prog ends with 0 on Esc"
done
