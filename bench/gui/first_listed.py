#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The launch-to-first-device figure of the real nimbrel-utility, read as a screen reader reads
the window (AT-SPI): the moment its status text first shows a device's details ("MAC:..."),
which it does as soon as a search has listed a device and selected it. The change is taken
from the accessible-name event that the program sends, not by polling its tree, which would
take the processor from the program.

  first_listed.py SECONDS COMMAND...
      listens for the events, starts COMMAND and prints "first_listed_ms=N", counted from the
      moment just before COMMAND was started; the program is ended afterwards

Exit status: 0 measured, 1 not within SECONDS, 77 without AT-SPI bindings or registry.
"""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests",
                                "support"))
from atspi_tree import GLib, pyatspi  # noqa: E402

EVENT = "object:property-change:accessible-name"


def main(arguments):
    if len(arguments) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    seconds, command = float(arguments[0]), arguments[1:]
    try:
        pyatspi.Registry.getDesktop(0).childCount
    except GLib.GError as error:
        print(f"first_listed.py: the AT-SPI registry cannot be reached: {error.message}")
        return 77
    started = []
    listed = []

    def on_event(event):
        try:
            name = event.source.name or ""
        except GLib.GError:
            return
        if started and not listed and name.startswith("MAC:"):
            listed.append((time.monotonic_ns() - started[0]) // 1_000_000)
            pyatspi.Registry.stop()

    def launch():
        started.append(time.monotonic_ns())
        started.append(subprocess.Popen(command, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL))
        return False

    def give_up():
        pyatspi.Registry.stop()
        return False

    pyatspi.Registry.registerEventListener(on_event, EVENT)
    GLib.timeout_add(0, launch)
    GLib.timeout_add(int(seconds * 1000), give_up)
    pyatspi.Registry.start()
    pyatspi.Registry.deregisterEventListener(on_event, EVENT)
    if len(started) == 2:
        started[1].terminate()
        started[1].wait()
    if not listed:
        print(f"first_listed.py: no device listed within {seconds} s", file=sys.stderr)
        return 1
    print(f"first_listed_ms={listed[0]}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
