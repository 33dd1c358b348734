# Sourced: a private PulseAudio server with nothing but a null sink "frostel_null", reached
# through its own socket, so that Wine's audio (driver pulse) has an output that plays in real
# time on a machine without a sound card.
#   null_sink_start DIR   starts it with its files in DIR (made if needed); exports
#                         PULSE_SERVER and PULSE_RUNTIME_PATH for the programs started after
#   null_sink_stop        stops it by its process id (also safe when none runs)
NULL_SINK_PID=

null_sink_start() {
    local dir=$1
    mkdir -p "$dir/home"
    HOME=$dir/home PULSE_RUNTIME_PATH=$dir PULSE_STATE_PATH=$dir \
        pulseaudio --daemonize=no --system=no --exit-idle-time=-1 -n --use-pid-file=no --disable-shm=yes \
        --load="module-null-sink sink_name=frostel_null" \
        --load="module-native-protocol-unix auth-anonymous=1 socket=$dir/native" > "$dir/log" 2>&1 &
    NULL_SINK_PID=$!
    local i
    for i in $(seq 100); do
        [[ -S $dir/native ]] && break
        kill -0 "$NULL_SINK_PID" 2> /dev/null || break
        sleep 0.1
    done
    [[ -S $dir/native ]] || { cat "$dir/log" >&2; echo "PulseAudio did not start" >&2; return 1; }
    export PULSE_SERVER=unix:$dir/native PULSE_RUNTIME_PATH=$dir
}

null_sink_stop() {
    if [[ -n $NULL_SINK_PID ]]; then
        kill "$NULL_SINK_PID" 2> /dev/null || true
        wait "$NULL_SINK_PID" 2> /dev/null || true
        NULL_SINK_PID=
    fi
}
