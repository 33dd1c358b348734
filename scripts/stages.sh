# shellcheck shell=bash
# Timed stages for scripts/test.sh (sourced). The table of their times ends the output, also
# when a stage fails.
#   stage NAME COMMAND...   runs the command (a program or a shell function) and notes its time
#   beside NAME COMMAND...  starts it in the background at the lowest priority, its output in
#                           $STAGE_LOGS/NAME.log; stages run inside it are noted as "beside"
#   await NAME              waits until the stage NAME (run by `stage` inside a `beside` job) is
#                           done; fails the run if that job failed first
# STAGE_DRY=1 lists the stages' commands instead of running them.
STAGE_LOGS=${STAGE_LOGS:-$(mktemp -d)}
_stage_file=$STAGE_LOGS/stages.tsv
: > "$_stage_file"
_stage_begin=$SECONDS
_stage_current=""
_stage_note=""
declare -A _beside_pids=()

stage() {
    local name=$1 start=$SECONDS
    shift
    echo "test.sh: stage $name${_stage_note:+ ($_stage_note)}"
    _stage_current=$name
    _stage_start=$start
    if [ -n "${STAGE_DRY:-}" ]; then echo "  $*"; else "$@"; fi
    printf '%s\t%s\t%s\n' "$name" $((SECONDS - start)) "$_stage_note" >> "$_stage_file"
    _stage_current=""
}

beside() {
    local name=$1
    shift
    (
        renice -n 19 -p "$BASHPID" > /dev/null
        _stage_note=beside
        "$@"
    ) > "$STAGE_LOGS/$name.log" 2>&1 &
    _beside_pids[$name]=$!
}

# _stage_done NAME: whether a stage of that name has been noted.
_stage_done() { cut -f1 "$_stage_file" | grep -qxF "$1"; }

await() {
    local name=$1 start=$SECONDS job pid running
    while ! _stage_done "$name"; do
        running=0
        for job in "${!_beside_pids[@]}"; do
            pid=${_beside_pids[$job]}
            if kill -0 "$pid" 2> /dev/null; then
                running=1
            elif wait "$pid"; then
                unset "_beside_pids[$job]"
            else
                tail -n 40 "$STAGE_LOGS/$job.log" >&2
                echo "test.sh: $job failed (whole output: $STAGE_LOGS/$job.log)" >&2
                _stage_current="$job (beside)"
                _stage_start=$start
                return 1
            fi
        done
        if [ $running = 0 ] && ! _stage_done "$name"; then
            echo "test.sh: no stage $name ran" >&2
            return 1
        fi
        sleep 1
    done
    [ $((SECONDS - start)) -gt 0 ] && printf '%s\t%s\t%s\n' "waiting for $name" $((SECONDS - start)) "" >> "$_stage_file"
    return 0
}

# _kill_tree PID: the process and everything it started.
_kill_tree() {
    local child
    for child in $(ps -o pid= --ppid "$1" 2> /dev/null); do _kill_tree "$child"; done
    kill -TERM "$1" 2> /dev/null || true
}

_stage_table() {
    local status=$? name secs note pid
    for pid in "${_beside_pids[@]}"; do kill -0 "$pid" 2> /dev/null && _kill_tree "$pid"; done
    if [ -n "$_stage_current" ]; then
        printf '%s\t%s\t%s\n' "$_stage_current" $((SECONDS - _stage_start)) "FAILED" >> "$_stage_file"
    fi
    echo "test.sh: stage times"
    printf '  %-28s %7s\n' stage seconds
    while IFS=$'\t' read -r name secs note; do
        printf '  %-28s %7s  %s\n' "$name" "$secs" "$note"
    done < "$_stage_file"
    printf '  %-28s %7s  %s\n' total $((SECONDS - _stage_begin)) "$([ $status = 0 ] && echo passed || echo FAILED)"
}
trap _stage_table EXIT
