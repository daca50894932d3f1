#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Every device that answered, listed in the real nimbrel-utility's window, read back through
the AT-SPI tree as a screen reader reads it.

  window_devices.py PID SECONDS CAPTION...
      waits up to SECONDS for the main window, which must come before any device is listed
      (the window shows at once, the first search takes 2.5 s), then up to SECONDS for the list
      named "Devices found" (or $WINDOW_LIST_NAME, its name in the program's language) to hold
      an item named exactly each CAPTION ("model IPv4")

Exit status: 0 all listed, 1 failed, 77 without AT-SPI bindings.
Every line of output starts with "window_devices: ".
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from atspi_tree import WINDOW_TITLE, fail, poll, pyatspi, say, top_level, walk  # noqa: E402

LIST_NAME = os.environ.get("WINDOW_LIST_NAME", "Devices found")
LIST_ROLES = (pyatspi.ROLE_LIST, pyatspi.ROLE_LIST_BOX, pyatspi.ROLE_TREE, pyatspi.ROLE_TABLE,
              pyatspi.ROLE_TREE_TABLE)


def device_list(pid):
    window = top_level(pid, WINDOW_TITLE)
    for accessible, _ in walk(window) if window is not None else []:
        if accessible.name == LIST_NAME and accessible.getRole() in LIST_ROLES:
            return accessible
    return None


def item_names(listing):
    """The names of the list's items (a table's cells too: its rows' first cells name them)."""
    return [child.name for child, depth in walk(listing) if depth > 0 and child.name]


def main(arguments):
    if len(arguments) < 3:
        say("usage: window_devices.py PID SECONDS CAPTION...")
        return 2
    pid, seconds, captions = int(arguments[0]), float(arguments[1]), arguments[2:]
    listing = poll(seconds, lambda: device_list(pid))
    if listing is None:
        fail(f"no window with a list named {LIST_NAME!r} after {seconds} s")
    first_seen = item_names(listing)
    if first_seen:
        fail(f"the window came only after a search had ended; it listed {first_seen}")
    say("the window is on screen before the first search has ended")
    listed = poll(seconds, lambda: (lambda names: names if set(captions) <= set(names) else None)(
        item_names(listing)))
    if listed is None:
        names = item_names(listing)
        missing = [caption for caption in captions if caption not in names]
        fail(f"after {seconds} s the list holds {len(names)} items; missing {missing}")
    say(f"all {len(captions)} devices listed")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
