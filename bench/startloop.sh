#!/usr/bin/env bash
# Starts the suite's windows again and again under a private Xvfb and counts
# the starts that end abnormally (a signal, or an exit that is not 0) before
# their window shows. A count, not a timing: run it on a loaded machine (for
# example beside `stress --cpu 2 --io 1 --timeout 120`).
#
# Each program is started on the server as the end-to-end checks start it
# (tests/e2e/lib.sh: -noreset), against the baseline of a server that resets
# when its last client leaves, each with short-lived clients polling it as the
# checks' xdotool searches do.
#
# Usage: bench/startloop.sh BIN_DIR [STARTS] [PROGRAM...]
#   BIN_DIR   the build's bin folder (build/bin)
#   STARTS    starts of each program on each server (default 60)
#   PROGRAM   sleevedesk, sleevegate, sleeveindex (default: sleevedesk sleevegate)
# The stderr and core file of each abnormal start are kept in a folder the
# script names. Exit status 1 when a start on the checks' server ended
# abnormally.
set -euo pipefail
bin=$(cd "${1:?usage: startloop.sh BIN_DIR [STARTS] [PROGRAM...]}" && pwd)
starts=${2:-60}
shift 2 2>/dev/null || shift $#
programs=("$@")
[ ${#programs[@]} -gt 0 ] || programs=(sleevedesk sleevegate)
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../tests/e2e/lib.sh
. "$here/../tests/e2e/lib.sh"
command -v xdotool >/dev/null || { echo "startloop: xdotool is not installed" >&2; exit 2; }
for prog in "${programs[@]}"; do
    [ -x "$bin/$prog" ] || { echo "startloop: $bin/$prog is not built" >&2; exit 2; }
done

e2e_init
keep=$(mktemp -d "${TMPDIR:-/tmp}/startloop.XXXXXX")
ulimit -c unlimited 2>/dev/null || true
# No print server: a start never asks a real one.
export CUPS_SERVER=$E2E_TMP/no-print-server.sock

# One start in its own folder (where a core file lands): 0 when the window showed and the
# program ended as asked.
start_once() # PROGRAM N SERVER
{
    local prog=$1 n=$2 dir="$E2E_TMP/run.$3.$1.$2" pid rc=0 shown=""
    mkdir -p "$dir"
    if [ "$prog" = sleevedesk ]; then
        (cd "$dir" && exec "$bin/$prog" --quit-when-shown) 2>"$dir/err" >/dev/null &
    else
        (cd "$dir" && exec "$bin/$prog") 2>"$dir/err" >/dev/null &
    fi
    pid=$!
    local end=$((SECONDS + E2E_WAIT))
    while kill -0 "$pid" 2>/dev/null && [ "$SECONDS" -lt "$end" ]; do
        if [ "$prog" != sleevedesk ] && xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1; then
            shown=yes
            kill -TERM "$pid" 2>/dev/null || true
            break
        fi
        sleep 0.05
    done
    [ "$SECONDS" -lt "$end" ] || kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" || rc=$?
    [ "$prog" = sleevedesk ] && [ "$rc" -eq 0 ] && return 0
    # A window that showed and then took our SIGTERM ended as asked.
    [ -n "$shown" ] && { [ "$rc" -eq 0 ] || [ "$rc" -eq 143 ]; } && return 0
    local why="exit $rc"
    [ "$rc" -gt 128 ] && why="signal $((rc - 128)) ($(kill -l $((rc - 128)) 2>/dev/null || echo '?'))"
    [ "$SECONDS" -lt "$end" ] || why="no window in $E2E_WAIT s, $why"
    echo "startloop: $3 server, $prog start $n: $why; stderr: $(head -c 200 "$dir/err" | tr '\n' ' ')" >&2
    cp -r "$dir" "$keep/"
    return 1
}

# Clients that connect and leave, as the checks' polling does.
poll_display() { while :; do xdotool search --onlyvisible --name . >/dev/null 2>&1 || true; sleep 0.05; done; }

declare -A failed
for server in resetting checks; do
    if [ "$server" = resetting ]; then E2E_XVFB_ARGS=(); else E2E_XVFB_ARGS=(-noreset); fi
    e2e_start_xvfb
    poll_display &
    poller=$!
    for prog in "${programs[@]}"; do
        fails=0
        t0=$SECONDS
        for n in $(seq 1 "$starts"); do
            start_once "$prog" "$n" "$server" || fails=$((fails + 1))
        done
        failed[$server.$prog]=$fails
        echo "$prog, $server server: $fails abnormal ends in $starts starts ($((SECONDS - t0)) s, load $(cut -d' ' -f1-3 /proc/loadavg))"
    done
    kill "$poller" 2>/dev/null || true
    wait "$poller" 2>/dev/null || true
    kill "$E2E_XVFB_PID" 2>/dev/null || true
    wait "$E2E_XVFB_PID" 2>/dev/null || true
    E2E_XVFB_PID=""
done

bad=0
for prog in "${programs[@]}"; do
    echo "$prog: ${failed[checks.$prog]} abnormal ends on the checks' server (-noreset) against" \
        "${failed[resetting.$prog]} on a resetting one (baseline), $starts starts each"
    bad=$((bad + ${failed[checks.$prog]}))
done
if [ -n "$(ls -A "$keep")" ]; then
    echo "stderr and core files of the abnormal ends: $keep"
else
    rmdir "$keep"
fi
[ "$bad" -eq 0 ]
