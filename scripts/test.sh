#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test: unit and end-to-end, then the
# whole suite again with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
start=$(date +%s)

bash "$root/scripts/build.sh" "$root/build"
(cd "$root/build" && ctest --output-on-failure -j 2)

bash "$root/scripts/build.sh" "$root/build-asan" -DFROSTEL_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export LSAN_OPTIONS="suppressions=$root/tests/sanitizer/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
(cd "$root/build-asan" && ctest --output-on-failure -j 2)

# Fuzzing: each libFuzzer target for 10 s (clang, AddressSanitizer and UBSan), and 30 s of
# the two-copy network soak through the lossy relay on the plain build.
bash "$root/scripts/fuzz.sh" 10
FROSTEL_RUN_DIR="$root/build/run" bash "$root/scripts/soak.sh" 30

# The Windows build: both programs cross-built with the native build's asset generator, then
# the unit tests, the import tables and a first start under Wine (one prefix for the run).
win_start=$(date +%s)
FROSTEL_ASSETGEN="$root/build/tools/assetgen" bash "$root/scripts/build-windows.sh" "$root/build-windows"
# The tests between the two builds run the native programs too.
cmake "$root/build-windows" -DFROSTEL_NATIVE_RUN_DIR="$root/build/run" > /dev/null
cmake --build "$root/build-windows" --target windows_tests -j 2
(cd "$root/build-windows" && ctest --output-on-failure -j 2)
# 30 s of the soak with frostel.exe under Wine creating and the native frostel joining
# through the lossy relay.
FROSTEL_RUN_DIR="$root/build-windows/run" FROSTEL_WINE_PREFIX="$root/build-windows/wine-prefix" \
    FROSTEL_NATIVE_RUN_DIR="$root/build/run" bash "$root/scripts/soak.sh" 30 windows native
echo "test.sh: the Windows build and its tests took $(( $(date +%s) - win_start )) s"

echo "test.sh: all suites passed in $(( $(date +%s) - start )) s"
