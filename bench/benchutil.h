// Measuring one operation: wall time when run natively, instruction counts
// when run under `valgrind --tool=callgrind --collect-atstart=no`.  Each
// measured block is dumped by callgrind under its label, and bench/run.sh
// pairs the dumps with the wall times of the native run.
#pragma once

#include <valgrind/callgrind.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace qevbench {

// Runs f once, measured under `label` (a word without blanks, e.g.
// "iconlist.fill.xd.10000").  Prints "TIME <label> <milliseconds>".
template <class F>
void measure(const std::string &label, F &&f) {
  auto t0 = std::chrono::steady_clock::now();
  CALLGRIND_ZERO_STATS;
  CALLGRIND_TOGGLE_COLLECT;
  f();
  CALLGRIND_TOGGLE_COLLECT;
  CALLGRIND_DUMP_STATS_AT(label.c_str());
  auto t1 = std::chrono::steady_clock::now();
  double ms = std::chrono::duration<double, std::milli>(t1 - t0).count();
  std::printf("TIME %s %.3f\n", label.c_str(), ms);
  std::fflush(stdout);
}

// Prints a note that belongs in the table (a peer's limit and the like).
inline void note(const std::string &text) {
  std::printf("NOTE %s\n", text.c_str());
  std::fflush(stdout);
}

}  // namespace qevbench
