#!/usr/bin/env bash
# End-to-end check of where sleevedesk prints, with a real CUPS scheduler:
# from the command line with no display (the default queue, a named one, a
# missing one, a PRINTER variable naming a missing one, a queue that refuses
# jobs and one that is stopped), and from the window's Print button under
# Xvfb. Nothing may reach a queue nobody chose: a queue "AAA" sorts first to
# catch a fallback to the first queue.
#
# Usage: designer_print_e2e.sh <path to sleevedesk>
set -euo pipefail
BIN=$(readlink -f "${1:?usage: designer_print_e2e.sh <sleevedesk>}")
HERE=$(dirname "$(readlink -f "$0")")
DESIGN="$HERE/../designer_features/cover.qwd"
export PATH=$PATH:/usr/sbin
for tool in Xvfb xdotool cupsd lpadmin pdftotext; do
    command -v "$tool" >/dev/null || { echo "e2e: SKIP: $tool is not installed" >&2; exit 77; }
done

. "$HERE/lib.sh"
e2e_init
e2e_start_xvfb
e2e_start_cups
cd "$E2E_TMP"
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
lpadmin -p AAA -E -v cups-pdf:/ -P "$ppd" 2>/dev/null || e2e_fail "cannot add the queue AAA"

jobs_done() { lpstat -W completed -o 2>/dev/null | wc -l; }

# expect_refusal CODE TEXT ARGS...: no display, the exit code, a one-line
# reason holding TEXT, and no job anywhere.
expect_refusal()
{
    local code=$1 text=$2 before rc=0
    shift 2
    before=$(jobs_done)
    env -u DISPLAY "$@" >out.txt 2>err.txt || rc=$?
    [ "$rc" -eq "$code" ] || e2e_fail "$* ended with $rc, expected $code: $(cat err.txt)"
    [ "$(wc -l <err.txt)" -eq 1 ] || e2e_fail "$*: not one line of reason: $(cat err.txt)"
    grep -qF "$text" err.txt || e2e_fail "$*: '$(cat err.txt)' does not say '$text'"
    [ -z "$(lpstat -o 2>/dev/null)" ] && [ "$(jobs_done)" -eq "$before" ] || e2e_fail "$*: a job was sent: $(lpstat -W all -o)"
}

# ---------------------------------------------------------------- the command line

mark=$(e2e_mark default)
env -u DISPLAY "$BIN" --print "$DESIGN" || e2e_fail "--print on the default queue failed"
pdf=$(e2e_wait_pdf cover "$mark" 60) || e2e_fail "nothing was printed on the default queue"
pdftotext "$pdf" - | grep -q NORTHBOUND || e2e_fail "the printed page lacks the headline"
rm -f "$pdf"
mark=$(e2e_mark named)
env -u DISPLAY "$BIN" --print "$DESIGN" --printer AAA || e2e_fail "--print --printer AAA failed"
pdf=$(e2e_wait_pdf cover "$mark" 60) || e2e_fail "nothing was printed on AAA"
rm -f "$pdf"
# The complete set: two sheets in one job, the spines real text.
mark=$(e2e_mark set)
env -u DISPLAY "$BIN" --print --as set "$DESIGN" || e2e_fail "--print --as set failed"
pdf=$(e2e_wait_pdf cover "$mark" 60) || e2e_fail "the set was not printed"
[ "$(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}')" = 2 ] || e2e_fail "the set is not on two sheets"
pdftotext "$pdf" - | grep -q Harbour || e2e_fail "the printed set lacks the bottom headline"
rm -f "$pdf"

expect_refusal 4 'The printer "NOPE" does not exist.' "$BIN" --print "$DESIGN" --printer NOPE
expect_refusal 4 'The printer "NOPE" does not exist.' env PRINTER=NOPE "$BIN" --print "$DESIGN"
cupsreject PDF
expect_refusal 4 'The printer "PDF" is not accepting jobs.' "$BIN" --print "$DESIGN"
cupsaccept PDF
cupsdisable PDF
expect_refusal 4 'The printer "PDF" is stopped.' "$BIN" --print "$DESIGN"
cupsenable PDF

# ---------------------------------------------------------------- the window

before=$(jobs_done)
PRINTER=NOPE e2e_spawn "$BIN" "$DESIGN"
win=$(e2e_wait_search --class sleevedesk) || true
[ -n "$win" ] || e2e_fail "the design window did not appear"
xdotool mousemove --window "$win" 444 472 click 1 # Print
box=$(e2e_wait_window '^Print$')
[ -n "$box" ] || e2e_fail "no message after Print with a missing printer"
[ -z "$(lpstat -o 2>/dev/null)" ] && [ "$(jobs_done)" -eq "$before" ] || e2e_fail "the window printed somewhere: $(lpstat -W all -o)"
echo "e2e: sleevedesk printed on the chosen or default queue only, and said why when it could not"
