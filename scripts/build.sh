#!/usr/bin/env bash
# Configures and builds one tree. Usage: build.sh DIR [cmake options...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1; shift
launcher=()
# The native, sanitizer and fuzz trees share sources; ccache spares rebuilding what one has built.
if command -v ccache > /dev/null; then
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}" CCACHE_NOHASHDIR=1  # hits across clones too
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$dir" "${launcher[@]}" "$@" > /dev/null
cmake --build "$dir" -j "$(nproc)"
