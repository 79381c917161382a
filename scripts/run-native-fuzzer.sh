#!/bin/bash
# Builds a native fuzzer (a CMake project built with clang and the sanitizers)
# and runs it for a bounded time from its seeds: the files of a folder, or those a
# seed maker built with the project writes.
# Usage: run-native-fuzzer.sh <project folder> <build folder> <seed folder or maker> <fuzzer> <seconds> <max input length>
set -euo pipefail
PROJECT="$1"
BUILD="$2"
SEEDS="$3"
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
if [ -d "$SEEDS" ]; then
  find "$SEEDS" -maxdepth 1 -type f ! -name '*.sh' ! -name '*.txt' -exec cp {} "$BUILD/seeds/" \;
else
  "$BUILD/$SEEDS" "$BUILD/seeds"
fi

export ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$BUILD"
"$BUILD/$FUZZER" -max_total_time="$SECONDS_TO_RUN" -timeout=10 -rss_limit_mb=2560 \
  -max_len="$MAX_LEN" -print_final_stats=1 -artifact_prefix="$BUILD/artifacts/" \
  "$BUILD/corpus" "$BUILD/seeds"
