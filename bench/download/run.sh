#!/bin/bash
# Download figures on one 64 MiB file from the local test server, every figure measured in the
# same run (best of ROUNDS rounds, the contenders taking turns):
#   1. throughput of the updater's download job (download_bench.exe job) against a plain WinInet
#      read loop (download_bench.exe wininet: the same session options, 256 KiB reads); goal
#      >= 0.9. curl's figure is printed for information;
#   2. a whole update of that file by Tarnwick.exe (window, manifest, digest check, installation,
#      lobby start) against the bare download of the same file by the job without a window, both
#      as the wall time of a Wine process of their own; goal <= 1.3. The same two on an 8 MiB file
#      served at about a player's line rate are printed for information.
#   bench/download/run.sh [build folder]
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
BUILD="${1:-$ROOT/build}"
BENCH_EXE="$BUILD/bench/download/download_bench.exe"
SIZE=$((64 * 1024 * 1024))
ROUNDS=${ROUNDS:-5}

WORK="$(mktemp -d /tmp/tarnwick-download-bench.XXXXXX)"
cleanup() {
    touch "$WORK/quit"
    sleep 0.5
    rm -rf "$WORK"
}
trap cleanup EXIT
wine_path() { echo "Z:$1" | tr / '\\'; }
now() { date +%s.%N; }

mkdir -p "$WORK/release" "$WORK/install"
head -c "$SIZE" /dev/urandom >"$WORK/release/served.bin"
python3 "$ROOT/tests/support/http_test_server.py" --root "$WORK/release" --port-file "$WORK/port" \
    --quit-file "$WORK/quit" --idle 300 --lifetime 1800 &
for _ in $(seq 1 100); do
    [ -s "$WORK/port" ] && break
    sleep 0.1
done
PORT="$(cat "$WORK/port")"
URL="http://127.0.0.1:$PORT/served.bin"

# The installation: the updater with its skin library and skin, the lobby it starts at the end,
# and a manifest of one file.
cp "$BUILD/updater/Tarnwick.exe" "$BUILD/updater/Velmora.dll" "$BUILD/updater/Tarnwick.sdb" \
    "$BUILD/samples/lobby/Dovrel.exe" "$WORK/install/"
