#!/usr/bin/env bash
# Configures and builds into ./build (or $1).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
shift || true
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$dir" "${launcher[@]}" "$@" >/dev/null
cmake --build "$dir" -j2
