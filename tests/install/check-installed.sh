#!/usr/bin/env bash
# Checks an installed Vantrel below <prefix>: exactly the expected files, icons of the sizes their
# folders claim, a desktop entry, metainfo and man page that their validators accept and that agree
# with each other and with <version>, and a program that starts. A validator that is not installed
# is passed over with a note. Usage: check-installed.sh <prefix> <version>
set -uo pipefail
prefix=$(cd "$1" && pwd)
version=$2
id=org.vantrel.Vantrel
icon_sizes=(16 22 24 32 48 64 128 256 512)
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

scratch=$(mktemp -d -t vantrel-check.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
# The validators and the program may write caches and settings: keep them out of the real home.
export HOME=$scratch XDG_CONFIG_HOME=$scratch/config XDG_CACHE_HOME=$scratch/cache XDG_DATA_HOME=$scratch/data
export LC_ALL=C.UTF-8

expected_files() {
  echo bin/vantrel
  echo share/applications/$id.desktop
  echo share/metainfo/$id.metainfo.xml
  echo share/man/man1/vantrel.1.gz
  for size in "${icon_sizes[@]}"; do
    echo "share/icons/hicolor/${size}x${size}/apps/$id.png"
  done
  echo share/icons/hicolor/scalable/apps/$id.svg
  echo share/icons/hicolor/symbolic/apps/$id-symbolic.svg
}

check_file_list() {
  local installed
  installed=$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | sort)
  if ! diff <(expected_files | sort) <(echo "$installed") >"$scratch/files.diff"; then
    fail "the installed files differ from the expected ones (< missing, > unexpected):"
    cat "$scratch/files.diff" >&2
  fi
  [ -x "$prefix/bin/vantrel" ] || fail "bin/vantrel is not executable"
}

# Width and height from a PNG's header, or nothing when the file is not a PNG.
png_size() {
  [ "$(od -An -tx1 -N8 "$1" | tr -d ' \n')" = 89504e470d0a1a0a ] || return 0
  od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d\n", $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }'
}

check_icon_sizes() {
  local png folder size
  for png in "$prefix"/share/icons/hicolor/*/apps/*.png; do
    folder=$(basename "$(dirname "$(dirname "$png")")")
    size=$(png_size "$png")
    [ "$size" = "$folder" ] || fail "${png#"$prefix"/} is ${size:-not a PNG}, its folder says $folder"
  done
}

# The value of <key> in the main group of a desktop file.
desktop_value() {
  sed -n '/^\[Desktop Entry\]/,/^\[/p' "$1" | sed -n "s/^$2=//p"
}

check_desktop_entry() {
  local entry=$prefix/share/applications/$id.desktop program icon
  [ -f "$entry" ] || return 0
  if command -v desktop-file-validate >/dev/null; then
    # Hints and warnings fail too: a clean entry prints nothing.
    if ! desktop-file-validate "$entry" >"$scratch/desktop.log" 2>&1 || [ -s "$scratch/desktop.log" ]; then
      fail "desktop-file-validate:"
      cat "$scratch/desktop.log" >&2
    fi
  else
    echo "note: desktop-file-validate is not installed; the desktop entry is not validated"
  fi
  program=$(desktop_value "$entry" Exec | awk '{ print $1 }')
  [ -x "$prefix/bin/$program" ] || fail "the desktop entry starts '$program', which is not installed in bin/"
  icon=$(desktop_value "$entry" Icon)
  [ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] ||
    fail "the desktop entry's icon '$icon' is not installed"
  desktop_value "$entry" MimeType | grep -q 'x-scheme-handler/feed;' ||
    fail "the desktop entry does not take feed: links"
}

check_metainfo() {
  local metainfo=$prefix/share/metainfo/$id.metainfo.xml newest
  [ -f "$metainfo" ] || return 0
  if command -v appstreamcli >/dev/null; then
    # Errors, warnings and infos fail; pedantic notes do not.
    appstreamcli validate --no-net --strict --no-color "$metainfo" >"$scratch/appstream.log" 2>&1 ||
      { fail "appstreamcli validate:"; cat "$scratch/appstream.log" >&2; }
  else
    echo "note: appstreamcli is not installed; the metainfo is not validated"
  fi
  grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "the metainfo does not launch $id.desktop"
  newest=$(grep -o '<release version="[^"]*"' "$metainfo" | head -n 1 | cut -d '"' -f 2)
  [ "$newest" = "$version" ] || fail "the metainfo's newest release is '$newest', the program is $version"
}

check_man_page() {
  local page=$prefix/share/man/man1/vantrel.1.gz
  [ -f "$page" ] || return 0
  gzip -t "$page" || fail "the man page is not a valid gzip file"
  zcat "$page" | grep -q "^\.TH VANTREL 1 .*\"Vantrel $version\"" ||
    fail "the man page's title line does not name Vantrel $version"
  if command -v man >/dev/null; then
    MANWIDTH=80 man --warnings -l "$page" >/dev/null 2>"$scratch/man.log"
    [ -s "$scratch/man.log" ] && { fail "man --warnings:"; cat "$scratch/man.log" >&2; }
  else
    echo "note: man is not installed; the man page is not formatted"
  fi
}

check_program_starts() {
  local program=$prefix/bin/vantrel said
  [ -x "$program" ] || return 0
  said=$("$program" --version 2>&1) || fail "vantrel --version failed: $said"
  [ "$said" = "Vantrel $version" ] || fail "vantrel --version says '$said', expected 'Vantrel $version'"
}

check_file_list
check_icon_sizes
check_desktop_entry
check_metainfo
check_man_page
check_program_starts

if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) of the installation failed" >&2
  exit 1
fi
echo "The installation below $prefix is complete and valid."
