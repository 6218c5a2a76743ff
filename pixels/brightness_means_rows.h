// How the vector brightness-mean kernels run: their work storage (a ring of
// the 2r+1 brightness lines of the window, computed once as each line enters;
// one line of column sums; the reciprocals of the cut windows), the walk down
// the picture, and the pixels of each output line no kernel block covers. The
// kernel type supplies what its instruction set does faster:
//   kPixels and static Block<kEnter, kLeave>(k, col, entering, slot): the
//     column update of pixels k to k + kPixels - 1 (pixels/column_update.h):
//     adds the brightness of the entering line to the column sums, storing it
//     into the ring slot, and removes the brightness the slot held;
//   kBlock, and static FullWindows(col, r, begin, end, divisor, sum, out):
//     writes the means of pixels begin to end - 1 (a whole number of blocks,
//     every window full, of divisor's cell count) from `sum`, the window sum
//     before pixel begin, and returns the window sum of pixel end - 1;
//   kVectorEnds, and when it is true static LeftEnd(col, r, end, reciprocals,
//     sum, out) and RightEnd(col, r, w, begin, end, reciprocals, sum, out),
//     which do the same for the blocks of windows cut at the line's ends
//     (pixels/span_walk.h), each divided by its reciprocal in the table of cut
//     windows.
// Included by the vector kernel files, after FX_TARGET (pixels/column_update.h).
#pragma once

#include <cstdint>
#include <memory>

#include "pixels/brightness_means_kernels.h"
#include "pixels/column_update.h"
#include "pixels/exact_quotient.h"
#include "pixels/sliding_window.h"
#include "pixels/span_walk.h"
#include "pixels/try_allocate.h"

namespace pixels {
namespace {

// The column update of one pixel, for the pixels after the kernel's blocks.
struct tScalarColumn {
  template <bool kEnter, bool kLeave>
  static void Pixel(int64_t k, uint32_t *col, const uint32_t *entering, uint8_t *slot) {
    if (kLeave) {
      col[k] -= slot[k];
    }
    if (kEnter) {
      slot[k] = Brightness(entering[k]);
      col[k] += slot[k];
    }
  }
};

using tLineReciprocals = tWindowFactors<tReciprocals>;

// One output line, walked by WalkLine.
template <typename Kernel>
struct tMeanLine {
  static constexpr int64_t kBlock = Kernel::kBlock;
  static constexpr bool kVectorEnds = Kernel::kVectorEnds;

  const uint32_t *col;
  int64_t w, r;
  const tLineReciprocals &reciprocals;
  uint8_t *out;
  uint32_t sum;  // the window sum of the last pixel written

  // Column j + r enters and column j - r - 1 leaves, each where it lies
  // inside the line.
  FX_TARGET void Single(int64_t j) {
    if (j + r < w) {
      sum += col[j + r];
    }
    if (j - r - 1 >= 0) {
      sum -= col[j - r - 1];
    }
    out[j] = ExactQuotient(sum, reciprocals.At(j));
  }
  FX_TARGET void LeftBlocks(int64_t end) {
    sum = Kernel::LeftEnd(col, r, end, reciprocals.Edges(), sum, out);
  }
  FX_TARGET void WholeBlocks(int64_t begin, int64_t end) {
    sum = Kernel::FullWindows(col, r, begin, end, ExactDivisorFor(reciprocals.MiddleCells()), sum,
                              out);
  }
  FX_TARGET void RightBlocks(int64_t begin, int64_t end) {
    sum = Kernel::RightEnd(col, r, w, begin, end, reciprocals.Edges(), sum, out);
  }
};

template <typename Kernel>
class tMeanLines {
 public:
  tMeanLines(const uint32_t *const *rows, int64_t w, int64_t r, uint8_t *ring, uint32_t *col,
             double *edges, uint8_t *out, tLevelRange &range)
      : rows_(rows),
        w_(w),
        r_(r),
        ring_(ring),
        col_(col),
        reciprocals_(w, r, edges),
        out_(out),
        range_(range) {}

  // Line `line` enters into the ring slot of the line leaving: slot `line`
  // mod (2r+1).
  template <bool kEnter, bool kLeave>
  FX_TARGET void Update(int64_t line) {
    const int64_t slot = line % (2 * r_ + 1);
    UpdateColumns<Kernel, kEnter, kLeave>(w_, nullptr, col_, kEnter ? rows_[line] : nullptr,
                                          ring_ + slot * w_);
  }

  FX_TARGET void Output(int64_t i, uint64_t v) {
    reciprocals_.Prepare(v);
    uint32_t sum = 0;
    for (int64_t k = 0; k < r_; ++k) {
      sum += col_[k];
    }
    tMeanLine<Kernel> line = {col_, w_, r_, reciprocals_, out_ + i * w_, sum};
    WalkLine(line, w_, r_);
    WidenRange(out_ + i * w_, size_t(w_), range_);
  }

 private:
  const uint32_t *const *rows_;
  int64_t w_, r_;
  uint8_t *ring_;
  uint32_t *col_;
  tLineReciprocals reciprocals_;
  uint8_t *out_;
  tLevelRange &range_;
};

// Runs `Kernel` over the picture; false when work storage cannot be had.
template <typename Kernel>
bool RunVectorBrightnessMeans(const uint32_t *const *rows, int32_t width, int32_t height,
                              int32_t radius, uint8_t *out, tLevelRange &range) {
  std::unique_ptr<uint8_t[]> ring =
      TryAllocateRaw<uint8_t>((2 * uint64_t(radius) + 1) * uint64_t(width));
  std::unique_ptr<uint32_t[]> col = TryAllocateZeroed<uint32_t>(uint64_t(width));
  std::unique_ptr<double[]> edges = TryAllocateRaw<double>(uint64_t(radius) + 1);
  if (!ring || !col || !edges) {
    return false;
  }
  tMeanLines<Kernel> lines(rows, width, radius, ring.get(), col.get(), edges.get(), out, range);
  SlideWindowDown(height, radius, lines);
  return true;
}

}  // namespace
}  // namespace pixels
