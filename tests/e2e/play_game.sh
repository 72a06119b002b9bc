#!/usr/bin/env bash
# Plays one game on the real executable in a real X server, the way a user would: clicks with
# the mouse and checks what the screen shows.
#
#   play_game.sh path/to/kazerima                        the Qt build
#   play_game.sh --windows path/to/boxprobe.exe path/to/Kazerima.exe
#                                                        the Windows build, under Wine in the
#                                                        prefix WINEPREFIX names
set -euo pipefail

here=$(dirname "$(realpath "$0")")
windows=
if [ "$1" = --windows ]; then
    windows=1
    boxprobe=$2
    shift 2
fi
app=$1
source "$here/../../scripts/xvfb-lib.sh"
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    [ -z "$windows" ] || /usr/lib/wine/wineserver -k 2>/dev/null || true
    stop_xvfb
    rm -rf "$work"
}
trap cleanup EXIT
use_fresh_home "$work/home"

fail() {
    echo "FAIL: $*" >&2
    [ -f "$work/shot.png" ] && cp "$work/shot.png" "${TMPDIR:-/tmp}/kazerima-e2e-failure.png"
    exit 1
}

launch() { # starts the program in the background; APP_PID is the process to wait for
    if [ -n "$windows" ]; then
        "$here/../../scripts/wine-run.sh" "$app" >"$work/app.log" 2>&1 &
    else
        "$app" >"$work/app.log" 2>&1 &
    fi
    APP_PID=$!
    pids+=($APP_PID)
}

# The Qt build takes its frames from X's Present extension, which follows Xvfb's own clock, here
# set apart from the 60 Hz its screen reports; Wine's frames are 60 a second whatever the clock.
if [ -n "$windows" ]; then
    frame_rate=60
    start_xvfb
else
    frame_rate=40
    start_xvfb -fakescreenfps $frame_rate
fi

