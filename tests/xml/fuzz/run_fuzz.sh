#!/bin/bash
# Native build of the XML reader with AddressSanitizer, UndefinedBehaviorSanitizer and
# libFuzzer; a bounded run from the seed documents must find no fault.
# Usage: run_fuzz.sh <work folder> [seconds]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
src="$here/../../../skin/xml"
work="$1"
seconds="${2:-60}"
mkdir -p "$work/corpus"
cp "$here"/seeds/* "$work/corpus/"
rm -f "$work"/fuzz_input_*.xml

clang++-14 -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -I"$src" "$here/XmlFuzz.cpp" "$here/AsciiCodePage.cpp" \
  "$src"/XmlDocument.cpp "$src"/XmlDocumentLoad.cpp "$src"/XmlElementIndex.cpp \
  "$src"/XmlEncodings.cpp "$src"/XmlEntities.cpp "$src"/XmlIndexBuilder.cpp \
  "$src"/XmlResultReport.cpp "$src"/XmlText.cpp \
  -o "$work/xml_fuzz"

cd "$work"
./xml_fuzz -seed=1 -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
  -dict="$here/xml.dict" \
  -print_final_stats=1 corpus
