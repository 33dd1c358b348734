#!/usr/bin/env bash
# Every figure of docs/performance.md's "Goals and figures" in one run: the
# simulation frame and scene submission (CPU medians), frame rate and start-up against the
# bare limits under Xvfb with Mesa's software renderer, peak memory, network frames-to-reply.
# Usage: bench/run_quality.sh [BUILD_DIR, default <root>/build-quality] [SECONDS per frame-rate phase, default 5]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-quality}
phase=${2:-5}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$build" -j "$(nproc)" --target frostel frostel_640 sim_bench render_scene_bench frame_rate_bench \
  frame_rate_bench_640 startup_bench net_reply_bench bare_window first_present_shim > /dev/null
export LIBGL_ALWAYS_SOFTWARE=1
xvfb=(xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp -noreset")

echo "== simulation frame (12 movePlayer + stepPuck), median CPU time"
"$build/bench/sim_bench" --benchmark_filter=MatchSimulationFrame --benchmark_repetitions=9 \
  --benchmark_report_aggregates_only=true 2>/dev/null | grep -E '_median'
echo "== renderScene of the match scene on the recording device, median CPU time"
"$build/bench/render_scene_bench" --benchmark_repetitions=9 --benchmark_report_aggregates_only=true 2>/dev/null |
  grep -E '_median'
echo "== frame rate against clear+present, pacing off"
"${xvfb[@]}" "$build/bench/frame_rate_bench" "$phase" 3 2>/dev/null
"${xvfb[@]}" "$build/bench/frame_rate_bench_640" "$phase" 3 2>/dev/null
echo "== start-up to the first presented frame"
"${xvfb[@]}" "$build/bench/startup_bench" 10 2>/dev/null | tail -1
"${xvfb[@]}" "$build/bench/startup_bench" 10 frostel_640 2>/dev/null | tail -1
echo "== peak memory"
bash "$root/bench/memory_bench.sh" "$build" 30 | tail -1
echo "== network frames-to-reply"
"$build/bench/net_reply_bench" 20000
