#include "transitions/rule_handler.h"

#include <algorithm>
#include <limits>

#include "frame/host_import.h"

namespace {

// Keeps maxPhase = 255 + vague within 0..INT32_MAX.
orn_int ClampVague(orn_int vague) {
  return std::clamp(vague, tRuleTransHandler::minVague, std::numeric_limits<orn_int>::max() - 255);
}

}  // namespace

tRuleTransHandler::tRuleTransHandler(iZANOptionSource *options, orn_int layerType, uint64_t time_,
                                     orn_int vague_)
    : tBandTransHandler(options, layerType, time_, 255 + ClampVague(vague_)),
      vague(ClampVague(vague_)) {}

orn_int tRuleTransHandler::BeginStep(uint64_t tick) {
  const orn_int result = tBandTransHandler::BeginStep(tick);
  if (result < 0) {
    return result;
  }
  if (layerTypeFlag != 0) {
    Host<hostfn::ZANInitUnivTransBlendTable_d>()(blendTable, phase, vague);
  } else {
    Host<hostfn::ZANInitUnivTransBlendTable>()(blendTable, phase, vague);
  }
  return result;
}

void tRuleTransHandler::BlendLine(orn_uint32 *dest, const orn_uint32 *src1, const orn_uint32 *src2,
                                  const orn_uint8 *rule, orn_int count) const {
  const bool alpha = layerTypeFlag != 0;
  if (vague >= switchBelowVague) {
    if (alpha) {
      Host<hostfn::ZANUnivTransBlend_d>()(dest, src1, src2, rule, blendTable, count);
    } else {
      Host<hostfn::ZANUnivTransBlend>()(dest, src1, src2, rule, blendTable, count);
    }
  } else if (alpha) {
    Host<hostfn::ZANUnivTransBlend_switch_d>()(dest, src1, src2, rule, blendTable, count, phase,
                                               phase - vague);
  } else {
    Host<hostfn::ZANUnivTransBlend_switch>()(dest, src1, src2, rule, blendTable, count, phase,
                                             phase - vague);
  }
}
