"""Independent reference for the updater's file digests: MD5 of the longest
prefix whose length is a multiple of 512 bytes, and SHA-256 of the whole file.
Usage: file_digests.py FILE OUT         OUT gets the prefix MD5 of FILE
       file_digests.py --list LIST OUT  OUT gets, per line of LIST (a path),
                                        "size prefix-md5 sha256" or "missing"
"""
import hashlib
import sys


def digests(path):
    with open(path, "rb") as source:
        data = source.read()
    return len(data), hashlib.md5(data[: len(data) // 512 * 512]).hexdigest(), hashlib.sha256(data).hexdigest()


if sys.argv[1] == "--list":
    lines = []
    with open(sys.argv[2], encoding="utf-8") as listing:
        for path in listing.read().splitlines():
            try:
                lines.append("%d %s %s" % digests(path))
            except FileNotFoundError:
                lines.append("missing")
    with open(sys.argv[3], "w") as out:
        out.write("\n".join(lines) + "\n")
else:
    with open(sys.argv[2], "w") as out:
        out.write(digests(sys.argv[1])[1])
