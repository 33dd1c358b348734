#!/usr/bin/env bash
# Without a display the programs say so on stderr and end with status 0.
source "$(dirname "$0")/lib.sh"

for prog in frostel frostel_640; do
    GAME_PROG=$prog
    status=0
    (cd "$FROSTEL_RUN_DIR" && env -u DISPLAY -u WAYLAND_DISPLAY timeout 30 "./$prog") \
        >/dev/null 2>"$E2E_WORK/$prog.stderr" || status=$?
    [ "$status" = 0 ] || fail "$prog ended with status $status without a display"
    grep -q "needs a graphical display" "$E2E_WORK/$prog.stderr" || fail "$prog did not say it needs a display"
    pass "$prog explains the missing display and ends with 0"
done
