// The walk along one output line of a window filter on vectors: the pixels
// whose windows are cut at the line's left end, those with whole windows, and
// those cut at the right end, each stretch in blocks where a kernel has them
// and the pixels between and after the blocks one at a time. The kernel
// supplies the work; this order is shared.
// Compiled for the including file's instruction set (pixels/vector_target.h).
#pragma once

#include <algorithm>
#include <cstdint>

#include "pixels/vector_target.h"

namespace pixels {
namespace {

// Writes the w pixels of a line whose windows have radius r (2r <= w). Line
// gives kBlock and kVectorEnds and, carrying the window sum from pixel to
// pixel:
//   Single(j): pixel j;
//   WholeBlocks(begin, end): pixels begin to end - 1, a whole number of blocks
//     whose windows are all whole (called on every line, maybe empty);
// and where kVectorEnds:
//   LeftBlocks(end): pixels 0 to end - 1, blocks all left of r;
//   RightBlocks(begin, end): blocks from begin, all past both r and w - r - 1.
template <typename Line>
FX_TARGET inline void WalkLine(Line &line, int64_t w, int64_t r) {
  constexpr int64_t block = Line::kBlock;
  int64_t j = 0;
  if constexpr (Line::kVectorEnds) {
    j = std::min(r, w) / block * block;
    line.LeftBlocks(j);
  }
  for (; j <= r && j < w; ++j) {
    line.Single(j);
  }
  const int64_t whole_end = j + std::max<int64_t>(0, w - r - j) / block * block;
  line.WholeBlocks(j, whole_end);
  j = whole_end;
  if constexpr (Line::kVectorEnds) {
    for (; j < w - r; ++j) {
      line.Single(j);
    }
    const int64_t right_end = j + (w - j) / block * block;
    line.RightBlocks(j, right_end);
    j = right_end;
  }
  for (; j < w; ++j) {
    line.Single(j);
  }
}

}  // namespace
}  // namespace pixels
