#!/bin/bash
# Fault check: puts each deliberate one-line fault of scripts/fault-check.faults into a
# scratch clone of the tree, builds it, runs only the CTest tests that should catch it,
# takes the fault out again and reports caught or missed. Not part of the test suite.
# Usage: fault-check.sh [filter]  (only the faults whose row in the table matches the filter,
# an extended regular expression)
# FAULT_CHECK_REF: commit whose code and tests are checked (default HEAD); the fault table
# is always this checkout's. FAULT_CHECK_DIR: scratch folder kept between runs.
# WINEPREFIX and TARNWICK_DISPLAY as for the tests.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
TABLE="$ROOT/scripts/fault-check.faults"
FILTER="${1:-}"
display="${TARNWICK_DISPLAY:-:91}"
SCRATCH="${FAULT_CHECK_DIR:-/tmp/fault-check-${display#:}}"
SRC="$SCRATCH/src"
BUILD="$SRC/build" # where the clone's own scripts/build.sh builds
LOGS="$SCRATCH/logs"

commit=$(git -C "$ROOT" rev-parse --verify "${FAULT_CHECK_REF:-HEAD}^{commit}")
[ -d "$SRC/.git" ] || git clone -q --no-checkout "$ROOT" "$SRC"
git -C "$SRC" fetch -q "$ROOT" "+refs/heads/*:refs/remotes/checked/*"
git -C "$SRC" checkout -q --force --detach "$commit"
git -C "$SRC" clean -qfd
rm -rf "$LOGS" && mkdir -p "$LOGS"
echo "fault check of $(git -C "$SRC" log -1 --format='%h %s') in $SCRATCH"

(cd "$SRC" && bash scripts/setup.sh && bash scripts/build.sh) >"$LOGS/build.log" 2>&1 ||
  { echo "set-up or build failed: $LOGS/build.log" >&2; exit 1; }
source "$SRC/scripts/wine-env.sh"
wine_env_start
trap wine_env_stop EXIT

# The faults chosen, as tab-separated rows.
mapfile -t faults < <(grep -v '^#' "$TABLE" | grep -v '^$' | grep -E -- "$FILTER" || true)
[ ${#faults[@]} -gt 0 ] || { echo "no fault matches '$FILTER'" >&2; exit 1; }

tests_regex() { echo "^($(echo "$1" | tr ' ' '|'))\$"; }

# The tests must pass on the code as it is, or a failure would prove nothing (a test
# that fails now and then gets a second try).
all_tests=$(printf '%s\n' "${faults[@]}" | cut -f3 | tr ' ' '\n' | sort -u | tr '\n' ' ')
if ! ctest --test-dir "$BUILD" -R "$(tests_regex "${all_tests% }")" --timeout 900 --repeat until-pass:2 \
  >"$LOGS/baseline.log" 2>&1; then
  echo "the tests fail without any fault: $LOGS/baseline.log" >&2
  exit 1
fi

# replace FILE OCCURRENCE FROM TO: puts TO in place of the line whose text (indentation
# aside) is FROM; fails unless that line is there, and once unless an occurrence is given.
replace() {
  python3 - "$@" <<'PY'
import sys
path, occurrence, old, new = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4]
with open(path, encoding="utf-8", newline="") as f:
    lines = f.readlines()
found = [i for i, line in enumerate(lines) if line.strip() == old]
if not found or (occurrence == "" and len(found) > 1) or (occurrence and int(occurrence) > len(found)):
    sys.exit("%s: %d lines read '%s'" % (path, len(found), old))
i = found[int(occurrence or 1) - 1]
line = lines[i]
indent = line[: len(line) - len(line.lstrip())]
ending = line[len(line.rstrip("\r\n")):]
lines[i] = indent + new + ending
with open(path, "w", encoding="utf-8", newline="") as f:
    f.writelines(lines)
PY
}

caught=0 missed=0 broken=0 number=0
for row in "${faults[@]}"; do
  IFS=$'\t' read -r what where tests original faulty <<<"$row"
  number=$((number + 1))
  file="${where%%:*}" occurrence=""
  [ "$file" = "$where" ] || occurrence="${where#*:}"
  log="$LOGS/fault-$number.log"
  cp "$SRC/$file" "$SCRATCH/original"
  if ! replace "$SRC/$file" "$occurrence" "$original" "$faulty" >"$log" 2>&1; then
    result="NOT FOUND"
  else
    targets=()
    for test in $tests; do
      ninja -C "$BUILD" -t query "$test" >/dev/null 2>&1 && targets+=(--target "$test")
    done
    if ! cmake --build "$BUILD" "${targets[@]}" >>"$log" 2>&1; then
      result="NO BUILD"
    elif ctest --test-dir "$BUILD" -R "$(tests_regex "$tests")" --timeout 900 >>"$log" 2>&1; then
      result="missed"
    else
      result="caught"
    fi
  fi
  # The original back, newer than the faulty build so that the next build takes it.
  cp "$SCRATCH/original" "$SRC/$file" && touch "$SRC/$file"
  case "$result" in
  caught) caught=$((caught + 1)) ;;
  missed) missed=$((missed + 1)) ;;
  *) broken=$((broken + 1)) ;;
  esac
  printf '%-9s %-58s %-34s %s\n' "$result" "$what" "$where" "$tests"
done
echo "$caught caught, $missed missed, $broken not applied (logs in $LOGS)"
[ "$missed" -eq 0 ] && [ "$broken" -eq 0 ]
