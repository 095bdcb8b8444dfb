// Shared main for the benchmark programs. Every workload is registered as a
// pair, "<name>/kelvo" and "<name>/qpainter" (or "<name>/baseline"); after
// the run a table prints each pair's medians and the ratio.
#pragma once

namespace kelvo::bench {
// Runs the registered benchmarks; default: 7 repetitions, medians only.
int RunAndCompare(int argc, char** argv);
}  // namespace kelvo::bench
