#!/usr/bin/env bash
# Builds the fuzz targets (design files; CUE sheets, playlists and text lists; audio files; label stock
# templates) with libFuzzer,
# AddressSanitizer and UBSan.
#   fuzz/build.sh [out-dir]           (default: build-fuzz/, ignored by git)
# Then, for example, ten minutes on one core:
#   mkdir -p fuzz/corpus-run
#   build-fuzz/designfile_fuzzer -jobs=1 -workers=1 -max_total_time=600 \
#       -dict=fuzz/designfile.dict fuzz/corpus-run fuzz/corpus
# (the first corpus folder, ignored by git, receives new inputs; fuzz/corpus stays the
# hand-written seeds).
# A crash leaves crash-<sha1> in the current folder: copy it to fuzz/regressions/ once fixed,
# and the ctest test designfile_corpus_replay keeps replaying it.
# The library's sources come from its own CMakeLists.txt: this configures a tree of its own
# with SLEEVE_FUZZ and builds the one target.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
out=${1:-$root/build-fuzz}

cxx=${CXX:-clang++-14}
command -v "$cxx" >/dev/null || cxx=clang++
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

cmake -S "$root" -B "$out" "${launcher[@]}" -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSLEEVE_FUZZ=ON -DSLEEVE_BUILD_TESTS=OFF -DSLEEVE_BUILD_BENCH=OFF >/dev/null
cmake --build "$out" --target designfile_fuzzer tracklist_fuzzer tag_fuzzer labelstock_fuzzer -j2
echo "built $out/designfile_fuzzer $out/tracklist_fuzzer $out/tag_fuzzer $out/labelstock_fuzzer"
