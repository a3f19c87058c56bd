#!/usr/bin/env bash
# Makes docs/sleevedesk-menu.png with the real program under Xvfb: the cover's
# context menu, Open Recent unfolded. Not a test; run it by hand:
#   tests/designer_features/make_docs.sh build/bin/sleevedesk
set -euo pipefail
BIN=$(readlink -f "${1:?usage: make_docs.sh <sleevedesk>}")
here=$(cd "$(dirname "$0")" && pwd)
docs="$here/../../docs"
. "$here/../e2e/lib.sh"

e2e_init
e2e_start_xvfb
# Menus and dialogs take the keyboard under a window manager, as on a desktop.
e2e_spawn openbox
covers=/tmp/Covers
rm -rf "$covers"
mkdir -p "$covers"
trap 'rm -rf "$covers"; e2e_cleanup' EXIT
export XDG_CONFIG_HOME="$E2E_TMP/config"

# Designs as a person keeps them; the last one was moved away since.
convert -size 1200x900 -seed 7 plasma:navy-lightskyblue -blur 0x3 "$covers/harbour.jpg"
design() # NAME HEADLINE PICTURE
{
    awk -v h="$2" -v p="$3" 'BEGIN { RS = "\r\n"; ORS = "\r\n" } NR == 1 { $0 = h } NR == 14 { $0 = p } { print }' \
        "$here/cover.qwd" >"$covers/$1.qwd"
}
design "Winter Sessions" "WINTER SESSIONS" ""
design "Gone Fishing" "GONE FISHING" ""
design "Harbour Lights" "HARBOUR LIGHTS" "$covers/harbour.jpg"
mkdir -p "$XDG_CONFIG_HOME/Sleeve"
printf '[General]\nRecentDesigns=%s, %s, %s\n' "$covers/Gone Fishing.qwd" "$covers/Old Demo Tape.qwd" \
    "$covers/Winter Sessions.qwd" >"$XDG_CONFIG_HOME/Sleeve/sleevedesk.conf"

e2e_spawn "$BIN" "$covers/Harbour Lights.qwd"
win=$(timeout 20 xdotool search --sync --onlyvisible --class sleevedesk 2>/dev/null | head -n 1) || true
[ -n "$win" ] || e2e_fail "the design window did not appear"
# Its client area in the top left corner, as the picture shows it.
xdotool windowmove --sync "$win" 0 0
sleep 0.5
# A change to undo: the headline made longer.
xdotool mousemove --window "$win" 700 34 click 1
xdotool key End
xdotool type " II"
sleep 0.3
xdotool mousemove --window "$win" 200 110 click 3
sleep 0.5
# Down to Open Recent (Redo, with nothing to redo, is passed over) and open it.
xdotool key Down Down Down Down Down Right
sleep 0.5
import -window root -crop 880x487+0+0 +repage "$docs/sleevedesk-menu.png"
echo "wrote $docs/sleevedesk-menu.png"
