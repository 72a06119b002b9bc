"""Starts the program, finds it on the AT-SPI bus and checks what a screen reader would read:
roles, names and texts, and that a spin ending in Stop is announced once, with the pick; and
that a count chosen there takes effect.

    accessibility.py path/to/kazerima      (inside a D-Bus session, with DISPLAY set)
"""
import subprocess
import sys
import time

import pyatspi
from atspi_support import find_application, walk
from gi.repository import GLib

failures = []


def check(condition, message):
    print(("ok    " if condition else "FAIL  ") + message)
    if not condition:
        failures.append(message)


def text_of(node):
    text = node.queryText()
    return text.getText(0, text.characterCount)


def main():
    # Bring up the accessibility bus and its registry first, so the program finds them when
    # it starts rather than racing their activation.
    pyatspi.Registry.getDesktop(0).childCount
    program = subprocess.Popen([sys.argv[1]])
    try:
        app = find_application("Kazerima")
        nodes = [(n.getRoleName(), n.name, n) for n in walk(app)]
        for role, name, _ in nodes:
            print(f"      {role}: {name!r}")

        def named(role, name):
            return [n for r, nm, n in nodes if r == role and nm == name]

        for slot in range(1, 6):
            fields = named("text", f"{slot}人目の名前")
            check(len(fields) == 1, f"name field {slot} is a text named {slot}人目の名前")
            if fields:
                check(len(text_of(fields[0])) == 2, f"name field {slot} reads a two-kanji name")
        for count in range(2, 6):
            check(len(named("radio button", f"{count}人")) == 1, f"count button {count}人")
        check(len(named("push button", "スタート")) == 1, "Start button")
        check(len(named("push button", "ストップ")) == 1, "Stop button")
        check(len(named("label", "Kazerima")) == 1, "title label")

        result = [n for r, nm, n in nodes if r == "label"
                  and nm not in ("Kazerima", "名前を登録して下さい")]
        check(len(result) == 1, "one result label besides the title and the prompt")

        announced = []

        # Qt's bridge names the object whose name changed; a reader then reads that name.
        def on_name_change(event):
            if result and event.source == result[0]:
                announced.append(event.source.name)

        def press(name):
            button = named("push button", name)[0]
            button.queryAction().doAction(0)
            return False

        loop = GLib.MainLoop()
        pyatspi.Registry.registerEventListener(on_name_change,
                                               "object:property-change:accessible-name")
        GLib.timeout_add(300, press, "スタート")
        GLib.timeout_add(1300, press, "ストップ")
        GLib.timeout_add(2300, loop.quit)
        loop.run()

        picked = result[0].name if result else None
        names = [text_of(named("text", f"{slot}人目の名前")[0]) for slot in range(1, 6)]
        print(f"      announced: {announced!r}; the label now reads {picked!r}")
        check(len(announced) == 1, "the spin was announced once, at the stop")
        check(announced == [picked], "the announcement carries the picked name")
        check(picked in names, "the pick is one of the names")

        # A count chosen through assistive technology wakes the sleeping window, which takes it
        # in: the fifth name field goes.
        fifth = named("text", "5人目の名前")[0]
        named("radio button", "4人")[0].queryAction().doAction(0)
        deadline = time.monotonic() + 10
        while fifth.getState().contains(pyatspi.STATE_SHOWING) and time.monotonic() < deadline:
            time.sleep(0.05)
        check(not fifth.getState().contains(pyatspi.STATE_SHOWING),
              "4人 chosen by its action hides the fifth name field")
    finally:
        program.terminate()
        program.wait()
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
