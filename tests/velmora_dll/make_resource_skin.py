"""Writes the skin database that the Velmora.dll tests carry as a resource of
their program: a generic description that fills the window with blue.
Usage: make_resource_skin.py <output file>
"""
import struct
import sys
import zlib
from pathlib import Path

DESCRIPTION = (
    '<?xml version="1.0" encoding="utf-8"?>\r\n<theme><window>'
    '<item type="commonctrl" id="commonctrl">'
    '<surface id="fill" fillcolor="(0,0,255)" upperleftx="0" upperlefty="0" '
    'lowerrightx="0" lowerrighty="0"/></item>'
    "</window></theme>\r\n"
).encode("ascii")


def database(entries):
    index = "<file>" + "".join(
        '<item name="%s" size="%d"/>' % (name, len(data)) for name, data in entries
    ) + "</file>"
    index = index.encode("ascii")
    unpacked = index + b"".join(data for _, data in entries)
    return struct.pack("<II", len(unpacked), len(index)) + zlib.compress(unpacked, 6)


def main():
    output = Path(sys.argv[1])
    output.parent.mkdir(parents=True, exist_ok=True)
    output.write_bytes(database([("resource.xml", DESCRIPTION)]))


if __name__ == "__main__":
    main()
