// BuildBrightnessMeans on every path, and cv::blur on an 8-bit single-channel
// picture of the same size and radius when OpenCV is there.
#include <string>

#include "bench/bench_pictures.h"
#include "transitions/brightness_means.h"

#ifdef FX_BENCH_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

namespace fxbench {
namespace {

using transitions::tKernelPath;

struct tMeansCase {
  std::vector<uint32_t> pixels;
  std::vector<const orn_uint32 *> lines;
  std::vector<uint8_t> out;

  explicit tMeansCase(tPictureSize size) : pixels(MakePicture(size)), out(pixels.size()) {
    for (int32_t i = 0; i < size.height; ++i) {
      lines.push_back(&pixels[size_t(i) * size.width]);
    }
  }
};

uint64_t DigestOfMeans(tPictureSize size, int32_t r, tKernelPath path) {
  tMeansCase c(size);
  transitions::BuildBrightnessMeans(c.lines.data(), size.width, size.height, r, c.out.data(), path);
  return Digest(c.out.data(), c.out.size());
}

void RunMeans(benchmark::State &state, tPictureSize size, int32_t r, tKernelPath path) {
  if (!frame::KernelPathAvailable(path)) {
    state.SkipWithError("processor lacks this path");
    return;
  }
  const std::string key = "means/" + SizeName(size) + "/r" + std::to_string(r);
  if (!DigestMatches(state, key, DigestOfMeans(size, r, path),
                     [&] { return DigestOfMeans(size, r, tKernelPath::Plain); })) {
    return;
  }
  tMeansCase c(size);
  for (auto _ : state) {
    transitions::BuildBrightnessMeans(c.lines.data(), size.width, size.height, r, c.out.data(),
                                      path);
    benchmark::ClobberMemory();
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
  const struct {
    const char *name;
    tKernelPath path;
  } paths[] = {{"plain", tKernelPath::Plain},
               {"vector128", tKernelPath::Vector128},
               {"vector256", tKernelPath::Vector256}};
  for (tPictureSize size : PictureSizes()) {
    for (int32_t r : Radii()) {
      const std::string tail = "/" + SizeName(size) + "/r" + std::to_string(r);
      for (const auto &path : paths) {
        benchmark::RegisterBenchmark(("means/" + std::string(path.name) + tail).c_str(), RunMeans,
                                     size, r, path.path);
      }
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
