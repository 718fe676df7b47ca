#!/usr/bin/env bash
# Builds Vantrel with warnings as errors, AddressSanitizer and UBSan, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset strict >/dev/null
cmake --build --preset strict
ctest --preset strict
