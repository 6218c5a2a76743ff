#include "frame/link.h"

#include <new>

#include "frame/global_functions.h"
#include "frame/host_import.h"
#include "frame/module_state.h"
#include "frame/raise.h"
#include "hostapi/entry.h"
#include "layerfx/box_filter_functions.h"
#include "layerfx/distortion.h"
#include "layerfx/trig_tables.h"
#include "transitions/add.h"
#include "transitions/brightness.h"
#include "transitions/test_wipe.h"

namespace {

// The module's own reference on each provider, from Link to Unlink.
iZANTransHandlerProvider *testProvider = nullptr;
iZANTransHandlerProvider *addProvider = nullptr;
iZANTransHandlerProvider *brightnessProvider = nullptr;

// A new object with reference count 1; out of memory is raised to the host,
// the only report Link has.
template <class Object>
Object *Create() {
  auto *object = new (std::nothrow) Object();
  if (object == nullptr) {
    RaiseMessage(u"not enough memory to link the effects module.");
  }
  return object;
}

void AddProvider(iZANTransHandlerProvider *&slot, iZANTransHandlerProvider *provider) {
  slot = provider;
  Host<hostfn::ZANAddTransHandlerProvider>()(provider);
}

void RemoveProvider(iZANTransHandlerProvider *provider) {
  Host<hostfn::ZANRemoveTransHandlerProvider>()(provider);
}

}  // namespace

orn_int Link(iZANFunctionLookup *lookup) {
  functionLookup = lookup;
  AddProvider(testProvider, Create<tTestTransHandlerProvider>());
  AddProvider(addProvider, Create<tAddTransHandlerProvider>());
  AddProvider(brightnessProvider, Create<tBrightnessTransHandlerProvider>());
  FillTrigTables();
  RegisterGlobalFunction(u"distortion", Create<tDistortionFunction>());
  RegisterGlobalFunction(u"blur", Create<tBlurFunction>());
  RegisterGlobalFunction(u"blur_alpha", Create<tBlurAlphaFunction>());
  return 0;
}

orn_int Unlink() {
  if (scriptObjectRefTotal > 1) {
    return E_FAIL;
  }
  RemoveProvider(testProvider);
  testProvider->Release();
  RemoveProvider(addProvider);
  RemoveProvider(brightnessProvider);
  addProvider->Release();
  brightnessProvider->Release();
  RemoveGlobalFunction(u"distortion");
  RemoveGlobalFunction(u"blur");
  RemoveGlobalFunction(u"blur_alpha");
  return 0;
}
