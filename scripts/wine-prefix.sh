#!/usr/bin/env bash
# One Wine prefix for a whole test run, inside the build tree.
#   wine-prefix.sh start PREFIX   makes the prefix afresh and keeps its wineserver running
#   wine-prefix.sh session PREFIX restarts the prefix's server and Wine's own processes on
#                                 the current $DISPLAY (or none): Wine's desktop stays on the
#                                 X display it was first started on, and each end-to-end test
#                                 has its own Xvfb
#   wine-prefix.sh stop PREFIX    stops that wineserver (and every program still in it)
set -euo pipefail
action=$1
export WINEPREFIX=$(realpath -m "$2")
source "$(dirname "$0")/wine-env.sh"
log=$WINEPREFIX.log

case "$action" in
start)
    wineserver -k 2>/dev/null || true  # a server left over from an interrupted run
    wineserver -w 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    : >"$log"
    # Persistent server first: every later wine call, the set-up's and the tests', joins it.
    # It and Wine's own services outlive this script, so none of them may hold its output
    # (CTest would wait for that to close).
    wineserver -p </dev/null >>"$log" 2>&1
    wineboot -i </dev/null >>"$log" 2>&1
    # Without a window manager, destroying a managed window takes seconds.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >>"$log" 2>&1
    [ -d "$WINEPREFIX/drive_c/windows" ] || { echo "wine-prefix.sh: wineboot made no prefix" >&2; cat "$log" >&2; exit 1; }
    ;;
session)
    [ -d "$WINEPREFIX/drive_c/windows" ] || { echo "wine-prefix.sh: no prefix at $WINEPREFIX" >&2; exit 1; }
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    wineserver -p </dev/null >>"$log" 2>&1
    wine cmd /c exit </dev/null >>"$log" 2>&1
    ;;
stop)
    wineserver -k 2>/dev/null || true
    ;;
*)
    echo "usage: wine-prefix.sh start|session|stop PREFIX" >&2
    exit 2
    ;;
esac
