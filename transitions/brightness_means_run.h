// How the vector brightness-mean kernels run: their work storage (a ring of
// the 2r+1 brightness lines of the window, computed once as each line enters;
// one line of column sums; the reciprocals of the cut windows), the walk down
// the picture, and the pixels of each output line no kernel block covers. The
// kernel type supplies what its instruction set does faster:
//   static Update<kEnter, kLeave>(col, entering, slot, w): adds the brightness
//     of line `entering` to the column sums, storing it into `slot`, and
//     removes the brightness `slot` held;
//   kBlock, and static FullWindows(col, r, begin, end, divisor, sum, out):
//     writes the means of pixels begin to end - 1 (a whole number of blocks,
//     every window full, of divisor's cell count) from `sum`, the window sum
//     before pixel begin, and returns the window sum of pixel end - 1;
//   kVectorEnds, and when it is true static LeftEnd(col, r, end, reciprocals,
//     sum, out) and RightEnd(col, r, w, begin, end, reciprocals, sum, out),
//     which do the same for whole blocks of the windows cut at the line's
//     left end (pixels 0 to end - 1, all left of r) and right end (pixels
//     from begin, all past both r and w - r - 1), each divided by its
//     reciprocal in the table of cut windows.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>

#include "frame/exact_quotient.h"
#include "frame/sliding_window.h"
#include "frame/try_allocate.h"
#include "transitions/brightness_means_kernels.h"

namespace transitions {

// Column sums of pixels k to w - 1, for the kernels' leftover columns.
template <bool kEnter, bool kLeave>
void UpdateLastColumns(uint32_t *col, const orn_uint32 *entering, uint8_t *slot, int64_t k,
                       int64_t w) {
  for (; k < w; ++k) {
    if (kLeave) {
      col[k] -= slot[k];
    }
    if (kEnter) {
      slot[k] = Brightness(entering[k]);
      col[k] += slot[k];
    }
  }
}

template <typename Kernel>
class tMeanLines {
 public:
  tMeanLines(const orn_uint32 *const *rows, int64_t w, int64_t r, uint8_t *ring, uint32_t *col,
             double *edges, uint8_t *out)
      : rows_(rows), w_(w), r_(r), ring_(ring), col_(col), reciprocals_(w, r, edges), out_(out) {}

  // Line `line` enters into the ring slot of the line leaving: slot `line`
  // mod (2r+1).
  template <bool kEnter, bool kLeave>
  void Update(int64_t line) {
    const int64_t slot = line % (2 * r_ + 1);
    Kernel::template Update<kEnter, kLeave>(col_, kEnter ? rows_[line] : nullptr, ring_ + slot * w_,
                                            w_);
  }

  void Output(int64_t i, uint64_t v) {
    reciprocals_.Prepare(v);
    WriteLine(col_, w_, r_, reciprocals_, out_ + i * w_);
  }

 private:
  using tLineReciprocals = frame::tWindowFactors<frame::tReciprocals>;

  static void WriteLine(const uint32_t *col, int64_t w, int64_t r,
                        const tLineReciprocals &reciprocals, uint8_t *out) {
    uint32_t sum = 0;
    for (int64_t k = 0; k < r; ++k) {
      sum += col[k];
    }
    int64_t j = 0;
    if constexpr (Kernel::kVectorEnds) {
      j = std::min(r, w) / Kernel::kBlock * Kernel::kBlock;
      sum = Kernel::LeftEnd(col, r, j, reciprocals.Edges(), sum, out);
    }
    for (; j <= r && j < w; ++j) {
      sum = Step(sum, col, j, r, w);
      out[j] = frame::ExactQuotient(sum, reciprocals.At(j));
    }
    const int64_t end = j + std::max<int64_t>(0, w - r - j) / Kernel::kBlock * Kernel::kBlock;
    sum = Kernel::FullWindows(col, r, j, end, frame::ExactDivisorFor(reciprocals.MiddleCells()),
                              sum, out);
    j = end;
    if constexpr (Kernel::kVectorEnds) {
      for (; j < w - r; ++j) {
        sum = Step(sum, col, j, r, w);
        out[j] = frame::ExactQuotient(sum, reciprocals.At(j));
      }
      const int64_t right_end = j + (w - j) / Kernel::kBlock * Kernel::kBlock;
      sum = Kernel::RightEnd(col, r, w, j, right_end, reciprocals.Edges(), sum, out);
      j = right_end;
    }
    for (; j < w; ++j) {
      sum = Step(sum, col, j, r, w);
      out[j] = frame::ExactQuotient(sum, reciprocals.At(j));
    }
  }

  // Window sum of pixel j from that of pixel j - 1: column j + r enters and
  // column j - r - 1 leaves, each where it lies inside the line.
  static uint32_t Step(uint32_t sum, const uint32_t *col, int64_t j, int64_t r, int64_t w) {
    if (j + r < w) {
      sum += col[j + r];
    }
    if (j - r - 1 >= 0) {
      sum -= col[j - r - 1];
    }
    return sum;
  }

  const orn_uint32 *const *rows_;
  int64_t w_, r_;
  uint8_t *ring_;
  uint32_t *col_;
  tLineReciprocals reciprocals_;
  uint8_t *out_;
};

// Runs `Kernel` over the picture; false when work storage cannot be had.
template <typename Kernel>
bool RunBrightnessMeans(const orn_uint32 *const *rows, int32_t width, int32_t height,
                        int32_t radius, uint8_t *out) {
  std::unique_ptr<uint8_t[]> ring =
      frame::TryAllocateRaw<uint8_t>((2 * uint64_t(radius) + 1) * uint64_t(width));
  std::unique_ptr<uint32_t[]> col = frame::TryAllocateZeroed<uint32_t>(uint64_t(width));
  std::unique_ptr<double[]> edges = frame::TryAllocateRaw<double>(uint64_t(radius) + 1);
  if (!ring || !col || !edges) {
    return false;
  }
  tMeanLines<Kernel> lines(rows, width, radius, ring.get(), col.get(), edges.get(), out);
  frame::SlideWindowDown(height, radius, lines);
  return true;
}

}  // namespace transitions
