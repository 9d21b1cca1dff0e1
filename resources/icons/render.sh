#!/usr/bin/env bash
# Renders the hand-drawn SVG icons into the PNGs the application loads.
# The PNGs are committed, so building needs no SVG renderer; run this again
# (needs rsvg-convert from Debian's librsvg2-bin) after editing an SVG.
set -euo pipefail
cd "$(dirname "$0")"
for svg in *.svg; do
  name=${svg%.svg}
  if [ "$name" = quorvella ]; then
    for size in 256 128 64 48 32; do
      rsvg-convert -w "$size" -h "$size" "$svg" -o "quorvella-$size.png"
    done
    cp quorvella-256.png quorvella.png
  else
    rsvg-convert -w 64 -h 64 "$svg" -o "$name.png"
  fi
done
