"""Independent reference for the updater's file digest: MD5 of the longest
prefix whose length is a multiple of 512 bytes. Usage: prefix_md5.py FILE OUT"""
import hashlib
import sys

with open(sys.argv[1], "rb") as source:
    data = source.read()
with open(sys.argv[2], "w") as out:
    out.write(hashlib.md5(data[: len(data) // 512 * 512]).hexdigest())
