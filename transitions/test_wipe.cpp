#include "transitions/test_wipe.h"

#include <cstring>
#include <new>

#include "frame/owned_variant.h"
#include "transitions/progress.h"

namespace {

// Values of the options that shape nothing of the output, kept as read.
struct tTestOptions {
  orn_int maxh = 50;
  tOVReal maxomega = 0.2;
  orn_int bgcolor1 = 0;
  orn_int bgcolor2 = 0;
  orn_int testtype = 0;
};

class tTestTransHandler : public tCounted<iZANBandTransHandler> {
 public:
  tTestTransHandler(uint64_t duration, orn_int sourceHeight, const tTestOptions &extra)
      : time(duration), src1Height(sourceHeight), options(extra) {}
  orn_int SetOptionSource(iZANOptionSource *) override { return 0; }

  // level := elapsed * 255 / time, elapsed capped at time (a clock gone back
  // wraps to a huge elapsed, so it ends the wipe). A time of 0 completes at once.
  orn_int BeginStep(uint64_t tick) override {
    if (firstStep) {
      startTick = tick;
      firstStep = false;
    }
    elapsed = tick - startTick;
    if (elapsed >= time) {
      elapsed = time;
      level = 255;
    } else {
      level = static_cast<orn_int>(ScaledProgress(elapsed, 255, time));
    }
    return 1;
  }
  orn_int EndStep() override { return level == 255 ? 2 : 1; }

  orn_int ProcessBand(tZANBandData *band) override {
    const auto threshold = static_cast<orn_int>(int64_t{level} * src1Height / 255);
    for (orn_int i = 0; i < band->height; ++i) {
      void *dest = nullptr;
      const void *first = nullptr;
      const void *second = nullptr;
      if (band->dest->GetLineForWrite(band->destTop + i, &dest) < 0 ||
          band->src1->GetLine(band->top + i, &first) < 0 ||
          band->src2->GetLine(band->top + i, &second) < 0) {
        return -1;
      }
      const void *source = band->top + i > threshold ? first : second;
      if (band->width > 0 && dest != nullptr && source != nullptr) {
        std::memmove(static_cast<orn_uint32 *>(dest) + band->destLeft,
                     static_cast<const orn_uint32 *>(source) + band->left,
                     static_cast<size_t>(band->width) * sizeof(orn_uint32));
      }
    }
    return 0;
  }
  orn_int ChooseFinalImage(iZANLineSource **out, iZANLineSource *,
                           iZANLineSource *second) override {
    *out = second;
    return 0;
  }

 private:
  uint64_t startTick = 0;
  uint64_t time;
  orn_int src1Height;
  uint64_t elapsed = 0;
  orn_int level = 0;
  bool firstStep = true;
  tTestOptions options;
};

// Reads option `name` into `value`; true when present and not empty.
bool ReadOption(iZANOptionSource *options, const orn_char *name, tOwnedVariant &value) {
  return options->GetValue(name, value.get()) >= 0 && VariantType(*value.get()) != 0;
}

}  // namespace

orn_int tTestTransHandlerProvider::GetName(const orn_char **name) {
  if (name != nullptr) {
    *name = u"test";
  }
  return 0;
}

orn_int tTestTransHandlerProvider::BeginTransition(iZANOptionSource *options, iZANImageSource *,
                                                   orn_int, orn_int src1Width, orn_int src1Height,
                                                   orn_int src2Width, orn_int src2Height,
                                                   orn_int *resultFlag1, orn_int *resultFlag2,
                                                   iZANBandTransHandler **handler) {
  if (resultFlag1 != nullptr) {
    *resultFlag1 = 1;
  }
  if (resultFlag2 != nullptr) {
    *resultFlag2 = 1;
  }
  if (handler == nullptr || options == nullptr || src1Width != src2Width ||
      src1Height != src2Height) {
    return -1;
  }
  tOwnedVariant value;
  if (!ReadOption(options, u"time", value)) {
    return -1;
  }
  const auto time = static_cast<uint64_t>(VariantToInteger(*value.get()));
  tTestOptions extra;
  if (ReadOption(options, u"maxh", value)) {
    extra.maxh = VariantToInt(*value.get());
  }
  if (ReadOption(options, u"maxomega", value)) {
    extra.maxomega = VariantToReal(*value.get());
  }
  if (ReadOption(options, u"bgcolor1", value)) {
    extra.bgcolor1 = VariantToInt(*value.get());
  }
  if (ReadOption(options, u"bgcolor2", value)) {
    extra.bgcolor2 = VariantToInt(*value.get());
  }
  if (ReadOption(options, u"testtype", value)) {
    extra.testtype = VariantToInt(*value.get());
  }
  *handler = new (std::nothrow) tTestTransHandler(time, src1Height, extra);
  return 0;
}
