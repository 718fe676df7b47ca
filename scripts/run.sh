#!/usr/bin/env bash
# Builds and starts Vantrel. Arguments are passed to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target vantrel
exec build/release/src/vantrel "$@"
