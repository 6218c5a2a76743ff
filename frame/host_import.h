// Host functions are found at run time by signature key and cached: one cache
// per host function, shared by every call site, filled on first use and never
// cleared. A call site is `Host<hostfn::ZANFillARGB>()(dest, count, color)`.
#pragma once

#include "hostapi/host_functions.h"

// Resolves `key` through functionLookup. For a key the host lacks it raises the
// host's unbound-function error (and so never returns); when even that routine
// is missing it reports the key on standard error and aborts.
void *ResolveHostFunction(const char *key);

template <class Function>
struct tHostFunctionCache {
  static inline typename Function::type address = nullptr;
};

template <class Function>
typename Function::type Host() {
  auto &cache = tHostFunctionCache<Function>::address;
  if (cache == nullptr) {
    cache = reinterpret_cast<typename Function::type>(ResolveHostFunction(Function::key));
  }
  return cache;
}
