#!/usr/bin/env bash
# The Windows build's figures of docs/performance.md in one run,
# each against its baseline, under Wine on this machine:
#   frame rate of a practice match, pacing off: frame_rate_bench.exe (Direct3D 9) against the
#     Linux frame_rate_bench (OpenGL), alternating on one Xvfb screen with Mesa's llvmpipe;
#   start-up to the first presented frame: frostel.exe against a bare Direct3D 9 window;
#   peak memory in a practice match: frostel.exe against that bare window;
#   network frames-to-reply: a Windows copy against a Linux copy over loopback, both ways.
# Usage: bench/run_windows.sh [LINUX_BUILD, default <root>/build-quality]
#                             [WINDOWS_BUILD, default <root>/build-windows-bench] [SECONDS per phase, default 5]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
linux=$(realpath -m "${1:-$root/build-quality}")
windows=$(realpath -m "${2:-$root/build-windows-bench}")
phase=${3:-5}
rounds=3
prefix=$windows/wine-prefix
export LIBGL_ALWAYS_SOFTWARE=1
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wine_run=(bash "$root/scripts/wine-run.sh" "$prefix")

# The figures that need a display, on one Xvfb screen (this script again, inside xvfb-run).
if [ "${FROSTEL_WINBENCH_IN_XVFB:-}" = 1 ]; then
    bash "$root/scripts/wine-prefix.sh" session "$prefix"
    trap 'env -u DISPLAY bash "$root/scripts/wine-prefix.sh" session "$prefix"' EXIT
    echo "== frame rate of a practice match at 1024x768, pacing off: $rounds rounds of $phase s a phase, alternating"
    lin=() win=() lin_bare=() win_bare=() lin_cpu=() win_cpu=()
    for (( r = 1; r <= rounds; r++ )); do
        lo=$("$linux/bench/frame_rate_bench" "$phase" 1 2>/dev/null)
        wo=$("${wine_run[@]}" "$windows/bench/frame_rate_bench.exe" "$phase" 1 2>/dev/null | tr -d '\r')
        l=$(grep '^frame rate' <<<"$lo")
        w=$(grep '^frame rate' <<<"$wo")
        echo "round $r: Linux   $l; $(grep '^CPU' <<<"$lo")"
        echo "round $r: Windows $w; $(grep '^CPU' <<<"$wo")"
        lin+=("$(sed -E 's/.*practice match ([0-9.]+) fps.*/\1/' <<<"$l")")
        lin_bare+=("$(sed -E 's/.*bare ([0-9.]+) fps.*/\1/' <<<"$l")")
        win+=("$(sed -E 's/.*practice match ([0-9.]+) fps.*/\1/' <<<"$w")")
        win_bare+=("$(sed -E 's/.*bare ([0-9.]+) fps.*/\1/' <<<"$w")")
        lin_cpu+=("$(sed -nE 's/^CPU.*practice match ([0-9.]+) ms.*/\1/p' <<<"$lo")")
        win_cpu+=("$(sed -nE 's/^CPU.*practice match ([0-9.]+) ms.*/\1/p' <<<"$wo")")
    done
    median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
    awk -v w="$(median "${win[@]}")" -v l="$(median "${lin[@]}")" -v wb="$(median "${win_bare[@]}")" \
        -v lb="$(median "${lin_bare[@]}")" -v wc="$(median "${win_cpu[@]}")" -v lc="$(median "${lin_cpu[@]}")" 'BEGIN {
        printf "frame rate (medians): Windows build under Wine %.1f fps, Linux build %.1f fps, ratio %.2f; ", w, l, w / l
        printf "bare clear+present %.1f fps under Wine, %.1f fps on Linux\n", wb, lb
        printf "CPU a match frame, all threads (medians): Windows build under Wine %.2f ms, Linux build %.2f ms, ratio %.2f\n", wc, lc, wc / lc
    }'

    echo "== start-up to the first presented frame"
    "${wine_run[@]}" cmd /c exit >/dev/null 2>&1  # Wine's own services up before the first timing
    (cd "$windows/run" && "$linux/bench/startup_bench" --wine 10 "$windows/bench/frostel_first_present.exe" \
        "$windows/bench/bare_window_d3d9.exe" | tail -1)
    exit 0
fi

cmake -S "$root" -B "$linux" -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$linux" -j 2 --target assetgen frame_rate_bench startup_bench net_reply_bench > /dev/null
cmake -S "$root" -B "$windows" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
      -DFROSTEL_ASSETGEN="$linux/tools/assetgen" -DFROSTEL_BENCH=ON > /dev/null
cmake --build "$windows" -j 2 --target frostel windows_bench > /dev/null

bash "$root/scripts/wine-prefix.sh" start "$prefix"
trap 'bash "$root/scripts/wine-prefix.sh" stop "$prefix"' EXIT
FROSTEL_WINBENCH_IN_XVFB=1 xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp -noreset" \
    bash "$0" "$linux" "$windows" "$phase"

echo "== peak memory"
bash "$root/bench/memory_bench.sh" --wine "$prefix" "$windows" 30 | tail -4

echo "== network frames-to-reply, a Windows copy against a Linux copy (1200 frames each at 60 a second)"
net_pair() {  # CREATING_COMMAND... -- JOINING_COMMAND...
    local create=() out port="" i
    while [ "$1" != -- ]; do create+=("$1"); shift; done
    shift
    out=$(mktemp)
    "${create[@]}" create 1200 >"$out" 2>&1 &
    local creating=$!
    for (( i = 0; i < 300; i++ )); do
        [ -n "$port" ] && break
        sleep 0.1
        port=$(tr -d '\r' <"$out" | awk '$1 == "port" { print $2 }')
    done
    [ -n "$port" ] || { echo "run_windows.sh: the creating side did not start" >&2; cat "$out" >&2; return 1; }
    "$@" join 1200 "$port" 2>&1 | tr -d '\r' | tail -2
    wait "$creating"
    tr -d '\r' <"$out" | tail -2
    rm -f "$out"
}
echo "Windows creates, Linux joins:"
net_pair "${wine_run[@]}" "$windows/bench/net_reply_bench.exe" -- "$linux/bench/net_reply_bench"
echo "Linux creates, Windows joins:"
net_pair "$linux/bench/net_reply_bench" -- "${wine_run[@]}" "$windows/bench/net_reply_bench.exe"
