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

// The pixels [begin, end) of a line of w pixels, radius r, that WalkLine
// writes in whole-window blocks of `block`.
struct tBlockSpan {
  int64_t begin, end;
};

inline tBlockSpan WholeBlockSpan(int64_t w, int64_t r, int64_t block) {
  const int64_t begin = std::min(r + 1, w);
  return {begin, begin + std::max<int64_t>(0, w - r - begin) / block * block};
}

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
  const tBlockSpan whole = WholeBlockSpan(w, r, block);
  for (; j < whole.begin; ++j) {
    line.Single(j);
  }
  line.WholeBlocks(j, whole.end);
  j = whole.end;
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
