#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test: unit and end-to-end on the plain build,
# then with AddressSanitizer and UndefinedBehaviorSanitizer, the fuzz targets, the network soak,
# and the Windows build with its tests under Wine. Ends with a table of each stage's time.
#
# A stage is one line: `stage NAME COMMAND...` (scripts/stages.sh). Builds that only compile
# run `beside` the tests at the lowest priority, taking what the tests leave of the cores; the
# Windows build and its tests run `alongside` the native tests as a second line; a stage that
# needs a background one `await`s it first. The sanitizer build comes before the tests: on its
# own it takes a few minutes with nothing cached, beside the tests nearly twenty, and the
# sanitizer tests at the end of the run waited for it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
STAGE_LOGS=$root/build-logs
rm -rf "$STAGE_LOGS"
mkdir -p "$STAGE_LOGS"
source "$root/scripts/stages.sh"

ctest_in() (
    cd "$1"
    shift
    ctest --output-on-failure -j 2 "$@"
)

# Leak checking on; tests/CMakeLists.txt adds intercept_tls_get_addr=0 (why: there).
sanitizer_ctest_in() (
    export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
    export LSAN_OPTIONS="suppressions=$root/tests/sanitizer/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    ctest_in "$@"
)

# The Windows programs, cross-built with the native build's asset generator, and the test
# programs run under Wine; the tests between the two builds run the native programs too.
windows_build() {
    FROSTEL_ASSETGEN="$root/build/tools/assetgen" FROSTEL_NATIVE_RUN_DIR="$root/build/run" \
        bash "$root/scripts/build-windows.sh" "$root/build-windows"
    cmake --build "$root/build-windows" --target windows_tests -j 2
}

lint_package() { lintian --fail-on error --info "$root"/build/frostel_*_amd64.deb; }

# Compiling only, at the lowest priority. Each libFuzzer target then runs for 10 s (clang,
# AddressSanitizer and UBSan), two at a time, at that priority too: it fuzzes on what the tests
# leave of the cores.
other_builds() {
    stage lintian lint_package
    stage build-fuzz bash "$root/scripts/fuzz.sh" 0
    stage fuzz env FUZZ_JOBS=2 bash "$root/scripts/fuzz.sh" 10
}

# The Windows build, its unit tests, import tables and end-to-end tests under Wine (one prefix
# for the run), then 30 s of the soak with frostel.exe under Wine creating and the native
# frostel joining through the lossy relay: a second line beside the native tests, the longest
# one, so its build does not wait behind them at the lowest priority.
windows_tests() {
    stage build-windows windows_build
    stage windows-tests ctest_in "$root/build-windows"
    stage cross-soak env FROSTEL_RUN_DIR="$root/build-windows/run" FROSTEL_WINE_PREFIX="$root/build-windows/wine-prefix" \
        FROSTEL_NATIVE_RUN_DIR="$root/build/run" bash "$root/scripts/soak.sh" 30 windows native
    # Each Wine test leaves the prefix's server running for the next one; none comes now.
    bash "$root/scripts/wine-prefix.sh" stop "$root/build-windows/wine-prefix"
}

stage install bash "$root/scripts/install-deps.sh"
# The test tree is the Debian package's: Debian's hardening flags, and the .deb made in it, so
# that the tests run the very programs that are packaged (lintian runs beside).
stage build env PACKAGE_LINT=0 bash "$root/scripts/package.sh" "$root/build" -DFROSTEL_TESTS=ON
alongside windows windows_tests
stage build-asan bash "$root/scripts/build.sh" "$root/build-asan" -DFROSTEL_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
beside builds other_builds
stage native-tests ctest_in "$root/build"
# The Debian package: apt's dependency check, and both launchers in a throwaway root.
stage package-test bash "$root/tests/package/package_test.sh" "$root/build"
# 30 s of the two-copy network soak through the lossy relay on the plain build.
stage soak env FROSTEL_RUN_DIR="$root/build/run" bash "$root/scripts/soak.sh" 30

stage sanitizer-tests sanitizer_ctest_in "$root/build-asan"

await_all
# What the background jobs did: the Windows line in full, of the builds their fuzzing.
cat "$STAGE_LOGS/windows.log"
grep -E '^test.sh: stage|executions in' "$STAGE_LOGS/builds.log" || true
