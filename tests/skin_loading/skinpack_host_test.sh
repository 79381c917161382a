#!/bin/bash
# Builds SkinPack for the host and checks what a user of the tool sees: a
# packed folder lists and unpacks to the same files, damaged databases and
# names that leave the unpack folder are refused without writing anything.
# Usage: skinpack_host_test.sh <source root> <work folder>
set -euo pipefail
ROOT="$1"
WORK="$2"
BUILD="$WORK/host"
cmake -S "$ROOT/tools/skinpack" -B "$BUILD" -G Ninja >/dev/null
cmake --build "$BUILD" >/dev/null
PACK="$BUILD/SkinPack"

fail() { echo "FAILED: $*" >&2; exit 1; }

rm -rf "$WORK/skin" "$WORK/out" "$WORK/evil" "$WORK"/*.sdb
mkdir -p "$WORK/skin/blue/sub" "$WORK/skin/red"
printf '<theme/>' >"$WORK/skin/blue.xml"
printf 'BMbytes' >"$WORK/skin/blue/bg.bmp"
printf 'png' >"$WORK/skin/blue/sub/icon.png"
printf 'ignored' >"$WORK/skin/blue/Thumbs.db"
printf '<theme/>' >"$WORK/skin/red.XML"
printf 'gif' >"$WORK/skin/red/anim.gif"
printf 'no description' >"$WORK/skin/notes.txt"

"$PACK" pack "$WORK/skin" "$WORK/skin.sdb" 2>"$WORK/pack.err" >/dev/null || fail "pack"
grep -q 'skipped blue\\Thumbs.db' "$WORK/pack.err" || fail "unknown kinds are reported"

"$PACK" list "$WORK/skin.sdb" >"$WORK/list.txt" || fail "list"
expected='blue.xml
blue\bg.bmp
blue\sub\icon.png
red.XML
red\anim.gif'
[ "$(awk '{print $3}' "$WORK/list.txt")" = "$expected" ] || fail "list order: $(cat "$WORK/list.txt")"
grep -q '^ *7  2  blue\\bg.bmp$' "$WORK/list.txt" || fail "size and kind of blue\\bg.bmp"

"$PACK" unpack "$WORK/skin.sdb" "$WORK/out" >/dev/null || fail "unpack"
rm "$WORK/skin/blue/Thumbs.db" "$WORK/skin/notes.txt"
diff -r "$WORK/skin" "$WORK/out" || fail "unpacked files differ"

# A database the packer did not write: one entry climbs out of the folder.
python3 - "$WORK/evil.sdb" <<'PY'
import struct, sys, zlib
entries = [("fine.bmp", b"ok"), ("..\\evil.bmp", b"bad")]
index = "<file>" + "".join('<item name="%s" size="%d"/>' % (n, len(d)) for n, d in entries) + "</file>"
unpacked = index.encode() + b"".join(d for _, d in entries)
open(sys.argv[1], "wb").write(struct.pack("<II", len(unpacked), len(index)) + zlib.compress(unpacked))
PY
if "$PACK" unpack "$WORK/evil.sdb" "$WORK/evil/inner" 2>/dev/null; then fail "'..' accepted"; fi
[ ! -e "$WORK/evil" ] || fail "something was written for a refused database"

head -c 40 "$WORK/skin.sdb" >"$WORK/short.sdb"
if "$PACK" list "$WORK/short.sdb" 2>/dev/null; then fail "truncated database listed"; fi
if "$PACK" list "$WORK/missing.sdb" 2>/dev/null; then fail "missing database listed"; fi
echo "skinpack host test passed"
