#!/usr/bin/env bash
# The Windows programs under Wine: the window "Frostel" appears at (0, 0), as large as the
# screen for frostel.exe and 640x480 for frostel_640.exe, and the program ends with status 0,
# after Esc or, where start-up stops at an "Error" box (no Direct3D device in the build
# yet), after that box is answered.
# Needs FROSTEL_RUN_DIR (the Windows run folder) and WINEPREFIX (scripts/wine-prefix.sh).
source "$(dirname "$0")/../e2e/lib.sh"
in_xvfb "$@"
: "${WINEPREFIX:?set WINEPREFIX to the prefix made by scripts/wine-prefix.sh}"
scripts=$E2E_DIR/../../scripts
FROSTEL_LAUNCHER="bash $scripts/wine-run.sh $WINEPREFIX"
# Wine's desktop on this test's display, and on none again afterwards.
bash "$scripts/wine-prefix.sh" session "$WINEPREFIX"
trap 'stop_game; env -u DISPLAY bash "$scripts/wine-prefix.sh" session "$WINEPREFIX"; rm -rf "$E2E_WORK"' EXIT

error_box() { xdotool search --onlyvisible --name '^Error$' 2>/dev/null | head -n 1 || true; }

for case in frostel.exe:1024x768 frostel_640.exe:640x480; do
    prog=${case%%:*} size=${case#*:}
    start_game "$prog"
    wait_for_window 60
    read -r x y w h < <(window_geometry)
    [ "$x $y ${w}x$h" = "0 0 $size" ] || fail "$prog: window at $x,$y size ${w}x$h, not $size at 0,0"
    pass "$prog shows its window"

    # A start-up failure shows its box within the load; a game that is up gets Esc.
    box=""
    for (( i = 0; i < 200; i++ )); do
        box=$(error_box)
        [ -n "$box" ] && break
        _game_running || fail "$prog ended without an error box or an Esc"
        sleep 0.1
    done
    if [ -n "$box" ]; then
        pass "$prog: start-up stopped at an Error box"
        xdo windowfocus "$box"
        press_key Return
        wait_for_exit 30
    else
        press_until_exit Escape
    fi
    [ "$GAME_STATUS" = 0 ] || fail "$prog ended with status $GAME_STATUS"
    pass "$prog ends with 0"
done
