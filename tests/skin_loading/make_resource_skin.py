"""Writes the skin databases compiled into the loading tests' resources.

Written independently of the packer, from the file layout alone, so that the
library is also tested against a second writer.
Usage: make_resource_skin.py <output folder>
"""
import struct
import sys
import zlib
from pathlib import Path


def bmp(width, height, bgr):
    stride = (width * 3 + 3) & ~3
    row = (bytes(bgr) * width).ljust(stride, b"\0")
    pixels = row * height
    header = b"BM" + struct.pack("<IHHI", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + pixels


def database(entries):
    index = "<file>\n" + "".join(
        '  <item size="%d" name="%s"/>\n' % (len(data), name) for name, data in entries
    ) + "</file>\n"
    index = index.encode("ascii")
    unpacked = index + b"".join(data for _, data in entries)
    return struct.pack("<II", len(unpacked), len(index)) + zlib.compress(unpacked, 6)


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    description = (
        '<?xml version="1.0" encoding="utf-8"?>\n<theme>\n'
        '<image><item id="resource.bg" file="bg.bmp"/></image>\n'
        '<window><item id="dialog.resource" type="dialog">'
        '<property width="50" height="40"/></item></window>\n</theme>\n'
    ).encode("utf-8")
    entries = [("res\\bg.bmp", bmp(3, 3, (255, 0, 0))), ("res.xml", description)]
    (out / "resource_skin.sdb").write_bytes(database(entries))
    (out / "empty.bin").write_bytes(b"")
    (out / "junk.bin").write_bytes(struct.pack("<II", 100, 10) + b"no zlib stream here")


if __name__ == "__main__":
    main()
