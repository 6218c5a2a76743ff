#include "layerfx/distortion.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "frame/host_import.h"
#include "frame/inner_size.h"
#include "frame/owned_variant.h"
#include "frame/variant_access.h"
#include "layerfx/distortion_rows.h"
#include "layerfx/layer_view.h"

namespace {

orn_uint32 updateHint = 0;

// Writes one destination row: fills take the edge pixel, copies take source
// pixels; opaque rows are written directly, others blended over what the row
// held. The copy runs from the lowest address up, one pixel read just before it
// is written, which fixes the result when source and destination are one Layer.
class tRowWriter {
 public:
  explicit tRowWriter(orn_int opacity) : opacity_(opacity) {}

  void Fill(orn_uint32 *dest, orn_int count, orn_uint32 color) const {
    if (count <= 0) {
      return;
    }
    if (opacity_ == 255) {
      Host<hostfn::ZANFillARGB>()(dest, count, color);
    } else {
      Host<hostfn::ZANConstColorAlphaBlend>()(dest, count, color, opacity_);
    }
  }

  void Copy(orn_uint32 *dest, const orn_uint32 *source, orn_int count) const {
    if (count <= 0) {
      return;
    }
    if (opacity_ == 255) {
      CopyUpward(dest, source, count);
    } else {
      Host<hostfn::ZANConstAlphaBlend>()(dest, source, count, opacity_);
    }
  }

 private:
  // The pixel-by-pixel upward copy. Unless the destination starts inside the
  // source after its first pixel, no pixel is read after it was written, so
  // memmove gives the same result; only that overlap (the row repeating
  // itself) needs the loop.
  static void CopyUpward(orn_uint32 *dest, const orn_uint32 *source, orn_int count) {
    const auto to = reinterpret_cast<uintptr_t>(dest);
    const auto from = reinterpret_cast<uintptr_t>(source);
    if (to <= from || to >= from + static_cast<uintptr_t>(count) * sizeof(orn_uint32)) {
      std::memmove(dest, source, static_cast<size_t>(count) * sizeof(orn_uint32));
      return;
    }
    for (orn_int i = 0; i < count; ++i) {
      dest[i] = source[i];
    }
  }

  orn_int opacity_;
};

// D[x] = S'[x + shift] where 0 <= x + shift < width, the edge pixel elsewhere;
// S' is the source row extended past its own `sourceWidth` columns by its last
// pixel, so a narrower source is never read past its rows.
void WriteRow(const tRowWriter &writer, orn_uint32 *dest, const orn_uint32 *source, orn_int width,
              orn_int sourceWidth, orn_int shift) {
  const orn_int readable = std::min(width, sourceWidth);
  // Copies S'[from .. from+count-1] to D[to ..].
  auto copyExtended = [&](orn_int to, orn_int from, orn_int count) {
    const orn_int direct = std::clamp(readable - from, 0, count);
    writer.Copy(dest + to, source + from, direct);
    writer.Fill(dest + to + direct, count - direct, source[sourceWidth - 1]);
  };
  if (shift < 0) {
    const orn_uint32 edge = source[0];
    writer.Fill(dest, -shift, edge);
    copyExtended(-shift, 0, width + shift);
  } else if (shift > 0) {
    const orn_uint32 edge = source[std::min(width, sourceWidth) - 1];
    writer.Fill(dest + width - shift, shift, edge);
    copyExtended(0, shift, width - shift);
  } else {
    copyExtended(0, 0, width);
  }
}

// Asks the Layer to redraw (0, 0, width, height); the status is not examined.
void RequestUpdate(iORNDispatch2 *layer, orn_int width, orn_int height) {
  tOwnedVariant left, top, right, bottom;
  left.Assign(tOVInteger{0});
  top.Assign(tOVInteger{0});
  right.Assign(tOVInteger{width});
  bottom.Assign(tOVInteger{height});
  tORNVariant *arguments[] = {left.get(), top.get(), right.get(), bottom.get()};
  layer->CallMember(0, u"update", &updateHint, nullptr, 4, arguments, layer);
}

}  // namespace

orn_int tDistortionFunction::CallMember(orn_uint32, const orn_char *, orn_uint32 *, tORNVariant *,
                                        orn_int count, tORNVariant **params, iORNDispatch2 *) {
  if (count != 5 && count != 6) {
    return ResultBadArgumentCount;
  }
  iORNDispatch2 *sourceLayer = LayerOf(*params[0]);
  iORNDispatch2 *destLayer = LayerOf(*params[1]);
  const LayerView src = ReadLayerView(sourceLayer, tViewKind::Read);
  const LayerView dst = ReadLayerView(destLayer, tViewKind::Write);
  const tInnerSize screen = QueryInnerSize();
  tWave wave{};
  wave.phase = VariantAsReal(*params[2]);
  wave.periodTop = VariantAsReal(*params[3]);
  wave.periodBottom = VariantAsReal(*params[4]);
  wave.screenHeight = screen.height;
  const auto opacity = count == 6 ? static_cast<orn_int>(VariantAsInteger(*params[5])) : 255;

  // An empty source has no row or edge pixel to draw from: the destination
  // stays as it is.
  if (src.height > 0 && src.width > 0 && dst.width > 0 && dst.height > 0) {
    RequireBuffer(src);
    RequireBuffer(dst);
    const tRowWriter writer(opacity);
    for (orn_int y = 0; y < dst.height; ++y) {
      const tRowDisplacement row = DisplaceRow(wave, dst.top, y, src.height, dst.width);
      WriteRow(writer, dst.Row(y), src.Row(row.sourceRow), dst.width, src.width, row.shift);
    }
  }
  RequestUpdate(dst.layer, dst.width, dst.height);
  return 0;
}
