#!/usr/bin/env bash
# A close request from the system (what Alt+F4 or the close button send) ends either
# program with status 0.
source "$(dirname "$0")/lib.sh"
in_xvfb "$@"

for prog in frostel frostel_640; do
    start_game "$prog"
    wait_for_window
    wait_for_pixel 5 5 "0 0 0"
    close_request
    wait_for_exit
    [ "$GAME_STATUS" = 0 ] || fail "$prog ended with status $GAME_STATUS after a close request"
    pass "$prog ends with 0 on a close request"
done
