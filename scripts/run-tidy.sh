#!/usr/bin/env bash
# Runs clang-tidy with the build's compile commands ($1).
#  - The product, every C++ source outside tests/, bench/ and fuzz/ (a new
#    library folder is taken in as it comes): every check in .clang-tidy.
#  - Tests and benchmarks: a few cheap checks for the faults a test itself can
#    hide (a moved-from or dangling object, a loop that cannot end, a result
#    dropped, a comparison with itself). The full set costs four times the
#    parse on their long, macro-built functions; they are built with every
#    warning as an error either way.
# Findings in our headers count wherever they are included from.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
tidy=$(command -v run-clang-tidy-14 || command -v run-clang-tidy)
mapfile -t product < <(git ls-files '*.cpp' | grep -v -E '^(tests|bench|fuzz)/')
mapfile -t checks < <(git ls-files '*.cpp' | grep -E '^(tests|bench)/')
folders=$(git ls-files '*.h' | xargs -n1 dirname | sort -u | paste -s -d'|')
headers="^$PWD/($folders)/[^/]*\$"
jobs=$(nproc 2>/dev/null || echo 2)
log=$(mktemp)
trap 'rm -f "$log"' EXIT

run() { # label, extra arguments..., --, files...
  local label=$1 start=$SECONDS
  shift
  local args=()
  while [ "$1" != "--" ]; do
    args+=("$1")
    shift
  done
  shift
  if ! "$tidy" -p "$build" -j "$jobs" -quiet -header-filter "$headers" "${args[@]}" "${@/#/$PWD/}" 2>&1 |
    sed "s/\x1b\[[0-9;]*m//g" >"$log"; then
    grep -E '(warning|error):' "$log" | sort -u | head -n 50
    echo "clang-tidy: findings above ($label)"
    exit 1
  fi
  echo "clang-tidy: $# $label files clean in $((SECONDS - start)) s"
}

run product -- "${product[@]}"
cheap=-*,bugprone-use-after-move,bugprone-dangling-handle,bugprone-infinite-loop,bugprone-unused-return-value
cheap+=,bugprone-undefined-memory-manipulation,misc-redundant-expression,modernize-use-override
run "test and benchmark" "-checks=$cheap" -- "${checks[@]}"
