// Notes the script conversions that change a value the module was given: a
// real such as 2.9 read as the whole number 2. The session binds recording
// twins of the host's integer conversions in place of its own (same results),
// and a caller asks afterwards which given variants were changed.
#pragma once

#include <vector>

#include "host/function_table.h"
#include "hostapi/types.h"

namespace zanhost::cli {

struct ChangedConversion {
  const tORNVariant *variant;  // as the module passed it
  tOVInteger used;
};

void WatchConversions(FunctionTable &functions);

// The changes since the last call, oldest first.
std::vector<ChangedConversion> TakeChangedConversions();

}  // namespace zanhost::cli
