#!/usr/bin/env bash
# The DirectSound audio test under Wine, once with an output and once without.
# Usage: run_dsound_test.sh PREFIX TEST_EXE RUN_DIR
#   PREFIX    the Wine prefix of the run (scripts/wine-prefix.sh start)
#   TEST_EXE  the cross-built test program (test_dsound.exe)
#   RUN_DIR   the folder with the generated sounds (the program runs there, as the game does)
# With a PulseAudio null sink of our own (it plays in real time, so copies end when they
# should) the output suites run, and what reaches the sink is recorded: at least 0.1 s of it
# must be loud. With that server stopped, DirectSound fails to open and the silent suite runs.
set -euo pipefail
scripts=$(cd "$(dirname "$0")/../../scripts" && pwd)
prefix=$(realpath -m "$1")
exe=$(realpath "$2")
run_dir=$(realpath "$3")
wine_run() { bash "$scripts/wine-run.sh" "$prefix" "$@"; }

pulse=$(mktemp -d "$(dirname "$prefix")/dsound-pulse.XXXXXX")
record_pid=
source "$scripts/null-sink.sh"
finish() {
    [[ -n $record_pid ]] && kill "$record_pid" 2> /dev/null
    null_sink_stop
    rm -rf "$pulse"
}
trap finish EXIT

# A fresh server and Wine's own processes on no display: in a prefix just made, COM's
# RpcSs does not start, and DirectSound would wait 10 s for it. (This test runs alone.)
env -u DISPLAY bash "$scripts/wine-prefix.sh" session "$prefix"
# Wine's audio goes to PulseAudio; without a server it has no output at all.
wine_run reg add 'HKCU\Software\Wine\Drivers' /v Audio /d pulse /f > /dev/null 2>&1

null_sink_start "$pulse"

cd "$run_dir"
status=0
echo "== with a null sink"
parec -d frostel_null.monitor --format=s16le --rate=44100 --channels=1 --latency-msec=20 > "$pulse/heard.raw" 2> /dev/null &
record_pid=$!
for _ in $(seq 100); do  # the monitor takes about a second to deliver
    [[ -s $pulse/heard.raw ]] && break
    sleep 0.1
done
wine_run "$exe" --gtest_filter='DirectSoundOutput.*:DirectSoundGame.*:AcmMp3.*' || status=1
kill "$record_pid" 2> /dev/null || true
wait "$record_pid" 2> /dev/null || true
record_pid=
python3 - "$pulse/heard.raw" <<'PY' || status=1
import array, sys
data = open(sys.argv[1], "rb").read(2 * 44100 * 60)
pcm = array.array("h", data[: len(data) // 2 * 2])
loud = sum(1 for v in pcm if abs(v) > 1000)
print(f"heard at the sink: {len(pcm) / 44100:.2f} s, {loud} samples above 1000, peak {max(map(abs, pcm), default=0)}")
sys.exit(0 if loud > 4410 else "nothing was heard at the sink")
PY
null_sink_stop
echo "== without an output"
wine_run "$exe" --gtest_filter='DirectSoundSilent.*' || status=1
exit $status
