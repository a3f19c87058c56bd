#!/usr/bin/env bash
# Makes the case set's documents with the real program under Xvfb: docs/sample-set.pdf and
# .png (the complete set on A4), docs/sleevedesk-printas.png (Print As unfolded) and
# docs/sleevedesk-spine.png (the Spine dialog). Not a test; run it by hand:
#   tests/designer_features/make_caseset_docs.sh build/bin/sleevedesk
set -euo pipefail
BIN=$(readlink -f "${1:?usage: make_caseset_docs.sh <sleevedesk>}")
here=$(cd "$(dirname "$0")" && pwd)
docs="$here/../../docs"
. "$here/../e2e/lib.sh"

e2e_init
e2e_start_xvfb
# Dialogs take the keyboard under a window manager, as on a desktop.
e2e_spawn openbox
covers=/tmp/Covers
rm -rf "$covers"
mkdir -p "$covers"
trap 'rm -rf "$covers"; e2e_cleanup' EXIT
export XDG_CONFIG_HOME="$E2E_TMP/config"

convert -size 1200x900 -seed 7 plasma:navy-lightskyblue -blur 0x3 "$covers/harbour.jpg"
design="$covers/Harbour Lights.qwd"
awk -v p="$covers/harbour.jpg" 'BEGIN { RS = "\r\n"; ORS = "\r\n" } NR == 1 { $0 = "HARBOUR LIGHTS" }
    NR == 2 { $0 = "MS Sans Serif" } NR == 3 { $0 = "18" } NR == 14 { $0 = p } { print }' \
    "$here/cover.qwd" >"$design"

LC_ALL=C "$BIN" --export-pdf "$docs/sample-set.pdf" --as set "$design"
pdftocairo -png -r 40 "$docs/sample-set.pdf" "$E2E_TMP/sheet"
convert "$E2E_TMP/sheet-1.png" "$E2E_TMP/sheet-2.png" -bordercolor grey70 -border 1 +append "$docs/sample-set.png"
echo "wrote $docs/sample-set.pdf and sample-set.png"

e2e_spawn "$BIN" "$design"
win=$(timeout 20 xdotool search --sync --onlyvisible --class sleevedesk 2>/dev/null | head -n 1) || true
[ -n "$win" ] || e2e_fail "the design window did not appear"
# Its client area in the top left corner, as the pictures show it.
xdotool windowmove --sync "$win" 0 0
sleep 0.5
# The cover's menu, from its last entry up to Print As, unfolded.
xdotool mousemove --window "$win" 200 200 click 3
sleep 0.5
xdotool key Up Up Up Up Up Up Up Up Right Down Down
sleep 0.5
import -window root -crop 880x487+0+0 +repage "$docs/sleevedesk-printas.png"
echo "wrote $docs/sleevedesk-printas.png"
xdotool key Escape Escape
sleep 0.3
# Spine…, with a text of its own too long for the spine: the dialog says so as it is typed.
xdotool mousemove --window "$win" 200 200 click 3
sleep 0.5
xdotool key Up Up Up Up Up Up Return
sleep 0.8
dialog=$(timeout 10 xdotool search --sync --onlyvisible --name '^Spine$' 2>/dev/null | head -n 1) || true
[ -n "$dialog" ] || e2e_fail "the Spine dialog did not appear"
xdotool windowmove "$dialog" 460 120
sleep 0.3
xdotool type "Harbour Lights - Live at the Pier, recorded on the last night of the summer season with the whole band, the strings and the harbour choir"
sleep 0.3
import -window root -crop 880x487+0+0 +repage "$docs/sleevedesk-spine.png"
echo "wrote $docs/sleevedesk-spine.png"
