#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The real nimbrel-utility's status bar and Ctrl+C, as a user meets them, under Xvfb.

  window_text.py status PID SECONDS FILE
      waits up to SECONDS for the program's status text (through the AT-SPI tree) to show a
      device ("MAC:..."), and writes it into FILE as UTF-8
  window_text.py copy PID SECONDS
      presses Ctrl+C on the device list (X keyboard events through XTEST, the pointer over the
      list), waits for the notice of the copy's length and presses its OK button

Exit status: 0 done, 1 failed, 77 when AT-SPI or XTEST cannot be had.
Every line of output starts with "window_text: ".
"""
import ctypes
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from atspi_tree import WINDOW_TITLE, fail, poll, pyatspi, say, text_of, top_level, walk  # noqa: E402

BOX_TITLE = "NIMBREL AP/BRIDGE/CloudAP"


def wait_for(what, seconds, find):
    """Runs find() until it returns something, for up to SECONDS; fails the run then."""
    found = poll(seconds, find, 0.2)
    if found is None:
        fail(f"no {what} after {seconds} s")
    return found


def status_label(window):
    bars = [a for a, _ in walk(window) if a.getRole() == pyatspi.ROLE_STATUS_BAR]
    labels = [a for bar in bars for a, depth in walk(bar)
              if depth > 0 and a.getRole() == pyatspi.ROLE_LABEL]
    return labels[0] if labels else None


def write_status(pid, seconds, path):
    window = wait_for("main window", seconds, lambda: top_level(pid, WINDOW_TITLE))
    label = wait_for("status bar label", seconds, lambda: status_label(window))
    text = wait_for("device details in the status bar", seconds,
                    lambda: (lambda t: t if t.startswith("MAC:") else None)(text_of(label)))
    with open(path, "w", encoding="utf-8", newline="") as file:
        file.write(text)
    say(f"status text {text!r}")
    return 0


class Keyboard:
    """X keyboard and pointer events through the XTEST extension, on $DISPLAY."""

    def __init__(self):
        try:
            self.x11 = ctypes.CDLL("libX11.so.6")
            self.xtst = ctypes.CDLL("libXtst.so.6")
        except OSError as error:
            say(f"SKIPPED: no XTEST client library: {error}")
            sys.exit(77)
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x11.XStringToKeysym.restype = ctypes.c_ulong
        self.x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
        self.x11.XKeysymToKeycode.restype = ctypes.c_ubyte
        self.x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                                ctypes.c_ulong]
        self.xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int,
                                                   ctypes.c_int, ctypes.c_ulong]
        self.display = self.x11.XOpenDisplay(None)
        if not self.display:
            fail("cannot open the X display")

    def point_at(self, x, y):
        self.xtst.XTestFakeMotionEvent(self.display, -1, x, y, 0)
        self.x11.XSync(self.display, 0)

    def chord(self, *names):
        """Presses the keys in order and releases them in reverse."""
        codes = [self.x11.XKeysymToKeycode(self.display, self.x11.XStringToKeysym(name.encode()))
                 for name in names]
        for code in codes:
            self.xtst.XTestFakeKeyEvent(self.display, code, 1, 0)
        for code in reversed(codes):
            self.xtst.XTestFakeKeyEvent(self.display, code, 0, 0)
        self.x11.XSync(self.display, 0)


def centre(accessible):
    extents = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return extents.x + extents.width // 2, extents.y + extents.height // 2


def press_copy(pid, seconds):
    window = wait_for("main window", seconds, lambda: top_level(pid, WINDOW_TITLE))
    lists = [a for a, _ in walk(window) if a.name == "Devices found"]
    if not lists:
        fail("no list named 'Devices found'")
    keyboard = Keyboard()
    # Without a window manager the keyboard goes to the window under the pointer.
    keyboard.point_at(*centre(lists[0]))
    time.sleep(0.2)
    keyboard.chord("Control_L", "c")
    box = wait_for("notice of the copy", seconds, lambda: top_level(pid, BOX_TITLE))
    buttons = [a for a, _ in walk(box) if a.getRole() == pyatspi.ROLE_PUSH_BUTTON]
    if not buttons:
        fail(f"the notice {box.name!r} has no button")
    say(f"notice {box.name!r}, pressing its button {buttons[0].name!r}")
    buttons[0].queryAction().doAction(0)
    wait_for("notice closed", seconds,
             lambda: True if top_level(pid, BOX_TITLE) is None else None)
    return 0


def main(arguments):
    if len(arguments) == 4 and arguments[0] == "status":
        return write_status(int(arguments[1]), float(arguments[2]), arguments[3])
    if len(arguments) == 3 and arguments[0] == "copy":
        return press_copy(int(arguments[1]), float(arguments[2]))
    say("usage: window_text.py status PID SECONDS FILE | copy PID SECONDS")
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
