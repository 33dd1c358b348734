#!/usr/bin/env bash
# Installs every Debian package the build, the game and the tests need: what the game needs
# (scripts/play-deps.sh) and the test tools. Safe to repeat.
set -euo pipefail
source "$(dirname "$0")/play-deps.sh"
packages+=(
  googletest libgtest-dev libbenchmark-dev
  xvfb xauth xdotool x11-apps x11-utils netpbm imagemagick
  python3  # tests/e2e/close_window.py sends the window-manager close request
  gdb file  # a failed end-to-end test shows the stacks of a crashed program's core file
  ccache  # rebuilds of the several build trees reuse each other's objects
  clang libclang-rt-14-dev
  # the Windows build: mingw-w64 cross compiler, and Wine to run it in the tests
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
  wine wine64
  pulseaudio pulseaudio-utils  # a null sink and its recorder, so that the Windows build's sound opens under Wine
  lintian  # checks the Debian package (scripts/package.sh)
)
tools+=(  # command:package, for what the tests call
  clang++:clang
  xvfb-run:xvfb Xvfb:xvfb xauth:xauth xdotool:xdotool xwd:x11-apps xwininfo:x11-utils
  xwdtopnm:netpbm pamcut:netpbm convert:imagemagick compare:imagemagick python3:python3
  x86_64-w64-mingw32-g++-posix:g++-mingw-w64-x86-64-posix
  x86_64-w64-mingw32-objdump:binutils-mingw-w64-x86-64 x86_64-w64-mingw32-windres:binutils-mingw-w64-x86-64
  gdb:gdb file:file ccache:ccache wine:wine wineserver:wine64 pulseaudio:pulseaudio parec:pulseaudio-utils pactl:pulseaudio-utils
  lintian:lintian
)
install_packages install-deps.sh
