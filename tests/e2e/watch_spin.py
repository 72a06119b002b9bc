#!/usr/bin/env python3
"""Watches a spin from outside the program, as the screen shows it, and stops it.

X's Damage extension reports every repaint of the window; after each one that touches the
result box, the box is read back. While the names spin, each repaint must show the next name
in turn, at no more repaints a second than the screen has frames; then ストップ is clicked, and
the name that turns red must be the last one painted on cyan, and stay.

    watch_spin.py WINDOW BOX STOP NAMES SECONDS FRAME_RATE

WINDOW is the X window's id; BOX the result box's inside as x,y,w,h in the window's pixels;
STOP where to click ストップ, as x,y on the screen; NAMES how many names are in play. Prints
what it saw on one line; each fault on a line of its own, starting FAIL, and exits 1; exits 2
when it saw no fault but fell behind just at the stop and so could not judge it.
"""
import select
import sys
import time

from Xlib import X, display
from Xlib.ext import damage, xtest

window_id, box, stop, names, seconds, frame_rate = sys.argv[1:]
bx, by, bw, bh = map(int, box.split(","))
names, seconds, frame_rate = int(names), float(seconds), float(frame_rate)
# Frames come 5 ms apart at the least; the server's clock counts whole milliseconds.
MIN_FRAME_MS = 4

d = display.Display()
window = d.create_resource_object("window", int(window_id))
d.damage_query_version()
window.damage_create(damage.DamageReportRawRectangles)


def read_box():
    """The box's background colour, and its pixels."""
    data = window.get_image(bx, by, bw, bh, X.ZPixmap, 0xFFFFFFFF).data
    corner = 4 * ((bh - 3) * bw + bw - 3)  # clear of the caption, which starts at the top left
    background = tuple(data[corner:corner + 3])
    return {(255, 255, 0): "cyan", (0, 0, 255): "red"}.get(background, str(background)), data


def ink(data):
    """Where the caption is, as pixels darker than half the background's lightness."""
    corner = 4 * ((bh - 3) * bw + bw - 3)
    lightness = sum(data[corner:corner + 3])
    return {i for i in range(0, len(data), 4) if sum(data[i:i + 3]) * 2 < lightness}


def same_caption(a, b):
    """Anti-aliased edges may round either way on two backgrounds: a few pixels may differ."""
    a, b = ink(a), ink(b)
    return len(a ^ b) <= max(10, len(a | b) // 50)


def box_damaged():
    """When each repaint of the box among the events that have come reached the server, in its
    milliseconds."""
    repaints = []
    while d.pending_events():
        event = d.next_event()
        if event.type == d.extension_event.DamageNotify:
            area = event.area
            if (area.x < bx + bw and bx < area.x + area.width
                    and area.y < by + bh and by < area.y + area.height):
                repaints.append(event.timestamp)
    return repaints


def watch(duration, seen):
    """Appends what each repaint of the box showed, and when, as (colour, pixels, time). A
    watcher that a busy machine holds up may read the box only after the next repaint: X sends
    that repaint's event before the picture, so such a picture is unsure, (None, None, time),
    rather than counted twice."""
    end = time.monotonic() + duration
    pending = box_damaged()
    while True:
        while pending:
            # Of repaints that came together, only the last is read.
            seen.extend((None, None, at) for at in pending[:-1])
            at = pending[-1]
            colour, data = read_box()
            pending = box_damaged()
            seen.append((None, None, at) if pending else (colour, data, at))
        left = end - time.monotonic()
        if left <= 0:
            return
        select.select([d], [], [], left)
        pending = box_damaged()


faults = []
spinning = []
watch(0.3, [])  # past the repaints already under way
started = time.monotonic()
watch(seconds, spinning)
elapsed = time.monotonic() - started

rate = len(spinning) / elapsed
if not all(colour in ("cyan", None) for colour, *_ in spinning):
    faults.append("the box was not cyan throughout the spin")
if not frame_rate * 0.75 <= rate <= frame_rate * 1.05:
    faults.append(f"{rate:.1f} repaints a second, against a screen of {frame_rate:g} Hz")
# Each repaint shows the next name: the pictures run through the same names in the same order.
pictures = [data for _, data, _ in spinning]
sure = [picture for picture in pictures if picture is not None]
pairs = [(pictures[i], pictures[i - names]) for i in range(names, len(pictures))
         if pictures[i] is not None and pictures[i - names] is not None]
in_turn = (len(sure) > 2 * names and len(set(sure)) == names and len(pairs) * 2 >= len(pictures)
           and all(a == b for a, b in pairs))
if not in_turn:
    faults.append(f"the repaints did not show the {names} names each in turn "
                  f"({len(set(sure))} different pictures in {len(sure)} sure of {len(pictures)})")

# Clicked from this connection, so that no repaint goes unread while a helper starts.
sx, sy = map(int, stop.split(","))
xtest.fake_input(d, X.MotionNotify, x=sx, y=sy)
xtest.fake_input(d, X.ButtonPress, 1)
xtest.fake_input(d, X.ButtonRelease, 1)
d.flush()
after = []
watch(0.5, after)
first_red = next((i for i, (colour, *_) in enumerate(after) if colour == "red"), None)
red_on_last = False
unsure_at_stop = False
if first_red is None:
    faults.append("no red after ストップ")
else:
    red = after[first_red][1]
    # A watcher held up just then may have missed the last repaint before the red one. If the
    # repaints since were frames, a name each, it showed the name painted a round of names
    # earlier; one that came sooner after the one before than a frame can leaves it unsure.
    before_red = spinning + after[:first_red]
    last = None
    for i in range(len(before_red) - 1, 0, -1):
        colour, data, at = before_red[i]
        if colour == "cyan" and (len(before_red) - 1 - i) % names == 0:
            last = data
            break
        if (at - before_red[i - 1][2]) % 2**32 < MIN_FRAME_MS:
            break
    unsure_at_stop = last is None
    red_on_last = last is not None and same_caption(red, last)
    if not red_on_last and not unsure_at_stop:
        faults.append("the name that turned red is not the last one painted")
    if any(data not in (red, None) for _, data, _ in after[first_red:]):
        faults.append("the pick did not stay after ストップ")

verdict = "unsure, the watcher fell behind" if unsure_at_stop else "yes" if red_on_last else "no"
print(f"{len(spinning)} repaints in {elapsed:.2f} s ({rate:.1f} a second), each the next of "
      f"{names} names: {'yes' if in_turn else 'no'}; red on the last one painted: {verdict}")
for fault in faults:
    print(f"FAIL: {fault}")
# 2: nothing wrong seen, but the stop could not be judged; the caller may spin and stop again.
sys.exit(1 if faults else 2 if unsure_at_stop else 0)
