#!/usr/bin/env bash
# Renders the README's picture of the window: a game just stopped on a name.
# Usage: screenshot.sh path/to/kazerima out.png
set -euo pipefail

app=$1
out=$2
source "$(dirname "$0")/xvfb-lib.sh"
start_xvfb
"$app" >/dev/null 2>&1 &
app_pid=$!
trap 'kill "$app_pid" 2>/dev/null || true; stop_xvfb' EXIT

window=$(wait_for_window Kazerima)
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
