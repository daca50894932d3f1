#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Renders the program icon's SVG at the sizes Windows shows and packs them into one .ico.

The .ico is committed, so a build needs neither this script nor rsvg-convert: run it after
editing resources/svg/icons/nimbrel-utility.svg and commit both. Every image is stored as PNG,
which Windows reads in icons since Vista.
"""
import pathlib
import struct
import subprocess
import sys
import tempfile

SIZES = (16, 20, 24, 32, 40, 48, 64, 256)


def main() -> int:
    here = pathlib.Path(__file__).resolve().parent
    svg = here.parent.parent / "resources/svg/icons/nimbrel-utility.svg"
    images = []
    with tempfile.TemporaryDirectory() as work:
        for size in SIZES:
            png = pathlib.Path(work) / f"{size}.png"
            subprocess.run(["rsvg-convert", "--width", str(size), "--height", str(size),
                            "--format", "png", "--output", str(png), str(svg)], check=True)
            images.append((size, png.read_bytes()))
    # ICONDIR, then one ICONDIRENTRY per image (0 stands for 256), then the images.
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries = b""
    for size, data in images:
        side = size % 256
        entries += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    (here / "nimbrel-utility.ico").write_bytes(header + entries + b"".join(d for _, d in images))
    return 0


if __name__ == "__main__":
    sys.exit(main())
