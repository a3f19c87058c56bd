#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless.
# The last line printed is ctest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
stage() { echo "== $1 ($(date +%T))"; }
stage install
scripts/install-deps.sh
stage build
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
stage test
export QT_QPA_PLATFORM=offscreen
cd build
ctest --output-on-failure -j2 2>&1 | tee ctest.log | grep -v -E '^(100% tests passed|[0-9]+% tests passed|Total Test time)' || true
summary=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' ctest.log | tail -n 1)
total=$(grep -E '^Total Test time' ctest.log | tail -n 1)
echo "$total"
echo "$summary"
echo "$summary" | grep -q ' 0 tests failed'
