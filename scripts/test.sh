#!/bin/bash
# The whole test suite: set-up, build, every test under Wine and Xvfb (the
# fuzzers too; pass -LE fuzz, or use the "quick" test preset, to leave them out).
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
bash scripts/setup.sh
bash scripts/build.sh
source scripts/wine-env.sh
wine_env_start_fresh
trap wine_env_stop EXIT
ctest --preset mingw-cross "$@"
