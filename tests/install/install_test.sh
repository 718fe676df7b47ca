#!/usr/bin/env bash
# Installs the built tree into a temporary prefix and checks what landed there.
# Usage: install_test.sh <cmake> <build folder> <version>
set -euo pipefail
prefix=$(mktemp -d -t vantrel-install.XXXXXX)
trap 'rm -rf "$prefix"' EXIT
"$1" --install "$2" --prefix "$prefix" >/dev/null
"$(dirname "$0")/check-installed.sh" "$prefix" "$3"
