// Records the pixel routines a module calls, for tests. While a log lives, the
// rule transitions' routines of its function table (fill, add, the blend-table
// initialisers and the four rule blends) resolve to recording twins: each notes
// the call and then runs the plain routine. One log at a time. A module that
// cached a twin keeps getting the plain result, unrecorded, once the log is gone.
#pragma once

#include <vector>

#include "host/function_table.h"
#include "hostapi/types.h"

namespace zanhost {

enum class PixelRoutine {
  kFillARGB,
  kAddBlend,
  kInitTable,
  kInitTableD,
  kRuleBlend,
  kRuleBlendD,
  kRuleBlendSwitch,
  kRuleBlendSwitchD,
};

// One call; fields a routine does not take stay zero or empty.
struct PixelRoutineCall {
  explicit PixelRoutineCall(PixelRoutine called) : routine(called) {}

  PixelRoutine routine;
  const void *dest = nullptr;  // the pixels written, or the table filled
  const void *src1 = nullptr;  // AddBlend's source, or a rule blend's first source
  const void *src2 = nullptr;  // a rule blend's second source
  orn_int count = 0;
  orn_uint32 color = 0;               // FillARGB
  orn_int phase = 0;                  // table initialisers and switching blends
  orn_int vague = 0;                  // table initialisers
  orn_int phaseMinusVague = 0;        // switching blends
  std::vector<orn_uint8> ruleLevels;  // the `count` levels a rule blend read
};

class PixelRoutineLog {
 public:
  // Binds the twins in `table`; throws std::logic_error while another log lives.
  explicit PixelRoutineLog(FunctionTable &table);
  // Binds the plain routines again.
  ~PixelRoutineLog();
  PixelRoutineLog(const PixelRoutineLog &) = delete;
  PixelRoutineLog &operator=(const PixelRoutineLog &) = delete;

  const std::vector<PixelRoutineCall> &Calls() const { return calls_; }
  int Count(PixelRoutine routine) const;
  void Clear() { calls_.clear(); }

 private:
  FunctionTable &table_;
  std::vector<PixelRoutineCall> calls_;
};

}  // namespace zanhost
