// Pictures, radii, kernel paths and output digests shared by the benchmarks.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "pixels/kernel_path.h"

namespace fxbench {

struct tPictureSize {
  int32_t width, height;
};

// 1080p, 4K, and an awkward width that trips vector tails.
const std::vector<tPictureSize> &PictureSizes();
const std::vector<int32_t> &Radii();
std::string SizeName(tPictureSize size);

// Deterministic BGRA noise with smooth regions and varied (also zero) alpha.
std::vector<uint32_t> MakePicture(tPictureSize size);

uint64_t Digest(const void *data, size_t bytes);

// The paths every kernel is timed on, with the names the runs carry.
struct tNamedPath {
  const char *name;
  pixels::tKernelPath path;
};
const std::vector<tNamedPath> &KernelPaths();

// False, with the run marked skipped, when this processor lacks `path` or when
// digest(path) differs from digest(plain path) for the same case (`key`; the
// plain digest is computed once), so a wrong fast path cannot post a time.
bool PathMatchesPlain(benchmark::State &state, const std::string &key, pixels::tKernelPath path,
                      const std::function<uint64_t(pixels::tKernelPath)> &digest);

}  // namespace fxbench
