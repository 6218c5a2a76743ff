// Entries of the box filters: check the radii, skip work that changes nothing,
// take 64-bit sums for windows past the 32-bit limits, and otherwise run the
// implementation chosen for the path.
#include "pixels/box_filter.h"

#include "pixels/box_filter_kernels.h"
#include "pixels/window_limits.h"

namespace pixels {
namespace {

// Checks the radii, then runs the implementation for the window: 64-bit sums
// past `max_window`, else the path's.
bool CheckedBoxFilter(const tPixelRows &image, int32_t x, int32_t y, tKernelPath path,
                      uint64_t max_window, tBoxFilterKernel *wide,
                      const tKernelSet<tBoxFilterKernel> &kernels) {
  if (x < 0 || y < 0 || 2 * int64_t(x) > image.width || 2 * int64_t(y) > image.height) {
    return false;
  }
  if (image.width == 0 || image.height == 0 || (x == 0 && y == 0)) {
    return true;
  }
  if ((2 * uint64_t(x) + 1) * (2 * uint64_t(y) + 1) > max_window) {
    return wide(image, x, y);
  }
  return ChooseKernel(kernels, path)(image, x, y);
}

}  // namespace

bool BoxFilter(const tPixelRows &image, int32_t x, int32_t y, tKernelPath path) {
  return CheckedBoxFilter(
      image, x, y, path, kByteSumMaxWindow, BoxFilterRefWide,
      {BoxFilterRef, FX_VECTOR_KERNEL(BoxFilterVector128), FX_VECTOR_KERNEL(BoxFilterVector256),
       FX_VECTOR_KERNEL(BoxFilterVector512)});
}

bool BoxFilterAlpha(const tPixelRows &image, int32_t x, int32_t y, tKernelPath path) {
  return CheckedBoxFilter(
      image, x, y, path, kProductSumMaxWindow, BoxFilterAlphaRefWide,
      {BoxFilterAlphaRef, FX_VECTOR_KERNEL(BoxFilterAlphaVector128),
       FX_VECTOR_KERNEL(BoxFilterAlphaVector256), FX_VECTOR_KERNEL(BoxFilterAlphaVector512)});
}

}  // namespace pixels
