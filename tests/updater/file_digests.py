"""Independent reference for the updater's file digests: MD5 of the longest
prefix whose length is a multiple of 512 bytes, and SHA-256 of the whole file.
Usage: file_digests.py LIST OUT  OUT gets, per line of LIST (a path),
                                 "size prefix-md5 sha256" or "missing"
"""
import hashlib
import sys

lines = []
with open(sys.argv[1], encoding="utf-8") as listing:
    for path in listing.read().splitlines():
        try:
            with open(path, "rb") as source:
                data = source.read()
        except FileNotFoundError:
            lines.append("missing")
            continue
        prefix = data[: len(data) // 512 * 512]
        lines.append("%d %s %s" % (len(data), hashlib.md5(prefix).hexdigest(), hashlib.sha256(data).hexdigest()))
with open(sys.argv[2], "w") as out:
    out.write("\n".join(lines) + "\n")
