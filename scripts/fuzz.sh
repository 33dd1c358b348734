#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and UndefinedBehaviorSanitizer)
# and runs each for the given time, one after the other (FUZZ_JOBS at a time).
# Usage: fuzz.sh [SECONDS per target, default 60; 0 builds only] [TARGET...]
#   targets: exchange_creating exchange_joining options xfile picture dotted_address sound_file
# Environment: FROSTEL_FUZZ_BUILD (build folder, default <root>/build-fuzz), NICE (e.g. 19),
# FUZZ_JOBS (targets run at the same time, default 1; each fuzzer uses one core).
# The committed seeds stay as they are; what a run learns goes to <build>/corpus/<target>,
# an input that breaks a target to <build>/artifacts/<target>/, the logs to <build>/logs/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
all=(exchange_creating exchange_joining options xfile picture dotted_address sound_file)
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=("${all[@]}")
build=${FROSTEL_FUZZ_BUILD:-$root/build-fuzz}
nice_cmd=(nice -n "${NICE:-0}")

# One run at a time per build folder: a second one waits for the first.
mkdir -p "$build"
exec 9>"$build/.fuzz.lock"
flock 9
logs=$build/logs/$(date +%Y%m%d-%H%M%S)-$$
mkdir -p "$logs"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DFROSTEL_FUZZ=ON -DFROSTEL_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
if ! "${nice_cmd[@]}" cmake --build "$build" --target "${targets[@]/#/fuzz_}" -j "$(nproc)" > "$logs/build.log" 2>&1; then
  tail -n 30 "$logs/build.log" >&2
  echo "fuzz.sh: the fuzz targets did not build" >&2
  exit 1
fi

# Reports from the sanitizers end the run (the fuzzer keeps the input); no leak checking
# between runs of one process, the targets hold process-wide singletons on purpose.
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:allocator_may_return_null=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

[ "$seconds" = 0 ] && exit 0

# run_target T: one fuzzer; its summary line goes to $logs/T.summary, its status to T.status.
run_target() {
  local t=$1 status runs units
  local exe=$build/fuzz/fuzz_$t corpus=$build/corpus/$t artifacts=$build/artifacts/$t log=$logs/$t.log
  mkdir -p "$corpus" "$artifacts"
  local extra=()
  # readers that report failures with showError would fill the log with them
  case $t in options|xfile|picture) extra+=(-close_fd_mask=2) ;; esac
  set +e
  "${nice_cmd[@]}" "$exe" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=3072 -print_final_stats=1 \
    -artifact_prefix="$artifacts/" "${extra[@]}" "$corpus" "$root/fuzz/corpus/$t" > "$log" 2>&1
  status=$?
  set -e
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  units=$(ls "$corpus" | wc -l)
  if [ $status -ne 0 ]; then
    printf '%-18s FAILED after %s executions (status %d); see %s\n' "$t" "${runs:-?}" "$status" "$log" > "$logs/$t.summary"
    grep -E "ERROR|runtime error|invariant broken|Test unit written" "$log" | head -5 >&2 || true
  else
    printf '%-18s %10s executions in %s s, corpus %s inputs\n' "$t" "${runs:-?}" "$seconds" "$units" > "$logs/$t.summary"
  fi
  echo "$status" > "$logs/$t.status"
}

jobs_max=${FUZZ_JOBS:-1}
for t in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs_max" ]; do wait -n || true; done
  run_target "$t" &
done
wait

failed=()
summary=()
for t in "${targets[@]}"; do
  summary+=("$(cat "$logs/$t.summary" 2>/dev/null || echo "$t: no result")")
  [ "$(cat "$logs/$t.status" 2>/dev/null)" = 0 ] || failed+=("$t")
done

echo "fuzz.sh: executions per target"
printf '  %s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz.sh: failures in: ${failed[*]}" >&2
  exit 1
fi
