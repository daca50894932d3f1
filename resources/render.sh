#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Renders the SVG artwork under svg/ into the PNGs that are compiled into the program.
# The PNGs are committed, so a build never needs this script: run it after editing an SVG
# (or the animation generator) and commit the sources and the PNGs together.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cd "$here"

if ! command -v rsvg-convert >/dev/null 2>&1; then
    apt-get install -y librsvg2-bin
fi
if ! command -v python3 >/dev/null 2>&1; then
    apt-get install -y python3
fi

render() { # render SVG PNG WIDTH HEIGHT
    rsvg-convert --width "$3" --height "$4" --format png --output "$2" "$1"
}

# Device images 0-14 of the list's image list, 32 x 32 with transparency, and 64 x 64 beside
# them as "@2x": a QIcon made from the 32 px file picks that one up on a screen at scale 2.
for i in $(seq -w 0 14); do
    render "svg/icons/device-$i.svg" "icons/device-$i.png" 32 32
    render "svg/icons/device-$i.svg" "icons/device-$i@2x.png" 64 64
done

# Program icon: 256 for the desktop theme, 48 for launchers, 32 for the window and About box.
render svg/icons/nimbrel-utility.svg icons/nimbrel-utility.png 256 256
render svg/icons/nimbrel-utility.svg icons/nimbrel-utility-48.png 48 48
render svg/icons/nimbrel-utility.svg icons/nimbrel-utility-32.png 32 32

# Search animation: the frames' SVGs are generated from one parametric description; 80 x 50
# with a transparent background.
python3 svg/animation/make-frames.py svg/animation
for i in $(seq -w 0 28); do
    render "svg/animation/search-$i.svg" "animation/search-$i.png" 80 50
done

echo "rendered $(ls icons/*.png animation/*.png | wc -l) images"
