#!/usr/bin/env bash
# "tools/setup.sh demo" builds the module, the demo and the widget-set
# example, and no test program.  The build and X tools are replaced by
# stand-ins on PATH that write down how they were called; the packages
# count as installed.
#
#   setup_targets.sh SOURCE_DIR
set -euo pipefail
top=$1
fake=$(mktemp -d)
trap 'rm -rf "$fake"' EXIT
log=$fake/calls
for tool in cmake xvfb-run; do
  printf '#!/bin/sh\necho "%s $*" >> "%s"\n' "$tool" "$log" > "$fake/$tool"
done
printf '#!/bin/sh\necho "install ok installed"\n' > "$fake/dpkg-query"
chmod +x "$fake"/*
env -u DISPLAY PATH="$fake:$PATH" bash "$top/tools/setup.sh" demo >/dev/null

builds=$(grep -E '^cmake --build ' "$log" || true)
if [ -z "$builds" ]; then
  echo "FAIL: nothing was built"; cat "$log"; exit 1
fi
status=0
while read -r line; do
  targets=$( (echo "$line" | grep -oE -- '--target [^ ]+' || true) | awk '{print $2}' | sort | tr '\n' ' ')
  if [ "$targets" != "qevdemo qevmotif_module xddemo " ]; then
    echo "FAIL: the demo's build was: $line"
    status=1
  fi
done <<< "$builds"
# The demo itself then runs (here, on the stand-in X server).
grep -q 'xvfb-run .*build/qevdemo --screenshots build' "$log" || { echo "FAIL: the demo did not run"; status=1; }
[ $status -eq 0 ] && echo "ok: $builds"
exit $status
