// The rule of the "brightness" transition built from its source's lines: the
// brightness means of the chosen window, stretched and optionally inverted.
#include "transitions/brightness_rule.h"

#include <algorithm>

#include "frame/raise.h"
#include "pixels/brightness_means.h"
#include "pixels/stretch_levels.h"
#include "pixels/try_allocate.h"

namespace {

// Without its rule the transition cannot go on, and the host would only see a
// band that failed: the script is told why.
[[noreturn]] void RaiseOutOfMemory() {
  RaiseMessage(u"not enough memory to build the rule of the brightness transition.");
}

}  // namespace

bool BuildBrightnessRule(iZANLineSource *source, orn_int radius, bool invert,
                         tBrightnessRule *rule) {
  orn_int width = 0, height = 0;
  if (source->GetWidth(&width) < 0 || source->GetHeight(&height) < 0) {
    return false;
  }
  width = std::max(width, 0);
  height = std::max(height, 0);
  // Sizes in 64 bits: on a 32-bit target they may not fit, and then the
  // memory cannot be had either.
  const uint64_t count = uint64_t(width) * uint64_t(height);
  std::unique_ptr<uint8_t[]> levels = pixels::TryAllocateRaw<uint8_t>(count + 1);
  std::unique_ptr<const orn_uint32 *[]> rows =
      pixels::TryAllocateRaw<const orn_uint32 *>(uint64_t(height) + 1);
  if (levels == nullptr || rows == nullptr) {
    RaiseOutOfMemory();
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
  pixels::tLevelRange range;
  if (!pixels::BrightnessMeans(rows.get(), width, height, r, levels.get(), &range)) {
    RaiseOutOfMemory();
  }
  pixels::StretchLevels(levels.get(), static_cast<size_t>(count), range, invert);
  rule->levels = std::move(levels);
  rule->width = width;
  rule->height = height;
  return true;
}
