#!/usr/bin/env bash
# Builds the Windows programs with mingw-w64 and packs what a Windows player unzips,
# frostel-VERSION-windows.zip (the version is the CMake project's).
# Usage: build-windows.sh [DIR]   (default build-windows/)
# The assets come from the host's generator, so both builds ship the same bytes: the one
# named by $FROSTEL_ASSETGEN, or one built here in DIR/host. $FROSTEL_NATIVE_RUN_DIR names the
# native build the Windows tests play matches against.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$(realpath -m "${1:-$root/build-windows}")
bash "$root/scripts/install-deps.sh"
start=$(date +%s)

assetgen=${FROSTEL_ASSETGEN:-}
if [ -z "$assetgen" ]; then
  cmake -S "$root" -B "$dir/host" -DFROSTEL_TESTS=OFF -DFROSTEL_BENCH=OFF > /dev/null
  cmake --build "$dir/host" --target assetgen -j 2
  assetgen=$dir/host/tools/assetgen
fi

cmake -S "$root" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
      -DFROSTEL_ASSETGEN="$assetgen" ${FROSTEL_NATIVE_RUN_DIR:+-DFROSTEL_NATIVE_RUN_DIR="$FROSTEL_NATIVE_RUN_DIR"} > /dev/null
cmake --build "$dir" --target frostel frostel_640 -j 2

# The run folder is what the player gets: both programs (without their debugging
# information) and every asset beside them, in a folder "frostel".
zip=frostel-$(cat "$dir/version.txt")-windows.zip
rm -f "$dir"/frostel-*windows.zip
mkdir -p "$dir/stripped"
for exe in frostel.exe frostel_640.exe; do
  x86_64-w64-mingw32-strip -o "$dir/stripped/$exe" "$dir/run/$exe"
done
(cd "$dir" && python3 - "$zip" <<'PY'
import os, sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED) as z:
    for base, dirs, files in os.walk("run"):
        dirs.sort()
        for f in sorted(files):
            if f == "opts.dat":
                continue  # a player's own options are never shipped
            path = os.path.join(base, f)
            if f.endswith(".exe"):
                path = os.path.join("stripped", f)
            z.write(path, os.path.join("frostel", os.path.relpath(os.path.join(base, f), "run")))
PY
)
echo "build-windows.sh: $dir/$zip in $(( $(date +%s) - start )) s"
