#!/usr/bin/env bash
# Installs what the project needs on Debian 12, builds it and then runs the
# demo or the tests.
#
#   tools/setup.sh demo    build the demo's programs alone and run the demo (on
#                          $DISPLAY, or on a private Xvfb with screenshots under
#                          build/ when there is none)
#   tools/setup.sh demo widgets
#                          the widget-set example (lists, tree, tabs) alone
#   tools/setup.sh test    build and run every test, every benchmark program
#                          once at its smallest size, then the sanitizer build's
#   tools/setup.sh build   install and build only
#   tools/setup.sh bench   build and run the benchmarks on a private Xvfb
#   tools/setup.sh fuzz [seconds]
#                          build the fuzz targets with clang and run each for
#                          `seconds` (300 by default); "test" runs them 10 s each
#
# Builds and test runs use every core; JOBS=N in the environment limits them
# to N (e.g. JOBS=4 tools/setup.sh test).
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
jobs=$(nproc 2>/dev/null || echo 2)
if [ -n "${JOBS:-}" ]; then
  if ! [[ "$JOBS" =~ ^[1-9][0-9]*$ ]]; then
    echo "JOBS must be a positive number of jobs, not \"$JOBS\"" >&2
    exit 2
  fi
  jobs=$JOBS
fi

packages=(build-essential cmake g++ g++-multilib libmotif-dev libxt-dev libx11-dev
  libxext-dev libxtst-dev libxmu-dev libxpm-dev xvfb xauth xfonts-base x11-apps
  x11-utils libgtest-dev mwm imagemagick valgrind clang libclang-rt-14-dev)

