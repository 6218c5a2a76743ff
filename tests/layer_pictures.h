// Host Layers holding test pictures, for the Layer functions run through the
// loaded module: random pixels (with transparent patches), pixels read back in
// row order, and the whole buffer (row slack included) to catch stray writes.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "host/host_ref.h"
#include "host/layer_object.h"
#include "host/script_value.h"

namespace fxtest {

using LayerRef = zanhost::Ref<zanhost::LayerObject>;
using Picture = std::vector<uint32_t>;  // width x height pixels, row after row

// Row layouts of the buffers under test: the pitch for a width.
enum class PitchKind { kPacked, kPadded, kNegative, kNegativePadded };

inline int PitchFor(int width, PitchKind kind) {
  const int packed = width * 4;
  switch (kind) {
    case PitchKind::kPacked:
      return packed;
    case PitchKind::kPadded:
      return packed + 12;
    case PitchKind::kNegative:
      return width == 0 ? 0 : -packed;
    case PitchKind::kNegativePadded:
      return -(packed + 8);
  }
  return packed;
}

inline LayerRef MakeLayer(int width, int height, PitchKind kind = PitchKind::kPacked) {
  return LayerRef::Adopt(zanhost::LayerObject::Create(width, height, PitchFor(width, kind)));
}

inline zanhost::Variant Arg(const LayerRef &layer) {
  return zanhost::Variant::Object(layer.get());
}

inline zanhost::Variant Arg(tOVInteger value) {
  return zanhost::Variant::Integer(value);
}

inline zanhost::Variant Arg(int value) {
  return zanhost::Variant::Integer(value);
}

inline zanhost::Variant Arg(double value) {
  return zanhost::Variant::Real(value);
}

inline Picture ReadPicture(zanhost::LayerObject &layer) {
  zanhost::PixelBuffer &pixels = *layer.Pixels();
  Picture out;
  for (int y = 0; y < pixels.Height(); ++y) {
    out.insert(out.end(), pixels.Row32(y), pixels.Row32(y) + pixels.Width());
  }
  return out;
}

inline void WritePicture(zanhost::LayerObject &layer, const Picture &picture) {
  zanhost::PixelBuffer &pixels = *layer.Pixels();
  for (int y = 0; y < pixels.Height(); ++y) {
    for (int x = 0; x < pixels.Width(); ++x) {
      pixels.Row32(y)[x] = picture[static_cast<size_t>(y) * pixels.Width() + x];
    }
  }
}

// Every byte of the buffer, row slack included.
inline std::vector<uint8_t> AllBytes(zanhost::LayerObject &layer) {
  return layer.Pixels()->Bytes();
}

constexpr uint8_t kSlackByte = 0xA5;

// Fills the bytes between the end of each row and the start of the next.
inline void PoisonSlack(zanhost::LayerObject &layer) {
  zanhost::PixelBuffer &pixels = *layer.Pixels();
  const int stride = pixels.Pitch() < 0 ? -pixels.Pitch() : pixels.Pitch();
  for (int y = 0; y < pixels.Height(); ++y) {
    for (int k = pixels.Width() * 4; k < stride; ++k) {
      pixels.Row(y)[k] = kSlackByte;
    }
  }
}

inline bool SlackIntact(zanhost::LayerObject &layer) {
  zanhost::PixelBuffer &pixels = *layer.Pixels();
  const int stride = pixels.Pitch() < 0 ? -pixels.Pitch() : pixels.Pitch();
  for (int y = 0; y < pixels.Height(); ++y) {
    for (int k = pixels.Width() * 4; k < stride; ++k) {
      if (pixels.Row(y)[k] != kSlackByte) {
        return false;
      }
    }
  }
  return true;
}

// Random pixels; with `transparent`, alpha is 0 over a random rectangle and at
// scattered pixels, 255 at others, so weighted sums meet their edge cases.
inline Picture RandomPicture(int width, int height, std::mt19937 &rng, bool transparent) {
  Picture out(static_cast<size_t>(width) * height);
  for (uint32_t &pixel : out) {
    pixel = static_cast<uint32_t>(rng());
  }
  if (!transparent || out.empty()) {
    return out;
  }
  const int left = static_cast<int>(rng() % width);
  const int top = static_cast<int>(rng() % height);
  const int right = left + static_cast<int>(rng() % (width - left)) + 1;
  const int bottom = top + static_cast<int>(rng() % (height - top)) + 1;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint32_t &pixel = out[static_cast<size_t>(y) * width + x];
      const uint32_t pick = rng() % 8;
      if ((y >= top && y < bottom && x >= left && x < right) || pick == 0) {
        pixel &= 0x00FFFFFFu;
      } else if (pick == 1) {
        pixel |= 0xFF000000u;
      }
    }
  }
  return out;
}

inline LayerRef MakeRandomLayer(int width, int height, PitchKind kind, std::mt19937 &rng,
                                bool transparent) {
  LayerRef layer = MakeLayer(width, height, kind);
  WritePicture(*layer, RandomPicture(width, height, rng, transparent));
  return layer;
}

}  // namespace fxtest
