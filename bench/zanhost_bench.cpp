// zanhost_bench: times the built zanhost program as a user runs it on 1920x1080
// photo-like pictures: 24 frames of "add" and of "brightness", and one --at
// frame of each. Each case runs three times; the median and best wall times are
// printed with the median processor time the program used (user and system, all
// threads: on a busy machine the clearest measure, as wall time on two idle
// cores comes to about half of it) and the size of what it wrote. Run by
// `make bench-zanhost`; Linux only, like the other benchmarks.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "host/png_writer.h"

namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kRepetitions = 3;

// Smooth waves plus a little per-pixel noise: compresses about as well as a
// photograph, unlike flat drawings (too easy) or pure noise (too hard).
zanhost::PixelBuffer PhotoLike(uint32_t seed, bool grey) {
  zanhost::PixelBuffer picture(kWidth, kHeight, 32);
  uint32_t state = seed * 2654435761u + 7;
  const double f = 0.004 * (1 + seed % 3);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      state = state * 1664525u + 1013904223u;
      const int noise = static_cast<int>(state >> 29) - 4;
      uint32_t pixel = 0xFF000000u;
      for (int channel = 0; channel < 3; ++channel) {
        const double wave =
            std::sin(x * f * (channel + 1) + seed) * std::cos(y * f * 1.3 + channel);
        const int value = std::clamp(static_cast<int>(128 + 110 * wave) + noise, 0, 255);
        pixel |= static_cast<uint32_t>(grey ? std::clamp(128 + static_cast<int>(120 * wave), 0, 255)
                                            : value)
                 << (8 * channel);
      }
      picture.Row32(y)[x] = pixel;
    }
  }
  return picture;
}

uintmax_t FolderBytes(const fs::path &folder) {
  uintmax_t total = 0;
  for (const fs::directory_entry &entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) {
      total += entry.file_size();
    }
  }
  return total;
}

double ChildrenProcessorSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

struct Case {
  const char *label;
  std::string arguments;
};

}  // namespace

// With a folder argument the pictures and outputs are kept there, for
// profiling one case by hand.
int main(int argc, char **argv) {
  const bool keep = argc > 1;
  const fs::path work = keep ? fs::path(argv[1]) : fs::temp_directory_path() / "zanhost-bench";
  if (!keep) {
    fs::remove_all(work);
  }
  fs::create_directories(work);
  zanhost::WritePng((work / "a.png").string(), PhotoLike(1, false));
  zanhost::WritePng((work / "b.png").string(), PhotoLike(2, false));
  zanhost::WritePng((work / "rule.png").string(), PhotoLike(3, true));
  const std::string add =
      " transition add --from a.png --to b.png --rule rule.png "
      "--option time=1000 --option add=in --option vague=64";
  const std::string brightness =
      " transition brightness --from a.png --to b.png "
      "--option time=1000 --option rule=fore_dark --option blur=4";
  const std::vector<Case> cases = {
      {"add, 24 frames", add + " --frames 24"},
      {"add, --at 500", add + " --at 500"},
      {"brightness, 24 frames", brightness + " --frames 24"},
      {"brightness, --at 500", brightness + " --at 500"},
  };
  std::printf("zanhost on %dx%d pictures, median of %d runs\n", kWidth, kHeight, kRepetitions);
  for (const Case &c : cases) {
    std::vector<double> seconds;
    std::vector<double> processor;
    const fs::path out = work / "out";
    for (int run = 0; run < kRepetitions; ++run) {
      fs::remove_all(out);
      const std::string command = "cd '" + work.string() + "' && '" ZANHOST_PATH "'" + c.arguments +
                                  " --quiet --module '" FX_MODULE_PATH "' --out out";
      const double processorStart = ChildrenProcessorSeconds();
      const auto start = std::chrono::steady_clock::now();
      if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "zanhost_bench: failed: %s\n", command.c_str());
        return 1;
      }
      seconds.push_back(
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
      processor.push_back(ChildrenProcessorSeconds() - processorStart);
    }
    std::printf("  %-22s median %5.2f s, best %5.2f s, processor %5.2f s (%.1f MB written)\n",
                c.label, Median(seconds), *std::min_element(seconds.begin(), seconds.end()),
                Median(processor), static_cast<double>(FolderBytes(out)) / 1e6);
  }
  if (!keep) {
    fs::remove_all(work);
  }
  return 0;
}
