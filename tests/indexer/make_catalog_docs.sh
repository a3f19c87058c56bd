#!/usr/bin/env bash
# Makes the catalog's pictures for the docs with the real program under Xvfb:
# docs/sample-catalog.pdf (a booklet, written by --export-catalog) and
# docs/sleeveindex-catalog.png (the Catalog command, Ctrl+K, asking what to
# do). Not a test; run it by hand:
#   tests/indexer/make_catalog_docs.sh build/bin/sleeveindex
set -euo pipefail
BIN=$(readlink -f "${1:?usage: make_catalog_docs.sh <sleeveindex>}")
here=$(cd "$(dirname "$0")" && pwd)
docs="$here/../../docs"
. "$here/../e2e/lib.sh"

e2e_init
e2e_start_xvfb

# A backup disc as a person would catalog it: folders in folders.
disc=/tmp/Backup_Disc_2024
rm -rf "$disc"
trap 'rm -rf "$disc"; e2e_cleanup' EXIT
mkdir -p "$disc"/{Documents/{Bank,Insurance,"Taxes 2023"},Music/{"Paper Boats","Northern Sky"},Photos/{2023,2024},Projects/garden}
put() { head -c "$1" /dev/zero >"$disc/$2"; }
put 48213 "Documents/CV 2024.docx"
put 120311 "Documents/Lease.pdf"
for m in 01 02 03 04 05 06 07 08 09 10 11 12; do
    put $((3000000 + 12345 * 10#$m)) "Documents/Bank/Statement 2023-$m.pdf"
done
put 98000 "Documents/Insurance/Car insurance.pdf"
put 87000 "Documents/Insurance/House insurance.pdf"
put 56000 "Documents/Taxes 2023/Tax return.pdf"
put 23000 "Documents/Taxes 2023/Receipts (scanned, all of them, in date order).pdf"
for t in "01 Morning Light" "02 River Song" "03 Slow Train" "04 Harbour Lights" "05 Paper Boats"; do
    put 7340032 "Music/Paper Boats/$t.mp3"
done
for t in "01 Northern Sky" "02 Winter Fields" "03 Blue Hour" "04 Homeward"; do
    put 8388608 "Music/Northern Sky/$t.mp3"
done
for i in $(seq 1001 1060); do put 2411724 "Photos/2023/IMG_$i.jpg"; done
for i in $(seq 2001 2040); do put 3145728 "Photos/2024/IMG_$i.jpg"; done
put 3201 "Projects/garden/plan.txt"
put 912 "readme.txt"
touch -d 2024-03-01 "$disc"/readme.txt

"$BIN" --export-catalog "$docs/sample-catalog.pdf" --paper booklet "$disc"
echo "wrote $docs/sample-catalog.pdf"

cd "$disc"
e2e_spawn "$BIN" "$disc"
win=$(e2e_wait_window '^CD-R Data Index Quirewell')
xdotool windowfocus --sync "$win" 2>/dev/null || true
xdotool key --window "$win" ctrl+k
for i in $(seq 1 100); do
    xdotool search --name '^Catalog$' >/dev/null 2>&1 && break
    sleep 0.05
done
sleep 0.3
import -window root -crop "640x480+0+0" +repage "$docs/sleeveindex-catalog.png"
echo "wrote $docs/sleeveindex-catalog.png"
