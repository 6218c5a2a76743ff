#include "tools/contact_sheet.h"

#include <algorithm>
#include <cstdint>

#include "tools/bitmap_font.h"

namespace zanhost::cli {
namespace {

constexpr int kPadding = 6;
constexpr int kLabelScale = 2;
constexpr int kLabelHeight = kGlyphHeight * kLabelScale + kPadding;
constexpr int kCheckerSize = 8;
constexpr uint32_t kSheetColor = 0xFF202428;
constexpr uint32_t kLabelColor = 0xFFF0F0F0;
constexpr uint32_t kCheckerLight = 0xFFA0A0A0;
constexpr uint32_t kCheckerDark = 0xFF707070;

uint32_t Channel(uint32_t pixel, int shift) {
  return (pixel >> shift) & 0xFFu;
}

// The pixel over the background, mixed by its alpha and rounded; opaque.
uint32_t OverBackground(uint32_t pixel, uint32_t background) {
  const uint32_t alpha = Channel(pixel, 24);
  uint32_t mixed = 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    const uint32_t value =
        (Channel(pixel, shift) * alpha + Channel(background, shift) * (255 - alpha) + 127) / 255;
    mixed |= value << shift;
  }
  return mixed;
}

void Fill(PixelBuffer &picture, uint32_t color) {
  for (int y = 0; y < picture.Height(); ++y) {
    std::fill_n(picture.Row32(y), picture.Width(), color);
  }
}

void PlaceOverChecker(PixelBuffer &sheet, const PixelBuffer &thumbnail, int left, int top) {
  for (int y = 0; y < thumbnail.Height(); ++y) {
    for (int x = 0; x < thumbnail.Width(); ++x) {
      const bool light = ((x / kCheckerSize) + (y / kCheckerSize)) % 2 == 0;
      sheet.Row32(top + y)[left + x] =
          OverBackground(thumbnail.Row32(y)[x], light ? kCheckerLight : kCheckerDark);
    }
  }
}

}  // namespace

PixelBuffer MakeThumbnail(const PixelBuffer &picture) {
  const int factor = std::max({1, (picture.Width() + kThumbnailMaxWidth - 1) / kThumbnailMaxWidth,
                               (picture.Height() + kThumbnailMaxHeight - 1) / kThumbnailMaxHeight});
  const int width = std::max(1, picture.Width() / factor);
  const int height = std::max(1, picture.Height() / factor);
  PixelBuffer thumbnail(width, height, 32);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint32_t sums[4] = {0, 0, 0, 0};
      int count = 0;
      for (int by = y * factor; by < std::min((y + 1) * factor, picture.Height()); ++by) {
        for (int bx = x * factor; bx < std::min((x + 1) * factor, picture.Width()); ++bx) {
          for (int channel = 0; channel < 4; ++channel) {
            sums[channel] += Channel(picture.Row32(by)[bx], channel * 8);
          }
          ++count;
        }
      }
      uint32_t mean = 0;
      for (int channel = 0; channel < 4; ++channel) {
        mean |= sums[channel] / static_cast<uint32_t>(count) << (channel * 8);
      }
      thumbnail.Row32(y)[x] = mean;
    }
  }
  return thumbnail;
}

std::vector<size_t> PickEvenly(size_t count, size_t wanted) {
  std::vector<size_t> picked;
  if (count <= wanted) {
    for (size_t i = 0; i < count; ++i) {
      picked.push_back(i);
    }
    return picked;
  }
  for (size_t i = 0; i < wanted; ++i) {
    picked.push_back(wanted == 1 ? 0 : i * (count - 1) / (wanted - 1));
  }
  return picked;
}

PixelBuffer MakeContactSheet(const std::vector<SheetCell> &cells, int columns) {
  int cellWidth = 1;
  int thumbnailHeight = 1;
  for (const SheetCell &cell : cells) {
    cellWidth = std::max({cellWidth, cell.thumbnail->Width(), TextWidth(cell.label, kLabelScale)});
    thumbnailHeight = std::max(thumbnailHeight, cell.thumbnail->Height());
  }
  const int count = static_cast<int>(cells.size());
  const int usedColumns = std::max(1, std::min(columns, count));
  const int rows = std::max(1, (count + usedColumns - 1) / usedColumns);
  const int pitchX = cellWidth + kPadding;
  const int pitchY = thumbnailHeight + kLabelHeight + kPadding;
  PixelBuffer sheet(kPadding + usedColumns * pitchX, kPadding + rows * pitchY, 32);
  Fill(sheet, kSheetColor);
  for (int i = 0; i < count; ++i) {
    const SheetCell &cell = cells[static_cast<size_t>(i)];
    const int left = kPadding + (i % usedColumns) * pitchX;
    const int top = kPadding + (i / usedColumns) * pitchY;
    PlaceOverChecker(sheet, *cell.thumbnail, left, top);
    DrawText(sheet, left, top + cell.thumbnail->Height() + kPadding / 2, cell.label, kLabelColor,
             kLabelScale);
  }
  return sheet;
}

}  // namespace zanhost::cli
