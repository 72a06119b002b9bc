#!/usr/bin/env bash
# Measures the Windows build under Wine, in a Wine prefix and a virtual X server of its own, and
# prints its rows of the table in BENCHMARKS.md: names a second spinning, with and without a menu
# open, and its wake-ups and CPU while it sits untouched, against Wine's own notepad measured the
# same way. Takes about three minutes. bench/run.sh runs it; it also runs alone.
# Usage: bench/windows.sh WINDOWS_BUILD_DIR
set -euo pipefail

build=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
WINEPREFIX=$(mktemp -d)
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8
pids=()
cleanup() {
    kill "${pids[@]}" 2>/dev/null || true
    "$here/../scripts/wine-prefix.sh" remove "$WINEPREFIX"
    stop_xvfb
}
trap cleanup EXIT
source "$here/../scripts/xvfb-lib.sh"
"$here/../scripts/wine-prefix.sh" create "$WINEPREFIX"
start_xvfb

median() { sort -g | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {if (b > 0) printf "%.2f", a / b}'; }
say() { echo "  $*" >&2; }

# --- spinning, three runs of 10 s each way ----------------------------------------------------
probe() { # MODE -> "rate p50 p99 max cpu paints_per_tick", the run with the median rate
    for _ in 1 2 3; do
        "$here/../scripts/wine-run.sh" "$build/bench/win32tickprobe.exe" "$1" 10 2>/dev/null |
            tr -d '\r' | awk -F'[= ]' '{print $2, $4, $6, $8, $10, $12}'
    done | sort -g | sed -n 2p
}
say "Windows build under Wine: names a second spinning (3 x 10 s)"
read -r spin_rate spin_p50 spin_p99 spin_max spin_cpu spin_paints < <(probe spin)
say "Windows build under Wine: names a second spinning with a menu open (3 x 10 s)"
read -r menu_rate menu_p50 menu_p99 menu_max _ _ < <(probe menu)

# --- untouched, three runs of 20 s each program ------------------------------------------------
# Context switches of all of a process's threads count its wake-ups; Wine's server, which every
# Windows program of the prefix talks to, is counted on its own.
switches() { cat /proc/"$1"/task/*/status 2>/dev/null | awk '/ctxt_switches/ {s += $2} END {print s}'; }
jiffies() { awk '{print $14 + $15}' "/proc/$1/stat"; }
# This prefix's server: other Wine programs on the machine have servers of their own.
prefix_server() {
    local pid
    for pid in $(pgrep -x 'wineserver|wineserver64'); do
        if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
            echo "$pid"
            return
        fi
    done
    return 1
}
untouched() { # TITLE PROGRAM... -> "wake-ups/s cpu% server-wake-ups/s", over 20 s once settled
    /usr/lib/wine/wine64 "${@:2}" >/dev/null 2>&1 &
    local pid=$! server a b c d e
    pids+=("$pid")
    wait_for_window "$1" >/dev/null
    sleep 3
    server=$(prefix_server)
    a=$(switches "$pid") b=$(jiffies "$pid") c=$(switches "$server")
    sleep 20
    d=$(switches "$pid") e=$(jiffies "$pid")
    awk -v s="$((d - a))" -v j="$((e - b))" -v w="$(($(switches "$server") - c))" \
        -v hz="$(getconf CLK_TCK)" 'BEGIN {printf "%.1f %.2f %.1f\n", s / 20, 100 * j / hz / 20, w / 20}'
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    /usr/lib/wine/wineserver -k 2>/dev/null || true
}
say "Windows build and notepad under Wine, untouched (2 x 3 x 20 s)"
for _ in 1 2 3; do
    untouched Kazerima "$build/app/Kazerima.exe" >>"$WINEPREFIX/kazerima.idle"
    untouched "Untitled - Notepad" notepad >>"$WINEPREFIX/notepad.idle"
done
idle() { awk -v f="$2" '{print $f}' "$WINEPREFIX/$1.idle" | median; } # PROGRAM FIELD

cat <<TABLE
| Windows build under Wine: names a second spinning, against the screen's frames (p50 / p99 / max ms) | $spin_rate ($spin_p50 / $spin_p99 / $spin_max) | 60 | $(ratio "$spin_rate" 60) | ≥ 0.95, ≤ 200/s |
| Windows build under Wine: result box paints per name, spinning | $spin_paints | 1 | | 1 |
| Windows build under Wine: names a second spinning with a menu open (p50 / p99 / max ms) | $menu_rate ($menu_p50 / $menu_p99 / $menu_max) | 60 | $(ratio "$menu_rate" 60) | ≥ 0.95 |
| Windows build under Wine: CPU spinning, % of a core | $spin_cpu | | | ≤ 5 % |
| Windows build under Wine, untouched: wake-ups a second (context switches of its threads), against Wine's notepad | $(idle kazerima 1) | $(idle notepad 1) | $(ratio "$(idle kazerima 1)" "$(idle notepad 1)") | ≤ 3 × notepad |
| Windows build under Wine, untouched: Wine's server beside it, wake-ups a second | $(idle kazerima 3) | $(idle notepad 3) | $(ratio "$(idle kazerima 3)" "$(idle notepad 3)") | |
| Windows build under Wine, untouched: CPU, % of a core | $(idle kazerima 2) | $(idle notepad 2) | | ≤ notepad |
TABLE
