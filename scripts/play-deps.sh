#!/usr/bin/env bash
# Installs the Debian packages that building and playing the game need, and nothing more
# (scripts/play.sh). Safe to repeat. scripts/install-deps.sh sources this file for the list
# and adds what the tests need.
packages=(
  build-essential cmake pkg-config
  libsdl2-dev libsdl2-mixer-dev libgl-dev libgl1-mesa-dri libglx-mesa0 libstb-dev
  libmp3lame-dev fonts-dejavu-core  # the asset generator encodes the music and sets the menu text
  xfonts-base  # SDL's X11 message box draws with the core fonts; without them no box appears
)
tools=(cmake:cmake c++:build-essential pkg-config:pkg-config)  # command:package

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

# install_packages NAME: installs what of $packages is missing, then checks that every
# package, command of $tools and font arrived, so that a missing piece stops the run here
# with its name instead of failing later for a reason that is hard to see.
install_packages() {
  local name=$1 p t missing=() failed=() sudo=()
  for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done
  if [ ${#missing[@]} -gt 0 ]; then
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
  for p in "${packages[@]}"; do installed "$p" || failed+=("package $p"); done
  for t in "${tools[@]}"; do
    command -v "${t%%:*}" > /dev/null || failed+=("command ${t%%:*} (package ${t#*:})")
  done
  [ -d /usr/share/fonts/X11/misc ] || failed+=("the X core fonts (package xfonts-base)")
  [ -f /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf ] || failed+=("the DejaVu fonts (package fonts-dejavu-core)")
  if [ ${#failed[@]} -gt 0 ]; then
    printf '%s: missing after install: %s\n' "$name" "${failed[@]}" >&2
    return 1
  fi
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -euo pipefail
  install_packages play-deps.sh
fi
