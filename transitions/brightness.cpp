#include "transitions/brightness.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <string_view>

#include "frame/host_ref.h"
#include "frame/owned_string.h"
#include "frame/raise.h"
#include "transitions/brightness_rule.h"
#include "transitions/rule_handler.h"

namespace {

struct tRuleChoice {
  const orn_char *name;
  bool useSource1;
  bool invert;
};

constexpr tRuleChoice ruleChoices[] = {
    {u"fore_light", true, true},
    {u"fore_dark", true, false},
    {u"back_light", false, true},
    {u"back_dark", false, false},
};

class tBrightnessTransHandler : public tRuleTransHandler {
 public:
  tBrightnessTransHandler(iZANOptionSource *options, orn_int layerType, uint64_t duration,
                          orn_int softness, orn_int radius, const tRuleChoice &choice)
      : tRuleTransHandler(options, layerType, duration, softness),
        blurRadius(radius),
        useSource1(choice.useSource1),
        invert(choice.invert) {}

  // Positions both sources at the band's own coordinates and builds the rule
  // on the first band; -1 while the source cannot give its lines.
  orn_int ProcessBand(tZANBandData *band) override {
    band->src1Left = band->src2Left = band->left;
    band->src1Top = band->src2Top = band->top;
    if (rulePending) {
      if (!BuildBrightnessRule(useSource1 ? band->src1 : band->src2, blurRadius, invert,
                               &ruleImage)) {
        return -1;
      }
      rulePending = false;
    }
    return tRuleTransHandler::ProcessBand(band);
  }

  void Blend(tZANBandData *band) override;

 private:
  tBrightnessRule ruleImage;
  orn_int blurRadius;
  bool useSource1;
  bool invert;
  bool rulePending = true;
};

void tBrightnessTransHandler::Blend(tZANBandData *band) {
  // Only the part of the band that lies on the rule is blended.
  if (band->left < 0 || band->top < 0) {
    return;
  }
  const orn_int width = std::min(band->width, ruleImage.width - band->left);
  const orn_int height = std::min(band->height, ruleImage.height - band->top);
  void *destAddress = nullptr;
  const void *src1Address = nullptr;
  const void *src2Address = nullptr;
  orn_int destPitch = 0, src1Pitch = 0, src2Pitch = 0;
  if (width <= 0 || height <= 0 || band->dest->GetLineForWrite(band->destTop, &destAddress) < 0 ||
      band->src1->GetLine(band->src1Top, &src1Address) < 0 ||
      band->src2->GetLine(band->src2Top, &src2Address) < 0 ||
      band->dest->GetPitch(&destPitch) < 0 || band->src1->GetPitch(&src1Pitch) < 0 ||
      band->src2->GetPitch(&src2Pitch) < 0 || destAddress == nullptr || src1Address == nullptr ||
      src2Address == nullptr) {
    return;
  }
  auto *dest = static_cast<uint8_t *>(destAddress) + int64_t{band->destLeft} * 4;
  auto *src1 = static_cast<const uint8_t *>(src1Address) + int64_t{band->src1Left} * 4;
  auto *src2 = static_cast<const uint8_t *>(src2Address) + int64_t{band->src2Left} * 4;
  const uint8_t *rule = ruleImage.levels.get() +
                        static_cast<size_t>(band->top) * static_cast<size_t>(ruleImage.width) +
                        static_cast<size_t>(band->left);
  for (orn_int line = 0; line < height; ++line) {
    BlendLine(reinterpret_cast<orn_uint32 *>(dest), reinterpret_cast<const orn_uint32 *>(src1),
              reinterpret_cast<const orn_uint32 *>(src2), rule, width);
    dest += destPitch;
    src1 += src1Pitch;
    src2 += src2Pitch;
    rule += ruleImage.width;
  }
}

}  // namespace

orn_int tBrightnessTransHandlerProvider::GetName(const orn_char **name) {
  return AnswerName(u"brightness", name);
}

iZANBandTransHandler *tBrightnessTransHandlerProvider::CreateHandler(
    iZANOptionSource *options, iZANImageSource *, orn_int layerType, orn_int src1Width,
    orn_int src1Height, orn_int, orn_int) {
  tOVInteger time = 0;
  if (options->GetNumber(u"time", &time) < 0) {
    RaiseMessage(u"specify option 'time'.");
  }
  tOVInteger vague = 64;
  if (options->GetNumber(u"vague", &vague) < 0) {
    vague = 64;
  }
  tOVInteger blur = 0;
  if (options->GetNumber(u"blur", &blur) < 0) {
    blur = 0;
  }
  const auto halfWidth = static_cast<tOVInteger>(static_cast<uint32_t>(src1Width) / 2);
  const auto halfHeight = static_cast<tOVInteger>(static_cast<uint32_t>(src1Height) / 2);
  if (blur < 0 || blur > halfWidth || blur > halfHeight) {
    RaiseMessage(u"invalid range for option 'blur'.");
  }
  const orn_char *ruleName = nullptr;
  if (options->GetString(u"rule", &ruleName) < 0) {
    RaiseMessage(u"specify option 'rule'.");
  }
  const std::u16string_view rule = ruleName != nullptr ? ruleName : u"";
  const tRuleChoice *choice =
      std::find_if(std::begin(ruleChoices), std::end(ruleChoices),
                   [&](const tRuleChoice &candidate) { return rule == candidate.name; });
  if (choice == std::end(ruleChoices)) {
    RaiseMessage(u"bad name '%1' for option 'rule'.",
                 tOwnedString(ruleName != nullptr ? ruleName : u""));
  }
  return new (std::nothrow)
      tBrightnessTransHandler(options, layerType, static_cast<uint64_t>(time),
                              static_cast<orn_int>(vague), static_cast<orn_int>(blur), *choice);
}
