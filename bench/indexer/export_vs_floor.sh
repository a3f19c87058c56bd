#!/bin/bash
# sleeveindex --export-pdf of a flowed page against bench_pdf_floor (Qt writing
# one line of text to a PDF), medians of N runs each, interleaved; with a second
# sleeveindex given, both are measured in the same run.
# Usage: export_vs_floor.sh BUILD_DIR [OTHER_SLEEVEINDEX] [N]
set -euo pipefail
build=$1 other=${2:-} n=${3:-7}
export QT_QPA_PLATFORM=offscreen
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/many/sub1" "$work/many/sub2"
for i in $(seq 0 317); do : >"$work/many/f$i.txt"; done
ms() { local s; s=$(date +%s%N); "$@" >/dev/null 2>&1 || true; echo $((($(date +%s%N) - s) / 1000000)); }
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR + 1) / 2)]}'; }
for _ in $(seq "$n"); do
    ms "$build/bin/bench_pdf_floor" "$work/floor.pdf" >>"$work/floor"
    ms "$build/bin/sleeveindex" --export-pdf "$work/this.pdf" --layout 4 --flow "$work/many" >>"$work/this"
    [ -z "$other" ] || ms "$other" --export-pdf "$work/other.pdf" --layout 4 --flow "$work/many" >>"$work/other"
done
floor=$(median <"$work/floor")
echo "baseline bench_pdf_floor, median: $floor ms"
for k in this other; do
    [ -s "$work/$k" ] || continue
    m=$(median <"$work/$k")
    echo "sleeveindex --export-pdf ($k), median: $m ms; ratio to floor: $(awk -v a="$m" -v b="$floor" 'BEGIN {printf "%.2f", a / b}')"
done
