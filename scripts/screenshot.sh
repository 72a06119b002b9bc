#!/usr/bin/env bash
# Renders the README's pictures of the window: a game just stopped on a name.
# Usage: screenshot.sh path/to/kazerima out.png
#        screenshot.sh --windows path/to/Kazerima.exe out.png     (under Wine, in a new prefix)
set -euo pipefail

here=$(dirname "$(realpath "$0")")
run=()
if [ "$1" = --windows ]; then
    export WINEPREFIX=$(mktemp -d)
    "$here/wine-prefix.sh" create "$WINEPREFIX"
    run=("$here/wine-run.sh")
    shift
fi
app=$1
out=$2
source "$here/xvfb-lib.sh"
start_xvfb
"${run[@]}" "$app" >/dev/null 2>&1 &
app_pid=$!
cleanup() {
    kill "$app_pid" 2>/dev/null || true
    [ -z "${WINEPREFIX-}" ] || "$here/wine-prefix.sh" remove "$WINEPREFIX"
    stop_xvfb
}
trap cleanup EXIT

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
