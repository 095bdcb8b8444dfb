#include "BenchMain.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace kelvo::bench {

namespace {

class TMedianCollector : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      if (r.run_type == Run::RT_Aggregate && r.aggregate_name != "median") continue;
      std::string name = r.run_name.function_name;
      const double ms = r.GetAdjustedRealTime() * ToMs(r.time_unit);
      const auto slash = name.rfind('/');
      if (slash == std::string::npos) continue;
      Times[name.substr(0, slash)][name.substr(slash + 1)] = ms;
    }
  }
  std::map<std::string, std::map<std::string, double>> Times;

 private:
  static double ToMs(benchmark::TimeUnit u) {
    switch (u) {
      case benchmark::kNanosecond:
        return 1e-6;
      case benchmark::kMicrosecond:
        return 1e-3;
      case benchmark::kMillisecond:
        return 1.0;
      case benchmark::kSecond:
        return 1e3;
    }
    return 1.0;
  }
};

}  // namespace

int RunAndCompare(int argc, char** argv) {
  std::vector<char*> args(argv, argv + argc);
  std::string reps = "--benchmark_repetitions=7", aggr = "--benchmark_report_aggregates_only=true";
  bool userReps = false;
  for (int i = 1; i < argc; ++i)
    userReps |= std::string(argv[i]).rfind("--benchmark_repetitions", 0) == 0;
  // Repetitions of different workloads run interleaved in random order, so
  // that a slow spell of the machine does not fall on one side of a pair.
  std::string interleave = "--benchmark_enable_random_interleaving=true";
  if (!userReps) {
    args.push_back(reps.data());
    args.push_back(aggr.data());
    args.push_back(interleave.data());
  }
  int n = static_cast<int>(args.size());
  benchmark::Initialize(&n, args.data());
  TMedianCollector reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  bool header = false;
  for (const auto& [workload, byImpl] : reporter.Times) {
    auto ours = byImpl.find("kelvo");
    if (ours == byImpl.end()) continue;
    for (const auto& [impl, ms] : byImpl) {
      if (impl == "kelvo") continue;
      if (!header) {
        std::printf("\n%-34s %12s %12s %12s  %s\n", "workload (medians)", "kelvo ms", "other ms",
                    "other/kelvo", "other");
        header = true;
      }
      std::printf("%-34s %12.4f %12.4f %12.2f  %s\n", workload.c_str(), ours->second, ms,
                  ms / ours->second, impl.c_str());
    }
  }
  return 0;
}

}  // namespace kelvo::bench
