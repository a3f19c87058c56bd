#!/usr/bin/env bash
# Installs what building and running need, builds the programs (no tests, no
# benchmarks) into ./build-run, and starts the suite's launcher. The test
# command builds into ./build; the two trees do not share anything.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh run
scripts/build.sh build-run -DSLEEVE_BUILD_TESTS=OFF -DSLEEVE_BUILD_BENCH=OFF
exec build-run/bin/sleevegate "$@"
