#!/usr/bin/env bash
# Installs the Debian packages Vantrel builds and runs with. Safe to run again:
# it only calls apt-get when something is missing, and uses sudo when not root.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-svg-dev qt6-image-formats-plugins
  libcurl4-openssl-dev libxml2-dev libicu-dev zlib1g-dev libcanberra-dev libxcb1-dev
  libgtest-dev libgmock-dev libbenchmark-dev libcpp-httplib-dev
  dbus xvfb xauth openbox xcompmgr xdotool x11-utils x11-xserver-utils sound-theme-freedesktop xdg-utils desktop-file-utils
  appstream man-db file dpkg-dev
  trayer clang-format python3
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
