#!/usr/bin/env bash
# The Debian package: the one made in BUILD_DIR by scripts/package.sh (made there first if
# there is none; a lintian error fails that), apt finds
# its dependencies, and it is unpacked into a throwaway root, whose launchers find everything
# beside themselves. Each launcher is started under Xvfb with its own HOME as a player would:
# the intro shows, an option is changed and the options menu left, Esc ends the game with
# status 0, and "opts.dat" in that HOME's ~/.local/share/frostel holds the change; nothing is
# written into the package's folders.
# Usage: package_test.sh [BUILD_DIR]   (default build-package/; the test command's build/)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)

if [ -z "${FROSTEL_PACKAGE_ROOT:-}" ]; then
  dir=${1:-$root/build-package}
  deb=$(ls "$dir"/frostel_*_amd64.deb 2> /dev/null | head -n 1 || true)
  [ -n "$deb" ] || deb=$(bash "$root/scripts/package.sh" "$dir" | tail -n 1)
  apt-get install --simulate -qq "$deb" > /dev/null || { echo "FAIL: apt cannot install $deb" >&2; exit 1; }
  dest=$(mktemp -d /tmp/frostel-package-XXXXXX)
  trap 'rm -rf "$dest"' EXIT
  dpkg-deb -x "$deb" "$dest"
  assets=$(find "$dest/usr/share/games/frostel" -type f | wc -l)
  [ "$assets" = 49 ] || { echo "FAIL: $assets assets in the package, not 49" >&2; exit 1; }
  for f in usr/games/frostel usr/games/frostel-640 usr/lib/games/frostel/frostel usr/lib/games/frostel/frostel_640 \
           usr/share/games/frostel/gfx/menu01.jpg usr/share/applications/frostel-640.desktop \
           usr/share/icons/hicolor/48x48/apps/frostel-640.png usr/share/man/man6/frostel.6.gz; do
    [ -e "$dest/$f" ] || { echo "FAIL: /$f is not in the package" >&2; exit 1; }
  done
  echo "ok: $(basename "$deb") holds the programs, launchers, $assets assets, desktop files, icons, manual"
  # The launchers as the programs the e2e helpers start; a temporary HOME for each run.
  FROSTEL_RUN_DIR=$dest/usr/games FROSTEL_PACKAGE_ROOT=$dest bash "$0"
  exit 0
fi

source "$root/tests/e2e/flow_common.sh"  # starts Xvfb; the launchers are linked into $PLAY

# check_launcher LAUNCHER PROGRAM OPTIONS_MOVE: one run with its own HOME, whose player folder
# holds options of sensitivity 1.0 (one mouse count a pixel): the music slider's right end is
# clicked on the options menu, and leaving it must store musicVolume 99 there.
check_launcher() {
  local launcher=$1 home=$E2E_WORK/home-$1
  local dir=$home/.local/share/frostel
  mkdir -p "$dir"
  write_opts "$dir/opts.dat" 1.0 6116 127.000.000.001 1 50 50
  export HOME=$home
  unset XDG_DATA_HOME
  program_layout "$2"
  step "$launcher: intro, the music volume set on the options menu, Esc"
  skip_intro "$launcher"
  move_pointer $3  # the options item
  click
  move_pointer 102 -104  # the music slider's right end
  click
  move_pointer -142 154  # the back item
  click
  press_until_exit Escape 60
  [ "$GAME_STATUS" = 0 ] || fail "$launcher ended with status $GAME_STATUS after Esc"
  [ "$(opts_field "$dir/opts.dat" 36 '<i')" = 99 ] || fail "musicVolume in $dir/opts.dat is $(opts_field "$dir/opts.dat" 36 '<i'), not 99"
  [ "$(opts_field "$dir/opts.dat" 0 '<f')" = 1.0 ] || fail "the sensitivity in opts.dat changed"
  [ -L "$dir/gfx/menu01.jpg" ] && [ -e "$dir/gfx/menu01.jpg" ] || fail "the assets are not linked into $dir"
  pass "$launcher: intro shown, status 0, options saved to $dir/opts.dat"
}

check_launcher frostel frostel "-22 39"
# A link an upgrade left behind goes; one aimed elsewhere is made afresh; the player's own
# files stay.
share=$FROSTEL_PACKAGE_ROOT/usr/share/games/frostel
dir=$E2E_WORK/home-frostel-640/.local/share/frostel
mkdir -p "$dir"
ln -s "$share/gone.wav" "$dir/gone.wav"
ln -s "$share/sound2.wav" "$dir/tune.mp3"
echo mine > "$dir/notes.txt"
check_launcher frostel-640 frostel_640 "238 259"
[ ! -L "$dir/gone.wav" ] || fail "the stale link gone.wav is still there"
[ "$(readlink "$dir/tune.mp3")" = "$share/tune.mp3" ] || fail "tune.mp3 links to $(readlink "$dir/tune.mp3")"
[ "$(cat "$dir/notes.txt")" = mine ] || fail "the player's own file changed"
[ -z "$(find "$FROSTEL_PACKAGE_ROOT" -name opts.dat)" ] || fail "opts.dat was written into the package's folders"
pass "package"
