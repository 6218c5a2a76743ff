// Entries of the box filters: check the radii, skip work that changes nothing,
// take 64-bit sums for windows past the 32-bit limits, and otherwise run the
// implementation chosen for this processor.
#include "layerfx/box_blur.h"

#include "layerfx/box_blur_kernels.h"

namespace layerfx {
namespace {

bool RadiiValid(const tPixelRows &image, int32_t x, int32_t y) {
  return x >= 0 && y >= 0 && 2 * int64_t(x) <= image.width && 2 * int64_t(y) <= image.height;
}

bool NothingToDo(const tPixelRows &image, int32_t x, int32_t y) {
  return image.width == 0 || image.height == 0 || (x == 0 && y == 0);
}

uint64_t WindowPixels(int32_t x, int32_t y) {
  return (2 * uint64_t(x) + 1) * (2 * uint64_t(y) + 1);
}

}  // namespace

bool BoxBlur(const tPixelRows &image, int32_t x, int32_t y, tKernelPath path) {
  if (!RadiiValid(image, x, y)) {
    return false;
  }
  if (NothingToDo(image, x, y)) {
    return true;
  }
  if (WindowPixels(x, y) > kBlurMaxNarrowWindow) {
    return BoxBlurRefWide(image, x, y);
  }
  switch (frame::ResolveKernelPath(path)) {
#ifdef FX_X86_KERNELS
    case tKernelPath::Vector256:
      return BoxBlurVector256(image, x, y);
    case tKernelPath::Vector128:
      return BoxBlurVector128(image, x, y);
#endif
    default:
      return BoxBlurRef(image, x, y);
  }
}

bool BoxBlurAlpha(const tPixelRows &image, int32_t x, int32_t y, tKernelPath path) {
  if (!RadiiValid(image, x, y)) {
    return false;
  }
  if (NothingToDo(image, x, y)) {
    return true;
  }
  if (WindowPixels(x, y) > kBlurAlphaMaxNarrowWindow) {
    return BoxBlurAlphaRefWide(image, x, y);
  }
  switch (frame::ResolveKernelPath(path)) {
#ifdef FX_X86_KERNELS
    case tKernelPath::Vector256:
      return BoxBlurAlphaVector256(image, x, y);
    case tKernelPath::Vector128:
      return BoxBlurAlphaVector128(image, x, y);
#endif
    default:
      return BoxBlurAlphaRef(image, x, y);
  }
}

}  // namespace layerfx