# Whether "$@" succeeds within half a minute: a busy machine may be slow to draw, and more so
# under Wine.
soon() {
    for _ in $(seq 300); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# Whether the window, whose geometry was read last, is drawn: its result box cyan, and nothing
# in it changed since the last look (the Windows build draws each control as its own window).
drawn() {
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$work/drawn.png"
    [ "$(convert "$work/drawn.png" -format "%[pixel:p{380,$((HEIGHT - 353 + 324))}]" info:)" = \
        'srgb(0,255,255)' ] || return 1
    [ -f "$work/drawn-before.png" ] &&
        [ "$(compare -metric AE "$work/drawn.png" "$work/drawn-before.png" null: 2>&1)" = 0 ] &&
        return 0
    mv "$work/drawn.png" "$work/drawn-before.png"
    return 1
}
wait_drawn() { # what
    eval "$(xdotool getwindowgeometry --shell "$window")"
    rm -f "$work/drawn-before.png"
    soon drawn || fail "waited 30 s for the window to be drawn $1"
    mv "$work/drawn.png" "$work/window.png"
}

# A Japanese desktop, or any other, shows the same window as an English one: same faces, same
# pixels, left to right even where the desktop runs right to left. The locales need not be
# generated for Qt and fontconfig to read them.
locales="C.UTF-8 ja_JP.UTF-8 zh_CN.UTF-8 ko_KR.UTF-8 de_DE.UTF-8 ar_EG.UTF-8 he_IL.UTF-8"
[ -z "$windows" ] || locales= # Wine takes its own look from the locale
for locale in $locales; do
    LANG=$locale LANGUAGE=${locale%%.*} launch
    window=$(wait_for_window Kazerima) || fail "the window never appeared under $locale"
    wait_drawn "under $locale"
    mv "$work/window.png" "$work/$locale.png"
    kill "$APP_PID"
    wait "$APP_PID" 2>/dev/null || true
    differing=$(compare -metric AE "$work/C.UTF-8.png" "$work/$locale.png" null: 2>&1) || true
    [ "$differing" = 0 ] || {
        cp "$work/$locale.png" "${TMPDIR:-/tmp}/kazerima-e2e-$locale.png"
        fail "under $locale the window differs from C.UTF-8 in $differing pixels"
    }
done

if [ -z "$windows" ]; then
    # With no display at all, one line says so and the exit status is 1, not an abort.
    status=0
    said=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$app" 2>&1) || status=$?
    [ "$status" -eq 1 ] && [ "$said" = "kazerima: no display could be opened" ] ||
        fail "with no display: exit status $status, said: $said"
fi

launch
window=$(wait_for_window Kazerima) || fail "the window never appeared"
wait_drawn "at start"
if [ -z "$windows" ]; then
    # Its own icon, for a taskbar that does not match the window to the desktop entry.
    /usr/bin/python3 - "$window" <<'PY' || fail "the window carries no icon (_NET_WM_ICON)"
import sys
from Xlib import X, display
d = display.Display()
icon = d.create_resource_object("window", int(sys.argv[1])).get_full_property(
    d.intern_atom("_NET_WM_ICON"), X.AnyPropertyType)
sys.exit(0 if icon and len(icon.value) > 2 else 1)
PY
    # Left alone, the window sleeps: none of its threads wakes while nothing moves (a timer
    # that went on at the screen's rate would wake it 60 times a second).
    woken() { awk '/ctxt_switches/ {n += $2} END {print n}' /proc/"$APP_PID"/task/*/status; }
    before=$(woken)
    sleep 2
    wakes=$(($(woken) - before))
    [ "$wakes" -le 2 ] || fail "left alone for 2 s, the window woke $wakes times"
fi

# The client area is the design's 418 x 353 below the menu bar; positions are relative to it.
eval "$(xdotool getwindowgeometry --shell "$window")"
menu=$((HEIGHT - 353))
[ "$WIDTH" -eq 418 ] || fail "window is $WIDTH wide, not 418"
left=$X
top=$((Y + menu))

shoot() { import -window root "$work/shot.png"; }
pixel() { convert "$work/shot.png" -format "%[pixel:p{$((left + $1)),$((top + $2))}]" info:; }
pixel_is() { shoot && [ "$(pixel "$1" "$2")" = "$3" ]; }
pixel_is_not() { shoot && [ "$(pixel "$1" "$2")" != "$3" ]; }
expect_pixel() { # x y colour what: the screen shows it, at once or soon
    soon pixel_is "$1" "$2" "$3" || fail "$4: pixel ($1,$2) is $(pixel "$1" "$2"), expected $3"
}
# Waits for the pixel at x y to change from what the last screenshot showed there: a menu opening
# over it.
expect_change() { # x y what
    local was
    was=$(pixel "$1" "$2")
    soon pixel_is_not "$1" "$2" "$was" || fail "waited 30 s for $3 at ($1,$2)"
}
click() {
    xdotool mousemove "$((left + $1))" "$((top + $2))" click 1
}
# What the message box titled $1 shows, read through Windows itself; dismissed with OK.
read_box() {
    LANG=C.UTF-8 WINEDEBUG=-all /usr/lib/wine/wine64 "$boxprobe" "$1" 2>/dev/null | tr -d '\r' ||
        fail "no box titled $1"
}

cyan='srgb(0,255,255)' red='srgb(255,0,0)' white='srgb(255,255,255)' black='srgb(0,0,0)'
result_corner=(380 324)     # inside Label3, clear of any caption
text5_centre=$((96 + 16 + 60)),$((48 + 128 + 12))
result_box="367x111+$((left + 17))+$((top + 217))"

shoot
expect_pixel "${result_corner[@]}" "$cyan" "result box at start"
expect_pixel "${text5_centre%,*}" "${text5_centre#*,}" "$white" "Text5 at start"

dark_in_box() { convert "$work/shot.png" -crop "$result_box" +repage \
    -fill white +opaque "$black" -negate -format '%[fx:round(mean*w*h)]' info:; }
names_in_box() { shoot && [ "$(dark_in_box)" -gt 300 ]; }
if [ -n "$windows" ]; then
    # The keyboard as designed: focus starts on スタート and Space clicks it; Tab moves on to
    # ストップ and Return clicks that.
    xdotool mousemove "$((left + 300))" "$((top + 300))" key space
    soon names_in_box || fail "Space on スタート started no spin"
    xdotool key Tab Return
    expect_pixel "${result_corner[@]}" "$red" "result box after Tab and Return"

    # The names keep running while メニュー is open, one each frame, watched repaint by repaint
    # (a look at the box now and then could fall in step with the round of names and see them
    # stand still), and its ストップ stops on the name shown then: a menu that froze the spin
    # would let a player look, close it and try again.
    for attempt in 1 2 3; do
        click 316 80 # スタート
        expect_pixel "${result_corner[@]}" "$cyan" "result box after スタート"
        shoot
        xdotool mousemove "$((left + 30))" "$((Y + menu / 2))" click 1
        expect_change 40 26 "the menu's ストップ"
        # Clicked once it lights up under the pointer, as a menu just drawn may not follow it yet.
        xdotool mousemove "$((left + 40))" "$((top + 26))"
        expect_change 40 26 "the item ストップ to light up under the pointer"
        status=0
        said=$(/usr/bin/python3 "$here/watch_spin.py" "$window" "17,$((menu + 217)),367,111" \
            "$((left + 40)),$((top + 26))" 5 2 60) || status=$?
        echo "with the menu open: $said"
        [ "$status" -eq 2 ] || break
    done
    [ "$status" -eq 0 ] || fail "watching a spin with the menu open: $said"
    expect_pixel "${result_corner[@]}" "$red" "result box after ストップ from the menu"
fi

# One name each frame of the screen, each the next in turn, and ストップ freezes the last one
# painted, read through X's Damage extension as it reaches the screen.
# A watcher held up by a busy machine just at the stop cannot judge it: it spins and stops again.
for attempt in 1 2 3; do
    click 316 80 # スタート
    status=0
    said=$(/usr/bin/python3 "$here/watch_spin.py" "$window" "17,$((menu + 217)),367,111" \
        "$((left + 316)),$((top + 136))" 5 2 "$frame_rate") || status=$?
    echo "$said"
    [ "$status" -eq 2 ] || break
done
[ "$status" -eq 0 ] || fail "watching a spin: $said"

click 30 80 # "2人"
shoot
expect_pixel "${text5_centre%,*}" "${text5_centre#*,}" "$black" "Text5 after choosing 2"
expect_pixel 172 $((48 + 32 + 12)) "$white" "Text1 after choosing 2"
if [ -n "$windows" ]; then
    # The arrow keys turn the counts on too, each waking the window for the tick that shows its
    # fields: up from 2人 to 5人 at the bottom, and down again to 2人.
    xdotool key Up
    expect_pixel "${text5_centre%,*}" "${text5_centre#*,}" "$white" "Text5 after Up from 2人"
    xdotool key Down
    expect_pixel "${text5_centre%,*}" "${text5_centre#*,}" "$black" "Text5 after Down from 5人"
fi

click 316 80 # スタート
expect_pixel "${result_corner[@]}" "$cyan" "result box while spinning"
soon names_in_box || fail "no names spinning in the box"

click 316 136 # ストップ
expect_pixel "${result_corner[@]}" "$red" "result box after stop"
# The picked name is drawn in the box, whole: dark caption pixels on the red, none cut off.
dark=$(dark_in_box)
box=$(convert "$work/shot.png" -crop "$result_box" +repage -fill white +opaque "$black" -negate \
    -trim -format '%h+%Y' info:)
[ "$dark" -gt 300 ] || fail "no caption in the result box after stop ($dark dark pixels)"
[ $((${box%+*} + ${box#*+})) -lt 111 ] || fail "the caption is cut off at the bottom ($box)"
# And it stays, watched for half a second (some 30 frames): the pick is frozen.
convert "$work/shot.png" -crop "$result_box" +repage "$work/stopped.png"
sleep 0.5
shoot
convert "$work/shot.png" -crop "$result_box" +repage "$work/later.png"
moved=$(compare -metric AE "$work/stopped.png" "$work/later.png" null: 2>&1) || true
[ "$moved" = 0 ] || fail "the picked name changed after stop ($moved pixels)"

if [ -n "$windows" ]; then
    # Emptied, a name in use refuses the start with the critical box.
    click 172 $((48 + 32 + 12)) # Text1
    xdotool key ctrl+a BackSpace
    click 316 80
    got=$(read_box 名前入れてね)
    [ "$got" = "icon=yes buttons=1 text=名前を登録して下さい" ] || fail "missing-name box: $got"

    # The version box: no icon, one OK, the eight lines exactly.
    shoot
    xdotool mousemove "$((left + 85))" "$((Y + menu / 2))" click 1
    expect_change 100 10 "the menu's バージョン"
    # A menu drawn may not yet follow the pointer, and a click then chooses nothing: the item is
    # clicked once it lights up under the pointer. Even then Wine's menu now and then lets a click
    # go on a busy machine, and stays open with the item lit: a player would click again.
    xdotool mousemove "$((left + 100))" "$((Y + menu + 10))"
    expect_change 57 10 "the item バージョン to light up under the pointer"
    lit=$(pixel 57 10)
    box_up() { [ "$(xdotool search --onlyvisible --name '^Kazerima$' | wc -l)" -ge 2 ]; }
    xdotool click 1
    for tick in $(seq 300); do
        box_up && break
        [ $((tick % 20)) -eq 0 ] && pixel_is 57 10 "$lit" && xdotool click 1
        sleep 0.1
    done
    got=$(read_box Kazerima)
    expected='icon=no buttons=1 text=     ﾊﾞｰｼﾞｮﾝ1.0\n\r\n\r'
    expected+='ﾌﾟﾛﾃﾞｭｰｽ   Mavoru\n\rﾌﾟﾛｸﾞﾗﾑ     Mavoru\n\r企画         Mavoru\n\r'
    expected+='Date         2002-11-23\n\r\n\r   Made in Quendal'
    [ "$got" = "$expected" ] || fail "version box: $got"
fi

# Closing the window during a spin ends the program at once, and cleanly.
click 176 $((48 + 32 + 12))
xdotool type a
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
soon eval '! kill -0 "$APP_PID" 2>/dev/null' ||
    fail "still running 30 s after its window was closed"
status=0
wait "$APP_PID" || status=$?
[ "$status" -eq 0 ] || { cat "$work/app.log" >&2; fail "exited with status $status after its window was closed"; }
if [ -n "$windows" ]; then
    echo "under Wine: cyan, spinning with the menu open, one name a frame, 2 fields after 2人," \
        "red and frozen after stop, both boxes, closed cleanly"
else
    echo "no-display message; same window in seven locales; icon; asleep when left alone; cyan," \
        "one name a frame, 2 fields after 2人, red and frozen after stop, closed cleanly"
fi
