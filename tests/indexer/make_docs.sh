#!/usr/bin/env bash
# Makes the index maker's pictures for the docs with the real program under
# Xvfb: docs/sleeveindex-layout{1,4,12}.png and docs/sleeveindex-flow.png
# (layout 4, columns flowed), and the sample pages docs/sample-index.pdf and
# docs/sample-index-flow.pdf, written by the program's --export-pdf. Not a
# test; run it by hand:
#   tests/indexer/make_docs.sh build/bin/sleeveindex
set -euo pipefail
BIN=$(readlink -f "${1:?usage: make_docs.sh <sleeveindex>}")
here=$(cd "$(dirname "$0")" && pwd)
docs="$here/../../docs"
. "$here/../e2e/lib.sh"

e2e_init
e2e_start_xvfb

# A backup disc as a person would index it.
disc=/tmp/Backup_Disc_2024
rm -rf "$disc"
mkdir -p "$disc"/{Documents,Music,Photos,Projects,Recipes,"Taxes 2023",Videos}
trap 'rm -rf "$disc"; e2e_cleanup' EXIT
for n in "Budget 2024.xlsx" "Car insurance.pdf" "Christmas list.txt" "Cover letter.docx" \
         "Garden plan.pdf" "Holiday route.kml" "House deeds.pdf" "Letter to Anna.docx" \
         "Passwords (old).kdbx" "Reading list.txt" "Recipe index.txt" "School forms.pdf" \
         "Wedding speech.docx" "Will and testament.pdf" "readme.txt"; do
    touch "$disc/$n"
done
for i in $(seq 1001 1150); do touch "$disc/IMG_$i.jpg"; done
for n in "01 Morning Light.mp3" "02 River Song.mp3" "03 Slow Train.mp3" "04 Harbour Lights.mp3" \
         "05 Northern Sky.mp3" "06 Paper Boats.mp3" "07 Last Dance.mp3" "08 Winter Fields.mp3" \
         "09 Blue Hour.mp3" "10 Homeward.mp3" "11 Lantern.mp3" "12 Coda.mp3"; do
    touch "$disc/Music/$n"
done
for n in "Bank statements 2023.pdf" "CV 2024.docx" "Insurance renewal.pdf" "Lease.pdf" \
         "Mortgage offer.pdf" "Passport scan.pdf" "Pension letter.pdf" "Tax return.pdf" \
         "Utility bills.xlsx" "Warranty - boiler.pdf"; do
    touch "$disc/Documents/$n"
done
cd "$disc"

# The sample pages, from the command line (no window, no printer).
"$BIN" --export-pdf "$docs/sample-index.pdf" --layout 4 "$disc"
"$BIN" --export-pdf "$docs/sample-index-flow.pdf" --layout 4 --flow "$disc" || true # says how many do not fit
echo "wrote $docs/sample-index.pdf and $docs/sample-index-flow.pdf"

e2e_spawn "$BIN"
win=$(e2e_wait_window '^CD-R Data Index Quirewell')
xdotool windowfocus --sync "$win" 2>/dev/null || true
click() { xdotool mousemove --window "$win" "$1" "$2" click "${3:-1}"; }
option_y() { echo $((32 + 16 * ($1 - 1) + 6)); }
width_of() { xdotool getwindowgeometry "$win" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p'; }
wait_width()
{
    local i
    for i in $(seq 1 100); do
        [ "$(width_of)" = "$1" ] && return 0
        sleep 0.05
    done
    e2e_fail "window width $(width_of), expected $1"
}
# layout N: chooses it and waits until its description is in the title bar.
layout()
{
    click 412 "$(option_y "$1")"
    wait_width "$2"
}
shot()
{
    local w=$1 out=$2 i
    xdotool mousemove --window "$win" "$((w - 20))" 20 # over the background: the credit line
    for i in $(seq 1 100); do
        case "$(xdotool getwindowname "$win")" in "CD-R Data Index Quirewell"*) break ;; esac
        sleep 0.05
    done
    import -window root -crop "${w}x436+0+0" +repage "$out"
    echo "wrote $out"
}

layout 1 445
shot 445 "$docs/sleeveindex-layout1.png"

row_y() { echo $((3 + 2 + 14 * $1 + 7)); } # folder rows are 14 pixels high
dclick() { xdotool mousemove --window "$win" "$1" "$2" click --repeat 2 --delay 80 1; }

# Layout 12: three folder-and-file pairs, two of them opened on subfolders.
layout 12 792
dclick 320 "$(row_y 4)" # Dir3: Music
dclick 600 "$(row_y 3)" # Dir5: Documents
shot 792 "$docs/sleeveindex-layout12.png"

# Layout 4: opening the disc's folder again in Dir1 links every list to it.
layout 4 792
dclick 60 "$(row_y 2)"
shot 792 "$docs/sleeveindex-layout4.png"
# Flow columns (Ctrl+L): the title bar says how many files do not fit.
xdotool key ctrl+l
for i in $(seq 1 100); do
    case "$(xdotool getwindowname "$win")" in *"are not shown."*) break ;; esac
    sleep 0.05
done
import -window root -crop "792x436+0+0" +repage "$docs/sleeveindex-flow.png"
echo "wrote $docs/sleeveindex-flow.png ($(xdotool getwindowname "$win"))"
