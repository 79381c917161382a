#!/bin/bash
# Configures (the mingw-cross preset) and builds the cross build into build/
# (after scripts/setup.sh).
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
DEPS="${TARNWICK_DEPS:-/opt/tarnwick-deps}"
# A build folder configured before the preset existed lacks the prefix path.
if [ ! -f build/build.ninja ] || ! grep -q "^CMAKE_PREFIX_PATH" build/CMakeCache.txt; then
  cmake --preset mingw-cross -DCMAKE_PREFIX_PATH="$DEPS/mingw32" >/dev/null
fi
cmake --build --preset mingw-cross
