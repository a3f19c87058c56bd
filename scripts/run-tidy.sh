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
# A unit that passed with exactly what clang-tidy sees of it (scripts/tidy-keys.py)
# is not checked again: the results are kept in the user's cache folder, like
# ccache's objects. SLEEVE_TIDY_CACHE=0 checks everything.
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
cache=${XDG_CACHE_HOME:-$HOME/.cache}/sleeve-tidy
mkdir -p "$cache"

run() { # label, extra arguments..., --, files...
  local label=$1 start=$SECONDS
  shift
  local args=()
  while [ "$1" != "--" ]; do
    args+=("$1")
    shift
  done
  shift
  local files=("$@") keys=() key file line
  if [ "${SLEEVE_TIDY_CACHE:-1}" != 0 ]; then
    local salt
    salt="$("$tidy" --version 2>&1; clang-tidy-14 --version 2>&1; cat .clang-tidy; echo "${args[*]} $folders")"
    files=()
    while read -r key file; do
      if [ "$key" = - ] || [ ! -e "$cache/$key" ]; then
        files+=("$file")
        [ "$key" = - ] || keys+=("$cache/$key")
      fi
    done < <(python3 scripts/tidy-keys.py "$build" "$salt" "$@")
  fi
  local kept=$(($# - ${#files[@]}))
  if [ ${#files[@]} -gt 0 ] &&
    ! "$tidy" -p "$build" -j "$jobs" -quiet -header-filter "$headers" "${args[@]}" "${files[@]/#/$PWD/}" 2>&1 |
    sed "s/\x1b\[[0-9;]*m//g" >"$log"; then
    grep -E '(warning|error):' "$log" | sort -u | head -n 50
    echo "clang-tidy: findings above ($label)"
    exit 1
  fi
  [ ${#keys[@]} -eq 0 ] || touch "${keys[@]}"
  echo "clang-tidy: $# $label files clean in $((SECONDS - start)) s ($kept passed before unchanged)"
}

run product -- "${product[@]}"
cheap=-*,bugprone-use-after-move,bugprone-dangling-handle,bugprone-infinite-loop,bugprone-unused-return-value
cheap+=,bugprone-undefined-memory-manipulation,misc-redundant-expression,modernize-use-override
run "test and benchmark" "-checks=$cheap" -- "${checks[@]}"
