#!/usr/bin/env bash
# Peak resident memory: frostel through a practice match played with random mouse and keys,
# next to the bare SDL+GL window presenting for as long. Both under one Xvfb with Mesa's
# software renderer; the peak is the kernel's VmHWM just before each program ends.
# Usage: memory_bench.sh BUILD_DIR [SECONDS of play, default 30]
set -euo pipefail
build=$(cd "${1:?usage: memory_bench.sh BUILD_DIR [SECONDS]}" && pwd)
seconds=${2:-30}
export FROSTEL_RUN_DIR=$build/run
export LIBGL_ALWAYS_SOFTWARE=1
source "$(cd "$(dirname "$0")/.." && pwd)/tests/e2e/lib.sh"
in_xvfb "$@"

kb() { awk -v k="$2:" '$1 == k { print $2 }' "/proc/$1/status"; }

# The game from a folder of its own: the run folder linked in, default options.
play=$E2E_WORK/play
play_dir "$play"
FROSTEL_RUN_DIR=$play

xdo mousemove 512 384
start_game frostel
wait_for_window 60
sleep 2           # the intro is drawn
click             # past the intro; the pointer starts on the practice item
click             # into a practice match
start_rss=$(kb "$GAME_PID" VmRSS)
end=$(( $(date +%s) + seconds ))
while [ "$(date +%s)" -lt "$end" ]; do
    _game_running || fail "frostel ended during the match"
    xdo mousemove_relative -- $(( RANDOM % 41 - 20 )) $(( RANDOM % 41 - 20 ))
    case $(( RANDOM % 20 )) in
        0) xdo key $(( RANDOM % 6 + 1 )) ;;
        1) xdo key space ;;
    esac
    sleep 0.05
done
[ -n "${MEMORY_SHOT:-}" ] && screenshot "$MEMORY_SHOT"
game_peak=$(kb "$GAME_PID" VmHWM)
game_rss=$(kb "$GAME_PID" VmRSS)
xdo key Escape
wait_for_exit 10

"$build/bench/bare_window" "$seconds" >/dev/null 2>&1 &
bare=$!
sleep $(( seconds > 2 ? seconds - 1 : 1 ))
bare_peak=$(kb "$bare" VmHWM)
wait "$bare" || true

awk -v g="$game_peak" -v b="$bare_peak" -v s="$start_rss" -v r="$game_rss" -v t="$seconds" 'BEGIN {
    printf "frostel practice match (%d s): peak resident %.1f MB (resident %.1f MB at the start of the match, %.1f MB at the end)\n", t, g / 1024, s / 1024, r / 1024
    printf "bare SDL+GL window: peak resident %.1f MB\n", b / 1024
    printf "peak memory: frostel %.1f MB, bare window %.1f MB, the game adds %.1f MB\n", g / 1024, b / 1024, (g - b) / 1024
}'
