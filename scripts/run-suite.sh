#!/usr/bin/env bash
# Installs what is missing, builds, and starts the suite.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build
bin=build/bin
if [ -x "$bin/sleevegate" ]; then exec "$bin/sleevegate"; fi
exec "$bin/sleevedesk"
