#!/usr/bin/env bash
# Printer calibration and crop marks through a CUPS queue of the check's own: the correction moves
# the printed tray card's cut line by its offset and nothing else; the calibration page's square
# is 100 mm on paper; crop marks sit 2 mm off the cut line, 5 mm long, and only when asked for.
#
# Usage: calibration_e2e.sh <path to sleevedesk>
set -euo pipefail
BIN=$(readlink -f "${1:?usage: calibration_e2e.sh <sleevedesk>}")
HERE=$(dirname "$(readlink -f "$0")")
DESIGN="$HERE/../designer_features/cover.qwd"
export PATH=$PATH:/usr/sbin
for tool in cupsd lpadmin gs pdfinfo python3; do
    command -v "$tool" >/dev/null || { echo "e2e: SKIP: $tool is not installed" >&2; exit 77; }
done
. "$HERE/lib.sh"
e2e_init
e2e_start_cups
cd "$E2E_TMP"
export XDG_CONFIG_HOME="$E2E_TMP/config" # the calibrations are the check's, never the user's

# print NAME ARGS...: prints on the PDF queue and leaves the PDF as NAME.pdf.
print() {
    local name=$1 mark pdf
    shift
    mark=$(e2e_mark "$name")
    env -u DISPLAY "$BIN" --print "$@" || e2e_fail "--print $* failed"
    pdf=$(e2e_wait_pdf "" "$mark" 60) || e2e_fail "nothing printed for $*"
    mv "$pdf" "$name.pdf"
}
# The marks' extent in mm from the page's top-left corner: left top right bottom.
bbox() {
    local h
    h=$(pdfinfo "$1" | awk '/^Page size:/ {print $5}')
    gs -q -dNOPAUSE -dBATCH -sDEVICE=bbox "$1" 2>&1 |
        awk -v h="$h" '/HiResBoundingBox/ {printf "%.2f %.2f %.2f %.2f\n", $2/72*25.4, (h-$5)/72*25.4, $4/72*25.4, (h-$3)/72*25.4}'
}
# near A B TOLERANCE WHAT
near() { python3 -c "import sys; sys.exit(abs($1-($2))>$3)" || e2e_fail "$4: $1 mm, expected $2"; }
# runs PDF row|column AT_MM FROM_MM TO_MM: the dark runs along a line of the page (a hair wide),
# each as START:END in mm.
runs() {
    gs -q -dNOPAUSE -dBATCH -sDEVICE=pgmraw -r254 -sOutputFile=page.pgm "$1"
    python3 - "$2" "$3" "$4" "$5" <<'PY'
import sys
kind, at, lo, hi = sys.argv[1], *map(float, sys.argv[2:])
raw = open("page.pgm", "rb").read()
head, at_ = [], 0
while len(head) < 4:  # P5, width, height, maximum; "#" lines are comments
    end = raw.index(b"\n", at_)
    line = raw[at_:end]; at_ = end + 1
    if not line.startswith(b"#"): head += line.split()
w, h, px = int(head[1]), int(head[2]), raw[at_:]
dark = lambda x, y: any(px[(y + d) * w + x] < 200 for d in (-1, 0, 1))
n, line = (w, round(at * 10)) if kind == "row" else (h, round(at * 10))
out, start = [], None
for i in range(round(lo * 10), round(hi * 10)):
    d = dark(i, line) if kind == "row" else any(dark(line + d, i) for d in (-1, 0, 1))
    if d and start is None: start = i
    if not d and start is not None: out.append((start, i)); start = None
print(" ".join(f"{a / 10:.2f}:{b / 10:.2f}" for a, b in out))
PY
}

# ---------------------------------------------------------------- calibration moves the cut line
print plain --as tray "$DESIGN"
read -r l0 t0 r0 b0 < <(bbox plain.pdf)
env -u DISPLAY "$BIN" --calibrate PDF --offset 2.0,3.0 || e2e_fail "--calibrate failed"
[ "$(env -u DISPLAY "$BIN" --show-calibration PDF)" = "PDF: offset +2.0, +3.0 mm; scale 100.00 %, 100.00 %" ] ||
    e2e_fail "--show-calibration: $(env -u DISPLAY "$BIN" --show-calibration PDF)"
