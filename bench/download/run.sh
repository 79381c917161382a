#!/bin/bash
# Downloads a 64 MiB file from the local test server with CInetFile (download_bench.exe under
# Wine, no notify window) and with curl, alternately, both writing to files in the same folder,
# and prints the throughput ratio CInetFile/curl of the best rounds.
#   bench/download/run.sh [build folder]
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
BUILD="${1:-$ROOT/build}"
BENCH_EXE="$BUILD/bench/download/download_bench.exe"
SIZE=$((64 * 1024 * 1024))
ROUNDS=5

WORK="$(mktemp -d /tmp/tarnwick-download-bench.XXXXXX)"
PORT=""
cleanup() {
    if [ -n "$PORT" ]; then
        curl -s -m 5 "http://127.0.0.1:$PORT/__quit" >/dev/null || true
    fi
    rm -rf "$WORK"
}
trap cleanup EXIT

head -c "$SIZE" /dev/urandom >"$WORK/served.bin"
python3 "$ROOT/tests/support/http_test_server.py" --root "$WORK" --port-file "$WORK/port" \
    --idle 120 --lifetime 900 &
for _ in $(seq 1 100); do
    [ -s "$WORK/port" ] && break
    sleep 0.1
done
PORT="$(cat "$WORK/port")"
URL="http://127.0.0.1:$PORT/served.bin"
TARGET_WINE="Z:$(echo "$WORK/inetfile.bin" | tr / '\\')"

best_curl=""
best_inet=""
for round in $(seq 1 "$ROUNDS"); do
    curl_s="$(curl -s -m 120 -o "$WORK/curl.bin" -w '%{time_total}' "$URL")"
    [ "$(stat -c %s "$WORK/curl.bin")" -eq "$SIZE" ] || { echo "curl download incomplete"; exit 1; }
    inet_s="$("$ROOT/scripts/wine-run.sh" "$BENCH_EXE" "$URL" "$TARGET_WINE" "$SIZE" | tr -d '\r')"
    cmp -s "$WORK/inetfile.bin" "$WORK/served.bin" || { echo "CInetFile download differs"; exit 1; }
    echo "round $round: CInetFile $inet_s s, curl $curl_s s"
    best_curl="$(python3 -c "print(min(float(x) for x in '$best_curl $curl_s'.split()))")"
    best_inet="$(python3 -c "print(min(float(x) for x in '$best_inet $inet_s'.split()))")"
done
python3 - "$best_inet" "$best_curl" "$SIZE" <<'PY'
import sys
inet, curl, size = float(sys.argv[1]), float(sys.argv[2]), int(sys.argv[3])
mib = size / 1048576.0
print("CInetFile: %.1f MiB/s (best %.3f s)" % (mib / inet, inet))
print("curl:      %.1f MiB/s (best %.3f s)" % (mib / curl, curl))
print("throughput ratio CInetFile/curl: %.2f (goal >= 0.70)" % (curl / inet))
PY
