// BoxFilter and BoxFilterAlpha on every path, memcpy of the same picture, and
// cv::blur on it when OpenCV is there.
#include <cstring>
#include <string>

#include "bench/bench_pictures.h"
#include "instrument/allocation_meter.h"
#include "pixels/box_filter.h"

#ifdef FX_BENCH_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

namespace fxbench {
namespace {

using pixels::tKernelPath;
using pixels::tPixelRows;

using tBlurFunction = bool (*)(const tPixelRows &, int32_t, int32_t, tKernelPath);

tPixelRows RowsOf(std::vector<uint32_t> &pixels, tPictureSize size) {
  return {reinterpret_cast<uint8_t *>(pixels.data()), ptrdiff_t(size.width) * 4, size.width,
          size.height};
}

uint64_t DigestAfter(tBlurFunction blur, tPictureSize size, int32_t r, tKernelPath path) {
  std::vector<uint32_t> pixels = MakePicture(size);
  blur(RowsOf(pixels, size), r, r, path);
  return Digest(pixels.data(), pixels.size() * 4);
}

// Peak of the work storage one call takes.
uint64_t PeakExtraBytes(tBlurFunction blur, tPictureSize size, int32_t r, tKernelPath path) {
  std::vector<uint32_t> pixels = MakePicture(size);
  const instrument::tAllocationMeter meter;
  blur(RowsOf(pixels, size), r, r, path);
  return meter.PeakBytes();
}

// The most the filters may take (pixels/box_filter.h): 2y+1 rows and four rows
// of 32-bit sums.
uint64_t RingAndSumsBytes(tPictureSize size, int32_t y) {
  return (2 * uint64_t(y) + 1 + 4) * uint64_t(size.width) * 4;
}

void RunBlur(benchmark::State &state, const std::string &kernel, tBlurFunction blur,
             tPictureSize size, int32_t r, tKernelPath path) {
  const std::string key = kernel + "/" + SizeName(size) + "/r" + std::to_string(r);
  if (!PathMatchesPlain(state, key, path,
                        [&](tKernelPath p) { return DigestAfter(blur, size, r, p); })) {
    return;
  }
  state.counters["extra_bytes"] = double(PeakExtraBytes(blur, size, r, path));
  state.counters["budget_bytes"] = double(RingAndSumsBytes(size, r));
  std::vector<uint32_t> pixels = MakePicture(size);
  const tPixelRows rows = RowsOf(pixels, size);
  for (auto _ : state) {
    blur(rows, r, r, path);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * size.width * size.height);
}

void RunMemcpy(benchmark::State &state, tPictureSize size) {
  const std::vector<uint32_t> source = MakePicture(size);
  std::vector<uint32_t> target(source.size());
  for (auto _ : state) {
    std::memcpy(target.data(), source.data(), source.size() * 4);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * size.width * size.height);
}

#ifdef FX_BENCH_OPENCV
void RunOpenCvBlur(benchmark::State &state, tPictureSize size, int32_t r) {
  cv::setNumThreads(1);
  std::vector<uint32_t> pixels = MakePicture(size);
  const cv::Mat source(size.height, size.width, CV_8UC4, pixels.data());
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
    const std::string picture = SizeName(size);
    benchmark::RegisterBenchmark(("memcpy/" + picture).c_str(), RunMemcpy, size);
    for (int32_t r : Radii()) {
      const std::string tail = "/" + picture + "/r" + std::to_string(r);
      for (const tNamedPath &path : KernelPaths()) {
        benchmark::RegisterBenchmark(("blur/" + std::string(path.name) + tail).c_str(), RunBlur,
                                     "blur", pixels::BoxFilter, size, r, path.path);
        benchmark::RegisterBenchmark(("blur_alpha/" + std::string(path.name) + tail).c_str(),
                                     RunBlur, "blur_alpha", pixels::BoxFilterAlpha, size, r,
                                     path.path);
      }
#ifdef FX_BENCH_OPENCV
      benchmark::RegisterBenchmark(("opencv_bgra" + tail).c_str(), RunOpenCvBlur, size, r);
#endif
    }
  }
  return true;
}

const bool kRegistered = RegisterAll();

}  // namespace
}  // namespace fxbench
