#!/usr/bin/env bash
# Titles that should be empty read empty in the window manager's title bar:
# the window test under Xvfb (xprop on the drive-error window and on the
# designer's window), and the real designer's window at start.
# Usage: titles_e2e.sh <test_empty_titles> <sleevedesk>
set -euo pipefail
TEST=$(readlink -f "${1:?usage: titles_e2e.sh <test_empty_titles> <sleevedesk>}")
DESK=$(readlink -f "${2:?usage: titles_e2e.sh <test_empty_titles> <sleevedesk>}")
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
