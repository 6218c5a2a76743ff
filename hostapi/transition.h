// The transition interfaces between the host's transition registry and the
// module's providers and handlers, and the band record. Slot order is the binary
// contract. Every slot returns a status, negative on failure.
#pragma once

#include "hostapi/types.h"

class iZANLineSource;
class iZANBandTransHandler;

// An image reached line by line, owned by the host. Lines of 32-bit images are
// arrays of orn_uint32 pixels (alpha in the top byte), lines of 8-bit images
// arrays of orn_uint8 levels.
class iZANLineSource {
 public:
  // slot 0
  virtual orn_int AddRef() = 0;
  // slot 1
  virtual orn_int Release() = 0;
  // slot 2: out: width in pixels.
  virtual orn_int GetWidth(orn_int *width) = 0;
  // slot 3: out: height in lines.
  virtual orn_int GetHeight(orn_int *height) = 0;
  // slot 4: the host's own (8 or 32); the module does not call it.
  virtual orn_int GetPixelFormat(orn_int *bitsPerPixel) = 0;
  // slot 5: out: bytes from one line's address to the next; may be negative.
  virtual orn_int GetPitch(orn_int *pitch) = 0;
  // slot 6: out: address of line `y` for reading, valid while the source lives.
  virtual orn_int GetLine(orn_int y, const void **line) = 0;
  // slot 7: out: address of line `y` for writing.
  virtual orn_int GetLineForWrite(orn_int y, void **line) = 0;
};

// The options a script gave to one started transition. Texts handed out stay
// owned by the option source.
class iZANOptionSource {
 public:
  // slot 0
  virtual orn_int AddRef() = 0;
  // slot 1
  virtual orn_int Release() = 0;
  // slot 2: negative when the option is absent or not a number.
  virtual orn_int GetNumber(const orn_char *name, tOVInteger *value) = 0;
  // slot 3: negative when the option is absent or not a text.
  virtual orn_int GetString(const orn_char *name, const orn_char **value) = 0;
  // slot 4: in/out: `value` is a constructed variant that receives a copy.
  virtual orn_int GetValue(const orn_char *name, tORNVariant *value) = 0;
};

// Loads graphics for a transition.
class iZANImageSource {
 public:
  // slot 0: loads `name` at `bitsPerPixel`, fitted to width x height. On
  // success `*image` carries one reference that belongs to the caller.
  virtual orn_int LoadImage(const orn_char *name, orn_int bitsPerPixel, orn_uint32 key,
                            orn_int width, orn_int height, iZANLineSource **image) = 0;
};

// One band of scan lines handed to ProcessBand. ProcessBand may redirect the
// band by rewriting dest, destLeft and destTop.
struct tZANBandData {
  orn_int left;  // x of the band's first pixel in transition coordinates
  orn_int top;   // y of the band's first line in transition coordinates
  orn_int width;
  orn_int height;
  iZANLineSource *dest;
  orn_int destLeft;
  orn_int destTop;
  iZANLineSource *src1;  // the picture at the start
  orn_int src1Left;
  orn_int src1Top;
  iZANLineSource *src2;  // the picture at the end
  orn_int src2Left;
  orn_int src2Top;
};
static_assert(sizeof(void *) != 4 || sizeof(tZANBandData) == 52,
              "the band record is 52 bytes on 32-bit targets");

// A running transition, driven by the host: per frame BeginStep, ProcessBand for
// each band, EndStep; ChooseFinalImage once EndStep answered 2; then Release.
class iZANBandTransHandler {
 public:
  // slot 0
  virtual orn_int AddRef() = 0;
  // slot 1
  virtual orn_int Release() = 0;
  // slot 2: the handler holds `options` (a reference is taken when not null).
  virtual orn_int SetOptionSource(iZANOptionSource *options) = 0;
  // slot 3: starts a frame at the host's clock `tick`.
  virtual orn_int BeginStep(uint64_t tick) = 0;
  // slot 4: 1 while running, 2 once finished.
  virtual orn_int EndStep() = 0;
  // slot 5: writes or redirects one band.
  virtual orn_int ProcessBand(tZANBandData *band) = 0;
  // slot 6: out: the image that stays once the transition has finished.
  virtual orn_int ChooseFinalImage(iZANLineSource **out, iZANLineSource *first,
                                   iZANLineSource *second) = 0;
};

// A transition type, registered under the name GetName yields.
class iZANTransHandlerProvider {
 public:
  // slot 0
  virtual orn_int AddRef() = 0;
  // slot 1
  virtual orn_int Release() = 0;
  // slot 2: out: a constant wide-character name owned by the provider.
  virtual orn_int GetName(const orn_char **name) = 0;
  // slot 3: starts a transition; out: both result words, and `*handler` with one
  // reference for the host. Returns 0 or -1.
  virtual orn_int BeginTransition(iZANOptionSource *options, iZANImageSource *images,
                                  orn_int layerType, orn_int src1Width, orn_int src1Height,
                                  orn_int src2Width, orn_int src2Height, orn_int *resultFlag1,
                                  orn_int *resultFlag2, iZANBandTransHandler **handler) = 0;
};