printf '[Update]\r\nUpdateUrl=http://127.0.0.1:%s/UpdateNew.xml\r\n' "$PORT" >"$WORK/install/Platform.ini"
# The updater's digest: MD5 of the longest prefix made of whole 512-byte blocks.
prefix_md5() {
    python3 -c 'import hashlib, sys; d = open(sys.argv[1], "rb").read()
print(hashlib.md5(d[: len(d) // 512 * 512]).hexdigest())' "$1"
}
DIGEST="$(prefix_md5 "$WORK/release/served.bin")"
cat >"$WORK/release/UpdateNew.xml" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<Update><File><FileName>served.bin</FileName><FileSize>$SIZE</FileSize>
<HashCode>$DIGEST</HashCode><URL>$URL</URL></File></Update>
XML

source "$ROOT/scripts/wine-env.sh"
wine_env_start
best() { python3 -c "import sys; print(min(float(x) for x in sys.argv[1:]))" "$@"; }
check() { cmp -s "$1" "$WORK/release/served.bin" || { echo "$2 download differs"; exit 1; }; }

job=() wininet=() curl_s=() bare=() update=()
for round in $(seq 1 "$ROUNDS"); do
    job+=("$(wine "$BENCH_EXE" job "$URL" "$(wine_path "$WORK/job.bin")" "$SIZE" | tr -d '\r')")
    check "$WORK/job.bin.tmp" job
    wininet+=("$(wine "$BENCH_EXE" wininet "$URL" "$(wine_path "$WORK/wininet.bin")" "$SIZE" | tr -d '\r')")
    check "$WORK/wininet.bin" WinInet
    curl_s+=("$(curl -s -m 120 -o "$WORK/curl.bin" -w '%{time_total}' "$URL")")
    check "$WORK/curl.bin" curl

    rm -f "$WORK/bare.bin.tmp"
    start="$(now)"
    wine "$BENCH_EXE" job "$URL" "$(wine_path "$WORK/bare.bin")" "$SIZE" >/dev/null
    bare+=("$(python3 -c "print('%.4f' % ($(now) - $start))")")
    check "$WORK/bare.bin.tmp" "bare job"

    rm -f "$WORK/install/served.bin"
    start="$(now)"
    wine "$WORK/install/Tarnwick.exe" x
    update+=("$(python3 -c "print('%.4f' % ($(now) - $start))")")
    check "$WORK/install/served.bin" Tarnwick.exe
    echo "round $round: job ${job[-1]} s, WinInet loop ${wininet[-1]} s, curl ${curl_s[-1]} s;" \
        "processes: bare job ${bare[-1]} s, Tarnwick.exe update ${update[-1]} s"
done
python3 - "$SIZE" "$(best "${job[@]}")" "$(best "${wininet[@]}")" "$(best "${curl_s[@]}")" \
    "$(best "${bare[@]}")" "$(best "${update[@]}")" <<'PY'
import sys
size = int(sys.argv[1])
job, wininet, curl, bare, update = (float(x) for x in sys.argv[2:])
mib = size / 1048576.0
for name, seconds in (("job", job), ("WinInet loop", wininet), ("curl", curl)):
    print("%-13s %6.1f MiB/s (best %.3f s)" % (name + ":", mib / seconds, seconds))
print("throughput ratio job/WinInet loop: %.2f (goal >= 0.90)" % (wininet / job))
print("throughput ratio job/curl:         %.2f (for information)" % (curl / job))
print("Tarnwick.exe whole update %.3f s, bare job process %.3f s" % (update, bare))
print("time ratio update/bare download:   %.2f (goal <= 1.30)" % (update / bare))
PY

# For information: the same two processes at about a player's line rate, the server sending
# 1 KiB a millisecond (/slow/1/), on the first 8 MiB of the file, one round each.
LINE_SIZE=$((8 * 1024 * 1024))
head -c "$LINE_SIZE" "$WORK/release/served.bin" >"$WORK/release/line.bin"
LINE_URL="http://127.0.0.1:$PORT/slow/1/line.bin"
LINE_DIGEST="$(prefix_md5 "$WORK/release/line.bin")"
mkdir -p "$WORK/line"
cp "$WORK/install/"*.exe "$WORK/install/"*.dll "$WORK/install/"*.sdb "$WORK/line/"
printf '[Update]\r\nUpdateUrl=http://127.0.0.1:%s/UpdateLine.xml\r\n' "$PORT" >"$WORK/line/Platform.ini"
cat >"$WORK/release/UpdateLine.xml" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<Update><File><FileName>line.bin</FileName><FileSize>$LINE_SIZE</FileSize>
<HashCode>$LINE_DIGEST</HashCode><URL>$LINE_URL</URL></File></Update>
XML
rm -f "$WORK/line-bare.bin.tmp"
start="$(now)"
wine "$BENCH_EXE" job "$LINE_URL" "$(wine_path "$WORK/line-bare.bin")" "$LINE_SIZE" >/dev/null
line_bare="$(python3 -c "print('%.3f' % ($(now) - $start))")"
start="$(now)"
wine "$WORK/line/Tarnwick.exe" x
line_update="$(python3 -c "print('%.3f' % ($(now) - $start))")"
cmp -s "$WORK/line/line.bin" "$WORK/release/line.bin" || { echo "line-rate update differs"; exit 1; }
python3 -c "import sys; u, b = float(sys.argv[1]), float(sys.argv[2]); print(
    'at about %.1f MiB/s: Tarnwick.exe update %.3f s, bare job %.3f s, ratio %.2f (for information)'
    % (8 / b, u, b, u / b))" "$line_update" "$line_bare"
