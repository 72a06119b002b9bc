#!/usr/bin/env bash
# The desktop entry and the AppStream metainfo pass Debian's validators with nothing to say.
# Usage: validate_metadata.sh DESKTOP_FILE METAINFO_FILE
set -euo pipefail

desktop=$(desktop-file-validate "$1" 2>&1) || true
if [ -n "$desktop" ]; then
    echo "desktop-file-validate: $desktop"
    exit 1
fi
echo "desktop-file-validate: no errors, no warnings"

appstreamcli validate --no-net --pedantic --strict "$2"
