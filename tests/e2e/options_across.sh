#!/usr/bin/env bash
# "opts.dat" between the two builds. The same clicks on the options, create and join menus of
# the native frostel and of frostel.exe under Wine write the same 40 bytes. Each program then
# reads the other's file: its options menu shows the markers where its own clicks left them
# (same-build screenshots), and leaving that menu by its back item writes back exactly the
# bytes it read, so all six values came through.
# Run by the Windows build's CTest: $FROSTEL_RUN_DIR and $FROSTEL_WINE_PREFIX are the Windows
# build's; $FROSTEL_NATIVE_RUN_DIR is the native build's run folder (scripts/test.sh sets it;
# without it the test is skipped, status 77).
if [ ! -x "${FROSTEL_NATIVE_RUN_DIR:-/nonexistent}/frostel" ]; then
    echo "skipped: no native build (FROSTEL_NATIVE_RUN_DIR='${FROSTEL_NATIVE_RUN_DIR:-}' holds no frostel)"
    exit 77
fi
source "$(dirname "$0")/flow_common.sh"
under_wine || fail "run this with FROSTEL_WINE_PREFIX set (the Windows build's CTest does)"

WINDOWS_PREFIX=$FROSTEL_WINE_PREFIX
WINDOWS_PLAY=$PLAY
NATIVE_PLAY=$E2E_WORK/native
FROSTEL_RUN_DIR=$FROSTEL_NATIVE_RUN_DIR play_dir "$NATIVE_PLAY"
# Two port and address digits that differ from the defaults; the address stays on loopback.
PORT_KEYS="7 3 4 1"
ADDRESS_KEYS="1 2 7 0 0 4 0 0 3 0 0 2"

# use_build native|windows: the next start_game runs that build from its own play folder.
use_build() {
    case $1 in
        native) FROSTEL_WINE_PREFIX="" FROSTEL_RUN_DIR=$NATIVE_PLAY ;;
        windows) FROSTEL_WINE_PREFIX=$WINDOWS_PREFIX FROSTEL_RUN_DIR=$WINDOWS_PLAY ;;
    esac
    OPTS=$FROSTEL_RUN_DIR/opts.dat
}

# type_keys KEY...: each held 0.5 s and released for 0.5 s: the game sees a key by its state
# once a frame, and under Wine on a loaded machine a frame may take longer than 0.3 s, which
# lost a digit (or would join two presses of the same one).
type_keys() {
    local k
    for k in "$@"; do
        xdo keydown "$k"
        sleep 0.5
        xdo keyup "$k"
        sleep 0.5
    done
}

# set_every_option BUILD: from the main menu (pointer at (512, 384), one count a pixel):
# music 29, effects 74, detail low, sensitivity 0.05 + 1.95 * 33/67 (about 1.01, which still
# moves the pointer one pixel a count), back; a port typed on the create menu and a match
# started there, F10; an address typed on the join menu and connect, Esc. The options menu
# is shot as BUILD_set with the pointer at (553, 361).
set_every_option() {
    write_opts "$OPTS" 1.0 6116 127.000.000.001 1 50 50
    skip_intro
    move_pointer -22 39    # options item (490, 423)
    click
    move_pointer 50 -104   # music row at x 540
    click
    move_pointer 30 21     # effects row at x 570
    click
    move_pointer -20 42    # detail toggle (550, 382)
    click
    move_pointer 3 -21     # sensitivity row at x 553
    click
    shot "$1_set"
    move_pointer -103 112  # back (450, 473): saves
    click
    move_pointer 62 -158   # create item (512, 315), then the port field under it
    click
    click
    # shellcheck disable=SC2086
    type_keys $PORT_KEYS   # the fourth digit ends the editing
    move_pointer -42 120   # start (470, 435): saves, hosts
    click
    sleep 1
    press F10
    move_pointer 0 -84     # join item (470, 351)
    click
    move_pointer 0 -33     # address field (470, 318)
    click
    # shellcheck disable=SC2086
    type_keys $ADDRESS_KEYS
    move_pointer 0 124     # connect (470, 442): saves, joins
    click
    sleep 1
    escape_exits
    [ "$(stat -c %s "$OPTS")" = 40 ] || fail "$1 wrote $(stat -c %s "$OPTS") bytes"
    cp "$OPTS" "$E2E_WORK/$1.dat"
}

# read_file BUILD FILE: BUILD starts on FILE, shows its options menu (shot BUILD_read with the
# pointer where BUILD_set had it), leaves by the back item without a change, and ends.
read_file() {
    cp "$2" "$OPTS"
    skip_intro
    move_pointer -22 39   # options item
    click
    move_pointer 63 -62   # (553, 361), nothing clicked
    shot "$1_read"
    move_pointer -103 112 # back: saves
    click
    escape_exits
}

describe() {
    python3 - "$1" <<'EOF'
import struct, sys
s, port, addr, detail, fx, music = struct.unpack("<fi20sB3xii", open(sys.argv[1], "rb").read())
text = addr.split(b"\0")[0].decode()
print(f"sensitivity {s:.6f}, port {port}, address {text}, detail {detail}, effects {fx}, music {music}")
EOF
}

for build in native windows; do
    step "$build: the clicks on the options, create and join menus"
    use_build $build
    set_every_option $build
    echo "$build wrote: $(describe "$E2E_WORK/$build.dat")"
done
want="sensitivity 1.010448, port 7341, address 127.004.003.002, detail 0, effects 74, music 29"
[ "$(describe "$E2E_WORK/native.dat")" = "$want" ] || fail "the native file is not [$want]"
cmp "$E2E_WORK/native.dat" "$E2E_WORK/windows.dat" || {
    od -An -tx1 "$E2E_WORK/native.dat" "$E2E_WORK/windows.dat" >&2
    fail "the two builds wrote different bytes"
}
pass "both builds wrote the same 40 bytes"

for pair in "native windows" "windows native"; do
    set -- $pair
    step "$1 reads the file of $2"
    use_build "$1"
    read_file "$1" "$E2E_WORK/$2.dat"
    d=$(differing "$1_set" "$1_read" "$MENU")
    echo "$d pixels of the options menu differ from the one $1 set itself"
    expect_less "changed pixels of the options menu" "$d" 100
    cmp "$OPTS" "$E2E_WORK/$2.dat" || fail "$1 wrote back $(describe "$OPTS")"
    pass "$1 read all six options of the $2 file and wrote them back unchanged"
done
pass "options file between the builds"
