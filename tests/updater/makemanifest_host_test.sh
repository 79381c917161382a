#!/bin/bash
# Builds MakeManifest for the host and checks its signatures with Debian's own
# minisign: keys without a password (minisign -G -W) and with one, a wrong
# password and a damaged key refused before anything is written, and the
# whole-file digests against sha256sum.
# Usage: makemanifest_host_test.sh <source root> <work folder>
set -euo pipefail
ROOT="$1"
WORK="$2"
KEYS="$ROOT/tests/updater/keys"
BUILD="$WORK/host"
cmake -S "$ROOT/tools/manifest" -B "$BUILD" -G Ninja >/dev/null
cmake --build "$BUILD" >/dev/null
MAKER="$BUILD/MakeManifest"

fail() { echo "FAILED: $*" >&2; exit 1; }

rm -rf "$WORK/release"
mkdir -p "$WORK/release/data"
printf 'hello' >"$WORK/release/readme.txt"
head -c 70000 /dev/urandom >"$WORK/release/data/pack.bin"
MANIFEST="$WORK/release/UpdateNew.xml"

for key in publisher encrypted; do
  rm -f "$MANIFEST" "$MANIFEST.minisig"
  MAKEMANIFEST_KEY_PASSWORD=tarnwick "$MAKER" --root "$WORK/release" \
    --base-url http://127.0.0.1/game --sign "$KEYS/$key.key" >/dev/null || fail "signing with $key.key"
  minisign -Vm "$MANIFEST" -p "$KEYS/$key.pub" >/dev/null || fail "minisign refuses the $key signature"
  if minisign -Vm "$MANIFEST" -p "$KEYS/other.pub" >/dev/null 2>&1; then fail "another key verifies"; fi
done
grep -c '<File>' "$MANIFEST" | grep -qx 2 || fail "the manifest and its signature are left out"
sha="$(sha256sum "$WORK/release/data/pack.bin" | cut -d' ' -f1)"
grep -q "<Sha256>$sha</Sha256>" "$MANIFEST" || fail "Sha256 of data/pack.bin"

rm -f "$MANIFEST" "$MANIFEST.minisig"
if MAKEMANIFEST_KEY_PASSWORD=wrong "$MAKER" --root "$WORK/release" --base-url http://x \
  --sign "$KEYS/encrypted.key" 2>"$WORK/wrong.err" >/dev/null; then fail "wrong password accepted"; fi
grep -q 'wrong password' "$WORK/wrong.err" || fail "wrong password not told: $(cat "$WORK/wrong.err")"
sed '2s/^\(.\{100\}\)./\1A/' "$KEYS/publisher.key" >"$WORK/damaged.key"
cmp -s "$WORK/damaged.key" "$KEYS/publisher.key" && sed -i '2s/^\(.\{100\}\)./\1B/' "$WORK/damaged.key"
if "$MAKER" --root "$WORK/release" --base-url http://x --sign "$WORK/damaged.key" 2>/dev/null >/dev/null; then
  fail "damaged key accepted"
fi
[ ! -e "$MANIFEST" ] || fail "a manifest was written with an unusable key"
echo "MakeManifest host test passed"
