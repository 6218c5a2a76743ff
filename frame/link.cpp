#include "frame/link.h"

#include "frame/module_state.h"
#include "hostapi/entry.h"

orn_int Link(iZANFunctionLookup *lookup) {
  functionLookup = lookup;
  return 0;
}

orn_int Unlink() {
  if (scriptObjectRefTotal > 1) {
    return E_FAIL;
  }
  return 0;
}
