#!/usr/bin/env bash
# Remakes the application icon's PNG sizes in data/icons/hicolor from its SVG drawings with
# rsvg-convert, installing librsvg2-bin when it is missing. The small sizes come from drawings
# made on their own pixel grid (data/icons/sources), so that they stay sharp; 22 px is the 24 px
# drawing without its outer pixel.
set -euo pipefail
cd "$(dirname "$0")/../data/icons"

if ! command -v rsvg-convert >/dev/null; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends librsvg2-bin
fi

name=org.vantrel.Vantrel
scalable=hicolor/scalable/apps/$name.svg

render() { # <size> <svg on stdin>
  local folder=hicolor/$1x$1/apps
  mkdir -p "$folder"
  rsvg-convert --width "$1" --height "$1" --output "$folder/$name.png" /dev/stdin
  echo "$folder/$name.png"
}

render 16 <sources/$name-16.svg
sed 's/viewBox="0 0 24 24"/viewBox="1 1 22 22"/' sources/$name-24.svg | render 22
render 24 <sources/$name-24.svg
for size in 32 48 64 128 256 512; do
  render "$size" <"$scalable"
done
