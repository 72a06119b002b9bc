#!/usr/bin/env bash
# Runs a Windows program under Wine in the prefix that WINEPREFIX names (scripts/wine-prefix.sh
# makes one), then ends that prefix's Wine server, so the next program starts on a clean one
# with the display it is given. Exits with the program's exit code.
set -uo pipefail
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
/usr/lib/wine/wine64 "$@"
status=$?
/usr/lib/wine/wineserver -k 2>/dev/null
exit $status
