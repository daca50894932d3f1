# SPDX-License-Identifier: MIT
"""The AT-SPI tree as the window tests read it: the bindings (or the skip, status 77, where
Python has none), the main window's title, and the walks that both helper scripts make."""
import os
import sys

try:
    import gi

    gi.require_version("Atspi", "2.0")
    from gi.repository import GLib
    import pyatspi
except (ImportError, ValueError) as error:
    name = os.path.splitext(os.path.basename(sys.argv[0]))[0]
    print(f"{name}: SKIPPED: no AT-SPI bindings for Python: {error}")
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
