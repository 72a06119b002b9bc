#!/usr/bin/env bash
# Runs the real program as a native Wayland client of a headless Weston started for the run, in
# a private D-Bus session, and counts the names each of the compositor's frames took in.
# Usage: wayland_frames.sh path/to/kazerima
set -euo pipefail
here=$(dirname "$(realpath "$0")")
source "$here/../../scripts/xvfb-lib.sh"
source "$here/../../scripts/weston-lib.sh"
home=$(mktemp -d)
trap 'stop_weston; rm -rf "$home"' EXIT
use_fresh_home "$home"
start_weston

# Qt's AT-SPI bridge otherwise waits for a desktop to say a screen reader is running.
export QT_QPA_PLATFORM=wayland QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
unset DISPLAY
dbus-run-session -- /usr/bin/python3 "$here/wayland_frames.py" "$1" 3
