// Pictures, radii and output digests shared by the benchmarks.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

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

// Marks the run failed when `digest` differs from the plain path's digest for
// the same case (`key`; computed once by `plain`), so a wrong fast path cannot
// post a time.
bool DigestMatches(benchmark::State &state, const std::string &key, uint64_t digest,
                   const std::function<uint64_t()> &plain);

}  // namespace fxbench
