#!/usr/bin/env bash
# Builds suites whose code runs on several threads with ThreadSanitizer, and runs them with
# tests/tsan.supp. Only these suites and what they link and start are built.
#
# VANTREL_TSAN_SUITES names the suites (default below). Each test runs in a process of its own, as
# ctest runs it: once a process has started a program through QProcess, ThreadSanitizer no longer
# sees the locks its main thread takes, and the tests after it report races that never were.
set -euo pipefail
cd "$(dirname "$0")/.."
read -r -a suites <<<"${VANTREL_TSAN_SUITES:-vantrel_platform vantrel_desktop vantrel_model vantrel_services}"
scripts/install-deps.sh
cmake --preset tsan >/dev/null
cmake --build --preset tsan --target "${suites[@]/%/_tests}"
ctest --preset tsan -L "^($(IFS='|'; echo "${suites[*]}"))\$"
