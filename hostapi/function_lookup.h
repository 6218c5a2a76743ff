// The interface through which the module finds host functions by signature key.
#pragma once

#include "hostapi/types.h"

class iZANFunctionLookup {
 public:
  // slot 0: the host's own; the module never calls it.
  virtual void HostReserved() = 0;
  // slot 1: in: `keys` points at `count` zero-terminated signature keys;
  // out: `functions` receives one address per key. Returns true when every key
  // was found. The module always passes count 1.
  virtual bool ResolveFunction(const char **keys, void **functions, orn_uint32 count) = 0;
};
