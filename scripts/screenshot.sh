#!/usr/bin/env bash
# Renders the README's picture of the window: a game just stopped on a name.
# Usage: screenshot.sh path/to/kazerima out.png
set -euo pipefail

app=$1
out=$2
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(cat "$work/display")"

"$app" >/dev/null 2>&1 &
window=$(timeout 10 xdotool search --sync --onlyvisible --name '^Kazerima$' | head -n 1)
sleep 0.3
eval "$(xdotool getwindowgeometry --shell "$window")"
top=$((Y + HEIGHT - 353))

xdotool mousemove $((X + 316)) $((top + 80)) click 1
sleep 0.4
xdotool mousemove $((X + 316)) $((top + 136)) click 1
xdotool mousemove 700 500
sleep 0.3
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out"
echo "wrote $out"
