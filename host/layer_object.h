// A Layer script object: a 32-bit ARGB image (any pitch, negative included, or
// no buffer at all) and the nine properties through which the module reads it.
// The buffer addresses are integer variants holding the full pointer (64 bits
// on 64-bit targets). Test code can set any property's reported value freely,
// independently of the real buffer.
//
// For tests it records every property read (count and order), can fail one
// property or the n-th read, and keeps a lookup hint in the caller's hint word:
// the property's index + 1 is stored in a zero word, and a later read that
// passes the right non-zero word counts as hinted. The method "update" (four
// integers: left, top, width, height) records each request.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "host/pixel_buffer.h"
#include "host/script_object.h"

namespace zanhost {

enum class LayerProperty {
  kLeft,
  kTop,
  kWidth,
  kHeight,
  kImageWidth,
  kImageHeight,
  kMainImageBuffer,
  kMainImageBufferForWrite,
  kMainImageBufferPitch,
};
constexpr int kLayerPropertyCount = 9;

// The script name of a property.
const orn_char *LayerPropertyName(LayerProperty property);

struct UpdateRequest {
  orn_int left;
  orn_int top;
  orn_int width;
  orn_int height;
  bool operator==(const UpdateRequest &other) const {
    return left == other.left && top == other.top && width == other.width && height == other.height;
  }
};

class LayerObject : public ScriptObject {
 public:
  // A width x height image at the pitch (0: packed rows); one reference for the
  // caller. The properties report the image as it is, at position (0, 0).
  static LayerObject *Create(int width, int height, int pitch = 0);
  // The same geometry with no pixels: both buffer properties read 0.
  static LayerObject *CreateWithoutBuffer(int width, int height);

  // Reads the property; a failing one answers ResultNotSupported, other names
  // ResultNoSuchMember (not counted as property reads).
  orn_int GetMember(orn_uint32 flag, const orn_char *name, orn_uint32 *hint, tORNVariant *result,
                    iORNDispatch2 *objthis) override;
  // "update" with four arguments; another count is ResultBadArgumentCount.
  orn_int CallMember(orn_uint32 flag, const orn_char *name, orn_uint32 *hint, tORNVariant *result,
                     orn_int count, tORNVariant **params, iORNDispatch2 *objthis) override;

  void SetProperty(LayerProperty property, tOVInteger value);
  tOVInteger Property(LayerProperty property) const;
  // Null when the layer has no buffer.
  PixelBuffer *Pixels() { return pixels_ ? &*pixels_ : nullptr; }

  void FailProperty(std::optional<LayerProperty> property) { failingProperty_ = property; }
  // The n-th property read from now on (1 = the next) fails; 0 disables.
  void FailNthRead(int n) { failingRead_ = n == 0 ? 0 : readCount_ + n; }
  int ReadCount() const { return readCount_; }
  const std::vector<LayerProperty> &ReadOrder() const { return readOrder_; }
  int HintedReads() const { return hintedReads_; }
  // Reads that passed a non-zero hint word belonging to another property.
  int MismatchedHints() const { return mismatchedHints_; }
  const std::vector<UpdateRequest> &Updates() const { return updates_; }

 private:
  LayerObject(int width, int height, std::optional<PixelBuffer> pixels);
  void NoteHint(LayerProperty property, orn_uint32 *hint);

  std::optional<PixelBuffer> pixels_;
  std::array<tOVInteger, kLayerPropertyCount> values_{};
  std::optional<LayerProperty> failingProperty_;
  int failingRead_ = 0;
  int readCount_ = 0;
  std::vector<LayerProperty> readOrder_;
  int hintedReads_ = 0;
  int mismatchedHints_ = 0;
  std::vector<UpdateRequest> updates_;
};

}  // namespace zanhost
