// Base of the handlers that blend through an 8-bit rule ("add", "brightness"):
// maxPhase = 255 + vague, and a 256-word blend table that the host refills for
// the phase at every step, before any band of the step.
#pragma once

#include "transitions/band_handler.h"

class tRuleTransHandler : public tBandTransHandler {
 public:
  // Lowest vague accepted; it gives maxPhase 0, the first step being final.
  static constexpr orn_int minVague = -255;
  // vague values whose soft edge is narrow enough for the host's switching
  // blend routines.
  static constexpr orn_int switchBelowVague = 512;

  // `vague` is clamped to minVague so that maxPhase is never negative.
  tRuleTransHandler(iZANOptionSource *options, orn_int layerType, uint64_t time, orn_int vague);

  orn_int BeginStep(uint64_t tick) override;

 protected:
  // Blends one line of `count` pixels through the host routine chosen by vague
  // and the layer type.
  void BlendLine(orn_uint32 *dest, const orn_uint32 *src1, const orn_uint32 *src2,
                 const orn_uint8 *rule, orn_int count) const;

  orn_int vague;
  orn_uint32 blendTable[256] = {};
};
