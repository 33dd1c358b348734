#!/usr/bin/env bash
# Peak resident memory: frostel through a practice match played with random mouse and keys,
# next to the bare SDL+GL window presenting for as long. Both under one Xvfb with Mesa's
# software renderer; the peak is the kernel's VmHWM just before each program ends.
# With --wine, frostel.exe and bare_window_d3d9.exe of a Windows build with the benchmarks,
# each under Wine in PREFIX (made by scripts/wine-prefix.sh start): the figure is then that of
# the one Linux process that runs the program (Wine's loader, its DLLs and Mesa inside it);
# wineserver and Wine's own services, shared by both, are left out.
# Usage: memory_bench.sh [--wine PREFIX] BUILD_DIR [SECONDS of play, default 30]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ "${1:-}" = --wine ]; then
    export FROSTEL_WINE_PREFIX=$(realpath "${2:?usage: memory_bench.sh --wine PREFIX BUILD_DIR [SECONDS]}")
    shift 2
fi
build=$(cd "${1:?usage: memory_bench.sh [--wine PREFIX] BUILD_DIR [SECONDS]}" && pwd)
seconds=${2:-30}
export FROSTEL_RUN_DIR=$build/run
export LIBGL_ALWAYS_SOFTWARE=1
source "$root/tests/e2e/lib.sh"  # under Wine, with FROSTEL_WINE_PREFIX, it starts the .exe
in_xvfb "$@"

game=frostel bare=("$build/bench/bare_window") label="bare SDL+GL window"
if under_wine; then
    game=frostel.exe bare=(wine "$build/bench/bare_window_d3d9.exe") label="bare Direct3D 9 window"
fi

kb() { awk -v k="$2:" '$1 == k { print $2 }' "/proc/$1/status"; }

# The game from a folder of its own: the run folder linked in, default options.
play=$E2E_WORK/play
play_dir "$play"
FROSTEL_RUN_DIR=$play

xdo mousemove 512 384
start_game frostel
wait_for_window 60
sleep 2           # the intro is drawn
under_wine && sleep 4  # under Wine the assets load for longer, and a click meanwhile is lost
click             # past the intro; the pointer starts on the practice item
click             # into a practice match
start_rss=$(kb "$GAME_PID" VmRSS)
end=$(( $(date +%s) + seconds ))
while [ "$(date +%s)" -lt "$end" ]; do
    _game_running || fail "$game ended during the match"
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
game_split="$(kb "$GAME_PID" RssAnon) $(kb "$GAME_PID" RssFile) $(kb "$GAME_PID" RssShmem)"
game_process=$(cat "/proc/$GAME_PID/comm")  # under Wine, the Windows program's own name
xdo key Escape
wait_for_exit 10

"${bare[@]}" "$seconds" >/dev/null 2>&1 &
bare=$!
sleep $(( seconds > 2 ? seconds - 1 : 1 ))
bare_peak=$(kb "$bare" VmHWM)
bare_split="$(kb "$bare" RssAnon) $(kb "$bare" RssFile) $(kb "$bare" RssShmem)"
bare_process=$(cat "/proc/$bare/comm")
wait "$bare" || true

awk -v g="$game_peak" -v b="$bare_peak" -v s="$start_rss" -v r="$game_rss" -v t="$seconds" -v n="$game" -v l="$label" -v gp="$game_process" -v bp="$bare_process" \
    -v gs="$game_split" -v bs="$bare_split" 'BEGIN {
    split(gs, ga); split(bs, ba)
    printf "%s practice match (%d s): peak resident %.1f MB (resident %.1f MB at the start of the match, %.1f MB at the end; process %s)\n", n, t, g / 1024, s / 1024, r / 1024, gp
    printf "%s: peak resident %.1f MB (process %s)\n", l, b / 1024, bp
    printf "resident by kind, game against bare: anonymous %.1f/%.1f MB, files %.1f/%.1f MB, shared memory %.1f/%.1f MB\n", ga[1] / 1024, ba[1] / 1024, ga[2] / 1024, ba[2] / 1024, ga[3] / 1024, ba[3] / 1024
    printf "peak memory: %s %.1f MB, bare window %.1f MB, the game adds %.1f MB\n", n, g / 1024, b / 1024, (g - b) / 1024
}'
