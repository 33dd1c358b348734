#!/usr/bin/env bash
# Every one of the 49 asset files in turn, missing, cut to half its length, and replaced by
# random bytes of its length. A damaged mesh or picture: the program says so, with the exact
# text for that file, on stderr and in its "Error" boxes (answered here), and ends with status
# 0. A damaged sound or the music: the game runs silent and Esc ends it with 0. Never a crash,
# a sanitizer report or a hang. SDL's dummy audio driver stands in for a sound card so that
# the audio files are read. Under Wine the boxes' own texts are read ($FROSTEL_ERROR_BOX, a
# helper that prints a box's text and presses OK) and must be those texts too, and a PulseAudio
# null sink (scripts/null-sink.sh) with Wine's audio driver set to pulse stands in for the
# sound card, so that DirectSound opens and the sounds are read: the sound cases check that
# the game became its client.
# Usage: [FAULT_JOBS=N] asset_faults_test.sh [FILE...] (default: all 49)
source "$(dirname "$0")/lib.sh"
in_xvfb "$@"
if under_wine; then
    : "${FROSTEL_ERROR_BOX:?set FROSTEL_ERROR_BOX to error_box.exe of the Windows build}"
    # The status checks rest on wine handing back the program's own status: with no box to
    # answer the helper ends with 1.
    status=0
    wine "$FROSTEL_ERROR_BOX" 0 >/dev/null 2>&1 || status=$?
    [ "$status" = 1 ] || fail "error_box.exe with no box ended under wine with $status, not 1"
    source "$E2E_DIR/../../scripts/null-sink.sh"
    trap 'null_sink_stop; _e2e_cleanup' EXIT
    null_sink_start "$E2E_WORK/pulse" || fail "no PulseAudio null sink"
    wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d pulse /f >/dev/null 2>&1 ||
        fail "could not set Wine's audio driver"
fi

SPLASH=200x200+412+284  # the middle of the intro picture
CASE_LIMIT=40           # seconds before a case counts as a hang

