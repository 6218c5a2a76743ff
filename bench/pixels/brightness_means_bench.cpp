// BrightnessMeans on every path; the whole rule build (lines read from a
// host line source, means, stretch, inversion) on the path chosen for this
// processor; and cv::blur on an 8-bit single-channel picture of the same size
// and radius when OpenCV is there.
#include <cstring>
#include <string>

#include "bench/bench_pictures.h"
#include "host/host_ref.h"
#include "host/line_source.h"
#include "pixels/brightness_means.h"
#include "transitions/brightness_rule.h"

#ifdef FX_BENCH_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

namespace fxbench {
namespace {

using pixels::tKernelPath;

struct tMeansCase {
  std::vector<uint32_t> pixels;
  std::vector<const uint32_t *> lines;
  std::vector<uint8_t> out;

  explicit tMeansCase(tPictureSize size) : pixels(MakePicture(size)), out(pixels.size()) {
    for (int32_t i = 0; i < size.height; ++i) {
      lines.push_back(&pixels[size_t(i) * size.width]);
    }
  }
};

uint64_t DigestOfMeans(tPictureSize size, int32_t r, tKernelPath path) {
  tMeansCase c(size);
  pixels::BrightnessMeans(c.lines.data(), size.width, size.height, r, c.out.data(), path);
  return Digest(c.out.data(), c.out.size());
}

void RunMeans(benchmark::State &state, tPictureSize size, int32_t r, tKernelPath path) {
  const std::string key = "means/" + SizeName(size) + "/r" + std::to_string(r);
  if (!PathMatchesPlain(state, key, path,
                        [&](tKernelPath p) { return DigestOfMeans(size, r, p); })) {
    return;
  }
  tMeansCase c(size);
  for (auto _ : state) {
    pixels::BrightnessMeans(c.lines.data(), size.width, size.height, r, c.out.data(), path);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * size.width * size.height);
}

void RunRule(benchmark::State &state, tPictureSize size, int32_t r) {
  const std::vector<uint32_t> pixels = MakePicture(size);
  zanhost::PixelBuffer buffer(size.width, size.height, 32);
  for (int32_t i = 0; i < size.height; ++i) {
    std::memcpy(buffer.Row32(i), &pixels[size_t(i) * size.width], size_t(size.width) * 4);
  }
  const auto source = zanhost::Ref<zanhost::BufferLineSource>::Adopt(
      zanhost::BufferLineSource::Create(std::move(buffer)));
  for (auto _ : state) {
    tBrightnessRule rule;
    if (!BuildBrightnessRule(source.get(), r, true, &rule)) {
      state.SkipWithError("rule not built");
      break;
    }
    benchmark::DoNotOptimize(rule.levels.get());
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * size.width * size.height);
}

#ifdef FX_BENCH_OPENCV
void RunOpenCvGray(benchmark::State &state, tPictureSize size, int32_t r) {
  cv::setNumThreads(1);
  const std::vector<uint32_t> pixels = MakePicture(size);
  std::vector<uint8_t> levels(pixels.size());
  for (size_t k = 0; k < pixels.size(); ++k) {
    levels[k] = uint8_t(pixels[k] >> 8);
  }
  const cv::Mat source(size.height, size.width, CV_8UC1, levels.data());
  cv::Mat target;
  for (auto _ : state) {
    cv::blur(source, target, cv::Size(2 * r + 1, 2 * r + 1));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * size.width * size.height);
}
#endif

bool RegisterAll() {
  for (tPictureSize size : PictureSizes()) {
    for (int32_t r : Radii()) {
      const std::string tail = "/" + SizeName(size) + "/r" + std::to_string(r);
      for (const tNamedPath &path : KernelPaths()) {
        benchmark::RegisterBenchmark(("means/" + std::string(path.name) + tail).c_str(), RunMeans,
                                     size, r, path.path);
      }
      benchmark::RegisterBenchmark(("rule/auto" + tail).c_str(), RunRule, size, r);
#ifdef FX_BENCH_OPENCV
      benchmark::RegisterBenchmark(("opencv_gray" + tail).c_str(), RunOpenCvGray, size, r);
#endif
    }
  }
  return true;
}

const bool kRegistered = RegisterAll();

}  // namespace
}  // namespace fxbench
