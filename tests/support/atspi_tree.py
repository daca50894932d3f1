# SPDX-License-Identifier: MIT
"""The AT-SPI tree as the window tests read it: the bindings (or the skip, status 77, where
Python has none), the main window's title, the walks and waits that the helper scripts make, and
their output: every line starts with the script's name."""
import os
import sys
import time

NAME = os.path.splitext(os.path.basename(sys.argv[0]))[0]


def say(text):
    print(f"{NAME}: {text}", flush=True)


def fail(text):
    say(f"FAIL: {text}")
    sys.exit(1)


try:
    import gi

    gi.require_version("Atspi", "2.0")
    from gi.repository import GLib
    import pyatspi
except (ImportError, ValueError) as error:
    say(f"SKIPPED: no AT-SPI bindings for Python: {error}")
    sys.exit(77)

WINDOW_TITLE = " Nimbrel AP/Bridge/CloudAP Utility Config"


def children(accessible):
    try:
        return [accessible.getChildAtIndex(i) for i in range(accessible.childCount)]
    except GLib.GError:
        return []


def walk(accessible, depth=0):
    """Every accessible under accessible, with its depth; None children are left out."""
    yield accessible, depth
    for child in children(accessible):
        if child is not None:
            yield from walk(child, depth + 1)


def find_application(pid):
    for app in children(pyatspi.Registry.getDesktop(0)):
        try:
            if app is not None and app.get_process_id() == pid:
                return app
        except GLib.GError:
            continue
    return None


def text_of(accessible):
    """What a screen reader reads of a label: its text, else its name."""
    try:
        text = accessible.queryText()
        return text.getText(0, text.characterCount)
    except (NotImplementedError, GLib.GError):
        return accessible.name


def poll(seconds, find, interval=0.1):
    """Runs find() every INTERVAL seconds until it returns something, for up to SECONDS; None
    then. A tree that changes under a walk raises GLib.GError: that try counts as nothing."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            found = find()
        except GLib.GError:
            found = None
        if found is not None:
            return found
        time.sleep(interval)
    return None


def top_level(pid, title):
    """The program's top-level window of that title, or None."""
    app = find_application(pid)
    for child in children(app) if app is not None else []:
        if child is not None and child.name == title:
            return child
    return None
