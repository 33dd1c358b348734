#!/usr/bin/env bash
# The damaged-asset test on all 49 asset files (147 cases) for frostel.exe under Wine; the
# test command runs one file of each kind only. Needs the Windows build with its test
# programs (build-windows.sh, then the windows_tests target). Makes that build's Wine prefix
# afresh and stops it at the end, so not beside its CTest run.
# Usage: wine-asset-faults.sh [DIR]   (default build-windows/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$(realpath -m "${1:-$root/build-windows}")
prefix=$dir/wine-prefix
[ -f "$dir/tests/e2e/error_box.exe" ] || { echo "no $dir/tests/e2e/error_box.exe: build the windows_tests target" >&2; exit 1; }
bash "$root/scripts/wine-prefix.sh" start "$prefix"
trap 'bash "$root/scripts/wine-prefix.sh" stop "$prefix"' EXIT
start=$(date +%s)
FROSTEL_RUN_DIR=$dir/run FROSTEL_WINE_PREFIX=$prefix FROSTEL_ERROR_BOX=$dir/tests/e2e/error_box.exe \
    bash "$root/tests/e2e/asset_faults_test.sh"
echo "wine-asset-faults.sh: passed in $(( $(date +%s) - start )) s"
