// Fuzz target "blur": hostile Layers, radii and arguments for blur() of the
// loaded module, each result checked against the reference.
#include "fuzz/box_filter_case.h"
#include "fuzz/loaded_host.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  fxfuzz::LoadedHost();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fxfuzz::RunBoxFilterCase(data, size, fxfuzz::tBoxFilter::Plain);
  return 0;
}
