#!/bin/bash
# Builds the native skin database fuzzer with clang and runs it for a bounded
# time, seeded with a few valid databases.
# Usage: run_fuzz.sh <build folder> <seconds>
set -euo pipefail
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
BUILD="$1"
SECONDS_TO_RUN="${2:-30}"

if [ ! -f "$BUILD/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S "$HERE" -B "$BUILD" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$BUILD"

rm -rf "$BUILD/seeds"
mkdir -p "$BUILD/seeds" "$BUILD/corpus" "$BUILD/artifacts"
"$BUILD/make_skin_database_seeds" "$BUILD/seeds"

export ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$BUILD"
"$BUILD/skin_database_fuzzer" -max_total_time="$SECONDS_TO_RUN" -timeout=10 -rss_limit_mb=2560 \
  -max_len=16384 -print_final_stats=1 -artifact_prefix="$BUILD/artifacts/" \
  "$BUILD/corpus" "$BUILD/seeds"
