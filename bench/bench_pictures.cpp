#include "bench/bench_pictures.h"

#include <map>

namespace fxbench {

const std::vector<tPictureSize> &PictureSizes() {
  static const std::vector<tPictureSize> sizes = {{1920, 1080}, {3840, 2160}, {1023, 767}};
  return sizes;
}

const std::vector<int32_t> &Radii() {
  static const std::vector<int32_t> radii = {1, 4, 16, 64};
  return radii;
}

std::string SizeName(tPictureSize size) {
  return std::to_string(size.width) + "x" + std::to_string(size.height);
}

std::vector<uint32_t> MakePicture(tPictureSize size) {
  std::vector<uint32_t> pixels(size_t(size.width) * size.height);
  uint32_t state = 0x9E3779B9u;
  for (int32_t i = 0; i < size.height; ++i) {
    for (int32_t j = 0; j < size.width; ++j) {
      state ^= state << 13;
      state ^= state >> 17;
      state ^= state << 5;
      const uint32_t smooth = uint32_t(i + j) & 0xFF;
      const uint32_t alpha = (j / 64 + i / 64) % 5 == 0 ? 0 : (state >> 24) | 0x40;
      pixels[size_t(i) * size.width + j] = (alpha << 24) | ((state & 0xFFFF00) ^ smooth);
    }
  }
  return pixels;
}

uint64_t Digest(const void *data, size_t bytes) {
  const auto *p = static_cast<const uint8_t *>(data);
  uint64_t hash = 1469598103934665603ull;
  for (size_t k = 0; k < bytes; ++k) {
    hash = (hash ^ p[k]) * 1099511628211ull;
  }
  return hash;
}

const std::vector<tNamedPath> &KernelPaths() {
  static const std::vector<tNamedPath> paths = {{"plain", pixels::tKernelPath::Plain},
                                                {"vector128", pixels::tKernelPath::Vector128},
                                                {"vector256", pixels::tKernelPath::Vector256},
                                                {"vector512", pixels::tKernelPath::Vector512}};
  return paths;
}

bool PathMatchesPlain(benchmark::State &state, const std::string &key, pixels::tKernelPath path,
                      const std::function<uint64_t(pixels::tKernelPath)> &digest) {
  if (!pixels::KernelPathAvailable(path)) {
    state.SkipWithError("processor lacks this path");
    return false;
  }
  static std::map<std::string, uint64_t> plain_digests;
  auto found = plain_digests.find(key);
  if (found == plain_digests.end()) {
    found = plain_digests.emplace(key, digest(pixels::tKernelPath::Plain)).first;
  }
  if (found->second != digest(path)) {
    state.SkipWithError("output differs from the plain path");
    return false;
  }
  return true;
}

}  // namespace fxbench
