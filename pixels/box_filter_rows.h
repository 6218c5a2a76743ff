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
//     where its own work leaves the memory idle. A Line with kChangesColumns
//     gets the step's change (tRowChange) and the writable sums, and applies
//     it to the columns from Line::kChangeLead pixels past the first one
//     entering its whole-window blocks (and all columns after them) itself;
//     the rest change before its walk.
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

// One step's change to the column sums: the terms of `entering` added and
// those of `leaving` removed (either may be null), or, with `clear`, the sums
// replaced by the entering row's terms.
struct tRowChange {
  const uint8_t *entering = nullptr;
  const uint8_t *leaving = nullptr;
  bool clear = false;
};

// Applies `change` to the column sums of pixels begin to end - 1.
template <typename Columns>
FX_TARGET void ChangeColumns(const tRowChange &change, typename Columns::Sum *col, int64_t begin,
                             int64_t end) {
  using Sum = typename Columns::Sum;
  if (begin >= end) {
    return;
  }
  Sum *sums = col + 4 * begin;
  const int64_t n = end - begin;
  const uint8_t *entering = change.entering ? change.entering + 4 * begin : nullptr;
  const uint8_t *leaving = change.leaving ? change.leaving + 4 * begin : nullptr;
  if (change.clear) {
    std::fill(sums, sums + 4 * n, Sum{0});
  }
  if (entering && leaving) {
    Columns::template Update<true, true>(sums, entering, leaving, n, nullptr);
  } else if (entering) {
    Columns::template Update<true, false>(sums, entering, nullptr, n, nullptr);
  } else if (leaving) {
    Columns::template Update<false, true>(sums, nullptr, leaving, n, nullptr);
  }
}

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
  // A walk that changes the column sums itself gets the change with the
  // output row that follows (rows before the first output row change them
  // here).
  template <bool kEnter, bool kLeave>
  void Update(int64_t row) {
    const uint8_t *entering = kEnter ? RowAt(image_, row) : nullptr;
    if constexpr (Line::kChangesColumns) {
      change_ = {entering, kLeave && y_ > 0 ? Copy(row - 2 * y_ - 1) : nullptr, kLeave && y_ == 0};
      if (row < y_) {
        ChangeColumns<Columns>(change_, col_, 0, image_.width);
        change_ = {};
      }
      return;
    }
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
    if constexpr (Line::kChangesColumns) {
      // The columns up to those the walk's whole-window blocks change (from
      // Line::kChangeLead pixels past the first one entering a block) change
      // now; the walk changes the rest.
      const int64_t w = image_.width;
      const tBlockSpan whole = WholeBlockSpan(w, x_, Line::kBlock);
      const int64_t changed = std::min(whole.begin + Line::kChangeLead, whole.end) + x_;
      ChangeColumns<Columns>(change_, col_, 0, std::min(changed, w));
      Line line = {{col_, w, x_, factors_, out, next, FirstSum(col_, x_), original}, change_, col_};
      change_ = {};
      WalkLine(line, w, x_);
    } else {
      Line line = {{col_, image_.width, x_, factors_, out, next, FirstSum(col_, x_), original}};
      WalkLine(line, image_.width, x_);
    }
  }

 private:
  int64_t RowBytes() const { return int64_t(image_.width) * 4; }
  uint8_t *Copy(int64_t row) const { return ring_ + row % (y_ + 1) * RowBytes(); }

  const tPixelRows image_;
  int64_t x_, y_;
  uint8_t *ring_;
  Sum *col_;
  Factors factors_;
  tRowChange change_;
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
