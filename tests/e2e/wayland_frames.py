"""Plays a spin on the program as a Wayland client of Weston, and counts from Weston's own
timeline how many names reached each frame the compositor presented.

    wayland_frames.py path/to/kazerima SECONDS
        (inside a D-Bus session, with WAYLAND_DISPLAY naming a Weston started with --debug)

The buttons are pressed through AT-SPI, as Weston's headless backend has no input. Two players
bear the same name, so that some frames change nothing in the box. The window is watched while
it is left alone, then while the names spin: at most one frame in a hundred may carry two names
(a name drawn and never shown), and at least 95 in a hundred must carry one. Prints what it saw
on one line; each fault on a line of its own, starting FAIL, and exits 1.

Weston's timeline (weston-debug timeline) gives each event's CLOCK_MONOTONIC time, as Python's
time.monotonic() reads it: a client's commit of a surface (core_commit_damage), and the output's
repaints (core_repaint_begin); where a frame comes with nothing to draw, the output leaves its
repaint loop (core_repaint_exit_loop) and starts it again on the next commit.
"""
import json
import os
import subprocess
import sys
import tempfile
import time

import pyatspi
from atspi_support import find_application, walk

app_path, seconds = sys.argv[1], float(sys.argv[2])
faults = []


def context_switches(pid):
    """Every time one of the process's threads went to sleep or was put off the CPU."""
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        with open(f"/proc/{pid}/task/{task}/status") as status:
            for line in status:
                if line.startswith(("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")):
                    total += int(line.split()[1])
    return total


def read_timeline(path):
    """The window's commits, the output's repaints and its repaint loop's ends, in time order."""
    surfaces, events = set(), []
    with open(path) as timeline:
        for line in timeline:
            if not line.strip():
                continue
            record = json.loads(line)
            if record.get("type") == "weston_surface" and "'Kazerima'" in record.get("desc", ""):
                surfaces.add(record["id"])
            if "T" not in record:
                continue
            at = record["T"][0] + record["T"][1] / 1e9
            if record["N"] == "core_commit_damage" and record.get("ws") in surfaces:
                events.append((at, "commit"))
            elif record["N"] in ("core_repaint_begin", "core_repaint_exit_loop"):
                events.append((at, record["N"]))
    return sorted(events)


def names_per_frame(events, start, end):
    """For each frame of the output between start and end, the names it took in."""
    frames, names = [], 0
    for at, what in events:
        if what == "commit":
            names += 1
        elif start <= at <= end:
            frames.append(names if what == "core_repaint_begin" else 0)
        if what != "commit":
            names = 0
    return frames


pyatspi.Registry.getDesktop(0).childCount
program = subprocess.Popen([app_path])
work = tempfile.mkdtemp()
timeline_path = os.path.join(work, "timeline.json")
recorder = None
try:
    app = find_application("Kazerima")
    nodes = list(walk(app))
    buttons = {node.name: node for node in nodes if node.getRoleName() == "push button"}
    fields = {node.name: node for node in nodes if node.getRoleName() == "text"}
    first = fields["1人目の名前"].queryText()
    fields["2人目の名前"].queryEditableText().setTextContents(
        first.getText(0, first.characterCount))

    recorder = subprocess.Popen(["weston-debug", "timeline", "-o", timeline_path])
    time.sleep(1)  # the window drawn, and the edit taken in
    idle_from, switches = time.monotonic(), context_switches(program.pid)
    time.sleep(2)
    idle_to, idle_switches = time.monotonic(), context_switches(program.pid) - switches

    buttons["スタート"].queryAction().doAction(0)
    spin_from = time.monotonic() + 0.3  # past the first frames of the spin
    time.sleep(0.3 + seconds)
    spin_to = time.monotonic()
    buttons["ストップ"].queryAction().doAction(0)
    time.sleep(0.3)
finally:
    if recorder:
        recorder.terminate()
        recorder.wait()
    program.terminate()
    program.wait()

events = read_timeline(timeline_path)
idle_commits = sum(1 for at, what in events if what == "commit" and idle_from <= at <= idle_to)
frames = names_per_frame(events, spin_from, spin_to)
doubled = sum(1 for names in frames if names > 1)
named = sum(1 for names in frames if names > 0)
rate = len(frames) / (spin_to - spin_from)
print(f"left alone 2 s: {idle_commits} commits, {idle_switches} context switches; spinning: "
      f"{len(frames)} frames ({rate:.1f} a second), {named} with a name, {doubled} with more than one")
if idle_commits:
    faults.append(f"the window drew {idle_commits} times while left alone")
if idle_switches > 2:
    faults.append(f"the window woke {idle_switches} times in 2 s while left alone")
if len(frames) < 10 * seconds:
    faults.append("too few frames presented to judge")
if doubled * 100 > len(frames):
    faults.append(f"{doubled} of {len(frames)} frames took in more than one name")
if named * 100 < 95 * len(frames):
    faults.append(f"only {named} of {len(frames)} frames brought a name")
for fault in faults:
    print(f"FAIL: {fault}")
sys.exit(1 if faults else 0)
