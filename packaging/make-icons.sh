#!/usr/bin/env bash
# Renders the Windows icon and the PNG icons (the Linux window's own, the web page's) from the
# scalable one. Run it after changing the SVG; its output is kept in the repository so that
# building needs neither tool.
# Needs: librsvg2-bin, imagemagick.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for size in 16 32 48 256; do
    rsvg-convert -w "$size" -h "$size" linux/kazerima.svg -o "$work/$size.png"
done
convert "$work"/16.png "$work"/32.png "$work"/48.png "$work"/256.png windows/kazerima.ico
mkdir -p icons
for size in 32 64 192 512; do
    rsvg-convert -w "$size" -h "$size" linux/kazerima.svg -o "icons/kazerima-$size.png"
    # No time stamps or other text chunks: the same SVG gives the same bytes.
    convert "icons/kazerima-$size.png" -strip "icons/kazerima-$size.png"
done
