#!/usr/bin/env bash
# Installs what is needed, builds, and starts frostel from the build's run/ folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh" "$root/build"
cd "$root/build/run"
exec ./frostel
