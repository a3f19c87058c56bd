#!/usr/bin/env bash
# Builds the design file fuzz target with libFuzzer, AddressSanitizer and UBSan.
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
