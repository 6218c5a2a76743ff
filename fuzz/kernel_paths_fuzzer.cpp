// Fuzz target "kernel_paths": every pixel kernel on one fuzzed picture through
// every path this processor runs (plain, 128-, 256- and 512-bit), linked directly.
// Each result must equal the naive reference bit for bit (the box filters'
// summed-area tables, the means' window sums, the stretch's formula), slack
// and guard bytes untouched, so every path equals the plain one too.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz/loaded_host.h"
#include "host/pixel_buffer.h"
#include "pixels/box_filter.h"
#include "pixels/brightness_means.h"
#include "pixels/stretch_levels.h"
#include "reference/box_filter.h"
#include "reference/brightness_levels.h"

namespace {

using pixels::tKernelPath;
using zanhost::PixelBuffer;

struct tPath {
  tKernelPath path;
  const char *name;
};

const tPath kPaths[] = {{tKernelPath::Plain, "plain"},
                        {tKernelPath::Vector128, "vector128"},
                        {tKernelPath::Vector256, "vector256"},
                        {tKernelPath::Vector512, "vector512"}};

std::vector<tPath> PathsOfThisProcessor() {
  std::vector<tPath> paths;
  for (const tPath &p : kPaths) {
    if (pixels::KernelPathAvailable(p.path)) {
      paths.push_back(p);
    }
  }
  return paths;
}

const std::vector<tPath> &Paths() {
  static const std::vector<tPath> paths = PathsOfThisProcessor();
  return paths;
}

void Require(bool condition, const std::string &kernel, const tPath &path) {
  fxfuzz::Require(condition, (kernel + " on the " + path.name +
                              " path differs from the naive "
                              "reference")
                                 .c_str());
}

// The picture: its size (tall and narrow ones reach the 257-row limit of the
// 16-bit column sums), guard bytes after each row, top-down or bottom-up, and
// pixels from the input, their alpha raw, only 0 and 255, or opaque.
PixelBuffer FuzzedPicture(FuzzedDataProvider &in) {
  const bool tall = in.ConsumeBool();
  const int width = in.ConsumeIntegralInRange(1, tall ? 12 : 96);
  const int height = in.ConsumeIntegralInRange(1, tall ? 300 : 48);
  const int pitch = (width + in.ConsumeIntegralInRange(0, 3)) * 4;
  const int alpha_mode = in.ConsumeIntegralInRange(0, 2);
  PixelBuffer picture(width, height, 32, in.ConsumeBool() ? -pitch : pitch);
  std::vector<uint8_t> bytes = in.ConsumeBytes<uint8_t>(size_t(width) * size_t(height) * 4);
  if (bytes.empty()) {
    bytes.push_back(0x5A);
  }
  size_t k = 0;
  for (int r = 0; r < height; ++r) {
    uint8_t *row = picture.Row(r);
    for (int c = 0; c < width * 4; ++c, ++k) {
      row[c] = bytes[k % bytes.size()];
      if (c % 4 == 3 && alpha_mode == 1) {
        row[c] = row[c] & 1 ? 255 : 0;
      } else if (c % 4 == 3 && alpha_mode == 2) {
        row[c] = 255;
      }
    }
  }
  return picture;
}

void CheckBoxFilters(const PixelBuffer &source, int32_t x, int32_t y) {
  for (fxref::tBoxFilter filter : {fxref::tBoxFilter::Plain, fxref::tBoxFilter::AlphaWeighted}) {
    PixelBuffer expected = source;
    fxref::ReferenceBoxFilter(expected, x, y, filter);
    const bool alpha = filter == fxref::tBoxFilter::AlphaWeighted;
    for (const tPath &path : Paths()) {
      PixelBuffer picture = source;
      const pixels::tPixelRows rows = {picture.Origin(), picture.Pitch(), picture.Width(),
                                       picture.Height()};
      const bool done = alpha ? pixels::BoxFilterAlpha(rows, x, y, path.path)
                              : pixels::BoxFilter(rows, x, y, path.path);
      Require(done && picture.Bytes() == expected.Bytes(), alpha ? "blur_alpha" : "blur", path);
    }
  }
}

void CheckBrightnessMeans(const PixelBuffer &source, int32_t r) {
  std::vector<const uint32_t *> rows;
  for (int i = 0; i < source.Height(); ++i) {
    rows.push_back(source.Row32(i));
  }
  const int32_t w = source.Width();
  const int32_t h = source.Height();
  const std::vector<uint8_t> expected = fxref::NaiveMeans(rows.data(), w, h, r);
  for (const tPath &path : Paths()) {
    // Guard bytes after the output catch a write past its end.
    std::vector<uint8_t> out(expected.size() + 16, 0xA5);
    const bool done = pixels::BrightnessMeans(rows.data(), w, h, r, out.data(), path.path);
    std::vector<uint8_t> guarded = expected;
    guarded.resize(out.size(), 0xA5);
    Require(done && out == guarded, "brightness means", path);
  }
}

void CheckStretchLevels(const std::vector<uint8_t> &levels, bool invert) {
  const std::vector<uint8_t> expected = fxref::NaiveStretchLevels(levels, invert);
  for (const tPath &path : Paths()) {
    std::vector<uint8_t> stretched = levels;
    pixels::StretchLevels(stretched.data(), stretched.size(), invert, path.path);
    Require(stretched == expected, "level stretch", path);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  std::fprintf(stderr, "kernel_paths: paths this processor runs:");
  for (const tPath &path : Paths()) {
    std::fprintf(stderr, " %s", path.name);
  }
  std::fprintf(stderr, "\n");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  FuzzedDataProvider in(data, size);
  const int32_t x_pick = in.ConsumeIntegral<int32_t>();
  const int32_t y_pick = in.ConsumeIntegral<int32_t>();
  const int32_t r_pick = in.ConsumeIntegral<int32_t>();
  const bool invert = in.ConsumeBool();
  const PixelBuffer source = FuzzedPicture(in);
  const int32_t w = source.Width();
  const int32_t h = source.Height();
  // Radii anywhere in their ranges, the largest included.
  const auto pick = [](int32_t value, int32_t largest) {
    return int32_t(uint32_t(value) % uint32_t(largest + 1));
  };
  CheckBoxFilters(source, pick(x_pick, w / 2), pick(y_pick, h / 2));
  CheckBrightnessMeans(source, pick(r_pick, std::min(w, h) / 2));
  // The picture's bytes as levels: runs of every length past the vector blocks.
  std::vector<uint8_t> levels;
  for (int i = 0; i < h; ++i) {
    levels.insert(levels.end(), source.Row(i), source.Row(i) + w * 4);
  }
  CheckStretchLevels(levels, invert);
  return 0;
}
