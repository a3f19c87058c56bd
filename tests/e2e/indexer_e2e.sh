#!/usr/bin/env bash
# End-to-end check of sleeveindex: the real program under Xvfb, layouts chosen
# by clicking their buttons, the page printed through CUPS to PDF, and the
# PDF's words found in the columns where the layouts put them.
# Usage: indexer_e2e.sh <path to sleeveindex>
set -euo pipefail
BIN=$(readlink -f "${1:?usage: indexer_e2e.sh <sleeveindex>}")
[ -x "$BIN" ] || { echo "e2e: FAIL: $BIN is not a program" >&2; exit 1; }
. "$(dirname "$0")/lib.sh"

e2e_init
e2e_start_xvfb
e2e_start_cups

# A disc of our own: two folders and three files, names that are one word each.
disc="$E2E_TMP/IndexDisc"
mkdir -p "$disc/Alpha_Folder" "$disc/Beta_Folder"
touch "$disc/apple_notes.txt" "$disc/banana_list.txt" "$disc/cherry_data.csv" \
      "$disc/Alpha_Folder/inside_alpha.txt"
cd "$disc"

e2e_spawn "$BIN"
win=$(e2e_wait_window '^CD-R Data Index Quirewell')
xdotool windowfocus --sync "$win" 2>/dev/null || true

# The window's client coordinates: no window manager, no frame.
click() { xdotool mousemove --window "$win" "$1" "$2" click 1; }
option_y() { echo $((32 + 16 * ($1 - 1) + 6)); }
width_of() { xdotool getwindowgeometry "$win" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p'; }
width_is() { [ "$(width_of)" = "$1" ]; }
wait_width()
{
    e2e_until "$E2E_WAIT" width_is "$1" || e2e_fail "window width $(width_of), expected $1"
}

# "x y word" for every word of the PDF's first page, in points.
words()
{
    pdftotext -f 1 -l 1 -bbox "$1" - |
        awk -F'"' '/<word /{ w=$9; sub(/^>/, "", w); sub(/<\/word>.*/, "", w); print $2, $4, w }'
}

# check_columns PDF WORD PX... : WORD appears once in each column, the columns'
# left edges PX apart as on screen (96 pixels to the inch, 0.75 pt each).
check_columns()
{
    local pdf=$1 word=$2
    shift 2
    local xs
    xs=$(words "$pdf" | awk -v w="$word" '$3 == w { print $1 }' | sort -n | tr '\n' ' ')
    echo "$xs" | awk -v w="$word" -v want="$*" '
        { n = split($0, x, " "); m = split(want, px, " ") }
        END {
            if (n != m) { printf "e2e: FAIL: %s printed %d times, expected %d (x: %s)\n", w, n, m, $0 > "/dev/stderr"; exit 1 }
            for (i = 1; i <= n; i++) {
                d = (x[i] - x[1]) - (px[i] - px[1]) * 0.75
                if (d < -1.5 || d > 1.5) { printf "e2e: FAIL: %s column %d at %.2f pt, expected %.2f\n", w, i, x[i] - x[1], (px[i] - px[1]) * 0.75 > "/dev/stderr"; exit 1 }
            }
        }' || exit 1
}

# The page shows lists, never the controls.
check_no_controls()
{
    local bad
    bad=$(words "$1" | awk '$3 ~ /^(Refresh|Help!|Print|Set-Up|Print Set-Up)$/ || $3 ~ /^([1-9]|1[0-9]|20)$/ { print $3 }' | tr '\n' ' ')
    [ -z "$bad" ] || e2e_fail "captions on the page: $bad"
}

# print_page NAME [KEYS]: prints the page. The two-sided page does not fit
# portrait paper, so the program asks first; KEYS answer it (default: "Tab
# Return", printing as it is, so that the columns keep their places on the
# paper; "Return" takes the offer to turn the page).
print_page()
{
    local mark pdf box
    mark=$(e2e_mark "$1")
    click 410 424 # Print
    if [ "$(width_of)" = 792 ] && [ "${2:-}" != none ]; then
        box=$(e2e_wait_window '^Page Size$')
        xdotool windowfocus --sync "$box" 2>/dev/null || true
        # shellcheck disable=SC2086
        xdotool key ${2:-Tab Return} # through XTEST: the focused box takes them
    fi
    pdf=$(e2e_wait_pdf sleeveindex "$mark" 30) || e2e_fail "nothing printed for $1"
    cp "$pdf" "$E2E_TMP/$1.pdf"
    rm -f "$pdf" # the queue's copy: read, not kept
    echo "$E2E_TMP/$1.pdf"
}

# Layout 8: three folder columns on the first panel, three file columns on the second.
xdotool mousemove --window "$win" 412 "$(option_y 8)"
e2e_wait_title "$win" "2-sides: 3 folder columns plus 3 file columns.  Linked left."
click 412 "$(option_y 8)"
wait_width 792
pdf8=$(print_page layout8)
check_no_controls "$pdf8"
check_columns "$pdf8" Alpha_Folder 0 132 265
check_columns "$pdf8" Beta_Folder 0 132 265
check_columns "$pdf8" apple_notes.txt 435 550 660
check_columns "$pdf8" cherry_data.csv 435 550 660
# The folder columns stand left of the file columns, a panel apart.
words "$pdf8" | awk '$3 == "Alpha_Folder" && (m == "" || $1 < m) { m = $1 } $3 == "apple_notes.txt" && (f == "" || $1 < f) { f = $1 }
    END { if (f - m < (435 - 129) * 0.75) { print "e2e: FAIL: file columns not on the second panel" > "/dev/stderr"; exit 1 } }'
# Pointing at the window's background gives the credit line back.
xdotool mousemove --window "$win" 420 12
credit_shown() { case "$(xdotool getwindowname "$win")" in "CD-R Data Index Quirewell"*) ;; *) return 1 ;; esac; }
e2e_until "$E2E_WAIT" credit_shown || e2e_fail "no credit line over the background: $(xdotool getwindowname "$win")"

