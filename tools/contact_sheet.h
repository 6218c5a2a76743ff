// A contact sheet: frames of a transition in a grid, each shrunk to a
// thumbnail, shown over a checkerboard so transparency stays visible, and
// labelled underneath with the bitmap font.
#pragma once

#include <string>
#include <vector>

#include "host/pixel_buffer.h"

namespace zanhost::cli {

// Thumbnails fit in this box; smaller pictures keep their size.
constexpr int kThumbnailMaxWidth = 240;
constexpr int kThumbnailMaxHeight = 180;

// The picture shrunk by the smallest whole factor that fits the box, each
// thumbnail pixel the mean of its block (per channel, truncated).
PixelBuffer MakeThumbnail(const PixelBuffer &picture);

// `wanted` indices spread evenly over 0..count-1, the first and last included
// (all of them when count <= wanted).
std::vector<size_t> PickEvenly(size_t count, size_t wanted);

struct SheetCell {
  const PixelBuffer *thumbnail;
  std::string label;
};

// An opaque picture with the cells in rows of `columns`; cells are sized to
// the largest thumbnail and label.
PixelBuffer MakeContactSheet(const std::vector<SheetCell> &cells, int columns);

}  // namespace zanhost::cli
