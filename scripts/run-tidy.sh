#!/usr/bin/env bash
# Runs clang-tidy over our sources with the build's compile commands ($1).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
tidy=$(command -v run-clang-tidy-14 || command -v run-clang-tidy)
mapfile -t files < <(git ls-files '*.cpp' | grep -v -E '^fuzz/')
log=$(mktemp)
if ! "$tidy" -p "$build" -j 2 -quiet "${files[@]/#/$PWD/}" 2>&1 | sed "s/\x1b\[[0-9;]*m//g" >"$log"; then
  grep -E '(warning|error):' "$log" | sort -u | head -n 50
  echo "clang-tidy: findings above"
  rm -f "$log"
  exit 1
fi
rm -f "$log"
echo "clang-tidy: ${#files[@]} files clean"
