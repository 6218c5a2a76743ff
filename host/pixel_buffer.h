// An owned image of 8-bit levels or 32-bit ARGB pixels whose rows lie `pitch`
// bytes apart. The pitch may be wider than a row (slack after each row, which
// tests use as guard bytes) or negative (rows bottom-up in memory: row 0 sits
// last). Every byte starts at zero.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zanhost {

class PixelBuffer {
 public:
  // A pitch of 0 means rows packed tightly. Throws std::invalid_argument for
  // negative sizes, a depth other than 8 or 32, a pitch narrower than a row, or
  // a 32-bit pitch that is no multiple of 4.
  PixelBuffer(int width, int height, int bitsPerPixel, int pitch = 0);

  int Width() const { return width_; }
  int Height() const { return height_; }
  int BitsPerPixel() const { return bitsPerPixel_; }
  int Pitch() const { return pitch_; }
  // Row 0's address, from which every row is `pitch` bytes on; null when the
  // image has no pixels.
  uint8_t *Origin() { return height_ > 0 ? bytes_.data() + originOffset_ : nullptr; }
  const uint8_t *Origin() const { return height_ > 0 ? bytes_.data() + originOffset_ : nullptr; }
  uint8_t *Row(int y) { return Origin() + static_cast<std::ptrdiff_t>(y) * pitch_; }
  const uint8_t *Row(int y) const { return Origin() + static_cast<std::ptrdiff_t>(y) * pitch_; }
  uint32_t *Row32(int y) { return reinterpret_cast<uint32_t *>(Row(y)); }
  const uint32_t *Row32(int y) const { return reinterpret_cast<const uint32_t *>(Row(y)); }
  // All bytes, slack included, in memory order.
  const std::vector<uint8_t> &Bytes() const { return bytes_; }

 private:
  int width_;
  int height_;
  int bitsPerPixel_;
  int pitch_;
  std::ptrdiff_t originOffset_ = 0;
  // operator new aligns far beyond the 4 bytes a 32-bit pixel needs.
  std::vector<uint8_t> bytes_;
};

}  // namespace zanhost
