#include "transitions/add.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <string_view>

#include "frame/host_ref.h"
#include "frame/inner_size.h"
#include "frame/owned_string.h"
#include "frame/raise.h"
#include "pixels/try_allocate.h"
#include "transitions/rule_handler.h"

namespace {

// Key passed with the rule graphic to the host's image loader.
constexpr orn_uint32 ruleGraphicKey = 0x2FFFFFF;

class tAddTransHandler : public tRuleTransHandler {
 public:
  tAddTransHandler(iZANOptionSource *options, orn_int layerType, uint64_t duration,
                   orn_int softness, iZANLineSource *rule, bool brightenFirst)
      : tRuleTransHandler(options, layerType, duration, softness),
        ruleImage(tHostRef<iZANLineSource>::Share(rule)),
        addIn(brightenFirst) {}

  // The scratch line holds `length` pixels; false when it cannot be had.
  bool AllocateScratch(orn_int length) {
    scratchLength = std::max(length, 0);
    // 64-bit count: on a 32-bit target the bytes of a huge line do not fit.
    scratch = pixels::TryAllocateRaw<orn_uint32>(uint64_t(scratchLength) + 1);
    return scratch != nullptr;
  }

  void Blend(tZANBandData *band) override;

 private:
  tHostRef<iZANLineSource> ruleImage;
  std::unique_ptr<orn_uint32[]> scratch;
  orn_int scratchLength = 0;
  bool addIn;
};

// Address of pixel `left` of line `y`, with the source's pitch; false when the
// host refuses either.
template <class Line>
bool FetchLine(iZANLineSource *source, orn_int y, Line **line, orn_int *pitch) {
  const void *address = nullptr;
  if (source->GetLine(y, &address) < 0 || source->GetPitch(pitch) < 0 || address == nullptr) {
    return false;
  }
  *line = static_cast<Line *>(address);
  return true;
}

void tAddTransHandler::Blend(tZANBandData *band) {
  // phase < maxPhase, so level is 0..254; 64 bits keep phase * 255 exact.
  orn_int level = static_cast<orn_int>(int64_t{phase} * 255 / maxPhase);
  if (!addIn) {
    level = 255 - level;
  }
  const orn_uint32 fill = 0xFF000000u + static_cast<orn_uint32>(level / 2) * 0x010101u;

  void *destAddress = nullptr;
  orn_int destPitch = 0, src1Pitch = 0, src2Pitch = 0, rulePitch = 0;
  const orn_uint32 *src1 = nullptr;
  const orn_uint32 *src2 = nullptr;
  const orn_uint8 *rule = nullptr;
  if (band->dest->GetLineForWrite(band->destTop, &destAddress) < 0 || destAddress == nullptr ||
      band->dest->GetPitch(&destPitch) < 0 ||
      !FetchLine(band->src1, band->src1Top, &src1, &src1Pitch) ||
      !FetchLine(band->src2, band->src2Top, &src2, &src2Pitch) ||
      !FetchLine(ruleImage.get(), band->top, &rule, &rulePitch)) {
    return;  // a line the host cannot give leaves the band as it was
  }
  auto *dest = static_cast<orn_uint32 *>(destAddress) + band->destLeft;
  src1 += band->src1Left;
  src2 += band->src2Left;
  rule += band->left;
  // A band is never wider than the sources, which the scratch line covers.
  const orn_int width = std::min(band->width, scratchLength);
  for (orn_int line = 0; line < band->height; ++line) {
    Host<hostfn::ZANFillARGB>()(scratch.get(), width, fill);
    Host<hostfn::ZANAddBlend>()(scratch.get(), addIn ? src1 : src2, width);
    if (addIn) {
      BlendLine(dest, scratch.get(), src2, rule, width);
    } else {
      BlendLine(dest, src1, scratch.get(), rule, width);
    }
    dest = reinterpret_cast<orn_uint32 *>(reinterpret_cast<uint8_t *>(dest) + destPitch);
    src1 =
        reinterpret_cast<const orn_uint32 *>(reinterpret_cast<const uint8_t *>(src1) + src1Pitch);
    src2 =
        reinterpret_cast<const orn_uint32 *>(reinterpret_cast<const uint8_t *>(src2) + src2Pitch);
    rule += rulePitch;
  }
}

bool IsSmallerThan(iZANLineSource *image, orn_int width, orn_int height) {
  orn_int imageWidth = 0, imageHeight = 0;
  return image->GetWidth(&imageWidth) < 0 || image->GetHeight(&imageHeight) < 0 ||
         imageWidth < width || imageHeight < height;
}

}  // namespace

orn_int tAddTransHandlerProvider::GetName(const orn_char **name) {
  return AnswerName(u"add", name);
}

iZANBandTransHandler *tAddTransHandlerProvider::CreateHandler(iZANOptionSource *options,
                                                              iZANImageSource *images,
                                                              orn_int layerType, orn_int src1Width,
                                                              orn_int src1Height, orn_int,
                                                              orn_int) {
  tOVInteger time = 0;
  if (options->GetNumber(u"time", &time) < 0) {
    RaiseMessage(u"specify option", tOwnedString(u"time"));
  }
  tOVInteger vague = 64;
  if (options->GetNumber(u"vague", &vague) < 0) {
    vague = 64;
  }
  const orn_char *addText = nullptr;
  if (options->GetString(u"add", &addText) < 0) {
    RaiseMessage(u"specify option 'add'.");
  }
  const std::u16string_view add = addText != nullptr ? addText : u"";
  if (add != u"in" && add != u"out") {
    RaiseMessage(u"bad name '%1' for option 'add'.",
                 tOwnedString(addText != nullptr ? addText : u""));
  }
  const orn_char *ruleName = nullptr;
  if (options->GetString(u"rule", &ruleName) < 0) {
    RaiseMessage(u"specify option", tOwnedString(u"rule"));
  }
  if (ruleName == nullptr) {
    ruleName = u"";
  }
  tHostRef<iZANLineSource> loadedRule;
  // A graphic smaller than the sources would be read past its end.
  if (images == nullptr ||
      images->LoadImage(ruleName, 8, ruleGraphicKey, src1Width, src1Height, loadedRule.out()) < 0 ||
      !loadedRule || IsSmallerThan(loadedRule.get(), src1Width, src1Height)) {
    RaiseMessage(u"cannot load rule graphic", tOwnedString(ruleName));
  }
  tHostRef<tAddTransHandler> handler(new (std::nothrow) tAddTransHandler(
      options, layerType, static_cast<uint64_t>(time), static_cast<orn_int>(vague),
      loadedRule.get(), add == u"in"));
  if (!handler) {
    return nullptr;
  }
  // The screen's size is read as the engine expects (its failures raise), but
  // the scratch line is sized by the widest band, one as wide as the sources:
  // a screen claiming billions of pixels must not cost gigabytes.
  QueryInnerSize();
  if (!handler->AllocateScratch(src1Width)) {
    return nullptr;
  }
  return handler.Detach();
}
