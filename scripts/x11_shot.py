#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Drives a window on an X server without a window manager (Xvfb) for screenshots: key chords
through XTEST with the pointer over the window, a resize, and the window's picture as a PNG.
Needs only libX11 and libXtst (no ImageMagick, no xdotool).

  x11_shot.py TITLE keys CHORD...      e.g. "Control_L+g" (X keysym names joined by "+")
  x11_shot.py TITLE resize WIDTH HEIGHT
  x11_shot.py TITLE shoot FILE.png
  x11_shot.py TITLE shoot-screen FILE.png   every top-level window shown (open menus, dialogs):
                                            the screen cut to the area they cover
"""
import ctypes
import struct
import sys
import time
import zlib

ZPIXMAP = 2
ALL_PLANES = 0xFFFFFFFF


class XImage(ctypes.Structure):
    # The leading fields of Xlib's XImage, as far as the pixels need.
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.POINTER(ctypes.c_ubyte)),
                ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
                ("bits_per_pixel", ctypes.c_int), ("red_mask", ctypes.c_ulong),
                ("green_mask", ctypes.c_ulong), ("blue_mask", ctypes.c_ulong)]


class Attributes(ctypes.Structure):
    # Xlib's XWindowAttributes up to map_state, then room for the rest.
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int),
                ("height", ctypes.c_int), ("border_width", ctypes.c_int), ("depth", ctypes.c_int),
                ("visual", ctypes.c_void_p), ("root", ctypes.c_ulong),
                ("window_class", ctypes.c_int),
                ("bit_gravity", ctypes.c_int), ("win_gravity", ctypes.c_int),
                ("backing_store", ctypes.c_int), ("backing_planes", ctypes.c_ulong),
                ("backing_pixel", ctypes.c_ulong), ("save_under", ctypes.c_int),
                ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
                ("map_state", ctypes.c_int), ("rest", ctypes.c_byte * 256)]


IS_VIEWABLE = 2


x11 = ctypes.CDLL("libX11.so.6")
xtst = ctypes.CDLL("libXtst.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                           ctypes.POINTER(ctypes.c_ulong),
                           ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                           ctypes.POINTER(ctypes.c_uint)]
x11.XFetchName.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_char_p)]
x11.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(Attributes)]
x11.XGetImage.restype = ctypes.POINTER(XImage)
x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                          ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
x11.XResizeWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_uint, ctypes.c_uint]
x11.XStringToKeysym.restype = ctypes.c_ulong
x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
x11.XKeysymToKeycode.restype = ctypes.c_ubyte
x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
x11.XSetInputFocus.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_ulong]
xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int,
                                      ctypes.c_ulong]


def top_level_windows(display):
    root, parent = ctypes.c_ulong(), ctypes.c_ulong()
    kids, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
    x11.XQueryTree(display, x11.XDefaultRootWindow(display), ctypes.byref(root),
                   ctypes.byref(parent), ctypes.byref(kids), ctypes.byref(count))
    return [kids[index] for index in range(count.value)]


def window_named(display, title):
    for window in top_level_windows(display):
        name = ctypes.c_char_p()
        if x11.XFetchName(display, window, ctypes.byref(name)) and name.value:
            if name.value.decode("utf-8", "replace") == title:
                return window
    sys.exit(f"x11_shot.py: no top-level window named {title!r}")


def geometry(display, window):
    attributes = Attributes()
    x11.XGetWindowAttributes(display, window, ctypes.byref(attributes))
    return attributes.x, attributes.y, attributes.width, attributes.height


def press(display, window, chords):
    x, y, width, height = geometry(display, window)
    # Without a window manager nothing activates the window: the pointer is moved over it and it
    # is given the focus, since Qt takes shortcuts only in its active window.
    xtst.XTestFakeMotionEvent(display, -1, x + width // 2, y + height // 2, 0)
    x11.XSetInputFocus(display, window, 1, 0)  # RevertToPointerRoot, CurrentTime
    x11.XSync(display, 0)
    time.sleep(0.2)
    for chord in chords:
        codes = [x11.XKeysymToKeycode(display, x11.XStringToKeysym(key.encode()))
                 for key in chord.split("+")]
        for code in codes:
            xtst.XTestFakeKeyEvent(display, code, 1, 0)
        for code in reversed(codes):
            xtst.XTestFakeKeyEvent(display, code, 0, 0)
        x11.XSync(display, 0)
        time.sleep(0.3)


def png(path, width, height, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    raw = b"".join(b"\0" + row for row in rows)
    with open(path, "wb") as file:
        file.write(b"\x89PNG\r\n\x1a\n")
        file.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        file.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        file.write(chunk(b"IEND", b""))


def shown_area(display):
    """The smallest rectangle of the screen that holds every top-level window on it."""
    boxes = []
    for window in top_level_windows(display):
        attributes = Attributes()
        x11.XGetWindowAttributes(display, window, ctypes.byref(attributes))
        if attributes.map_state == IS_VIEWABLE and attributes.width > 1:
            boxes.append((attributes.x, attributes.y, attributes.x + attributes.width,
                          attributes.y + attributes.height))
    _, _, screen_width, screen_height = geometry(display, x11.XDefaultRootWindow(display))
    left, top = max(0, min(b[0] for b in boxes)), max(0, min(b[1] for b in boxes))
    right = min(screen_width, max(b[2] for b in boxes))
    bottom = min(screen_height, max(b[3] for b in boxes))
    return left, top, right - left, bottom - top


def shoot(display, window, path, area=None):
    x, y, width, height = area or (0, 0) + geometry(display, window)[2:]
    image = x11.XGetImage(display, window, x, y, width, height, ALL_PLANES, ZPIXMAP).contents
    if image.bits_per_pixel != 32:
        sys.exit(f"x11_shot.py: {image.bits_per_pixel} bits a pixel; only 32 is read")
    rows = []
    for y in range(height):
        line = ctypes.string_at(ctypes.addressof(image.data.contents) + y * image.bytes_per_line,
                                width * 4)
        # Little-endian B, G, R, unused: to R, G, B.
        rgb = bytearray(width * 3)
        rgb[0::3], rgb[1::3], rgb[2::3] = line[2::4], line[1::4], line[0::4]
        rows.append(bytes(rgb))
    png(path, width, height, rows)


def main(arguments):
    if len(arguments) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    display = x11.XOpenDisplay(None)
    if not display:
        sys.exit("x11_shot.py: cannot open the X display")
    window = window_named(display, arguments[0])
    action = arguments[1]
    if action == "keys":
        press(display, window, arguments[2:])
    elif action == "resize" and len(arguments) == 4:
        x11.XResizeWindow(display, window, int(arguments[2]), int(arguments[3]))
        x11.XSync(display, 0)
        time.sleep(0.5)
    elif action == "shoot":
        shoot(display, window, arguments[2])
    elif action == "shoot-screen":
        shoot(display, x11.XDefaultRootWindow(display), arguments[2], shown_area(display))
    else:
        print(__doc__, file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