install_packages() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if ((${#missing[@]})); then
    echo "== installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
  fi
}

# A private X server for programs run one after another.  It does not reset
# when its last client leaves: a reset closes a client whose connection is
# still being set up, and the next program would find no display.
xvfb_run() { xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$@"; }

build() {  # build DIR [cmake options...]
  local dir=$1; shift
  cmake -S "$top" -B "$dir" "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

# What the demo needs: the module, the stand-in host's demo program and the
# widget-set example; the test programs are left to "test".
demo_targets=(qevmotif_module qevdemo xddemo)
build_demo() {  # build_demo DIR
  local dir=$1 targets=() t
  cmake -S "$top" -B "$dir" >/dev/null
  for t in "${demo_targets[@]}"; do targets+=(--target "$t"); done
  cmake --build "$dir" -j "$jobs" "${targets[@]}"
}

run_tests() {  # run_tests DIR
  (cd "$1" && ctest --output-on-failure -j "$jobs" --timeout 300)
}

# The fuzz targets (tests/fuzz/fuzz_*.cpp), built with clang and libFuzzer
# in build-fuzz and run one after the other for $1 seconds each, starting
# from the seed corpus kept in tests/fuzz/corpus/<name>/.  New inputs go to
# build-fuzz/corpus/<name>/, an input that finds a fault to
# build-fuzz/artifacts/ (add it to the seed corpus once the fault is fixed).
run_fuzzers() {  # run_fuzzers SECONDS
  local secs=$1 dir=build-fuzz failed=0
  CC=clang CXX=clang++ cmake -S "$top" -B "$dir" -DQEV_FUZZ=ON -DQEV_TESTS=OFF -DQEV_BENCH=OFF \
    -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build "$dir" -j "$jobs" --target fuzz_targets >/dev/null
  mkdir -p "$dir/artifacts"
  # The readers that keep what they read in the module's state run with the
  # window system started: on $DISPLAY, else on a private Xvfb.
  local x=()
  [ -n "${DISPLAY:-}" ] || x=(xvfb_run)
  for src in tests/fuzz/fuzz_*.cpp; do
    local target name
    target=$(basename "$src" .cpp)
    name=${target#fuzz_}
    mkdir -p "$dir/corpus/$name"
    if ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        "${x[@]}" "$dir/fuzz/$target" -max_total_time="$secs" -timeout=20 -rss_limit_mb=2048 \
        -artifact_prefix="$dir/artifacts/$name-" "$dir/corpus/$name" "tests/fuzz/corpus/$name" \
        >"$dir/$name.log" 2>&1; then
      echo "$name: $(grep -o 'Done [0-9]* runs' "$dir/$name.log" | tail -1), no fault"
    else
      echo "$name: FAULT (log $dir/$name.log, input under $dir/artifacts/)"
      grep -m1 -A12 -E 'ERROR|runtime error|deadly signal' "$dir/$name.log" || tail -20 "$dir/$name.log"
      failed=1
    fi
  done
  return $failed
}

# Installs the build into a scratch prefix and builds the example program
# from the installed headers and library alone: each widget-set header must
# compile on its own (the public ones in C too), and the program must run.
install_check() {  # install_check BUILD_DIR
  local prefix
  prefix=$(mktemp -d)
  cmake --install "$1" --prefix "$prefix" >/dev/null
  local h
  for h in "$prefix"/include/xd/*.h; do
    printf '#include "xd/%s"\n' "$(basename "$h")" |
      g++ -std=c++17 -fsyntax-only -x c++ -I"$prefix/include" -
  done
  for h in IconList.h MCIconList.h Tree.h Tab.h qevutil.h; do
    printf '#include "xd/%s"\n' "$h" | gcc -fsyntax-only -x c -I"$prefix/include" -
  done
  g++ -std=c++17 -o "$prefix/xdalone" examples/xdalone.cpp -I"$prefix/include" \
    "$prefix/lib/qevmotif.so" -Wl,-rpath,"$prefix/lib" -lXm -lXt -lX11
  xvfb_run "$prefix/xdalone" --check
  rm -rf "$prefix"
}

cmd=${1:-test}
install_packages
case "$cmd" in
  build)
    build build ;;
  test)
    build build
    echo "== tests"
    xvfb_run bash -c "cd build && ctest --output-on-failure -j $jobs --timeout 300"
    echo "== the widget set from its installed headers and library"
    install_check build
    echo "== every benchmark program once at its smallest size"
    xvfb_run bench/run.sh --smallest build
    echo "== tests, AddressSanitizer and UndefinedBehaviorSanitizer build"
    build build-asan -DQEV_SANITIZE=ON -DQEV_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
    # Full stacks for every allocation: the toolkit libraries have no frame
    # pointers, and the leak suppressions name toolkit functions that only a
    # full stack shows.
    export ASAN_OPTIONS=detect_leaks=1:fast_unwind_on_malloc=0
    export LSAN_OPTIONS="suppressions=$top/tests/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    xvfb_run bash -c "cd build-asan && ctest --output-on-failure -j $jobs --timeout 600"
    echo "== fuzz targets, 10 s each"
    run_fuzzers 10
    ;;
  fuzz)
    run_fuzzers "${2:-300}" ;;
  demo)
    build_demo build
    shift || true
    # "tools/setup.sh demo" runs the stand-in host driving the module;
    # "tools/setup.sh demo widgets" runs the widget-set example on its own.
    what=host
    if [ "${1:-}" = widgets ]; then what=widgets; shift; fi
    if [ -n "${DISPLAY:-}" ]; then
      if [ $what = widgets ]; then exec build/xddemo "$@"; fi
      exec build/qevdemo "$@"
    fi
    echo "== no DISPLAY: running the demo on a private Xvfb, screenshots under build/"
    if [ $what = host ]; then
      xvfb_run build/qevdemo --screenshots build "$@"
    fi
    xvfb_run build/xddemo --page 1 --screenshot build/xddemo-lists.png
    xvfb_run build/xddemo --page 2 --screenshot build/xddemo-tree.png
    ;;
  bench)
    build build
    shift || true
    xvfb_run bench/run.sh build "$@"
    ;;
  *)
    echo "usage: tools/setup.sh demo|test|build|bench|fuzz" >&2; exit 2 ;;
esac