# Layout 4: a small folder list over a file column, and five more file columns.
click 412 "$(option_y 4)"
e2e_wait_title "$win" "2-sides: 1 folder plus almost 6 full file columns.  Linked left."
pdf4=$(print_page layout4)
check_no_controls "$pdf4"
for f in apple_notes.txt banana_list.txt cherry_data.csv; do
    check_columns "$pdf4" "$f" 0 132 264 435 550 660
done
# File3 stands 50 pixels lower than File1.
words "$pdf4" | awk '$3 == "apple_notes.txt" { print $1, $2 }' | sort -n | awk '
    NR == 1 { y3 = $2 } NR == 2 { y1 = $2 }
    END { d = (y3 - y1) - 50 * 0.75; if (d < -3 || d > 3) { printf "e2e: FAIL: File3 %.2f pt below File1\n", y3 - y1 > "/dev/stderr"; exit 1 } }'

# Turned to landscape when the program offers it: the names run up the
# portrait sheet the queue makes of it (taller boxes than wide), and the
# next print asks nothing.
pdfl=$(print_page layout4_turned Return)
words "$pdfl" >/dev/null
pdftotext -bbox "$pdfl" - | awk -F'"' '/>apple_notes.txt</ { n++; if ($8 - $4 < 2 * ($6 - $2)) bad++ }
    END { if (n < 6 || bad) { printf "e2e: FAIL: the page was not turned (%d names, %d upright)\n", n, bad > "/dev/stderr"; exit 1 } }'
pdf4b=$(print_page layout4_again none)
[ -n "$(words "$pdf4b")" ] || e2e_fail "nothing on the page printed after turning"

# Still alive and usable after printing.
kill -0 "${E2E_PIDS[0]}" || e2e_fail "sleeveindex ended"
[ "$(width_of)" = 792 ] || e2e_fail "the layout changed while printing"
echo "e2e: sleeveindex printed layouts 8 and 4 with every name in its column"
