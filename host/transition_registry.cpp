#include "host/transition_registry.h"

#include <algorithm>

#include "host/environment.h"
#include "host/utf16_text.h"

namespace zanhost {

void TransitionRegistry::Add(iZANTransHandlerProvider *provider) {
  if (provider == nullptr) {
    return;
  }
  const bool known = std::any_of(providers_.begin(), providers_.end(),
                                 [provider](const auto &held) { return held.get() == provider; });
  if (!known) {
    providers_.push_back(Ref<iZANTransHandlerProvider>::Share(provider));
  }
}

void TransitionRegistry::Remove(iZANTransHandlerProvider *provider) {
  const auto held = std::find_if(providers_.begin(), providers_.end(),
                                 [provider](const auto &entry) { return entry.get() == provider; });
  if (held != providers_.end()) {
    // Moved out before erasing, so the Release runs on a consistent registry.
    const Ref<iZANTransHandlerProvider> removed = std::move(*held);
    providers_.erase(held);
  }
}

iZANTransHandlerProvider *TransitionRegistry::Find(std::u16string_view name) const {
  for (const auto &provider : providers_) {
    const orn_char *providerName = nullptr;
    if (provider->GetName(&providerName) >= 0 && TextView(providerName) == name) {
      return provider.get();
    }
  }
  return nullptr;
}

void ZANAddTransHandlerProvider(iZANTransHandlerProvider *provider) {
  CurrentEnvironment().Registry().Add(provider);
}

void ZANRemoveTransHandlerProvider(iZANTransHandlerProvider *provider) {
  CurrentEnvironment().Registry().Remove(provider);
}

}  // namespace zanhost
