// How the vector box filter kernels run: their work storage (the ring of row
// copies, since the image is overwritten row by row; one row of column sums, a
// pixel's four channel sums side by side; the factors of the cut windows) and
// the walk down the image. The implementation supplies the per-row work as two
// types:
//   Columns, with Sum, the column sum type, and
//   static Update<kEnter, kLeave>(col, entering, leaving, w, next): adds the
//     terms of row `entering` to the column sums and removes those of
//     `leaving`; `next` is the row entering after it (null when none), which a
//     kernel may fetch into the cache meanwhile;
//   Line, a tRowWalk (pixels/pixel_vectors.h), whose Rule is the factor rule
//     of tWindowFactors, walked along each output row by
//     WalkLine (pixels/span_walk.h); its `next` is the row entering at the
//     following step (null when none), which a kernel may fetch there instead,
//     where its own work leaves the memory idle.
// Included by the vector kernel files, after FX_TARGET (pixels/vector_target.h).
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#include "pixels/box_filter_kernels.h"
#include "pixels/pixel_vectors.h"
#include "pixels/sliding_window.h"
#include "pixels/span_walk.h"
#include "pixels/try_allocate.h"

namespace pixels {
namespace {

template <typename Columns, typename Line>
class tBoxFilterRows {
 public:
  using Sum = typename Columns::Sum;
  using Factors = tWindowFactors<typename Line::Rule>;

  tBoxFilterRows(const tPixelRows &image, int64_t x, int64_t y, uint8_t *ring, Sum *col,
                 typename Factors::Factor *edges)
      : image_(image), x_(x), y_(y), ring_(ring), col_(col), factors_(image.width, x, edges) {}

  // Row `row` enters and row `row` - (2y+1) leaves, from its copy in the ring.
  // With y = 0 the leaving row is the only one summed: its sums are cleared.
  template <bool kEnter, bool kLeave>
  void Update(int64_t row) {
    const uint8_t *entering = kEnter ? RowAt(image_, row) : nullptr;
    const uint8_t *next = row + 1 < image_.height ? RowAt(image_, row + 1) : nullptr;
    if (kLeave && y_ == 0) {
      std::fill(col_, col_ + 4 * int64_t(image_.width), Sum{0});
      Columns::template Update<kEnter, false>(col_, entering, nullptr, image_.width, next);
    } else {
      const uint8_t *leaving = kLeave ? Copy(row - 2 * y_ - 1) : nullptr;
      Columns::template Update<kEnter, kLeave>(col_, entering, leaving, image_.width, next);
    }
  }

  // Keeps the row's original in the ring (in the slot of the row that left
  // last) before overwriting it, or has the walk keep it.
  FX_TARGET void Output(int64_t i, uint64_t v) {
    factors_.Prepare(v);
    uint8_t *out = RowAt(image_, i);
    uint8_t *original = y_ > 0 ? Copy(i) : nullptr;
    if (original != nullptr && !Line::kKeepsRow) {
      std::memcpy(original, out, size_t(RowBytes()));
    }
    const int64_t entering = i + 1 + y_;
    const uint8_t *next = entering < image_.height ? RowAt(image_, entering) : nullptr;
    Line line = {{col_, image_.width, x_, factors_, out, next, FirstSum(col_, x_), original}};
    WalkLine(line, image_.width, x_);
  }

 private:
  int64_t RowBytes() const { return int64_t(image_.width) * 4; }
  uint8_t *Copy(int64_t row) const { return ring_ + row % (y_ + 1) * RowBytes(); }

  const tPixelRows image_;
  int64_t x_, y_;
  uint8_t *ring_;
  Sum *col_;
  Factors factors_;
};

// Runs the kernel over the image; false, with the image untouched, when work
// storage cannot be had.
template <typename Columns, typename Line>
bool RunVectorBoxFilter(const tPixelRows &image, int32_t x, int32_t y) {
  using Sum = typename Columns::Sum;
  using Factor = typename Line::Rule::Factor;
  std::unique_ptr<uint8_t[]> ring = TryAllocateRing(image, y);
  std::unique_ptr<Sum[]> col = TryAllocateZeroed<Sum>(4 * uint64_t(image.width));
  std::unique_ptr<Factor[]> edges = TryAllocateRaw<Factor>(uint64_t(x));
  if (!ring || !col || !edges) {
    return false;
  }
  tBoxFilterRows<Columns, Line> rows(image, x, y, ring.get(), col.get(), edges.get());
  SlideWindowDown(image.height, y, rows);
  return true;
}

}  // namespace
}  // namespace pixels
