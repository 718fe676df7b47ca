#!/usr/bin/env bash
# Checks that the C++ sources are laid out as .clang-format says, changing nothing.
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.h.in')

echo "Checking the layout of ${#files[@]} C++ files with $(clang-format --version)"
clang-format --dry-run --Werror "${files[@]}"
