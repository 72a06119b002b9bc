"""Times a program from exec to its window being mapped, and reads its resident memory once
it has settled. Runs under an X server (DISPLAY).
Prints: startup_ms=... rss_kib=... anon_kib=... (anon: the process's own, not file-backed)

    startup.py WINDOW_TITLE PROGRAM [ARGS...]
"""
import os
import subprocess
import sys
import time

from Xlib import X, display


def main():
    title, command = sys.argv[1], sys.argv[2:]
    d = display.Display()
    root = d.screen().root
    root.change_attributes(event_mask=X.SubstructureNotifyMask)
    d.sync()

    start = time.monotonic()
    proc = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    mapped = None
    while mapped is None:
        event = d.next_event()
        if event.type == X.MapNotify:
            try:
                name = event.window.get_wm_name()
            except Exception:
                continue
            if name == title:
                mapped = time.monotonic()
    time.sleep(1.0)
    with open(f"/proc/{proc.pid}/status") as status:
        fields = dict(line.split(":", 1) for line in status)
    rss, anon = (int(fields[key].split()[0]) for key in ("VmRSS", "RssAnon"))
    proc.terminate()
    proc.wait()
    print(f"startup_ms={(mapped - start) * 1000:.1f} rss_kib={rss} anon_kib={anon}")


if __name__ == "__main__":
    main()
