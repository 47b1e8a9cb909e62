#!/bin/sh
# Redraws the PNG sizes of the application icon from data/icons/kestrova.svg.
# Needs rsvg-convert (Debian package librsvg2-bin); the PNGs are committed, so
# building the program does not need it.
set -eu
cd "$(dirname "$0")/../data/icons"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" kestrova.svg -o "kestrova-$size.png"
done
