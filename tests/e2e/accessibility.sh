#!/usr/bin/env bash
# Reads the real program through the AT-SPI accessibility bus, as a screen reader does, in a
# private X server and D-Bus session. Usage: accessibility.sh path/to/kazerima
set -euo pipefail
here=$(dirname "$(realpath "$0")")
source "$here/../../scripts/xvfb-lib.sh"
home=$(mktemp -d)
start_xvfb
trap 'stop_xvfb; rm -rf "$home"' EXIT
use_fresh_home "$home"

# Qt's AT-SPI bridge otherwise waits for a desktop to say a screen reader is running.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
dbus-run-session -- /usr/bin/python3 "$here/accessibility.py" "$1"
