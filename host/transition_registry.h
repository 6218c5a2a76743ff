// The transition registry: the providers the module offered, found by the name
// their GetName yields. It holds one reference on each registered provider,
// taken on Add and given back on Remove or when the registry goes.
#pragma once

#include <string_view>
#include <vector>

#include "host/host_ref.h"
#include "hostapi/transition.h"

namespace zanhost {

class TransitionRegistry {
 public:
  // A provider already registered is not added twice; null is ignored.
  void Add(iZANTransHandlerProvider *provider);
  // Ignores a provider that is not registered.
  void Remove(iZANTransHandlerProvider *provider);
  // The registered provider of that name (no reference added), or null.
  iZANTransHandlerProvider *Find(std::u16string_view name) const;
  size_t Count() const { return providers_.size(); }

 private:
  std::vector<Ref<iZANTransHandlerProvider>> providers_;
};

// Host functions (see hostapi/host_functions.h); they reach the registry of the
// current Environment.
void ZANAddTransHandlerProvider(iZANTransHandlerProvider *provider);
void ZANRemoveTransHandlerProvider(iZANTransHandlerProvider *provider);

}  // namespace zanhost
