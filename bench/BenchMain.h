// Shared main for the benchmark programs. Every workload is registered as a
// pair, "<name>/kelvo" and "<name>/qpainter" (or "<name>/baseline"); after
// the run a table prints each pair's medians and the ratio.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>

namespace kelvo::bench {

// A small seeded generator, so that every run draws the same workload.
struct TRng {
  uint32_t S = 12345;
  uint32_t Step() { return (S = S * 1664525u + 1013904223u) >> 8; }
  int Next(int n) { return static_cast<int>(Step() % static_cast<uint32_t>(n)); }
  double NextReal(double n) { return Step() % 1000000 / 1000000.0 * n; }
};

// Runs the registered benchmarks; default: 7 repetitions, medians only.
int RunAndCompare(int argc, char** argv);
}  // namespace kelvo::bench

// Registers name##_kelvo and name##_qpainter as "<name>/kelvo" and
// "<name>/qpainter", in milliseconds or microseconds.
#define KELVO_PAIR_IN(name, unit)                            \
  BENCHMARK(name##_kelvo)->Name(#name "/kelvo")->Unit(unit); \
  BENCHMARK(name##_qpainter)->Name(#name "/qpainter")->Unit(unit);
#define KELVO_PAIR(name) KELVO_PAIR_IN(name, benchmark::kMillisecond)
#define KELVO_PAIR_US(name) KELVO_PAIR_IN(name, benchmark::kMicrosecond)
