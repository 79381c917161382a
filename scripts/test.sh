#!/bin/bash
# The whole test suite: set-up, build, every test under Wine and Xvfb.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
bash scripts/setup.sh
bash scripts/build.sh
source scripts/wine-env.sh
wine_env_start_fresh
trap wine_env_stop EXIT
ctest --test-dir build --output-on-failure --timeout 900 "$@"
