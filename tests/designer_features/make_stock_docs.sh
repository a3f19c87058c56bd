#!/usr/bin/env bash
# Makes the label stock's documents with the real program under Xvfb: docs/sample-stock.pdf (the
# disc face on label 2 of an Avery L6043 sheet, or of the built-in A4 sheet without the label
# makers' data) and docs/sleevedesk-stock.png (the Print On Stock dialog). Not a test; run it by
# hand:   tests/designer_features/make_stock_docs.sh build/bin/sleevedesk
set -euo pipefail
BIN=$(readlink -f "${1:?usage: make_stock_docs.sh <sleevedesk>}")
here=$(cd "$(dirname "$0")" && pwd)
docs="$here/../../docs"
. "$here/../e2e/lib.sh"

e2e_init
e2e_start_xvfb
e2e_spawn openbox
trap e2e_cleanup EXIT
export XDG_CONFIG_HOME="$E2E_TMP/config" XDG_CACHE_HOME="$E2E_TMP/cache"

stock="Avery L6043"
LC_ALL=C "$BIN" --list-stock disc 2>/dev/null | grep -q '^Avery | L6043 ' || stock="Plain CD-A4-2"
LC_ALL=C "$BIN" --as disc --stock "$stock" --labels 2 --export-pdf "$docs/sample-stock.pdf" "$here/cover.qwd"
echo "wrote $docs/sample-stock.pdf ($stock, label 2)"

e2e_spawn "$BIN" "$here/cover.qwd"
win=$(timeout 20 xdotool search --sync --onlyvisible --class sleevedesk 2>/dev/null | head -n 1) || true
[ -n "$win" ] || e2e_fail "the design window did not appear"
xdotool windowmove --sync "$win" 0 0
sleep 0.5
# The cover's menu: its last entry is Print On Stock….
xdotool mousemove --window "$win" 200 200 click 3
sleep 0.5
xdotool key Up Return
dialog=$(timeout 10 xdotool search --sync --onlyvisible --name '^Print On Stock$' 2>/dev/null | head -n 1) || true
[ -n "$dialog" ] || e2e_fail "the Print On Stock dialog did not appear"
xdotool windowmove --sync "$dialog" 0 0
sleep 0.3
xdotool type "avery"
sleep 0.8
import -window root -crop 1130x440+0+0 +repage "$docs/sleevedesk-stock.png"
echo "wrote $docs/sleevedesk-stock.png"
