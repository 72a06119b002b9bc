#!/usr/bin/env bash
# Renders the Windows icon from the scalable one. Run it after changing the SVG; its output is
# kept in the repository so that building needs neither tool.
# Needs: librsvg2-bin, imagemagick.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for size in 16 32 48 256; do
    rsvg-convert -w "$size" -h "$size" ../linux/kazerima.svg -o "$work/$size.png"
done
convert "$work"/16.png "$work"/32.png "$work"/48.png "$work"/256.png kazerima.ico
