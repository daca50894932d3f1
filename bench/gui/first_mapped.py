#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The launch-to-window figure: starts a program and waits, without polling, for the X server to
map its top-level window of a given title (a MapNotify on the root window, as a window manager
would see it). The program is started after the watch is in place, so nothing is missed, and is
ended once the window is there.

  first_mapped.py TITLE SECONDS COMMAND...
      prints "first_mapped_ms=N", from the moment just before COMMAND was started

Exit status: 0 measured, 1 not within SECONDS (or the program ended first).
"""
import ctypes
import select
import subprocess
import sys
import time

MAP_NOTIFY = 19
SUBSTRUCTURE_NOTIFY_MASK = 1 << 19


class MapEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("event", ctypes.c_ulong),
                ("window", ctypes.c_ulong), ("override_redirect", ctypes.c_int)]


class Event(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("map", MapEvent), ("pad", ctypes.c_long * 24)]


x11 = ctypes.CDLL("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
x11.XConnectionNumber.argtypes = [ctypes.c_void_p]
x11.XPending.argtypes = [ctypes.c_void_p]
x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(Event)]
x11.XFetchName.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_char_p)]
x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]


def titled(display, window, title):
    name = ctypes.c_char_p()
    return bool(x11.XFetchName(display, window, ctypes.byref(name))) and \
        name.value is not None and name.value.decode("utf-8", "replace") == title


def main(arguments):
    if len(arguments) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    title, seconds, command = arguments[0], float(arguments[1]), arguments[2:]
    display = x11.XOpenDisplay(None)
    if not display:
        print("first_mapped.py: cannot open the X display", file=sys.stderr)
        return 1
    x11.XSelectInput(display, x11.XDefaultRootWindow(display), SUBSTRUCTURE_NOTIFY_MASK)
    x11.XSync(display, 0)
    start = time.monotonic_ns()
    program = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    deadline = time.monotonic() + seconds
    event = Event()
    try:
        while time.monotonic() < deadline and program.poll() is None:
            while x11.XPending(display):
                x11.XNextEvent(display, ctypes.byref(event))
                if event.type == MAP_NOTIFY and titled(display, event.map.window, title):
                    elapsed = (time.monotonic_ns() - start) // 1_000_000
                    print(f"first_mapped_ms={elapsed}")
                    return 0
            select.select([x11.XConnectionNumber(display)], [], [], 0.1)
    finally:
        program.terminate()
        program.wait()
    print(f"first_mapped.py: no window {title!r} mapped within {seconds} s", file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
