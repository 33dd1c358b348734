# shellcheck shell=bash
# Timed stages for scripts/test.sh (sourced). The table of their times ends the output, also
# when a stage fails.
#   stage NAME COMMAND...   runs the command (a program or a shell function) and notes its time
#   beside NAME COMMAND...  starts it in the background at the lowest priority, its output in
#                           $STAGE_LOGS/NAME.log; stages run inside it are noted as "beside"
#   alongside NAME COMMAND... the same at the normal priority: a second line of tests, whose
#                           frames should not wait for the builds
#   await NAME              waits until the stage NAME (run by `stage` inside a background
#                           job) is done; fails the run, with that job's output, if a job failed
#                           first. Works inside a background job too.
#   await_all               waits for every background job to end; fails if one failed
# STAGE_DRY=1 lists the stages' commands instead of running them.
STAGE_LOGS=${STAGE_LOGS:-$(mktemp -d)}
_stage_file=$STAGE_LOGS/stages.tsv
: > "$_stage_file"
_stage_begin=$SECONDS
_stage_current=""
_stage_note=""
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

_jobs=$STAGE_LOGS/jobs  # NAME.pid while a job runs, NAME.status once it has ended
mkdir -p "$_jobs"

beside() {
    local name=$1
    shift
    (
        if [ -n "${_alongside:-}" ]; then _stage_note=alongside; else
            renice -n 19 -p "$BASHPID" > /dev/null
            _stage_note=beside
        fi
        # Not `( "$@" ) || ...`: that turns off -e inside, so a failed stage would go unnoticed
        # and only the last one's status would count. The failed stage gets its row here.
        set +e
        (
            set -e
            # Stopped because the run failed elsewhere: its own status then tells nothing (a
            # killed child can make it fail before it is killed itself), so no row.
            trap 'st=$?; [ -z "$_stage_current" ] || [ $st = 0 ] || [ -e "$_jobs/.stopping" ] || printf "%s\t%s\t%s\n" "$_stage_current" $((SECONDS - _stage_start)) "$_stage_note FAILED" >> "$_stage_file"' EXIT
            "$@"
        )
        status=$?
        echo $status > "$_jobs/$name.status"
        exit $status
    ) > "$STAGE_LOGS/$name.log" 2>&1 &
    echo $! > "$_jobs/$name.pid"
}

alongside() { _alongside=1 beside "$@"; }

# _stage_done NAME: whether a stage of that name has been noted.
_stage_done() { cut -f1 "$_stage_file" | grep -qxF "$1"; }

# _job_failed: the first background job that ended with a failure, if any (status 1).
_job_failed() {
    local f
    for f in "$_jobs"/*.status; do
        [ -e "$f" ] || continue
        [ "$(cat "$f")" = 0 ] || { basename "$f" .status; return 0; }
    done
    return 1
}

_jobs_running() {
    local f
    for f in "$_jobs"/*.pid; do
        [ -e "$f" ] && [ ! -e "${f%.pid}.status" ] && return 0
    done
    return 1
}

# _show_failed JOB: the end of a failed background job's output, and where the rest is.
_show_failed() {
    tail -n 200 "$STAGE_LOGS/$1.log" >&2
    echo "test.sh: $1 failed (whole output: $STAGE_LOGS/$1.log)" >&2
}

await() {
    local name=$1 start=$SECONDS job
    while ! _stage_done "$name"; do
        if job=$(_job_failed); then
            _show_failed "$job"
            _stage_current="$job (background)"
            _stage_start=$start
            return 1
        fi
        if ! _jobs_running && ! _stage_done "$name"; then
            echo "test.sh: no stage $name ran" >&2
            return 1
        fi
        sleep 1
    done
    [ $((SECONDS - start)) -gt 0 ] && printf '%s\t%s\t%s\n' "waiting for $name" $((SECONDS - start)) "${_stage_note:-}" >> "$_stage_file"
    return 0
}

await_all() {
    local start=$SECONDS job
    while _jobs_running; do sleep 1; done
    if job=$(_job_failed); then
        _show_failed "$job"
        _stage_current="$job (background)"
        _stage_start=$start
        return 1
    fi
    [ $((SECONDS - start)) -gt 0 ] && printf '%s\t%s\t%s\n' "waiting for the rest" $((SECONDS - start)) "" >> "$_stage_file"
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
    touch "$_jobs/.stopping"
    for pid in "$_jobs"/*.pid; do
        [ -e "$pid" ] && [ ! -e "${pid%.pid}.status" ] && _kill_tree "$(cat "$pid")"
    done
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
