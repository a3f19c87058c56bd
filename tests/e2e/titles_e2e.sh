#!/usr/bin/env bash
# Titles that should be empty read empty in the window manager's title bar:
# the window test under Xvfb (xprop on the drive-error window and on the
# designer's window), and the real designer's window at start. Then under
# openbox, with the design window in the top-left corner, the List of Titles
# window's frame lies whole on the screen of SIZE (1280x1024 unless given).
# Usage: titles_e2e.sh <test_empty_titles> <sleevedesk> [SIZE]
set -euo pipefail
TEST=$(readlink -f "${1:?usage: titles_e2e.sh <test_empty_titles> <sleevedesk>}")
DESK=$(readlink -f "${2:?usage: titles_e2e.sh <test_empty_titles> <sleevedesk>}")
E2E_SCREEN=${3:-1280x1024}
. "$(dirname "$0")/lib.sh"

e2e_init
e2e_start_xvfb

"$TEST" -platform xcb || e2e_fail "empty titles under X"

# The real program: its window, found by its class, has no name a desktop would show.
cd "$E2E_TMP"
e2e_spawn "$DESK"
win=$(e2e_wait_search --class sleevedesk) || true
[ -n "$win" ] || e2e_fail "no designer window"
names=$(xprop -id "$win" _NET_WM_NAME WM_NAME)
# An empty name: nothing (or "") after the equals sign.
echo "$names" | grep -Eq '^_NET_WM_NAME\(UTF8_STRING\) = ("")?$' || e2e_fail "designer's name: $names"
echo "$names" | grep -Eq '^WM_NAME\(STRING\) = ("")?$' || e2e_fail "designer's name: $names"
echo "e2e: empty titles read empty"

# Under openbox, the design window's frame at the top: a titles window placed by its client lost
# its title bar above the screen.
e2e_start_wm
e2e_until "$E2E_WAIT" sh -c "xprop -id $win _NET_FRAME_EXTENTS | grep -q =" || e2e_fail "openbox did not frame the designer"
read -r l _ t _ < <(xprop -id "$win" _NET_FRAME_EXTENTS | grep -o '[0-9, ]*$' | tr -d ,)
xdotool windowmove --sync "$win" "$l" "$t" 2>/dev/null || xdotool windowmove "$win" "$l" "$t"
xdotool mousemove --window "$win" 688 396 click 1 # Enter Title Names
titles=$(e2e_wait_window '^List of Titles$')
settled() { local was; was=$(xwininfo -id "$titles" | grep Abs); sleep 0.5; [ "$was" = "$(xwininfo -id "$titles" | grep Abs)" ]; }
e2e_until "$E2E_WAIT" settled
e2e_frame_on_screen "$titles" || e2e_fail "the titles window's frame leaves the $E2E_SCREEN screen: $(xwininfo -id "$titles" | grep Abs)"
