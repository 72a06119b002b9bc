#!/usr/bin/env bash
# Measures Kazerima against floors taken in the same run on the same machine, and prints one
# Markdown table. Takes about four minutes, a little more with the Windows build.
# Usage: bench/run.sh BUILD_DIR [WINDOWS_BUILD_DIR [WEB_SITE_DIR]]
set -euo pipefail

build=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
app=$build/app/kazerima
floor=$build/bench/floorwindow
work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; stop_xvfb; rm -rf "$work"' EXIT

source "$here/../scripts/xvfb-lib.sh"
start_xvfb

median() { sort -g | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
field() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p"; } # field NAME < "a=1 NAME=2"
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
say() { echo "  $*" >&2; }

# --- logic tick ------------------------------------------------------------------------------
say "logic tick (Google Benchmark)"
"$build/bench/bench_tick" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_format=csv 2>/dev/null >"$work/tick.csv"
ns() { grep "^\"$1_median\"" "$work/tick.csv" | cut -d, -f4 | xargs printf '%.1f'; }

# --- tick rate, three runs of 10 s each -------------------------------------------------------
probe() { # MODE -> "rate p50 p99 max screen paints_per_name", the run with the median rate
    for _ in 1 2 3; do
        "$build/bench/tickprobe" "$1" 10 2>/dev/null |
            awk -F'[= ]' '{print $2, $4, $6, $8, $10, $12}'
    done | sort -g | sed -n 2p
}
say "tick rate while idle (3 x 10 s)"
read -r idle_rate idle_p50 idle_p99 idle_max screen _ < <(probe idle)
say "tick rate while spinning (3 x 10 s)"
read -r spin_rate spin_p50 spin_p99 spin_max _ spin_paints < <(probe spin)

# --- CPU from /proc, three 10 s windows each --------------------------------------------------
jiffies() { awk '{print $14 + $15}' "/proc/$1/stat"; }
cpu_percent() { # PID -> median per cent of one core over three 10 s windows
    local hz a b
    hz=$(getconf CLK_TCK)
    for _ in 1 2 3; do
        a=$(jiffies "$1")
        sleep 10
        b=$(jiffies "$1")
        awk -v d=$((b - a)) -v hz="$hz" 'BEGIN {printf "%.2f\n", 100 * d / hz / 10}'
    done | median
}
launch() { # TITLE PROGRAM -> pid, once its window is up
    "$2" >/dev/null 2>&1 &
    local pid=$!
    pids+=("$pid")
    wait_for_window "$1" >/dev/null
    sleep 1
    echo "$pid"
}
say "CPU of the floor window (3 x 10 s)"
pid=$(launch floor "$floor")
floor_cpu=$(cpu_percent "$pid")
kill "$pid"
say "CPU of Kazerima idle, then spinning (2 x 3 x 10 s)"
pid=$(launch Kazerima "$app")
idle_cpu=$(cpu_percent "$pid")
window=$(wait_for_window Kazerima)
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove $((X + 316)) $((Y + HEIGHT - 353 + 80)) click 1 # スタート
sleep 1
spin_cpu=$(cpu_percent "$pid")
kill "$pid"

# --- start-up and memory, ten runs each, interleaved ------------------------------------------
say "start-up and memory (10 runs each)"
for _ in $(seq 10); do
    /usr/bin/python3 "$here/startup.py" Kazerima "$app" >>"$work/app.start"
    /usr/bin/python3 "$here/startup.py" floor "$floor" >>"$work/floor.start"
    /usr/bin/python3 "$here/startup.py" floor "$floor" 0 text >>"$work/floortext.start"
done
startup() { field "$2" <"$work/$1.start" | median; }

# --- names of 100,000 characters ------------------------------------------------------------
say "running tick and paint with 100,000-character names (3 runs)"
for _ in 1 2 3; do QT_QPA_PLATFORM=offscreen "$build/bench/tickprobe" huge 2>/dev/null; done >"$work/huge"
huge() { field "$1" <"$work/huge" | median; }

# --- fairness ---------------------------------------------------------------------------------
say "fairness (20,000 random stops per count, over 5 s spins)"
"$build/bench/tickprobe" fairness 5 20000 2>/dev/null >"$work/fairness"

# --- the Windows build under Wine ------------------------------------------------------------
[ -z "${2-}" ] || "$here/windows.sh" "$2" >"$work/windows"

# --- the web page in headless Chromium -------------------------------------------------------
if [ -n "${3-}" ]; then
    say "the web page in Chromium: bytes, first paint, ticks, CPU"
    node "$here/web.mjs" "$3" >"$work/web"
fi

cat <<TABLE
| measure | Kazerima | floor | ratio | target |
|---|---:|---:|---:|---|
| idle tick, ns (button on) | $(ns IdleTick) | $(ns IdleTickFloor) | $(ratio "$(ns IdleTick)" "$(ns IdleTickFloor)") | tens of ns |
| running tick, ns | $(ns RunningTick) | $(ns RunningTickFloor) | $(ratio "$(ns RunningTick)" "$(ns RunningTickFloor)") | tens of ns |
| ticks a second idle, against the screen's frames (p50 / p99 / max ms) | $idle_rate ($idle_p50 / $idle_p99 / $idle_max) | $screen | $(ratio "$idle_rate" "$screen") | ≥ 0.95, ≤ 200/s |
| names a second spinning, against the screen's frames (p50 / p99 / max ms) | $spin_rate ($spin_p50 / $spin_p99 / $spin_max) | $screen | $(ratio "$spin_rate" "$screen") | ≥ 0.95, ≤ 200/s |
| result box paints per name, spinning | $spin_paints | 1 | | 1 |
| CPU idle, % of a core | $idle_cpu | $floor_cpu | $(ratio "$idle_cpu" "$floor_cpu") | ≤ floor |
| CPU spinning, % of a core | $spin_cpu | $floor_cpu | $(ratio "$spin_cpu" "$floor_cpu") | ≤ 3 % |
| start-up to window mapped, ms | $(startup app startup_ms) | $(startup floor startup_ms) | $(ratio "$(startup app startup_ms)" "$(startup floor startup_ms)") | ≤ 1.2 × floor |
| resident memory, KiB | $(startup app rss_kib) | $(startup floor rss_kib) | $(ratio "$(startup app rss_kib)" "$(startup floor rss_kib)") | ≤ 1.2 × floor |
| of it private (RssAnon), KiB | $(startup app anon_kib) | $(startup floor anon_kib) | $(ratio "$(startup app anon_kib)" "$(startup floor anon_kib)") | |
| start-up, against a floor showing one Japanese line, ms | $(startup app startup_ms) | $(startup floortext startup_ms) | $(ratio "$(startup app startup_ms)" "$(startup floortext startup_ms)") | |
| memory, against that floor, KiB | $(startup app rss_kib) | $(startup floortext rss_kib) | $(ratio "$(startup app rss_kib)" "$(startup floortext rss_kib)") | |
| running tick with 100,000-character names, µs | $(huge huge_tick_us) | | | well under 1000 |
| paint of the result box with them, µs | $(huge huge_paint_us) | | | within a frame |
TABLE
while read -r line; do
    count=$(field count <<<"$line")
    echo "| fairness, $count names: shares, p-value | $(sed 's/.*shares=\([^ ]*\).*/\1/' <<<"$line"), p = $(field p <<<"$line") | $(awk -v n="$count" 'BEGIN {printf "%.4f each", 1 / n}') | | p > 0.01 |"
done <"$work/fairness"
[ -z "${2-}" ] || cat "$work/windows"
[ -z "${3-}" ] || cat "$work/web"
