#!/usr/bin/env bash
# Both programs open their window full-screen and present the cleared (black) screen.
source "$(dirname "$0")/lib.sh"
in_xvfb "$@"

screenshot "$E2E_WORK/before.ppm"
[ "$(pixel_at "$E2E_WORK/before.ppm" 5 5)" = "255 255 255" ] || fail "the empty screen is not white"

for prog in frostel frostel_640; do
    start_game "$prog"
    wait_for_window
    [ "$(window_geometry)" = "0 0 1024 768" ] || fail "$prog window is $(window_geometry), not the whole screen"
    # The corners stay the clear colour in both builds, also once the intro picture shows.
    for corner in "5 5" "1018 5" "5 762" "1018 762"; do
        wait_for_pixel $corner "0 0 0"
    done
    pass "$prog presents a full-screen black screen"
    press_until_exit Escape
    [ "$GAME_STATUS" = 0 ] || fail "$prog ended with status $GAME_STATUS"
done
