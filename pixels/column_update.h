// The column-sum update of the vector kernels: a row enters the column sums
// and another leaves them, in one pass, a block of pixels at a time and the
// last pixels one at a time. The kernel supplies the work on a block and on a
// pixel; this walk is shared.
// Compiled for the including file's instruction set (pixels/vector_target.h).
#pragma once

#include <cstdint>

#include "pixels/vector_target.h"

namespace pixels {
namespace {

// Updates the column sums of a row of w pixels:
//   Columns::Block<kEnter, kLeave>(k, rows...) pixels k to k + kPixels - 1,
//   Columns::Pixel<kEnter, kLeave>(k, rows...) pixel k,
// each adding the entering row's terms where kEnter and removing the leaving
// row's where kLeave. `next` (unless null), the row entering after this one,
// is fetched into the cache meanwhile: the image rows come from memory, and
// one row ahead hides the latency that the walk's other streams leave exposed.
template <typename Columns, bool kEnter, bool kLeave, typename... Rows>
FX_TARGET inline void UpdateColumns(int64_t w, const uint8_t *next, Rows... rows) {
  int64_t k = 0;
  for (; k + Columns::kPixels <= w; k += Columns::kPixels) {
    if (next != nullptr) {
      __builtin_prefetch(next + 4 * k);
    }
    Columns::template Block<kEnter, kLeave>(k, rows...);
  }
  for (; k < w; ++k) {
    Columns::template Pixel<kEnter, kLeave>(k, rows...);
  }
}

}  // namespace
}  // namespace pixels
