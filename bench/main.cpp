// fx_bench: runs every benchmark (three repetitions by default, medians
// compared), then prints each kernel's median time as a ratio to memcpy of the
// same picture and to OpenCV's blur of the same picture and radius, and the
// peak work storage of the box filters against their budget.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

// Console output as usual, keeping each benchmark's median real time.
class tMedianReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run> &runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run &run : runs) {
      if (!run.error_occurred && run.run_type == Run::RT_Aggregate &&
          run.aggregate_name == "median") {
        medians_[run.run_name.function_name] = run.GetAdjustedRealTime();
        order_.push_back(run.run_name.function_name);
        const auto extra = run.counters.find("extra_bytes");
        const auto budget = run.counters.find("budget_bytes");
        if (extra != run.counters.end() && budget != run.counters.end()) {
          memory_[run.run_name.function_name] = {extra->second.value, budget->second.value};
        }
      }
    }
  }

  // kernel/path/picture/rN against memcpy/picture and opencv_*/picture/rN;
  // kernel/case/picture (whole calls and frames) against memcpy/picture.
  void PrintRatios() const {
    std::printf("\n%-40s %12s %10s %10s\n", "kernel (median)", "time", "x memcpy", "x opencv");
    for (const std::string &name : order_) {
      std::vector<std::string> parts;
      std::stringstream stream(name);
      for (std::string part; std::getline(stream, part, '/');) {
        parts.push_back(part);
      }
      if ((parts.size() != 3 && parts.size() != 4) || parts[0] == "opencv_bgra" ||
          parts[0] == "opencv_gray") {
        continue;
      }
      const double time = medians_.at(name);
      const bool gray = parts[0] == "means" || parts[0] == "rule";
      const std::string opencv = gray ? "opencv_gray" : "opencv_bgra";
      std::printf(
          "%-40s %12.3f %10s %10s\n", name.c_str(), time, Ratio(time, "memcpy/" + parts[2]).c_str(),
          parts.size() == 4 ? Ratio(time, opencv + "/" + parts[2] + "/" + parts[3]).c_str() : "-");
    }
  }

  // Budget: a ring of 2y+1 rows and four rows of 32-bit sums.
  void PrintMemory() const {
    std::printf("\n%-40s %14s %14s %8s\n", "kernel (peak work storage)", "bytes", "budget",
                "x budget");
    for (const std::string &name : order_) {
      const auto found = memory_.find(name);
      if (found != memory_.end()) {
        const auto [extra, budget] = found->second;
        std::printf("%-40s %14.0f %14.0f %8.3f\n", name.c_str(), extra, budget, extra / budget);
      }
    }
  }

 private:
  std::string Ratio(double time, const std::string &base) const {
    const auto found = medians_.find(base);
    if (found == medians_.end()) {
      return "-";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", time / found->second);
    return text;
  }

  std::map<std::string, double> medians_;
  std::map<std::string, std::pair<double, double>> memory_;
  std::vector<std::string> order_;
};

}  // namespace

int main(int argc, char **argv) {
  std::vector<char *> args(argv, argv + argc);
  std::string repetitions = "--benchmark_repetitions=3";
  std::string unit = "--benchmark_time_unit=ms";
  std::string aggregates = "--benchmark_report_aggregates_only=true";
  args.insert(args.begin() + 1, {repetitions.data(), unit.data(), aggregates.data()});
  int count = int(args.size());
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) {
    return 1;
  }
  tMedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  reporter.PrintMemory();
  benchmark::Shutdown();
  return 0;
}
