#!/usr/bin/env bash
# Builds the Debian package, frostel_VERSION_amd64.deb, in DIR (default build-package/):
# the programs and assets with Debian's own compiler and linker flags (hardening), put
# together by CPack, dependencies worked out from the binaries, then checked by lintian when
# it is installed (scripts/install-deps.sh installs it) unless PACKAGE_LINT=0. Prints the
# package's path last. CMake options given after DIR replace the default of building neither
# tests nor benchmarks: the test command builds its tree this way, tests included, so that
# the tests run the very programs that are packaged.
# Usage: package.sh [DIR [cmake options...]]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$(realpath -m "${1:-$root/build-package}")
[ $# -gt 0 ] && shift
options=("$@")
[ ${#options[@]} -gt 0 ] || options=(-DFROSTEL_TESTS=OFF -DFROSTEL_BENCH=OFF)
bash "$root/scripts/play-deps.sh"

# build.sh adds ccache; dpkg-buildflags gives CFLAGS, CXXFLAGS, CPPFLAGS and LDFLAGS.
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
export CFLAGS="$CFLAGS $CPPFLAGS" CXXFLAGS="$CXXFLAGS $CPPFLAGS"
bash "$root/scripts/build.sh" "$dir" -DCMAKE_BUILD_TYPE=None "${options[@]}"
rm -f "$dir"/frostel_*.deb
(cd "$dir" && cpack -G DEB > cpack.log) || { cat "$dir/cpack.log" >&2; exit 1; }
deb=$(ls "$dir"/frostel_*_amd64.deb)

if [ "${PACKAGE_LINT:-1}" = 1 ] && command -v lintian > /dev/null; then
  # An error fails the build; today it reports no errors and no warnings.
  lintian --fail-on error --info "$deb" >&2
fi
echo "$deb"
