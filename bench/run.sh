#!/usr/bin/env bash
# Runs every benchmark program natively (wall time) and under callgrind
# (instruction counts) and prints one table per program.
#   bench/run.sh BUILD_DIR [program-name-filter]
# Labels are "<group>.<operation>.<impl>.<size>"; the table pairs the
# implementation "xd" (the project's) with every other implementation (the
# toolkit's peers) of the same group, operation and size.
set -euo pipefail
build=${1:-build}
filter=${2:-}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for prog in "$build"/bench/bench_*; do
  [ -x "$prog" ] || continue
  name=$(basename "$prog")
  [[ -z "$filter" || "$name" == *"$filter"* ]] || continue
  echo "== $name"
  "$prog" > "$out/$name.time"
  valgrind --tool=callgrind --collect-atstart=no --callgrind-out-file="$out/$name.cg.%p" \
      "$prog" --callgrind > "$out/$name.cgout" 2> "$out/$name.cgerr" || true
  python3 "$(dirname "$0")/table.py" "$out/$name.time" "$out"/$name.cg.*
done
