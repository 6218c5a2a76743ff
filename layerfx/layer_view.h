// A Layer's geometry and pixel buffer for one call of a Layer function, read
// through the Layer's script properties before any pixel is touched.
#pragma once

#include <cstdint>

#include "hostapi/dispatch.h"

struct LayerView {
  iORNDispatch2 *layer = nullptr;  // borrowed: no reference is held
  uint8_t *buffer = nullptr;       // first pixel of the image's top row
  orn_int pitch = 0;               // bytes from one row to the next, may be negative
  orn_int left = 0;
  orn_int top = 0;
  orn_int width = 0;
  orn_int height = 0;
  orn_int imageWidth = 0;
  orn_int imageHeight = 0;

  uint32_t *Row(orn_int row) const {
    return reinterpret_cast<uint32_t *>(buffer + int64_t{row} * pitch);
  }
};

enum class tViewKind { Read, Write };

// The Layer held by a script argument, without a reference; null when none.
iORNDispatch2 *LayerOf(const tORNVariant &argument);

// Reads "left", "top", "width", "height", "imageWidth", "imageHeight", the buffer
// ("mainImageBuffer" or "mainImageBufferForWrite") and "mainImageBufferPitch" in
// that order, raising "invoking of Layer.<name> failed." at the first that
// fails (at "left" for a null layer). Values are stored as read, unchecked.
LayerView ReadLayerView(iORNDispatch2 *layer, tViewKind kind);

// Raises when a view with pixels has no buffer to hold them.
void RequireBuffer(const LayerView &view);
