#!/usr/bin/env bash
# Installs what building and playing need (not the test tools), builds the two programs and
# their assets in build-play/, and starts frostel from its run/ folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/play-deps.sh"
bash "$root/scripts/build.sh" "$root/build-play" -DFROSTEL_TESTS=OFF -DFROSTEL_BENCH=OFF
cd "$root/build-play/run"
exec ./frostel
