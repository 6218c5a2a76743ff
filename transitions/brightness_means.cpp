// Entry of the brightness means: check the radius, take 64-bit sums for windows
// past the 32-bit limit, and otherwise run the implementation chosen for this
// processor (the vector ones from radius 1 up to their window limit).
#include "transitions/brightness_means.h"

#include "transitions/brightness_means_kernels.h"

namespace transitions {

bool BuildBrightnessMeans(const orn_uint32 *const *rows, int32_t width, int32_t height,
                          int32_t radius, uint8_t *out, tKernelPath path) {
  if (radius < 0 || 2 * int64_t(radius) > width || 2 * int64_t(radius) > height) {
    return false;
  }
  if (width == 0 || height == 0) {
    return true;
  }
  const uint64_t side = 2 * uint64_t(radius) + 1;
  if (side * side > kMeansMaxNarrowWindow) {
    return BrightnessMeansRefWide(rows, width, height, radius, out);
  }
  // With radius 0 each mean is the pixel's own brightness: the plain kernel
  // does it, and the vector kernels' divisors start at 2.
  if (radius > 0 && side * side <= kMeansMaxVectorWindow) {
    switch (frame::ResolveKernelPath(path)) {
#ifdef FX_X86_KERNELS
      case tKernelPath::Vector256:
        return BrightnessMeansVector256(rows, width, height, radius, out);
      case tKernelPath::Vector128:
        return BrightnessMeansVector128(rows, width, height, radius, out);
#endif
      default:
        break;
    }
  }
  return BrightnessMeansRef(rows, width, height, radius, out);
}

}  // namespace transitions
