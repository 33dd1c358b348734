#!/usr/bin/env bash
# frostel.exe under Wine: its window "Frostel" appears at (0, 0) with the screen's size, and
# the program ends with status 0, after Esc or, while start-up stops at an "Error" box (no
# Direct3D device in the build yet), after that box is answered.
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

start_game frostel.exe
wait_for_window 60
read -r x y w h < <(window_geometry)
[ "$x $y $w $h" = "0 0 1024 768" ] || fail "window at $x,$y size ${w}x$h, not the whole 1024x768 screen"
pass "frostel.exe shows its window over the screen"

# A start-up failure shows its box within the load; a game that is up gets Esc.
box=""
for (( i = 0; i < 200; i++ )); do
    box=$(error_box)
    [ -n "$box" ] && break
    _game_running || fail "frostel.exe ended without an error box or an Esc"
    sleep 0.1
done
if [ -n "$box" ]; then
    pass "start-up stopped at an Error box"
    xdo windowfocus "$box"
    press_key Return
    wait_for_exit 30
else
    press_until_exit Escape
fi
[ "$GAME_STATUS" = 0 ] || fail "frostel.exe ended with status $GAME_STATUS"
pass "frostel.exe ends with 0"
