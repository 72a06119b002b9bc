#!/usr/bin/env bash
# Plays one game on the real executable in a real X server, the way a user would: clicks with
# the mouse and checks what the screen shows. Usage: play_game.sh path/to/kazerima
set -euo pipefail

app=$1
source "$(dirname "$0")/../../scripts/xvfb-lib.sh"
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    stop_xvfb
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    [ -f "$work/shot.png" ] && cp "$work/shot.png" "${TMPDIR:-/tmp}/kazerima-e2e-failure.png"
    exit 1
}

start_xvfb

# A Japanese desktop, or any other, shows the same window as an English one: same faces, same
# pixels. The locales need not be generated for Qt and fontconfig to read them.
for locale in C.UTF-8 ja_JP.UTF-8 zh_CN.UTF-8 ko_KR.UTF-8 de_DE.UTF-8; do
    LANG=$locale LANGUAGE=${locale%%.*} "$app" >"$work/app.log" 2>&1 &
    pid=$!
    pids+=($pid)
    window=$(wait_for_window Kazerima) || fail "the window never appeared under $locale"
    sleep 0.3
    eval "$(xdotool getwindowgeometry --shell "$window")"
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$work/$locale.png"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    differing=$(compare -metric AE "$work/C.UTF-8.png" "$work/$locale.png" null: 2>&1) || true
    [ "$differing" = 0 ] || {
        cp "$work/$locale.png" "${TMPDIR:-/tmp}/kazerima-e2e-$locale.png"
        fail "under $locale the window differs from C.UTF-8 in $differing pixels"
    }
done

"$app" >"$work/app.log" 2>&1 &
app_pid=$!
pids+=($app_pid)

window=$(wait_for_window Kazerima) || fail "the window never appeared"
sleep 0.3

# The client area is the design's 418 x 353 below the menu bar; positions are relative to it.
eval "$(xdotool getwindowgeometry --shell "$window")"
menu=$((HEIGHT - 353))
[ "$WIDTH" -eq 418 ] || fail "window is $WIDTH wide, not 418"
left=$X
top=$((Y + menu))

shoot() { import -window root "$work/shot.png"; }
pixel() { convert "$work/shot.png" -format "%[pixel:p{$((left + $1)),$((top + $2))}]" info:; }
expect_pixel() { # x y colour what
    local got
    got=$(pixel "$1" "$2")
    [ "$got" = "$3" ] || fail "$4: pixel ($1,$2) is $got, expected $3"
}
click() {
    xdotool mousemove "$((left + $1))" "$((top + $2))" click 1
    sleep 0.3
}

cyan='srgb(0,255,255)' red='srgb(255,0,0)' white='srgb(255,255,255)' black='srgb(0,0,0)'
result_corner=(380 324)     # inside Label3, clear of any caption
text5_centre=$((96 + 16 + 60)),$((48 + 128 + 12))

shoot
expect_pixel "${result_corner[@]}" "$cyan" "result box at start"
expect_pixel "${text5_centre%,*}" "${text5_centre#*,}" "$white" "Text5 at start"

click 30 80 # "2人"
shoot
expect_pixel "${text5_centre%,*}" "${text5_centre#*,}" "$black" "Text5 after choosing 2"
expect_pixel 172 $((48 + 32 + 12)) "$white" "Text1 after choosing 2"

click 316 80 # スタート
sleep 0.5
shoot
expect_pixel "${result_corner[@]}" "$cyan" "result box while spinning"

click 316 136 # ストップ
shoot
expect_pixel "${result_corner[@]}" "$red" "result box after stop"
# The picked name is drawn in the box, whole: dark caption pixels on the red, none cut off.
caption() { convert "$work/shot.png" -crop "367x111+$((left + 17))+$((top + 217))" +repage \
    -fill white +opaque "$black" -negate "$@" info:; }
dark=$(caption -format '%[fx:round(mean*w*h)]')
box=$(caption -trim -format '%h+%Y')
[ "$dark" -gt 300 ] || fail "no caption in the result box after stop ($dark dark pixels)"
[ $((${box%+*} + ${box#*+})) -lt 111 ] || fail "the caption is cut off at the bottom ($box)"

# Closing the window during a spin ends the program at once, and cleanly.
click 316 80
/usr/bin/python3 - "$window" <<'PY'
import sys
from Xlib import X, display, protocol
d = display.Display()
w = d.create_resource_object("window", int(sys.argv[1]))
protocols, delete = d.intern_atom("WM_PROTOCOLS"), d.intern_atom("WM_DELETE_WINDOW")
w.send_event(protocol.event.ClientMessage(window=w, client_type=protocols, data=(32, [delete, X.CurrentTime, 0, 0, 0])))
d.flush()
PY
for _ in $(seq 40); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.05; done
kill -0 "$app_pid" 2>/dev/null && fail "still running 2 s after its window was closed"
status=0
wait "$app_pid" || status=$?
[ "$status" -eq 0 ] || { cat "$work/app.log" >&2; fail "exited with status $status after its window was closed"; }
echo "same window in five locales; played a game: cyan, 2 fields after 2人, red with a name after stop, closed cleanly"
