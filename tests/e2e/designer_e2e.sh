#!/usr/bin/env bash
# End-to-end check of sleevedesk: the real program under Xvfb types both
# headlines and some titles, switches to the back cover, posts the copyright
# notice and prints through the CUPS "PDF" queue; the PDF's words must stand
# where the cover shows them and the dashed cut line must be the panel's
# width on paper. Pointing at controls must put their help into the title.
#
# Usage: designer_e2e.sh <path to sleevedesk> [--sample DIR]
#   --sample DIR  also places a picture and two logos, and leaves the printed
#                 PDF and a PNG of its page in DIR as sample-cover.pdf/.png.
set -euo pipefail
BIN=$(readlink -f "${1:?usage: designer_e2e.sh <sleevedesk> [--sample DIR]}")
[ -x "$BIN" ] || { echo "e2e: FAIL: $BIN is not a program" >&2; exit 1; }
SAMPLE_DIR=""
if [ "${2:-}" = "--sample" ]; then
    SAMPLE_DIR=$(readlink -f "${3:?--sample needs a folder}")
    mkdir -p "$SAMPLE_DIR"
fi
HERE=$(dirname "$(readlink -f "$0")")

# What the check runs on, installed when missing (Debian package names).
install_missing()
{
    local need=() pair tool pkg
    for pair in Xvfb:xvfb xdotool:xdotool xdpyinfo:x11-utils cupsd:cups lpadmin:cups \
                pdftotext:poppler-utils pdftocairo:poppler-utils pdfinfo:poppler-utils \
                convert:imagemagick; do
        tool=${pair%%:*} pkg=${pair#*:}
        command -v "$tool" >/dev/null 2>&1 || PATH=$PATH:/usr/sbin command -v "$tool" >/dev/null 2>&1 || need+=("$pkg")
    done
    [ -f /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd ] || need+=(printer-driver-cups-pdf)
    [ -n "$(fc-list 'Liberation Sans' 2>/dev/null)" ] || need+=(fonts-liberation)
    [ ${#need[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo -n"
    echo "e2e: installing ${need[*]}" >&2
    { $sudo apt-get update -qq &&
      DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
          $(printf '%s\n' "${need[@]}" | sort -u) >/dev/null; } ||
        echo "e2e: could not install ${need[*]}" >&2
}
install_missing
export PATH=$PATH:/usr/sbin

. "$HERE/lib.sh"
e2e_init
e2e_start_xvfb
e2e_start_cups
cd "$E2E_TMP"

# ---------------------------------------------------------------- the program

e2e_spawn "$BIN"
win=$(e2e_wait_search --class sleevedesk) || true
[ -n "$win" ] || e2e_fail "the design window did not appear"

# Window coordinates are client coordinates: there is no window manager.
at() { xdotool mousemove --window "$1" "$2" "$3"; }
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }
type_into() # WINDOW X Y TEXT: click a field and type
{
    click "$1" "$2" "$3"
    xdotool windowfocus --sync "$1" 2>/dev/null || true
    xdotool type --delay 15 "$4"
}

# ---------------------------------------------------------------- help texts

at "$win" 490 240 # the grey background
has_credit() { credit=$(xdotool getwindowname "$win") && [ -n "$credit" ] && [ "$credit" != sleevedesk ]; }
e2e_until "$E2E_WAIT" has_credit || e2e_fail "no credit line over the window background"
at "$win" 444 472 # Print
e2e_wait_title "$win" "Prints design to paper in most ink and laser jet printers.  Outside line is CUT zone to fit case.  Also see: Print Set Up."
at "$win" 622 57 # TLLR
e2e_wait_title "$win" "Adjust the LEFT to RIGHT centering of your top line of text in pixels."
at "$win" 716 105 # Text3, the line thickness
e2e_wait_title "$win" "Changes the thickness of BOTH top and bottom lines."
at "$win" 12 200 # the bare panel
e2e_wait_title "$win" "$credit"

# ---------------------------------------------------------------- the cover

type_into "$win" 628 33 "MIDNIGHT ORCHESTRA" # Text1
type_into "$win" 628 270 "Harbour Lights"    # Text2

# True while a window titled like $1 is shown.
shown() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
gone() { ! shown "$1"; }

# choose_file WINDOW X Y PATH: press a picture button and answer its file dialog.
choose_file()
{
    click "$1" "$2" "$3"
    local dlg
    dlg=$(e2e_wait_window '^Open$')
    xdotool windowfocus --sync "$dlg" 2>/dev/null || true
    xdotool type --delay 10 "$4"
    xdotool key Return
    e2e_until "$E2E_WAIT" gone '^Open$' || e2e_fail "the file dialog stayed open"
}

if [ -n "$SAMPLE_DIR" ]; then
    # A full cover: a picture, two logos and the outer box.
    convert -size 1800x1300 -seed 11 plasma:lightyellow-lightskyblue -blur 0x4 "$E2E_TMP/picture.jpg"
    convert -size 240x240 xc:white -fill '#1f3a68' -draw 'circle 120,120 120,6' -fill white \
        -font Liberation-Sans-Bold -pointsize 92 -gravity center -annotate 0 'HR' "$E2E_TMP/logo1.jpg"
    convert -size 240x240 xc:white -fill '#b8452a' -draw 'roundrectangle 10,10 230,230 40,40' -fill white \
        -font Liberation-Serif-Bold -pointsize 70 -gravity center -annotate 0 'LIVE' "$E2E_TMP/logo2.gif"
    choose_file "$win" 568 152 "$E2E_TMP/picture.jpg" # Picture
    choose_file "$win" 568 192 "$E2E_TMP/logo1.jpg"   # Logo 1
    choose_file "$win" 568 224 "$E2E_TMP/logo2.gif"   # Logo 2
    click "$win" 552 316                              # Show Box
fi

click "$win" 688 396 # Enter Title Names
titles=$(e2e_wait_window '^List of Titles$')
xdotool windowmove --sync "$titles" 780 0 2>/dev/null || xdotool windowmove "$titles" 780 0
placed() { xdotool getwindowgeometry "$1" 2>/dev/null | grep -q "Position: $2,$3 "; }
e2e_until "$E2E_WAIT" placed "$titles" 780 0 || e2e_fail "the titles window did not move aside"
type_into "$titles" 120 17 "Anchor"
xdotool key Return
xdotool type --delay 15 "Breakwater"
xdotool key Return
xdotool type --delay 15 "Compass"
type_into "$titles" 360 17 "Driftwood" # Text11, the right column
if [ -n "$SAMPLE_DIR" ]; then
    type_into "$titles" 120 89 "Deep Water" # Text4
    for t in "Evening Tide" "Foghorn Waltz"; do
        xdotool key Return
        xdotool type --delay 15 "$t"
    done
    type_into "$titles" 360 41 "Gulls Over Pier Nine" # Text12
    for t in "Home Port" "Iron Keel" "Jetty Lamps" "Keeper's Song"; do
        xdotool key Return
        xdotool type --delay 15 "$t"
    done
    type_into "$titles" 240 257 "Published by Quayside Records"  # Text21
    type_into "$titles" 120 281 "Produced by M. Okafor"         # Text22
    type_into "$titles" 360 281 "Engineered by L. Brandt"       # Text23
    type_into "$titles" 240 305 "Recorded live at the Old Custom House, 14 and 15 March.  Thanks to all who came." # Text24
fi
at "$titles" 360 281 # Text23, the engineer line
e2e_wait_title "$titles" "Enter engineer or programmer name here.  Option to show as small font."
at "$titles" 244 120 # between the columns
e2e_wait_title "$titles" "List of Titles"

click "$win" 536 396 # Show Titles
click "$win" 176 472 # Back Cover
click "$win" 552 360 # Post Copyright
if [ -n "$SAMPLE_DIR" ]; then
    type_into "$win" 628 377 "Quayside Records" # Text12, the owner
    click "$win" 648 360                       # Add ( P )
fi
at "$win" 720 357    # the year field, shown with the notice
e2e_wait_title "$win" "Shows the current time-clock year or you can manually change this to any other year."

# ---------------------------------------------------------------- print

# "Print Set Up" shows the printer dialog; cancelling it changes nothing.
click "$win" 340 472
setup=$(e2e_wait_window '^Print Set Up$')
xdotool windowfocus --sync "$setup" 2>/dev/null || true
xdotool key Escape
e2e_until "$E2E_WAIT" gone '^Print Set Up$' || e2e_fail "the printer dialog did not close"

mark=$(e2e_mark cover)
click "$win" 444 472 # Print
pdf=$(e2e_wait_pdf 'Untitled?cover' "$mark" 60) || e2e_fail "nothing was printed"
cp "$pdf" "$E2E_TMP/cover.pdf"
rm -f "$pdf" # the queue's copy is ours; keep its folder tidy
pdf="$E2E_TMP/cover.pdf"

# The window is whole again: hidden controls take no pointer, so their help
# shows only once they are back.
at "$win" 552 360
e2e_wait_title "$win" "Displays a default copyright notice at the bottom of the cover (you can modify date or add name)."
at "$win" 720 357
e2e_wait_title "$win" "Shows the current time-clock year or you can manually change this to any other year."
if shown '^List of Titles$'; then
    e2e_fail "the titles window is visible after printing"
fi

# ---------------------------------------------------------------- the page

# The dashed cut line: everything printed lies inside it, so the ink's box at
# 300 pixels per inch is the outline, and its corner is the cover's (0, 0).
pdftocairo -png -r 300 -f 1 -l 1 -singlefile "$pdf" "$E2E_TMP/page"
read -r iw ih ix iy < <(convert "$E2E_TMP/page.png" -fuzz 25% -trim -format '%w %h %X %Y\n' info: | tr -d '+')
read -r ox oy < <(awk -v ix="$ix" -v iy="$iy" 'BEGIN { printf "%.2f %.2f\n", ix / 300 * 72, iy / 300 * 72 }')

# That corner is the printable area's: inside the paper's imageable area (from
# the queue's PPD) and no further in than Qt's page margins put it.
read -r page_w page_h < <(pdfinfo "$pdf" | awk '/^Page size:/ { printf "%.0f %.0f\n", $3, $5 }')
read -r ax ay < <(awk -F'"' -v w="$page_w" -v h="$page_h" '
    /^\*PaperDimension / { split($2, d, " "); if (d[1] + 0 == w && d[2] + 0 == h) { split($1, n, /[ \/:]/); want = n[2] } }
    /^\*ImageableArea / { split($1, n, /[ \/:]/); area[n[2]] = $2 }
    END { if (want == "" || !(want in area)) { print "0 0"; exit }
          split(area[want], a, " "); printf "%.2f %.2f\n", a[1], h - a[4] }' "$E2E_TMP/cups/ppd/PDF.ppd")
awk -v iw="$iw" -v ih="$ih" -v ox="$ox" -v oy="$oy" -v ax="$ax" -v ay="$ay" 'BEGIN {
    wi = iw / 300; hi = ih / 300
    printf "e2e: cut line %.3f x %.3f in, its corner at (%.2f, %.2f) pt\n", wi, hi, ox, oy > "/dev/stderr"
    if (wi < 5.406 - 0.012 || wi > 5.406 + 0.012) { printf "e2e: FAIL: the cut line is %.3f in wide, expected 5.406\n", wi > "/dev/stderr"; exit 1 }
    if (hi < 4.75 - 0.012 || hi > 4.75 + 0.012) { printf "e2e: FAIL: the cut line is %.3f in high, expected 4.75\n", hi > "/dev/stderr"; exit 1 }
    if (ox < ax - 0.5 || oy < ay - 0.5 || ox > ax + 36 || oy > ay + 36) { printf "e2e: FAIL: the cover starts at (%.2f, %.2f) pt, outside the printable corner (%.2f, %.2f)\n", ox, oy, ax, ay > "/dev/stderr"; exit 1 }
}' || exit 1

words()
{
    pdftotext -f 1 -l 1 -bbox "$1" - |
        awk -F'"' '/<word /{ w=$9; sub(/^>/, "", w); sub(/<\/word>.*/, "", w); print $2, $4, $6, w }'
}
words "$pdf" >"$E2E_TMP/words.txt"

# Through CUPS the font is embedded again and the top of a word moves down by
# about a fifth of its size: x is compared tightly, y within DY points.

# expect_word WORD XPX YPX DY: the word's left and top, in pixels of the cover.
expect_word()
{
    awk -v w="$1" -v px="$2" -v py="$3" -v dy="$4" -v ox="$ox" -v oy="$oy" '
        $4 == w { n++; x = $1; y = $2 }
        END {
            if (n != 1) { printf "e2e: FAIL: \"%s\" printed %d times\n", w, n > "/dev/stderr"; exit 1 }
            ex = ox + px * 0.75; ey = oy + py * 0.75
            if (x - ex > 1 || ex - x > 1 || y - ey > dy || ey - y > dy) {
                printf "e2e: FAIL: \"%s\" at (%.2f, %.2f) pt, expected (%.2f, %.2f)\n", w, x, y, ex, ey > "/dev/stderr"; exit 1 }
        }' "$E2E_TMP/words.txt" || exit 1
}

# expect_centred "WORDS..." YPX DY: a centred headline, across the 519-pixel panel.
expect_centred()
{
    awk -v words="$1" -v py="$2" -v dy="$3" -v ox="$ox" -v oy="$oy" '
        BEGIN { n = split(words, want, " "); for (i = 1; i <= n; i++) need[want[i]] = 1 }
        ($4 in need) { if (l == "" || $1 < l) l = $1; if ($3 > r) r = $3; y = $2; found[$4] = 1 }
        END {
            for (w in need) if (!(w in found)) { printf "e2e: FAIL: \"%s\" is not on the page\n", w > "/dev/stderr"; exit 1 }
            mid = (l + r) / 2; emid = ox + 519 / 2 * 0.75; ey = oy + py * 0.75
            if (mid - emid > 1.5 || emid - mid > 1.5 || y - ey > dy || ey - y > dy) {
                printf "e2e: FAIL: \"%s\" centred at %.2f, top %.2f pt; expected %.2f, %.2f\n", words, mid, y, emid, ey > "/dev/stderr"; exit 1 }
        }' "$E2E_TMP/words.txt" || exit 1
}

expect_centred "MIDNIGHT ORCHESTRA" 8 4.5 # 18 pt
expect_centred "Harbour Lights" 408 3.5   # 13.5 pt
expect_word Anchor 50 80 2.5              # 8 pt titles
expect_word Breakwater 50 100 2.5
expect_word Compass 50 120 2.5
expect_word Driftwood 300 80 2.5
grep -q ' Copyright$' "$E2E_TMP/words.txt" || e2e_fail "the copyright notice is not on the page"
grep -q ' Reserved\.$' "$E2E_TMP/words.txt" || e2e_fail "the copyright notice is cut short"
if grep -E ' (Print|Save|Open|Font|Picture|Thickness)$' "$E2E_TMP/words.txt"; then
    e2e_fail "editing controls reached the page"
fi

if [ -n "$SAMPLE_DIR" ]; then
    cp "$pdf" "$SAMPLE_DIR/sample-cover.pdf"
    pdftocairo -png -r 110 -f 1 -l 1 -singlefile "$pdf" "$SAMPLE_DIR/sample-cover"
    e2e_log "sample written to $SAMPLE_DIR"
fi

kill -0 "${E2E_PIDS[0]}" 2>/dev/null || e2e_fail "sleevedesk ended"
echo "e2e: sleevedesk printed the back cover with its headlines, titles and notice where the cover shows them"
