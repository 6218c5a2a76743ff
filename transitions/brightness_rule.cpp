#include "transitions/brightness_rule.h"

#include <algorithm>
#include <new>

#include "transitions/brightness_means.h"

void StretchLevels(uint8_t *levels, size_t count) {
  if (count == 0) {
    return;
  }
  const auto [low, high] = std::minmax_element(levels, levels + count);
  const unsigned m = *low;
  const unsigned span = *high - m;
  if (span == 0 || span == 255) {
    return;
  }
  for (size_t i = 0; i < count; ++i) {
    levels[i] = static_cast<uint8_t>((levels[i] - m) * 255u / span);
  }
}

bool BuildBrightnessRule(iZANLineSource *source, orn_int radius, bool invert,
                         tBrightnessRule *rule) {
  orn_int width = 0, height = 0;
  if (source->GetWidth(&width) < 0 || source->GetHeight(&height) < 0) {
    return false;
  }
  width = std::max(width, 0);
  height = std::max(height, 0);
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  std::unique_ptr<uint8_t[]> levels(new (std::nothrow) uint8_t[count + 1]);
  std::unique_ptr<const orn_uint32 *[]> rows(
      new (std::nothrow) const orn_uint32 *[static_cast<size_t>(height) + 1]);
  if (levels == nullptr || rows == nullptr) {
    return false;
  }
  // A picture without columns has no pixel to read, and its lines may have no
  // address at all.
  for (orn_int y = 0; y < height && width > 0; ++y) {
    const void *line = nullptr;
    if (source->GetLine(y, &line) < 0 || line == nullptr) {
      return false;
    }
    rows[y] = static_cast<const orn_uint32 *>(line);
  }
  const orn_int r = std::clamp(radius, 0, std::min(width, height) / 2);
  if (!transitions::BuildBrightnessMeans(rows.get(), width, height, r, levels.get())) {
    return false;
  }
  StretchLevels(levels.get(), count);
  if (invert) {
    for (size_t i = 0; i < count; ++i) {
      levels[i] = static_cast<uint8_t>(~levels[i]);
    }
  }
  rule->levels = std::move(levels);
  rule->width = width;
  rule->height = height;
  return true;
}
