#!/usr/bin/env bash
# Runs CTest tests again and again to find the ones that fail now and then.
# Usage: repeat-test.sh BUILD_DIR TEST_REGEX N
# Each test matching TEST_REGEX (fixture set-ups and clean-ups aside) runs N times in turn;
# each run's result and time is printed, then a line "TEST: P passed, F failed of N". The
# output of every failed run stays in $REPEAT_LOG_DIR (default BUILD_DIR/repeat-logs).
# A sanitizer tree runs with the sanitizer options of scripts/test.sh. A test's fixtures
# (the Wine prefix) are set up once for its N runs and cleaned up after them, as one test
# command run does. REPEAT_BUSY=1 keeps one core busy with a shell loop meanwhile, for an
# idle machine. Exits 1 if any run failed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
[ $# -eq 3 ] || { echo "usage: repeat-test.sh BUILD_DIR TEST_REGEX N" >&2; exit 2; }
dir=$(realpath "$1"); regex=$2; runs=$3
[ -f "$dir/CTestTestfile.cmake" ] || { echo "repeat-test.sh: $dir is no CTest build tree" >&2; exit 2; }
logs=$(realpath -m "${REPEAT_LOG_DIR:-$dir/repeat-logs}")
mkdir -p "$logs"

if grep -q '^FROSTEL_SANITIZE:BOOL=ON' "$dir/CMakeCache.txt"; then
  export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
  export LSAN_OPTIONS="suppressions=$root/tests/sanitizer/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi

busy_pid=
if [ "${REPEAT_BUSY:-0}" = 1 ]; then
  bash -c 'while :; do :; done' &
  busy_pid=$!
fi
cleanup() { [ -z "$busy_pid" ] || kill "$busy_pid" 2>/dev/null || true; }
trap cleanup EXIT

cd "$dir"  # as scripts/test.sh runs CTest, inside the tree (the Wine tests' prefix is there)
# Tests matched, each with the fixtures it needs; set-ups and clean-ups are not repeated.
mapfile -t plan < <(ctest --show-only=json-v1 -R "$regex" | python3 -c '
import json, sys
tests = json.load(sys.stdin)["tests"]
def prop(t, name):
    for p in t.get("properties", []):
        if p["name"] == name:
            return p["value"]
    return []
for t in tests:
    if prop(t, "FIXTURES_SETUP") or prop(t, "FIXTURES_CLEANUP"):
        continue
    print(t["name"], " ".join(prop(t, "FIXTURES_REQUIRED")))
')
[ ${#plan[@]} -gt 0 ] || { echo "repeat-test.sh: no test in $dir matches $regex" >&2; exit 2; }

# Runs the fixture tests (set-up or clean-up) of the given fixtures, quietly unless they fail.
fixture_tests() {
  local kind=$1; shift
  local fixture
  for fixture in "$@"; do
    ctest --show-only=json-v1 | python3 -c '
import json, sys
kind, fixture = sys.argv[1], sys.argv[2]
for t in json.load(sys.stdin)["tests"]:
    for p in t.get("properties", []):
        if p["name"] == kind and fixture in p["value"]:
            print(t["name"])
' "$kind" "$fixture"
  done
}

summary=()
any_failed=0
for entry in "${plan[@]}"; do
  read -r name fixtures <<<"$entry"
  read -ra fixtures <<<"$fixtures"
  safe=${name//[^A-Za-z0-9._-]/_}
  for t in $(fixture_tests FIXTURES_SETUP "${fixtures[@]}"); do
    ctest -R "^${t//./\\.}\$" --output-on-failure > "$logs/$safe.setup.log" 2>&1 ||
      { echo "repeat-test.sh: fixture $t failed, see $logs/$safe.setup.log" >&2; exit 1; }
  done
  passed=0 failed=0 skipped=0
  for i in $(seq 1 "$runs"); do
    log=$logs/$safe.run$i.log
    start=$(date +%s%N)
    status=0
    ctest -R "^${name//./\\.}\$" -FA '.*' --output-on-failure > "$log" 2>&1 || status=$?
    ms=$(( ($(date +%s%N) - start) / 1000000 ))
    if [ $status -ne 0 ]; then
      result=FAILED; failed=$((failed + 1)); any_failed=1
    elif grep -q 'Skipped' "$log"; then
      result=skipped; skipped=$((skipped + 1)); rm -f "$log"
    else
      result=passed; passed=$((passed + 1)); rm -f "$log"
    fi
    printf '%s run %d/%d: %s in %d.%d s%s\n' "$name" "$i" "$runs" "$result" $((ms / 1000)) $((ms % 1000 / 100)) \
      "$([ $result = FAILED ] && echo " (log: $log)")"
  done
  for t in $(fixture_tests FIXTURES_CLEANUP "${fixtures[@]}"); do
    ctest -R "^${t//./\\.}\$" > /dev/null 2>&1 || true
  done
  rm -f "$logs/$safe.setup.log"
  line="$name: $passed passed, $failed failed of $runs"
  [ $skipped -eq 0 ] || line="$line ($skipped skipped)"
  echo "$line"
  summary+=("$line")
done
if [ ${#summary[@]} -gt 1 ]; then
  printf '%s\n' "${summary[@]}"
fi
exit $any_failed
