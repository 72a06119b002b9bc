"""What the end-to-end tests that reach the program through AT-SPI share: its accessible tree,
and the program found on the bus by name."""
import time

import pyatspi


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def find_application(name, seconds=30):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name.lower() == name.lower():
                return app
        time.sleep(0.2)
    raise SystemExit(f"FAIL: no application named {name} on the accessibility bus")
