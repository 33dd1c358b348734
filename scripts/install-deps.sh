#!/usr/bin/env bash
# Installs every Debian package the build, the game and the tests need. Safe to repeat.
set -euo pipefail
packages=(
  build-essential cmake pkg-config
  libsdl2-dev libsdl2-mixer-dev libgl-dev libgl1-mesa-dri libglx-mesa0
  libstb-dev libmp3lame-dev fonts-dejavu-core
  googletest libgtest-dev libbenchmark-dev
  xvfb xauth xdotool x11-apps x11-utils netpbm imagemagick
  xfonts-base  # SDL's X11 message box draws with the core fonts; without them no box appears
  python3  # tests/e2e/close_window.py sends the window-manager close request
  gdb file  # a failed end-to-end test shows the stacks of a crashed program's core file
  ccache  # rebuilds of the several build trees reuse each other's objects
  clang libclang-rt-14-dev
  # the Windows build: mingw-w64 cross compiler, and Wine to run it in the tests
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
  wine wine64
  pulseaudio pulseaudio-utils  # a null sink and its recorder, so that the Windows build's sound opens under Wine
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Check that everything arrived, so that a missing piece stops the run here with its name
# instead of failing a test later for a reason that is hard to see.
failed=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || failed+=("package $p")
done
tools=(  # command:package, for what the build and the tests call
  cmake:cmake c++:build-essential pkg-config:pkg-config clang++:clang
  xvfb-run:xvfb Xvfb:xvfb xauth:xauth xdotool:xdotool xwd:x11-apps xwininfo:x11-utils
  xwdtopnm:netpbm pamcut:netpbm convert:imagemagick compare:imagemagick python3:python3
  x86_64-w64-mingw32-g++-posix:g++-mingw-w64-x86-64-posix
  x86_64-w64-mingw32-objdump:binutils-mingw-w64-x86-64 x86_64-w64-mingw32-windres:binutils-mingw-w64-x86-64
  gdb:gdb file:file ccache:ccache wine:wine wineserver:wine64 pulseaudio:pulseaudio parec:pulseaudio-utils pactl:pulseaudio-utils
)
for t in "${tools[@]}"; do
  command -v "${t%%:*}" > /dev/null || failed+=("command ${t%%:*} (package ${t#*:})")
done
[ -d /usr/share/fonts/X11/misc ] || failed+=("the X core fonts (package xfonts-base)")
if [ ${#failed[@]} -gt 0 ]; then
  printf 'install-deps.sh: missing after install: %s\n' "${failed[@]}" >&2
  exit 1
fi
