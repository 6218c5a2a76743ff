// The frame of the running-sum window filters (the box filters and the
// brightness means): a window of 2r+1 lines slides down the picture, each line
// added to the column sums once as it enters and removed once as it leaves
// (the filters keep what they need of a line until it leaves); along each
// output line the window's factor (a scale or reciprocal of its cell count)
// comes from a table filled once per vertical count.
#pragma once

#include <algorithm>
#include <cstdint>

namespace pixels {

// Cells of the window of radius r around cell i, cut to 0..n-1.
inline int64_t WindowCells(int64_t i, int64_t r, int64_t n) {
  return std::min(n - 1, i + r) - std::max<int64_t>(0, i - r) + 1;
}

// Slides the window of radius r down n lines (0 < n, 2r <= n). `lines` does the
// work of each step:
//   lines.Update<kEnter, kLeave>(line) adds line `line` to the column sums and
//     removes line `line` - (2r+1); without kEnter, `line` lies past the end and
//     is not read;
//   lines.Output(i, v) writes output line i from the column sums of its v lines.
// Before output line i, line i+r enters and line i-r-1 leaves.
template <typename Lines>
void SlideWindowDown(int64_t n, int64_t r, Lines &lines) {
  for (int64_t line = 0; line < r; ++line) {
    lines.template Update<true, false>(line);
  }
  for (int64_t i = 0; i < n; ++i) {
    const int64_t entering = i + r;
    const bool enter = entering < n;
    const bool leave = i - r - 1 >= 0;
    if (enter && leave) {
      lines.template Update<true, true>(entering);
    } else if (enter) {
      lines.template Update<true, false>(entering);
    } else if (leave) {
      lines.template Update<false, true>(entering);
    }
    lines.Output(i, uint64_t(WindowCells(i, r, n)));
  }
}

// The factor of each window size along a line of w cells whose windows have
// radius r and span v lines: the middle one and those of the cut windows at
// both ends (r+1 to 2r columns), tabled once per v so that no division runs per
// pixel. `Rule` gives the Factor type and FactorFor(cell count); `edges` holds
// at least r factors.
template <typename Rule>
class tWindowFactors {
 public:
  using Factor = typename Rule::Factor;

  tWindowFactors(int64_t w, int64_t r, Factor *edges) : w_(w), r_(r), edges_(edges) {}

  void Prepare(uint64_t v) {
    if (v == v_) {
      return;
    }
    v_ = v;
    for (int64_t c = r_ + 1; c <= 2 * r_; ++c) {
      edges_[c - r_ - 1] = Rule::FactorFor(uint64_t(c) * v);
    }
    middle_ = Rule::FactorFor(MiddleCells());
  }

  Factor Middle() const { return middle_; }
  uint64_t MiddleCells() const { return uint64_t(2 * r_ + 1) * v_; }

  // The factors of the cut windows: Edges()[c - r - 1] for c columns, r < c <= 2r.
  const Factor *Edges() const { return edges_; }

  // The factor of cell j's window.
  Factor At(int64_t j) const {
    const int64_t columns = WindowCells(j, r_, w_);
    return columns == 2 * r_ + 1 ? middle_ : edges_[columns - r_ - 1];
  }

 private:
  int64_t w_, r_;
  Factor *edges_;
  uint64_t v_ = 0;
  Factor middle_{};
};

}  // namespace pixels
