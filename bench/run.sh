#!/usr/bin/env bash
# Runs every benchmark program natively (wall time, X requests and round
# trips) and under callgrind (instruction counts) and prints one table per
# program.
#   bench/run.sh BUILD_DIR [program-name-filter]
#   bench/run.sh --smallest BUILD_DIR [program-name-filter]
#                    each program once, natively, at its smallest size: a
#                    check that every benchmark runs and its results hold
# Labels are "<group>.<operation>.<impl>.<size>"; the table pairs the
# implementation "xd" (the project's) with every other implementation (the
# toolkit's peers) of the same group, operation and size.  A program whose
# result checks fail ends with a non-zero status, and so does this script
# (after running the others).
set -uo pipefail
smallest=0
if [ "${1:-}" = --smallest ]; then smallest=1; shift; fi
build=${1:-build}
filter=${2:-}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
status=0
for prog in "$build"/bench/bench_*; do
  [ -x "$prog" ] || continue
  name=$(basename "$prog")
  [[ -z "$filter" || "$name" == *"$filter"* ]] || continue
  echo "== $name"
  if ((smallest)); then
    if ! QEV_BENCH_SMALLEST=1 "$prog" > "$out/$name.time"; then
      echo "FAILED: $name (smallest size)"; status=1
    fi
    grep -E "^(FAILED|NOTE)" "$out/$name.time" || true
    continue
  fi
  if ! "$prog" > "$out/$name.time"; then
    echo "FAILED: $name"; status=1
  fi
  # A program that measures each part in a process of its own runs itself
  # again: those runs are followed, the X servers they start are not.
  valgrind --tool=callgrind --collect-atstart=no --callgrind-out-file="$out/$name.cg.%p" \
      --trace-children=yes --trace-children-skip='*Xvfb*,*xkbcomp*,*/sh,*/mwm' \
      "$prog" --callgrind > "$out/$name.cgout" 2> "$out/$name.cgerr" || true
  python3 "$(dirname "$0")/table.py" "$out/$name.time" "$out"/$name.cg.*
done
exit $status
