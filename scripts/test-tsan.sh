#!/usr/bin/env bash
# Builds suites whose code runs on several threads with ThreadSanitizer, and runs them with
# tests/tsan.supp. Only these suites and what they link and start are built.
#
# VANTREL_TSAN_SUITES names the suites (default below). The model's and the services' suites are
# left out until they run clean: ThreadSanitizer does not see the hand-offs through Qt's event
# queue and GLib, and reports what they hand over (VANTREL_TSAN_SUITES="vantrel_model" shows them).
set -euo pipefail
cd "$(dirname "$0")/.."
read -r -a suites <<<"${VANTREL_TSAN_SUITES:-vantrel_platform}"
scripts/install-deps.sh
cmake --preset tsan >/dev/null
cmake --build --preset tsan --target "${suites[@]/%/_tests}"
ctest --preset tsan -L "^($(IFS='|'; echo "${suites[*]}"))\$"
