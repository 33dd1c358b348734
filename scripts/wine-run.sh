#!/usr/bin/env bash
# Runs one Windows program under Wine in the given prefix (made by wine-prefix.sh), quietly
# and without installer dialogs. Usage: wine-run.sh PREFIX PROGRAM [ARGS...]
# The build's CMAKE_CROSSCOMPILING_EMULATOR, so CTest starts the test programs through it.
set -euo pipefail
export WINEPREFIX=$1; shift
source "$(dirname "$0")/wine-env.sh"
[ -d "$WINEPREFIX/drive_c/windows" ] || { echo "wine-run.sh: no Wine prefix at $WINEPREFIX (scripts/wine-prefix.sh start)" >&2; exit 1; }
# Wine's own processes, when this is the first program since the server started, would
# inherit this program's output and hold it open long after it ends: start them detached.
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
exec wine "$@"