ASSETS=()
for f in "$FROSTEL_RUN_DIR"/*.x "$FROSTEL_RUN_DIR"/*.wav "$FROSTEL_RUN_DIR"/*.mp3 "$FROSTEL_RUN_DIR"/gfx/*; do
    ASSETS+=("${f#"$FROSTEL_RUN_DIR"/}")
done
[ ${#ASSETS[@]} -eq 49 ] || fail "expected 49 asset files in $FROSTEL_RUN_DIR, found ${#ASSETS[@]}"
[ $# -gt 0 ] && ASSETS=("$@")

# Natively the files are dealt out to $FAULT_JOBS runs of this script (default 3), each on a
# display of its own: a case is mostly a start of the program loading its assets, one core's
# work, and boxes are found by their title, so two runs cannot share a display. Under Wine the
# cases go in turn: one prefix, one desktop.
jobs=${FAULT_JOBS:-3}
if ! under_wine && [ "$jobs" -gt 1 ] && [ ${#ASSETS[@]} -gt 1 ]; then
    pids=()
    for (( j = 0; j < jobs && j < ${#ASSETS[@]}; j++ )); do
        share=()
        for (( i = j; i < ${#ASSETS[@]}; i += jobs )); do share+=("${ASSETS[i]}"); done
        env -u FROSTEL_E2E_IN_XVFB FAULT_JOBS=1 bash "$0" "${share[@]}" >"$E2E_WORK/share$j.log" 2>&1 &
        pids+=($!)
    done
    failed=0
    for j in "${!pids[@]}"; do
        wait "${pids[j]}" || failed=1
        cat "$E2E_WORK/share$j.log"
    done
    [ $failed = 0 ] || fail "a share of the damaged-asset cases failed (above)"
    pass "$(cat "$E2E_WORK"/share*.log | grep '^ok: ' | grep -vc 'damaged-asset cases') damaged-asset cases in ${#pids[@]} shares"
    exit 0
fi

PLAY=$E2E_WORK/play

# make_play: the run folder linked file by file into a fresh play folder.
make_play() {
    rm -rf "$PLAY"
    mkdir -p "$PLAY/gfx"
    local f
    for f in "$FROSTEL_RUN_DIR"/*; do
        case $(basename "$f") in gfx | opts.dat) ;; *) ln -s "$f" "$PLAY/" ;; esac
    done
    for f in "$FROSTEL_RUN_DIR"/gfx/*; do ln -s "$f" "$PLAY/gfx/"; done
}

# damage FILE KIND: missing, truncated (first half) or random (same length, seeded by name).
damage() {
    local target="$PLAY/$1" source="$FROSTEL_RUN_DIR/$1"
    rm -f "$target"
    case $2 in
        missing) ;;
        truncated) head -c $(( $(stat -c %s "$source") / 2 )) "$source" >"$target" ;;
        random)
            python3 - "$source" "$target" <<'EOF'
import os, random, sys
src, dst = sys.argv[1:]
rng = random.Random(os.path.basename(src))
with open(dst, "wb") as f:
    f.write(bytes(rng.getrandbits(8) for _ in range(os.path.getsize(src))))
EOF
            ;;
    esac
}

# The server numbers its clients in order, and pactl is one: the clients the game opened
# since the last look are the gap between pactl's numbers.
PACTL_INDEX=-1
note_clients() {
    local index
    index=$(pactl list short clients 2>/dev/null | awk '$3 == "pactl" { print $1 }' | tail -n 1)
    CLIENTS=$(( ${index:-0} - PACTL_INDEX - 1 ))
    PACTL_INDEX=${index:-$PACTL_INDEX}
}

# The colour-keyed pictures, whose loss is reported without the file name.
KEYED="gfx/goal.bmp gfx/connind.bmp gfx/menu_cursor.bmp gfx/menu_mouse.bmp gfx/scores.bmp gfx/scoreind.bmp"

# expected_messages FILE: the texts the program shows for that damaged file, one a line.
expected_messages() {
    local name=${1//\//\\}
    case " $KEYED " in *" $1 "*) echo "Texture files missing"; return ;; esac
    case $1 in
        *.x) printf '%s\n' "Can not load mesh" "Can't open file: $name" ;;
        *) echo "Missing file: $name" ;;
    esac
}

window_named() { xwininfo -root -children 2>/dev/null | awk -v n="\"$1\":" '$2 == n { print $1; exit }'; }

intro_shown() {
    xwd -root -silent 2>/dev/null | xwdtopnm 2>/dev/null >"$E2E_WORK/shot.ppm" || return 1
    [ -s "$E2E_WORK/shot.ppm" ] || return 1
    [ "$(convert "$E2E_WORK/shot.ppm" -crop "$SPLASH" +repage -colorspace Gray -format '%[fx:int(mean*1000)]' info:)" -gt 50 ]
}

# run_case FILE KIND: runs the game on the damaged folder, answering message boxes; for a
# sound file, presses Esc once the intro is drawn. Sets STATUS, BOXES and SHOWN.
run_case() {
    local audio=$3 pid box deadline
    if under_wine; then note_clients; fi
    (cd "$PLAY" && SDL_AUDIODRIVER=dummy run_program frostel) 2>"$E2E_WORK/stderr" >/dev/null &
    pid=$!
    GAME_PID=$pid GAME_PROG=frostel
    BOXES=0 SHOWN=0
    : >"$E2E_WORK/boxes"
    deadline=$(( $(date +%s) + CASE_LIMIT ))
    while kill -0 "$pid" 2>/dev/null; do
        if [ "$(date +%s)" -ge "$deadline" ]; then
            kill -KILL "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
            GAME_PID=""
            STATUS=124
            return
        fi
        box=$(window_named Error)
        if [ -n "$box" ]; then
            BOXES=$((BOXES + 1))
            if under_wine; then
                wine "$FROSTEL_ERROR_BOX" 5000 >>"$E2E_WORK/boxes" 2>/dev/null || true
            else
                xdotool windowfocus --sync "$box" 2>/dev/null && xdotool key Return 2>/dev/null || true
            fi
            sleep 0.2
            continue
        fi
        if [ "$audio" = 1 ] && [ "$SHOWN" = 0 ] && intro_shown; then
            SHOWN=1
            local game
            game=$(window_named Frostel)
            [ -n "$game" ] && xdotool windowfocus --sync "$game" 2>/dev/null || true
        fi
        # Esc until the game takes it (the first frames may still be on their way).
        [ "$SHOWN" = 1 ] && { xdotool keydown Escape 2>/dev/null; sleep 0.1; xdotool keyup Escape 2>/dev/null; } || true
        sleep 0.1
    done
    STATUS=0
    wait "$pid" || STATUS=$?
    GAME_PID=""
    if under_wine; then note_clients; fi
}

cases=0
for asset in "${ASSETS[@]}"; do
    audio=0
    # Sounds and the computer's badges are optional: the game plays on without them.
    case $asset in *.wav | *.mp3 | gfx/cpu_*.bmp) audio=1 ;; esac
    for kind in missing truncated random; do
        make_play
        damage "$asset" "$kind"
        err=$E2E_WORK/stderr
        run_case "$asset" "$kind" "$audio"
        if [ "$STATUS" = 124 ]; then
            # Once in a long while a start under the sanitizers stalls before its first box
            # with the same input that passes otherwise; a second stall is a real hang.
            echo "note: $asset $kind: still running after $CASE_LIMIT s (boxes answered: $BOXES), starting again"
            tail -n 20 "$E2E_WORK/stderr" | grep -v '^ALSA' >&2 || true
            make_play
            damage "$asset" "$kind"
            run_case "$asset" "$kind" "$audio"
            [ "$STATUS" = 124 ] && { tail -n 20 "$E2E_WORK/stderr" >&2; fail "$asset $kind: still running after $CASE_LIMIT s twice (boxes answered: $BOXES)"; }
        fi
        grep -qE 'runtime error|AddressSanitizer|LeakSanitizer|UndefinedBehaviorSanitizer' "$err" &&
            { cat "$err" >&2; fail "$asset $kind: sanitizer report"; }
        [ "$STATUS" = 0 ] || { tail -n 20 "$err" >&2; fail "$asset $kind: ended with status $STATUS"; }
        messages=$(grep -c '^Error: ' "$err" || true)
        if [ "$audio" = 1 ]; then
            [ "$SHOWN" = 1 ] || fail "$asset $kind: the intro was never drawn"
            [ "$messages" = 0 ] || fail "$asset $kind: a damaged optional file gave a message: $(grep '^Error: ' "$err" | head -1)"
            if under_wine; then
                [ "$CLIENTS" -gt 0 ] || fail "$asset $kind: the game never reached the null sink"
            fi
            echo "ok: $asset $kind: no message, the intro runs, Esc ends it with 0${CLIENTS:+ (audio clients: $CLIENTS)}"
        else
            [ "$messages" -gt 0 ] || { cat "$err" >&2; fail "$asset $kind: no message on stderr"; }
            [ "$BOXES" -gt 0 ] || fail "$asset $kind: no message box was shown"
            want=$(expected_messages "$asset")
            got=$(grep '^Error: ' "$err" | cut -c8- | tr -d '\r')
            [ "$got" = "$want" ] || fail "$asset $kind: messages [$got], not [$want]"
            if under_wine; then
                got=$(tr -d '\r' <"$E2E_WORK/boxes")
                [ "$got" = "$want" ] || fail "$asset $kind: the boxes said [$got], not [$want]"
            fi
            echo "ok: $asset $kind: $(grep '^Error: ' "$err" | head -1 | cut -c8-) ($BOXES box(es)), status 0"
        fi
        cases=$((cases + 1))
    done
done
pass "$cases damaged-asset cases: a message and status 0, or silent play for the sounds and badges"
