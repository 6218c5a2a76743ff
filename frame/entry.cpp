// The module's only exported symbols. The operating system's load and unload
// notifications do nothing of the module's: all set-up happens in V2Link.
#include "frame/export.h"
#include "frame/link.h"

FX_EXPORT orn_int ZAN_CALL V2Link(iZANFunctionLookup *lookup) {
  return Link(lookup);
}

FX_EXPORT orn_int ZAN_CALL V2Unlink() {
  return Unlink();
}
