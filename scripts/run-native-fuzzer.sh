#!/bin/bash
# Builds a native fuzzer (a CMake project built with clang and the sanitizers)
# and runs it for a bounded time from the seeds its seed maker writes.
# Usage: run-native-fuzzer.sh <project folder> <build folder> <seed maker> <fuzzer> <seconds> <max input length>
set -euo pipefail
PROJECT="$1"
BUILD="$2"
SEED_MAKER="$3"
FUZZER="$4"
SECONDS_TO_RUN="$5"
MAX_LEN="$6"

if [ ! -f "$BUILD/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S "$PROJECT" -B "$BUILD" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$BUILD"

rm -rf "$BUILD/seeds"
mkdir -p "$BUILD/seeds" "$BUILD/corpus" "$BUILD/artifacts"
"$BUILD/$SEED_MAKER" "$BUILD/seeds"

export ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$BUILD"
"$BUILD/$FUZZER" -max_total_time="$SECONDS_TO_RUN" -timeout=10 -rss_limit_mb=2560 \
  -max_len="$MAX_LEN" -print_final_stats=1 -artifact_prefix="$BUILD/artifacts/" \
  "$BUILD/corpus" "$BUILD/seeds"
