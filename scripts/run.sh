#!/usr/bin/env bash
# Starts the program, or says in one line why it cannot be shown here.
set -euo pipefail
if [ -z "${DISPLAY-}" ] && [ -z "${WAYLAND_DISPLAY-}" ]; then
    echo "No display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
    exit 1
fi
exec "$@"
