// A stand-in module for the loader tests: V2Link takes the global object
// through the lookup and gives it back; V2Unlink refuses once, then unlinks.
// Built without V2Unlink when FAKE_MODULE_WITHOUT_UNLINK is defined.
#include "frame/export.h"
#include "hostapi/entry.h"
#include "hostapi/host_functions.h"

FX_EXPORT orn_int ZAN_CALL V2Link(iZANFunctionLookup *lookup) {
  const char *key = hostfn::ZANGetScriptDispatch::key;
  void *function = nullptr;
  if (!lookup->ResolveFunction(&key, &function, 1)) {
    return -1;
  }
  iORNDispatch2 *global = reinterpret_cast<hostfn::ZANGetScriptDispatch::type>(function)();
  if (global != nullptr) {
    global->Release();
  }
  return 0;
}

#ifndef FAKE_MODULE_WITHOUT_UNLINK
FX_EXPORT orn_int ZAN_CALL V2Unlink() {
  static int calls = 0;
  return ++calls == 1 ? E_FAIL : 0;
}
#endif
