#!/usr/bin/env bash
# Runs matchsim and checks its summary: every match accounted for, no disagreement between
# the machines, and every finished match left by every machine by itself.
# Usage: matchsim_test.sh MATCHSIM [matchsim options...] (with --matches N)
set -euo pipefail
program=$1; shift
out=$("$program" "$@")
printf '%s\n' "$out"
matches=$(printf '%s\n' "$@" | grep -A1 -x -- --matches | tail -1)
summary=$(printf '%s\n' "$out" | tail -1)
pattern='^summary: matches ([0-9]+), finished ([0-9]+), disagreements ([0-9]+), left together ([0-9]+), wins ([0-9]+):([0-9]+), median minutes [0-9]+\.[0-9], stalls ([0-9]+)$'
if [[ ! $summary =~ $pattern ]]; then
  echo "FAIL: no summary line"; exit 1
fi
m=${BASH_REMATCH[1]} finished=${BASH_REMATCH[2]} disagreements=${BASH_REMATCH[3]}
left=${BASH_REMATCH[4]} wins=$(( BASH_REMATCH[5] + BASH_REMATCH[6] ))
lines=$(printf '%s\n' "$out" | grep -c '^match ')
fail=0
[[ $m == "$matches" && $lines == "$matches" ]] || { echo "FAIL: $matches matches asked, $m counted, $lines lines"; fail=1; }
[[ $disagreements == 0 ]] || { echo "FAIL: $disagreements disagreements"; fail=1; }
[[ $left == "$finished" ]] || { echo "FAIL: $finished finished, $left left together"; fail=1; }
[[ $wins == "$finished" ]] || { echo "FAIL: $wins wins for $finished finished matches"; fail=1; }
exit $fail
