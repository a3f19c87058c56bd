#!/usr/bin/env bash
# End-to-end check of importing a track list into sleevedesk: under Xvfb with a window manager
# (openbox, so that dialogs take the keyboard), the titles window's context menu opens the
# chooser, a folder of tagged FLAC files is taken whole (a damaged file among them skipped), the
# preview is confirmed, and the printed PDF (CUPS "PDF" queue) carries the titles in the titles column and the album as
# the top headline.
#
# Usage: trackimport_e2e.sh <path to sleevedesk> [--shot FILE]
#   --shot FILE  also saves a screenshot of the preview dialog as FILE (PNG).
set -euo pipefail
BIN=$(readlink -f "${1:?usage: trackimport_e2e.sh <sleevedesk> [--shot FILE]}")
[ -x "$BIN" ] || { echo "e2e: FAIL: $BIN is not a program" >&2; exit 1; }
SHOT=""
if [ "${2:-}" = "--shot" ]; then
    SHOT=$(readlink -f "${3:?--shot needs a file}")
fi
HERE=$(dirname "$(readlink -f "$0")")
export PATH=$PATH:/usr/sbin
for tool in Xvfb xdotool openbox flac python3 pdftotext import; do
    command -v "$tool" >/dev/null || { echo "e2e: SKIP: $tool is not installed (scripts/install-deps.sh)" >&2; exit 77; }
done

. "$HERE/lib.sh"
e2e_init
e2e_start_xvfb
e2e_start_cups
cd "$E2E_TMP"

# ---------------------------------------------------------------- the music

mkdir -p "$E2E_TMP/Seaward"
python3 - "$E2E_TMP/silence.wav" <<'PY'
import sys, wave
with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(1); w.setsampwidth(2); w.setframerate(8000)
    w.writeframes(b"\0\0" * 8000 * 3)
PY
n=0
for title in "Compass Rose" "Anchor Song" "Breakwater"; do
    n=$((n + 1))
    # Names out of order on purpose: the track numbers decide.
    flac --silent --force -o "$E2E_TMP/Seaward/$((4 - n)) ${title}.flac" \
        --tag="TITLE=$title" --tag="TRACKNUMBER=$n" --tag="ALBUM=Seaward" --tag="ARTIST=Mira Lund" \
        "$E2E_TMP/silence.wav"
done
head -c 30 "$E2E_TMP/Seaward/1 Breakwater.flac" >"$E2E_TMP/Seaward/4 Bonus.flac" # cut short: skipped

# ---------------------------------------------------------------- the program

e2e_spawn openbox
wm_runs() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
e2e_until "$E2E_WAIT" wm_runs || e2e_fail "openbox did not start"
e2e_spawn "$BIN"
win=$(e2e_wait_search --class sleevedesk) || true
[ -n "$win" ] || e2e_fail "the design window did not appear"
xdotool windowactivate --sync "$win" 2>/dev/null || true
click() { xdotool mousemove --window "$1" "$2" "$3" click "${4:-1}"; }

# focus WINDOW: activates it and waits until it has the keyboard focus.
focus()
{
    xdotool windowactivate --sync "$1" 2>/dev/null || true
    e2e_until "$E2E_WAIT" has_focus "$1" || e2e_fail "window $1 did not take the keyboard focus"
}
has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }

click "$win" 688 396 # Enter Title Names
titles=$(e2e_wait_window '^List of Titles$')
xdotool windowactivate --sync "$titles" 2>/dev/null || true
menus=$(xdotool search --onlyvisible --class sleevedesk 2>/dev/null | wc -l)
click "$titles" 244 120 3 # the context menu, between the two columns
more_windows() { [ "$(xdotool search --onlyvisible --class sleevedesk 2>/dev/null | wc -l)" -gt "$1" ]; }
e2e_until "$E2E_WAIT" more_windows "$menus" || true
xdotool key Down Return # its one entry, "Import Track List…"

chooser=$(e2e_wait_window '^Choose a Track List$')
focus "$chooser"
xdotool type --delay 10 "$E2E_TMP/Seaward"
xdotool key Return # into the folder (handled before the next key, which takes the folder shown)
xdotool key alt+w  # Whole Folder
e2e_wait_gone '^Choose a Track List$'

preview=$(e2e_wait_window '^Import Track List$')
focus "$preview"
# Keys go in once the dialog has painted itself (a blank window has a handful of colours): by
# then it has taken in the events before them.
painted() { import -window "$1" "$E2E_TMP/preview.png" && [ "$(convert "$E2E_TMP/preview.png" -format %k info:)" -gt 200 ]; }
e2e_until "$E2E_WAIT" painted "$preview" || true
if [ -n "$SHOT" ]; then
    cp "$E2E_TMP/preview.png" "$SHOT"
    e2e_log "screenshot of the preview: $SHOT"
fi
xdotool key Return # Import
e2e_wait_gone '^Import Track List$'

# ---------------------------------------------------------------- print

xdotool windowactivate --sync "$win" 2>/dev/null || true
mark=$(e2e_mark tracks)
click "$win" 444 472 # Print
pdf=$(e2e_wait_pdf 'Untitled?cover' "$mark" 60) || e2e_fail "nothing was printed"
cp "$pdf" "$E2E_TMP/cover.pdf"
rm -f "$pdf"
pdftotext -f 1 -l 1 -bbox "$E2E_TMP/cover.pdf" - |
    awk -F'"' '/<word /{ w=$9; sub(/^>/, "", w); sub(/<\/word>.*/, "", w); print $2, $4, $6, w }' >"$E2E_TMP/words.txt"

# at WORD: "x y" of the word's box, once on the page.
at()
{
    awk -v w="$1" '$4 == w { n++; x = $1; y = $2 } END { if (n != 1) exit 1; print x, y }' "$E2E_TMP/words.txt" ||
        e2e_fail "\"$1\" is not on the page once: $(tr '\n' ' ' <"$E2E_TMP/words.txt")"
}
read -r x1 y1 < <(at Anchor)
read -r x2 y2 < <(at Breakwater)
read -r x3 y3 < <(at Compass)
grep -q ' Seaward$' "$E2E_TMP/words.txt" || e2e_fail "the album is not the top headline"
grep -q ' Lund$' "$E2E_TMP/words.txt" || e2e_fail "the artist is not the bottom headline"
# In tag order (Compass Rose, Anchor Song, Breakwater), one title line (20 px = 15 pt) apart, in
# one column.
awk -v x1="$x1" -v y1="$y1" -v x2="$x2" -v y2="$y2" -v x3="$x3" -v y3="$y3" 'BEGIN {
    if (y1 - y3 < 14 || y1 - y3 > 16 || y2 - y1 < 14 || y2 - y1 > 16) { printf "e2e: FAIL: title lines at %s %s %s pt\n", y3, y1, y2 > "/dev/stderr"; exit 1 }
    if (x1 != x2 || x1 != x3) { printf "e2e: FAIL: the titles start at x %s %s %s\n", x3, x1, x2 > "/dev/stderr"; exit 1 }
}' || exit 1

kill -0 "${E2E_PIDS[1]}" 2>/dev/null || e2e_fail "sleevedesk ended"
echo "e2e: a folder imported through the titles window's menu printed its titles in tag order"
