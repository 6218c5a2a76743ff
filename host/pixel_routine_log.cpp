#include "host/pixel_routine_log.h"

#include <algorithm>
#include <stdexcept>

#include "host/pixel_routines.h"
#include "hostapi/host_functions.h"

namespace zanhost {
namespace {

std::vector<PixelRoutineCall> *currentCalls = nullptr;

void Note(PixelRoutineCall call) {
  if (currentCalls != nullptr) {
    currentCalls->push_back(std::move(call));
  }
}

PixelRoutineCall RuleBlendCall(PixelRoutine routine, orn_uint32 *dest, const orn_uint32 *src1,
                               const orn_uint32 *src2, const orn_uint8 *rule, orn_int count) {
  PixelRoutineCall call{routine};
  call.dest = dest;
  call.src1 = src1;
  call.src2 = src2;
  call.count = count;
  if (count > 0) {
    call.ruleLevels.assign(rule, rule + count);
  }
  return call;
}

void RecordFill(orn_uint32 *dest, orn_int count, orn_uint32 color) {
  PixelRoutineCall call{PixelRoutine::kFillARGB};
  call.dest = dest;
  call.count = count;
  call.color = color;
  Note(std::move(call));
  ZANFillARGB(dest, count, color);
}

void RecordAdd(orn_uint32 *dest, const orn_uint32 *src, orn_int count) {
  PixelRoutineCall call{PixelRoutine::kAddBlend};
  call.dest = dest;
  call.src1 = src;
  call.count = count;
  Note(std::move(call));
  ZANAddBlend(dest, src, count);
}

PixelRoutineCall TableCall(PixelRoutine routine, orn_uint32 *table, orn_int phase, orn_int vague) {
  PixelRoutineCall call{routine};
  call.dest = table;
  call.phase = phase;
  call.vague = vague;
  return call;
}

void RecordInitTable(orn_uint32 *table, orn_int phase, orn_int vague) {
  Note(TableCall(PixelRoutine::kInitTable, table, phase, vague));
  ZANInitUnivTransBlendTable(table, phase, vague);
}

void RecordInitTableD(orn_uint32 *table, orn_int phase, orn_int vague) {
  Note(TableCall(PixelRoutine::kInitTableD, table, phase, vague));
  ZANInitUnivTransBlendTable_d(table, phase, vague);
}

void RecordBlend(orn_uint32 *dest, const orn_uint32 *src1, const orn_uint32 *src2,
                 const orn_uint8 *rule, const orn_uint32 *table, orn_int count) {
  Note(RuleBlendCall(PixelRoutine::kRuleBlend, dest, src1, src2, rule, count));
  ZANUnivTransBlend(dest, src1, src2, rule, table, count);
}

void RecordBlendD(orn_uint32 *dest, const orn_uint32 *src1, const orn_uint32 *src2,
                  const orn_uint8 *rule, const orn_uint32 *table, orn_int count) {
  Note(RuleBlendCall(PixelRoutine::kRuleBlendD, dest, src1, src2, rule, count));
  ZANUnivTransBlend_d(dest, src1, src2, rule, table, count);
}

void RecordBlendSwitch(orn_uint32 *dest, const orn_uint32 *src1, const orn_uint32 *src2,
                       const orn_uint8 *rule, const orn_uint32 *table, orn_int count, orn_int phase,
                       orn_int phaseMinusVague) {
  PixelRoutineCall call =
      RuleBlendCall(PixelRoutine::kRuleBlendSwitch, dest, src1, src2, rule, count);
  call.phase = phase;
  call.phaseMinusVague = phaseMinusVague;
  Note(std::move(call));
  ZANUnivTransBlend_switch(dest, src1, src2, rule, table, count, phase, phaseMinusVague);
}

void RecordBlendSwitchD(orn_uint32 *dest, const orn_uint32 *src1, const orn_uint32 *src2,
                        const orn_uint8 *rule, const orn_uint32 *table, orn_int count,
                        orn_int phase, orn_int phaseMinusVague) {
  PixelRoutineCall call =
      RuleBlendCall(PixelRoutine::kRuleBlendSwitchD, dest, src1, src2, rule, count);
  call.phase = phase;
  call.phaseMinusVague = phaseMinusVague;
  Note(std::move(call));
  ZANUnivTransBlend_switch_d(dest, src1, src2, rule, table, count, phase, phaseMinusVague);
}

}  // namespace

PixelRoutineLog::PixelRoutineLog(FunctionTable &table) : table_(table) {
  if (currentCalls != nullptr) {
    throw std::logic_error("another pixel routine log is recording");
  }
  currentCalls = &calls_;
  table_.Bind<hostfn::ZANFillARGB>(RecordFill);
  table_.Bind<hostfn::ZANAddBlend>(RecordAdd);
  table_.Bind<hostfn::ZANInitUnivTransBlendTable>(RecordInitTable);
  table_.Bind<hostfn::ZANInitUnivTransBlendTable_d>(RecordInitTableD);
  table_.Bind<hostfn::ZANUnivTransBlend>(RecordBlend);
  table_.Bind<hostfn::ZANUnivTransBlend_d>(RecordBlendD);
  table_.Bind<hostfn::ZANUnivTransBlend_switch>(RecordBlendSwitch);
  table_.Bind<hostfn::ZANUnivTransBlend_switch_d>(RecordBlendSwitchD);
}

PixelRoutineLog::~PixelRoutineLog() {
  currentCalls = nullptr;
  table_.Bind<hostfn::ZANFillARGB>(ZANFillARGB);
  table_.Bind<hostfn::ZANAddBlend>(ZANAddBlend);
  table_.Bind<hostfn::ZANInitUnivTransBlendTable>(ZANInitUnivTransBlendTable);
  table_.Bind<hostfn::ZANInitUnivTransBlendTable_d>(ZANInitUnivTransBlendTable_d);
  table_.Bind<hostfn::ZANUnivTransBlend>(ZANUnivTransBlend);
  table_.Bind<hostfn::ZANUnivTransBlend_d>(ZANUnivTransBlend_d);
  table_.Bind<hostfn::ZANUnivTransBlend_switch>(ZANUnivTransBlend_switch);
  table_.Bind<hostfn::ZANUnivTransBlend_switch_d>(ZANUnivTransBlend_switch_d);
}

int PixelRoutineLog::Count(PixelRoutine routine) const {
  return static_cast<int>(std::count_if(calls_.begin(), calls_.end(), [routine](const auto &call) {
    return call.routine == routine;
  }));
}

}  // namespace zanhost
