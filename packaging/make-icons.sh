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
done
# For phones' home screens, opaque: the icon's own dark colour fills its rounded corners. The
# maskable one, which a phone cuts to its own shape, keeps the wheel and its pointer inside the
# middle 80% circle that every such shape leaves whole.
background='#111111'
rsvg-convert -w 180 -h 180 -b "$background" linux/kazerima.svg -o icons/kazerima-180.png
rsvg-convert -w 440 -h 440 -b "$background" linux/kazerima.svg -o "$work/maskable.png"
convert -size 512x512 "xc:$background" "$work/maskable.png" -gravity center -composite \
    icons/kazerima-maskable-512.png
for icon in icons/*.png; do
    # No time stamps or other text chunks: the same SVG gives the same bytes.
    convert "$icon" -strip "$icon"
done