print moved --as tray "$DESIGN"
read -r l1 t1 r1 b1 < <(bbox moved.pdf)
near "$l1-$l0" 2.0 0.05 "the cut line moved right by"
near "$t1-$t0" 3.0 0.05 "the cut line moved down by"
near "$r1-$l1" "$r0-$l0" 0.05 "the calibrated tray card is"
env -u DISPLAY "$BIN" --calibrate PDF --offset 0,0 --scale 101,101 || e2e_fail "--calibrate --scale failed"
print scaled --as tray "$DESIGN"
read -r l2 t2 r2 b2 < <(bbox scaled.pdf)
near "($r2-$l2)/($r0-$l0)" 1.01 0.0005 "the 1 % larger tray card's width ratio"
env -u DISPLAY "$BIN" --calibrate PDF --offset 0,0 || e2e_fail "--calibrate 0,0 failed"
print again --as tray "$DESIGN"
[ "$(bbox again.pdf)" = "$l0 $t0 $r0 $b0" ] || e2e_fail "without a calibration the print moved: $(bbox again.pdf)"
# A bound is refused with one line, and nothing is kept.
rc=0
env -u DISPLAY "$BIN" --calibrate PDF --offset 10.5,0 2>err.txt || rc=$?
[ "$rc" = 1 ] && [ "$(wc -l <err.txt)" = 1 ] || e2e_fail "an offset of 10.5 mm ended with $rc: $(cat err.txt)"
[ ! -s "$XDG_CONFIG_HOME/Sleeve/sleevedesk.conf" ] || ! grep -q dx "$XDG_CONFIG_HOME/Sleeve/sleevedesk.conf" ||
    e2e_fail "a refused calibration was kept"

# ---------------------------------------------------------------- the calibration page's square
print page --calibration-page
env -u DISPLAY "$BIN" --calibration-page --export-pdf exported.pdf || e2e_fail "--calibration-page --export-pdf failed"
for pdf in page.pdf exported.pdf; do
    read -r l t _ < <(bbox "$pdf")
    # Near the origin (the leftmost ink is a ruler's number 8 mm left of it, the topmost the mark
    # 6 mm above it): the lines scanned below keep clear of the crosshairs by 3 mm.
    ox=$(python3 -c "print($l+8)") oy=$(python3 -c "print($t+6)")
    read -r a b rest < <(runs "$pdf" row "$(python3 -c "print($oy+55.5)")" "$(python3 -c "print($ox-5)")" "$(python3 -c "print($ox+150)")")
    [ -n "$b" ] && [ -z "${rest:-}" ] || e2e_fail "$pdf: not two edges across the square: $a $b $rest"
    near "(${b/:/+})/2-(${a/:/+})/2" 100 0.2 "$pdf: the square's width"
    read -r a b rest < <(runs "$pdf" column "$(python3 -c "print($ox+55.5)")" "$(python3 -c "print($oy-5)")" "$(python3 -c "print($oy+105)")")
    near "(${b/:/+})/2-(${a/:/+})/2" 100 0.2 "$pdf: the square's height"
done
# ---------------------------------------------------------------- crop marks
near "$r0-$l0" 150.8 0.1 "without crop marks the print reaches no further than the cut line"
print marked --as tray --crop-marks "$DESIGN"
read -r l t r b < <(bbox marked.pdf)
near "$r-$l" "150.8+14" 0.1 "with crop marks the print's width"
near "$b-$t" "117.5+14" 0.1 "with crop marks the print's height"
# Along the cut line's top edge, from the left: the mark, 5 mm long, then 2 mm of paper, then the line.
read -r mark line _ < <(runs marked.pdf row "$(python3 -c "print($t+7)")" "$(python3 -c "print($l-1)")" "$(python3 -c "print($l+12)")")
near "${mark#*:}-${mark%:*}" 5 0.15 "the crop mark's length"
near "${line%:*}-${mark#*:}" 2 0.15 "the crop mark's gap to the cut line"
env -u DISPLAY "$BIN" --crop-marks --export-pdf marked-export.pdf --as disc "$DESIGN" || e2e_fail "--crop-marks --export-pdf failed"
read -r l t r b < <(bbox marked-export.pdf)
near "($r-$l)-($b-$t)" 0 0.1 "the disc face's marks are not square round it"

echo "e2e: the calibration moved the print by its offset and scale, and the page's square is 100 mm"
