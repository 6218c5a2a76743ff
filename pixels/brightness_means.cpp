// Entry of the brightness means: check the radius, take 64-bit sums for windows
// past the 32-bit limit, and otherwise run the implementation chosen for the
// path (the vector ones from radius 1 up to their window limit).
#include "pixels/brightness_means.h"

#include "pixels/brightness_means_kernels.h"
#include "pixels/window_limits.h"

namespace pixels {

bool BrightnessMeans(const uint32_t *const *rows, int32_t width, int32_t height, int32_t radius,
                     uint8_t *out, tKernelPath path) {
  tLevelRange range;
  return BrightnessMeans(rows, width, height, radius, out, &range, path);
}

bool BrightnessMeans(const uint32_t *const *rows, int32_t width, int32_t height, int32_t radius,
                     uint8_t *out, tLevelRange *range, tKernelPath path) {
  *range = tLevelRange{};
  if (radius < 0 || 2 * int64_t(radius) > width || 2 * int64_t(radius) > height) {
    return false;
  }
  if (width == 0 || height == 0) {
    return true;
  }
  const uint64_t side = 2 * uint64_t(radius) + 1;
  if (side * side > kByteSumMaxWindow) {
    return BrightnessMeansRefWide(rows, width, height, radius, out, *range);
  }
  // With radius 0 each mean is the pixel's own brightness: the plain kernel
  // does it, and the vector kernels' divisors start at 2.
  if (radius == 0 || side * side > kVectorMeansMaxWindow) {
    return BrightnessMeansRef(rows, width, height, radius, out, *range);
  }
  const tKernelSet<tBrightnessMeansKernel> kernels = {
      BrightnessMeansRef, FX_VECTOR_KERNEL(BrightnessMeansVector128),
      FX_VECTOR_KERNEL(BrightnessMeansVector256), nullptr};
  return ChooseKernel(kernels, path)(rows, width, height, radius, out, *range);
}

}  // namespace pixels
