#!/usr/bin/env bash
# End-to-end check of the recovery copy: the real sleevedesk under Xvfb gets a headline
# typed, keeps a recovery copy of it a few seconds later, is killed with SIGKILL, and on the
# next start offers the copy back; after "Restore" the printed cover carries the headline.
#
# Usage: designer_recovery_e2e.sh <path to sleevedesk>
set -euo pipefail
BIN=$(readlink -f "${1:?usage: designer_recovery_e2e.sh <sleevedesk>}")
[ -x "$BIN" ] || { echo "e2e: FAIL: $BIN is not a program" >&2; exit 1; }
HERE=$(dirname "$(readlink -f "$0")")
export PATH=$PATH:/usr/sbin

. "$HERE/lib.sh"
e2e_init
e2e_start_xvfb
command -v xdotool >/dev/null || e2e_fail "xdotool is not installed (scripts/install-deps.sh)"
e2e_start_cups
cd "$E2E_TMP"
copies="$XDG_STATE_HOME/sleeve"
headline="RECOVERED HEADLINE"

# start_designer: starts sleevedesk, sets PID and WIN.
start_designer()
{
    "$BIN" &
    PID=$!
    E2E_PIDS+=("$PID")
    WIN=$(e2e_wait_search --pid "$PID" --class sleevedesk) || true
    [ -n "$WIN" ] || e2e_fail "the design window did not appear"
}

# ---------------------------------------------------------------- the first run, killed

start_designer
xdotool mousemove --window "$WIN" 628 33 click 1 # Text1, the top headline
xdotool windowfocus --sync "$WIN" 2>/dev/null || true
xdotool type --delay 15 "$headline"

copy=""
copy_written()
{
    local f
    for f in "$copies"/*.qwd; do
        [ -f "$f" ] && [ "$(head -n 1 "$f" | tr -d '\r')" = "$headline" ] && copy=$f
    done
    [ -n "$copy" ]
}
e2e_until "$E2E_WAIT" copy_written || true
[ -n "$copy" ] || e2e_fail "no recovery copy with the headline in $copies: $(ls -la "$copies" 2>&1 | tr '\n' ' ')"
e2e_log "recovery copy $copy written"

kill -KILL "$PID"
wait "$PID" 2>/dev/null || true
[ -f "$copy" ] || e2e_fail "the recovery copy did not outlive the kill"

# ---------------------------------------------------------------- the next start

start_designer
offer=$(e2e_wait_window '^Restore Unsaved Design\?$')
xdotool mousemove --window "$offer" 136 127 click 1 # Restore
e2e_wait_gone '^Restore Unsaved Design\?$'

# What the window shows is what prints.
mark=$(e2e_mark recovered)
xdotool mousemove --window "$WIN" 444 472 click 1 # Print
pdf=$(e2e_wait_pdf 'Untitled?cover' "$mark" 60) || e2e_fail "nothing was printed"
text=$(pdftotext -f 1 -l 1 "$pdf" - 2>/dev/null)
rm -f "$pdf"
grep -q "$headline" <<<"$text" || e2e_fail "the restored cover does not carry the headline: $text"
[ -f "$copy" ] || e2e_fail "the restored design has no recovery copy while it is unsaved"
kill -0 "$PID" 2>/dev/null || e2e_fail "sleevedesk ended"
echo "e2e: sleevedesk, killed with SIGKILL, offered its unsaved headline back and restored it"
