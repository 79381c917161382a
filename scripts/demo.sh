#!/bin/bash
# The main job on an embedded default: a real update of a sample installation
# from a local HTTP server, run by Tarnwick.exe under Wine, with a screenshot
# of the updater window taken during the run.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
bash scripts/setup.sh
bash scripts/build.sh >/dev/null
if [ ! -x build-host/MakeManifest ]; then
  cmake -S tools/manifest -B build-host -G Ninja >/dev/null
fi
cmake --build build-host >/dev/null

DEMO="$ROOT/out/demo"
RELEASE="$DEMO/release"
INSTALL="$DEMO/install"
rm -rf "$DEMO"
mkdir -p "$RELEASE" "$INSTALL/data"

# The publisher's side: the sample release plus a larger pack file, so the
# transfer lasts long enough to be seen.
cp -r samples/release/. "$RELEASE/"
head -c $((2 * 1024 * 1024)) /dev/urandom > "$RELEASE/data/textures.pak"

python3 tests/support/http_test_server.py --root "$RELEASE" --port-file "$DEMO/port" \
  --log "$DEMO/requests.log" --quit-file "$DEMO/quit" --idle 120 --lifetime 600 >/dev/null 2>&1 &
trap 'touch "$DEMO/quit"' EXIT
for _ in $(seq 1 100); do [ -s "$DEMO/port" ] && break; sleep 0.1; done
PORT="$(cat "$DEMO/port")"

# Files are served at 2 ms per KiB so that the window shows the run.
build-host/MakeManifest --root "$RELEASE" --base-url "http://127.0.0.1:$PORT/slow/2" >/dev/null

# The user's side: an older installation with one current, one outdated and
# two missing files.
# The updater comes with its skin library and its skin.
cp build/updater/Tarnwick.exe build/updater/Velmora.dll build/updater/Tarnwick.sdb \
  build/samples/lobby/Dovrel.exe "$INSTALL/"
cp "$RELEASE/readme.txt" "$INSTALL/"
printf '[Lobby]\nVersion=2.3.9\nServers=2\n' > "$INSTALL/data/config.dat"
printf '[Platform]\r\nDovrelClass=DovrelDemo\r\n[Update]\r\nUpdateUrl=http://127.0.0.1:%s/UpdateNew.xml\r\n' \
  "$PORT" > "$INSTALL/Platform.ini"

source scripts/wine-env.sh
wine_env_start_fresh
echo "Running Tarnwick.exe in $INSTALL against http://127.0.0.1:$PORT ..."
wine "$INSTALL/Tarnwick.exe" &
UPDATER=$!
sleep 3
import -display "$DISPLAY" -window root "$DEMO/screen.png"
convert "$DEMO/screen.png" -trim +repage "$DEMO/screenshot.png"
rm -f "$DEMO/screen.png"
for _ in $(seq 1 1200); do kill -0 $UPDATER 2>/dev/null || break; sleep 0.1; done
if kill -0 $UPDATER 2>/dev/null; then
  echo "Tarnwick.exe did not end within two minutes" >&2
  exit 1
fi

echo
echo "Files of the release, as the installation has them now:"
status=0
while IFS= read -r -d '' file; do
  rel="${file#"$RELEASE"/}"
  [ "$rel" = "UpdateNew.xml" ] && continue
  if cmp -s "$file" "$INSTALL/$rel"; then
    if grep -q "^> GET /slow/2/$rel " "$DEMO/requests.log" 2>/dev/null; then
      echo "  updated  $rel"
    else
      echo "  current  $rel (not downloaded)"
    fi
  else
    echo "  DIFFERS  $rel"
    status=1
  fi
done < <(find "$RELEASE" -type f -print0 | sort -z)
leftovers="$(find "$INSTALL" -name '*.tmp' -o -name UpdateNew.xml)"
[ -z "$leftovers" ] || { echo "  left behind: $leftovers"; status=1; }
# The lobby is started just before the updater ends; give it a moment to log.
for _ in $(seq 1 100); do [ -f "$INSTALL/Dovrel.log" ] && break; sleep 0.1; done
if [ -f "$INSTALL/Dovrel.log" ]; then
  echo "Lobby started with: $(tr -d '\r' < "$INSTALL/Dovrel.log")"
else
  echo "Lobby was not started"
  status=1
fi
echo "Screenshot of the updater window during the run: $DEMO/screenshot.png"
exit $status
