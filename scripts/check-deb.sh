#!/usr/bin/env bash
# Builds the Debian package from the release preset and checks it without installing it: the files
# it holds, that every library the program loads comes from a package its Depends line names or
# pulls in, that apt can resolve that line, and that the unpacked program runs on an empty home.
# The package is left in build/release/package/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target vantrel >/dev/null

packages=build/release/package
rm -rf "$packages"
cpack --config build/release/CPackConfig.cmake -G DEB -B "$packages" >/dev/null
deb=$(ls "$packages"/vantrel_*.deb)
scratch=$(mktemp -d -t vantrel-deb.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
root=$scratch/root
program=$root/usr/bin/vantrel
dpkg -x "$deb" "$root"
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

section() { printf '\n== %s\n' "$1"; }

# The package owning a library path. ldd names /lib paths that merged /usr may register under
# /usr/lib, or the other way round.
owner_of() {
  local path=$1 candidate
  for candidate in "$path" "$(readlink -f "$path")" "/usr${path#/usr}" "${path#/usr}"; do
    dpkg -S "$candidate" 2>/dev/null | head -n 1 | cut -d : -f 1 && return 0
  done
  return 1
}

# Package names in a Depends line: alternatives included, versions and architecture qualifiers dropped.
names_in() {
  tr ',|' '\n' <<<"$1" | sed 's/(.*)//; s/:[a-z0-9]*//; s/[[:space:]]//g' | sed '/^$/d' | sort -u
}

section "$(basename "$deb")"
dpkg-deb -f "$deb" Package Version Architecture Maintainer Installed-Size Section Priority Homepage Depends
depends=$(dpkg-deb -f "$deb" Depends)
direct=$(names_in "$depends")
# shellcheck disable=SC2086 # one argument per package
closure=$(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks --no-replaces \
  --no-enhances $direct | grep -v '^ ' | tr -d '<>' | sort -u)

section "Files"
dpkg-deb -c "$deb" | awk '{ print $6 }' | grep -v '/$'

section "Libraries the program links directly (NEEDED): each from a package in Depends"
while read -r library; do
  # "name => path (address)", or "path (address)" for the dynamic loader.
  path=$(ldd "$program" | awk -v library="$library" '$1 == library { print $3 } $1 ~ "/" library "$" { print $1 }')
  if [ -z "$path" ] || [ "$path" = "not" ]; then
    fail "$library is not found on this system"
    continue
  fi
  package=$(owner_of "$path") || { fail "$library ($path) belongs to no package"; continue; }
  if grep -qx "$package" <<<"$direct"; then
    printf '  %-28s %s\n' "$library" "$package"
  else
    fail "$library comes from $package, which the Depends line does not name"
  fi
done < <(objdump -p "$program" | awk '$1 == "NEEDED" { print $2 }')

section "Every library it loads (ldd): each from a package that Depends pulls in"
loaded=0
while read -r path; do
  loaded=$((loaded + 1))
  package=$(owner_of "$path") || { fail "$path belongs to no package"; continue; }
  grep -qx "$package" <<<"$closure" || fail "$path comes from $package, which Depends does not pull in"
done < <(ldd "$program" | awk '$2 == "=>" { print $3 } $1 ~ /^\// { print $1 }')
echo "  $loaded libraries, each from a package in the Depends closure"

section "apt resolves the package (simulated install)"
if apt-get install --simulate --no-install-recommends "./$deb" >"$scratch/apt.log" 2>&1; then
  grep -E '^(Inst|Conf) ' "$scratch/apt.log" | sed 's/^/  /'
else
  fail "apt cannot install the package:"
  cat "$scratch/apt.log"
fi

section "The unpacked files"
tests/install/check-installed.sh "$root/usr" "$(dpkg-deb -f "$deb" Version)" || failures=$((failures + 1))

section "The unpacked program on an empty home"
home=$scratch/home
mkdir -p "$home"
run() {
  echo "\$ vantrel $*"
  env -u XDG_CONFIG_HOME -u XDG_CACHE_HOME -u XDG_DATA_HOME -u LD_LIBRARY_PATH HOME="$home" "$program" "$@" ||
    fail "vantrel $* exited with status $?"
}
run --help
run --list-feeds

echo
if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "$deb is complete, its dependencies are right, and it runs."
