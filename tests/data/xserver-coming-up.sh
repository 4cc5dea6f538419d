#!/bin/sh
# An X server that names its display while it is still coming up: the
# display number goes to the -displayfd descriptor at once, and Xvfb starts
# on that display half a second later.  The other arguments are Xvfb's.
fd=
args=
while [ $# -gt 0 ]; do
  if [ "$1" = "-displayfd" ]; then
    fd=$2
    shift 2
    continue
  fi
  args="$args $1"
  shift
done
[ -n "$fd" ] || exit 2
n=$(( $$ % 1000 + 3000 ))
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
eval "echo $n >&$fd"
eval "exec $fd>&-"
sleep 0.5
exec Xvfb ":$n" $args
