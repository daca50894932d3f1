#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""What a screen reader finds of nimbrel-utility through the AT-SPI tree.

  accessibility_tree.py window PID SECONDS
      waits up to SECONDS for the program with process id PID and its main window in the tree
  accessibility_tree.py tree PID MODEL ADDRESS STATUS SECONDS
      the named parts are there, the list holds an item naming MODEL and ADDRESS, and the status
      text reads STATUS (waiting up to SECONDS for the list and the text to be so)
  accessibility_tree.py announce PID STATUS SECONDS   (STATUS: how the new text begins)
      starts a search through the Browse menu item's action and waits up to SECONDS for the
      name-change event of the status text that then reads STATUS

Exit status: 0 passed, 1 failed, 77 when the AT-SPI registry cannot be reached.
Every line of output starts with "accessibility_tree: ".
"""
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from atspi_tree import (GLib, WINDOW_TITLE, children, fail, find_application, pyatspi,  # noqa: E402
                        say, text_of, walk)


def role_name(accessible):
    try:
        return accessible.getRoleName()
    except GLib.GError:
        return "?"


def find_window(app):
    for child in children(app):
        if child is not None and child.getRole() == pyatspi.ROLE_FRAME and child.name == WINDOW_TITLE:
            return child
    return None


def wait_for_window(pid, seconds):
    deadline = time.monotonic() + seconds
    app = window = None
    while time.monotonic() < deadline:
        try:
            app = find_application(pid)
            window = find_window(app) if app is not None else None
        except GLib.GError as error:
            say(f"(retrying) {error.message}")
        if window is not None:
            return app, window
        time.sleep(0.2)
    if app is None:
        desktop = pyatspi.Registry.getDesktop(0)
        names = [f"{a.name!r} (pid {a.get_process_id()})" for a in children(desktop) if a]
        fail(f"no application with pid {pid} in the tree after {seconds} s; there are: {names}")
    fail(f"application {app.name!r} is in the tree, but no frame named {WINDOW_TITLE!r}:"
         f" {[(c.name, role_name(c)) for c in children(app) if c]}")


def dump(window):
    for accessible, depth in walk(window):
        say(f"  {'  ' * depth}{role_name(accessible)} {accessible.name!r}")


def named(window, name):
    return [a for a, _ in walk(window) if a.name == name]


def one_named(window, name, roles):
    found = named(window, name)
    if not found:
        dump(window)
        fail(f"no accessible named {name!r}")
    wanted = [a for a in found if roles is None or a.getRole() in roles]
    if not wanted:
        fail(f"{name!r} has the role {[role_name(a) for a in found]}, not one of"
             f" {[pyatspi.Atspi.role_get_name(r) for r in roles]}")
    say(f"found {role_name(wanted[0])} {name!r}")
    return wanted[0]


def status_label(status_bar):
    labels = [a for a, depth in walk(status_bar) if depth > 0 and a.getRole() == pyatspi.ROLE_LABEL]
    if not labels:
        fail(f"the status bar holds no label: {[(c.name, role_name(c)) for c in children(status_bar) if c]}")
    return labels[0]


def parts(window):
    device_list = one_named(window, "Devices found", (pyatspi.ROLE_LIST, pyatspi.ROLE_LIST_BOX,
                                                      pyatspi.ROLE_TREE, pyatspi.ROLE_TABLE))
    one_named(window, "Searching for devices", None)
    status_bar = one_named(window, "Status", (pyatspi.ROLE_STATUS_BAR,))
    return device_list, status_bar


def check_window(pid, seconds):
    app, window = wait_for_window(pid, seconds)
    say(f"application {app.name!r} (pid {pid}) shows frame {window.name!r}")
    return 0


def check_tree(pid, model, address, status, seconds):
    _, window = wait_for_window(pid, seconds)
    device_list, status_bar = parts(window)
    label = status_label(status_bar)
    deadline = time.monotonic() + seconds
    while True:
        items = [c.name for c in children(device_list) if c is not None]
        listed = [name for name in items if model in name and address in name]
        text = text_of(label)
        if listed and text == status:
            break
        if time.monotonic() > deadline:
            dump(window)
            fail(f"after {seconds} s the list holds {items} (wanted an item naming {model!r} and"
                 f" {address!r}) and the status text reads {text!r} (wanted {status!r})")
        time.sleep(0.2)
    say(f"the list holds {listed[0]!r}")
    say(f"the status text reads {text!r} (name {label.name!r})")
    return 0


def find_browse_item(window):
    for accessible, _ in walk(window):
        if accessible.getRole() == pyatspi.ROLE_MENU_ITEM and accessible.name.replace("&", "") == "Browse":
            return accessible
    dump(window)
    fail("no menu item named Browse")


def wait_for_searches_to_end(window, seconds):
    """Until the search animation is off the screen: the start-up searches run in the open
    window, and a Browse pressed during one of them would be ignored."""
    animation = one_named(window, "Searching for devices", None)
    deadline = time.monotonic() + seconds
    while animation.getState().contains(pyatspi.STATE_SHOWING):
        if time.monotonic() > deadline:
            fail(f"a search still runs after {seconds} s")
        time.sleep(0.1)


def check_announcement(pid, status, seconds):
    _, window = wait_for_window(pid, seconds)
    _, status_bar = parts(window)
    label = status_label(status_bar)
    wait_for_searches_to_end(window, seconds)
    before = text_of(label)
    if before.startswith(status):
        fail(f"the status text reads {status!r} already, before the search")
    browse = find_browse_item(window)
    action = browse.queryAction()
    actions = [action.getName(i) for i in range(action.nActions)]
    say(f"menu item {browse.name!r} has actions {actions}")

    events = []
    stopping = []

    def on_event(event):
        source = event.source
        try:
            source_name, source_role = source.name, role_name(source)
        except GLib.GError:
            source_name, source_role = "?", "?"
        events.append((event.type, source_role, source_name, event.any_data))
        say(f"event {event.type} from {source_role} {source_name!r}, data {event.any_data!r}")
        if source_role == "label" and source_name.startswith(status) and not stopping:
            # A moment more, to count any second event for the same change.
            stopping.append(GLib.timeout_add(1000, give_up))

    def start_search():
        # The call returns at once; the search's result comes about 2.5 s later.
        if not action.doAction(0):
            say(f"the action {actions[0]!r} of Browse reports failure")
        return False

    def give_up():
        pyatspi.Registry.stop()
        return False

    pyatspi.Registry.registerEventListener(on_event, "object:property-change:accessible-name")
    # The program learns of the new listener through the registry's signal: a moment for it.
    GLib.timeout_add(500, start_search)
    GLib.timeout_add(int(seconds * 1000), give_up)
    pyatspi.Registry.start()
    pyatspi.Registry.deregisterEventListener(on_event, "object:property-change:accessible-name")

    after = text_of(label)
    if not any(role == "label" and name.startswith(status) for _, role, name, _ in events):
        fail(f"no accessible-name change of the status text arrived in {seconds} s;"
             f" events: {events}; the status text read {before!r} before and reads {after!r} now")
    if not after.startswith(status):
        fail(f"the event arrived, but the status text reads {after!r}, not {status!r}...")
    count = sum(role == "label" and name == after for _, role, name, _ in events)
    say(f"the status text changed from {before!r} to {after!r}, announced by {count} event(s)")
    if count > 1:
        # QLabel::setText raises the name change itself; a second one is the program's own.
        say(f"NOTE: the change was announced {count} times; a screen reader may speak it twice")
    return 0


def main(argv):
    try:
        pyatspi.Registry.getDesktop(0).childCount
    except GLib.GError as error:
        say(f"SKIPPED: the AT-SPI registry cannot be reached: {error.message}")
        return 77
    if len(argv) == 4 and argv[1] == "window":
        return check_window(int(argv[2]), float(argv[3]))
    if len(argv) == 7 and argv[1] == "tree":
        return check_tree(int(argv[2]), argv[3], argv[4], argv[5], float(argv[6]))
    if len(argv) == 5 and argv[1] == "announce":
        return check_announcement(int(argv[2]), argv[3], float(argv[4]))
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
