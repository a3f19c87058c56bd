#!/usr/bin/env bash
# Makes the index maker's pictures for the docs with the real program under
# Xvfb: docs/sleeveindex-layout{1,4,12}.png and docs/sample-index.pdf (layout
# 4 printed through the CUPS PDF queue). Not a test; run it by hand:
#   tests/indexer/make_docs.sh build/bin/sleeveindex
set -euo pipefail
BIN=$(readlink -f "${1:?usage: make_docs.sh <sleeveindex>}")
here=$(cd "$(dirname "$0")" && pwd)
docs="$here/../../docs"
. "$here/../e2e/lib.sh"

e2e_init
e2e_start_xvfb
e2e_start_cups

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

e2e_spawn "$BIN"
win=$(e2e_wait_window '^CD-R Data Index Quirewell')
xdotool windowfocus --sync "$win" 2>/dev/null || true
click() { xdotool mousemove --window "$win" "$1" "$2" click "${3:-1}"; }
option_y() { echo $((32 + 16 * ($1 - 1) + 6)); }
shot()
{
    local w=$1 out=$2
    xdotool mousemove --window "$win" "$((w - 20))" 20 # over the background: the credit line
    sleep 0.4
    import -window root -crop "${w}x436+0+0" +repage "$out"
    echo "wrote $out"
}
# Scrolls a list down by whole wheel notches (three rows each).
wheel() { local i; for i in $(seq 1 "$3"); do click "$1" "$2" 5; done; }

click 412 "$(option_y 1)"
sleep 0.3
shot 445 "$docs/sleeveindex-layout1.png"

row_y() { echo $((3 + 2 + 14 * $1 + 7)); } # folder rows are 14 pixels high
dclick() { xdotool mousemove --window "$win" "$1" "$2" click --repeat 2 --delay 80 1; }

# Layout 12: three folder-and-file pairs, two of them opened on subfolders.
click 412 "$(option_y 12)"
sleep 0.3
dclick 320 "$(row_y 4)" # Dir3: Music
dclick 600 "$(row_y 3)" # Dir5: Documents
sleep 0.3
shot 792 "$docs/sleeveindex-layout12.png"

# Layout 4: opening the disc's folder again in Dir1 links every list to it;
# each file column is then scrolled on, so that the page lists the folder
# from column to column (a wheel notch is three rows: a row may repeat).
click 412 "$(option_y 4)"
sleep 0.3
dclick 60 "$(row_y 2)"
sleep 0.3
wheel 200 200 9    # File1 after File3's 27 rows
wheel 330 200 19   # File2 after File1's 31
wheel 490 200 29   # File4
wheel 600 200 39   # File5
wheel 710 200 49   # File6, as far as it goes
sleep 0.3
shot 792 "$docs/sleeveindex-layout4.png"
# Two sides need landscape paper: Print Set-Up, Properties, Landscape, OK,
# and the dialog's accept button (positions inside the dialogs).
click 318 424 &
clicker=$!
dlg=$(xdotool search --sync --name '^Print$' | head -n 1)
sleep 1
xdotool mousemove --window "$dlg" 372 50 click 1 &
properties=$!
props=$(xdotool search --sync --name '^Printer Properties$' | head -n 1)
sleep 1
xdotool mousemove --window "$props" 41 236 click 1
xdotool mousemove --window "$props" 411 574 click 1
sleep 0.5
xdotool mousemove --window "$dlg" 298 158 click 1
sleep 0.5
wait "$clicker" "$properties"
mark=$(e2e_mark sample)
click 410 424
pdf=$(e2e_wait_pdf sleeveindex "$mark" 30)
cp "$pdf" "$docs/sample-index.pdf"
rm -f "$pdf"
chmod 644 "$docs/sample-index.pdf"
echo "wrote $docs/sample-index.pdf"
