#!/usr/bin/env bash
# Builds the suites whose code runs on several threads with ThreadSanitizer, and runs them with
# tests/tsan.supp. Only these suites and what they link are built.
set -euo pipefail
cd "$(dirname "$0")/.."
suites=(vantrel_platform vantrel_desktop vantrel_model vantrel_services)
scripts/install-deps.sh
cmake --preset tsan >/dev/null
cmake --build --preset tsan --target "${suites[@]/%/_tests}"
ctest --preset tsan -L "^($(IFS='|'; echo "${suites[*]}"))\$"
