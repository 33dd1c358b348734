#!/usr/bin/env bash
# Runs one Windows program under Wine on its own Xvfb screen (1024x768x24), with Wine's
# desktop on that screen, and puts the prefix back on no display afterwards.
# Usage: wine-xvfb.sh PREFIX PROGRAM [ARGS...]   (the prefix made by wine-prefix.sh start)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${FROSTEL_WINE_IN_XVFB:-}" ]; then
    export FROSTEL_WINE_IN_XVFB=1
    exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp -noreset" bash "$0" "$@"
fi
prefix=$1
bash "$here/wine-prefix.sh" session "$prefix"
status=0
bash "$here/wine-run.sh" "$@" || status=$?
env -u DISPLAY bash "$here/wine-prefix.sh" session "$prefix"
exit $status
