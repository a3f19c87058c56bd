#!/usr/bin/env bash
# Builds the fuzz targets (design files; CUE sheets, playlists and text lists) with libFuzzer,
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
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
out=${1:-$root/build-fuzz}
mkdir -p "$out"

cxx=${CXX:-clang++-14}
command -v "$cxx" >/dev/null || cxx=clang++
qt_cflags=$(pkg-config --cflags Qt6Core)
qt_libs=$(pkg-config --libs Qt6Core)

# Qt is built with -reduce-relocations, so code using it must be position independent.
flags=(-std=c++20 -g -O1 -fPIC -fno-omit-frame-pointer
       -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined)

# shellcheck disable=SC2086
"$cxx" "${flags[@]}" $qt_cflags -I"$root/common" -I"$root/designer" \
  "$here/designfile_fuzzer.cpp" "$root/designer/designfile.cpp" "$root/common/textnumber.cpp" \
  $qt_libs -o "$out/designfile_fuzzer"
echo "built $out/designfile_fuzzer"

# The track list readers. TagLib is linked for the audio files a sheet or playlist names; the
# fuzz target itself never reaches it (it parses bytes only).
taglib_cflags=$(pkg-config --cflags taglib)
taglib_libs=$(pkg-config --libs taglib)
# shellcheck disable=SC2086
"$cxx" "${flags[@]}" $qt_cflags $taglib_cflags -I"$root/common" -I"$root/designer" -I"$root/tracklist" \
  "$here/tracklist_fuzzer.cpp" "$root/tracklist/text.cpp" "$root/tracklist/audio.cpp" \
  "$root/tracklist/cue.cpp" "$root/tracklist/playlist.cpp" "$root/tracklist/textlist.cpp" \
  "$root/tracklist/coverformat.cpp" "$root/designer/designfile.cpp" "$root/common/textnumber.cpp" \
  $qt_libs $taglib_libs -o "$out/tracklist_fuzzer"
echo "built $out/tracklist_fuzzer"
