#include "tools/conversion_watch.h"

#include "host/script_value.h"
#include "hostapi/host_functions.h"

namespace zanhost::cli {
namespace {

// The module calls the host from one thread only.
std::vector<ChangedConversion> changed;

template <class Result>
Result Noted(const tORNVariant *self, Result used) {
  if (self != nullptr && TypeOf(*self) == kVariantReal &&
      VariantAsReal(self) != static_cast<tOVReal>(used)) {
    changed.push_back(ChangedConversion{self, used});
  }
  return used;
}

tOVInteger WatchedAsInteger(const tORNVariant *self) {
  return Noted(self, VariantAsInteger(self));
}

tOVInteger WatchedToInteger(const tORNVariant *self) {
  return Noted(self, VariantToInteger(self));
}

orn_int WatchedToInt(const tORNVariant *self) {
  return Noted(self, VariantToInt(self));
}

}  // namespace

void WatchConversions(FunctionTable &functions) {
  functions.Bind<hostfn::VariantAsInteger>(WatchedAsInteger);
  functions.Bind<hostfn::VariantToInteger>(WatchedToInteger);
  functions.Bind<hostfn::VariantToInt>(WatchedToInt);
}

std::vector<ChangedConversion> TakeChangedConversions() {
  std::vector<ChangedConversion> taken;
  taken.swap(changed);
  return taken;
}

}  // namespace zanhost::cli
