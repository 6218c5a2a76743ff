// fx_bench: runs every benchmark (three repetitions by default, interleaved,
// medians compared), then prints each kernel's median time as a ratio to memcpy of the
// same picture and to OpenCV's blur of the same picture and radius, and the
// peak work storage of the box filters against their budget.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

// Orders names kernel/path/picture/rN by picture (largest first, as
// registered), then kernel and path, then radius as a number.
struct tRegistrationOrder {
  static std::vector<std::string> Parts(const std::string &name) {
    std::vector<std::string> parts;
    std::stringstream stream(name);
    for (std::string part; std::getline(stream, part, '/');) {
      parts.push_back(part);
    }
    return parts;
  }

  bool operator()(const std::string &a, const std::string &b) const { return Key(a) < Key(b); }

  static std::tuple<long, std::string, long, std::string> Key(const std::string &name) {
    std::vector<std::string> parts = Parts(name);
    std::string picture, radius;
    if (parts.size() >= 3 && parts.back().size() > 1 && parts.back()[0] == 'r') {
      radius = parts.back();
      parts.pop_back();
    }
    if (parts.size() >= 2) {
      picture = parts.back();
      parts.pop_back();
    }
    std::string kernel;
    for (const std::string &part : parts) {
      kernel += part + "/";
    }
    const long pixels = -PictureArea(picture);
    return {pixels, kernel, radius.empty() ? 0 : std::stol(radius.substr(1)), name};
  }

  static long PictureArea(const std::string &picture) {
    const size_t x = picture.find('x');
    if (x == std::string::npos) {
      return 0;
    }
    return std::stol(picture.substr(0, x)) * std::stol(picture.substr(x + 1));
  }
};

// Console output as usual, keeping each benchmark's median real time.
class tMedianReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run> &runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run &run : runs) {
      if (!run.error_occurred && run.run_type == Run::RT_Aggregate &&
          run.aggregate_name == "median") {
        medians_[run.run_name.function_name] = run.GetAdjustedRealTime();
        order_.insert(run.run_name.function_name);
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
      const std::vector<std::string> parts = tRegistrationOrder::Parts(name);
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
  // Names in the order of registration, whatever order they ran in.
  std::set<std::string, tRegistrationOrder> order_;
};

}  // namespace

int main(int argc, char **argv) {
  std::vector<char *> args(argv, argv + argc);
  std::string repetitions = "--benchmark_repetitions=3";
  std::string unit = "--benchmark_time_unit=ms";
  std::string aggregates = "--benchmark_report_aggregates_only=true";
  // Repetitions of all cases run in random order, so that a slow spell of a
  // shared machine spreads over every case instead of falling on a few.
  std::string interleave = "--benchmark_enable_random_interleaving=true";
  args.insert(args.begin() + 1,
              {repetitions.data(), unit.data(), aggregates.data(), interleave.data()});
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
