#!/usr/bin/env bash
# Makes a fresh Wine prefix for the Windows build's tests, or removes it.
# Usage: wine-prefix.sh create|remove DIR
set -euo pipefail
export WINEPREFIX=$(realpath -m "$2") WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

case $1 in
create)
    rm -rf "$WINEPREFIX"
    /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
    # Wine's menus and boxes ask for faces that Debian lacks and would draw squares; the
    # program picks its own faces and needs none of this.
    reg=$(mktemp --suffix=.reg)
    cat >"$reg" <<'REG'
REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"MS Shell Dlg"="IPAPGothic"
"MS Shell Dlg 2"="IPAPGothic"
"Tahoma"="IPAPGothic"
REG
    /usr/lib/wine/wine64 regedit /S "$(/usr/lib/wine/wine64 winepath -w "$reg" 2>/dev/null)" \
        >/dev/null 2>&1
    /usr/lib/wine/wineserver -w
    rm -f "$reg"
    ;;
remove)
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    ;;
esac
