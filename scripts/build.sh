#!/usr/bin/env bash
# Configures and builds into ./build (or $1).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
shift || true
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  # Hits across clones in other folders.
  export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true
fi
cmake -S . -B "$dir" "${launcher[@]}" "$@" >/dev/null
cmake --build "$dir" -j2
