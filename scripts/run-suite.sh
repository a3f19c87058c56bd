#!/usr/bin/env bash
# Installs what building and running need, builds the programs into
# ./build-run, and starts the suite's launcher. Only the programs are built
# (no tests, no benchmarks, no debug information), as unity translation units
# with Ninja: a first build costs well under half of a plain one. The test
# command builds into ./build and ./build-asan; the trees share nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh run
scripts/build.sh build-run -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DSLEEVE_UNITY=ON -DSLEEVE_BUILD_TESTS=OFF -DSLEEVE_BUILD_BENCH=OFF
exec build-run/bin/sleevegate "$@"
