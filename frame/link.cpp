#include "frame/link.h"

#include <new>
#include <utility>

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

// A Link that a host error stopped early leaves later providers unmade (null):
// there is nothing to remove or release for them.
void RemoveProvider(iZANTransHandlerProvider *provider) {
  if (provider != nullptr) {
    Host<hostfn::ZANRemoveTransHandlerProvider>()(provider);
  }
}

void ReleaseProvider(iZANTransHandlerProvider *&provider) {
  if (provider != nullptr) {
    std::exchange(provider, nullptr)->Release();
  }
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
  ReleaseProvider(testProvider);
  RemoveProvider(addProvider);
  RemoveProvider(brightnessProvider);
  ReleaseProvider(addProvider);
  ReleaseProvider(brightnessProvider);
  RemoveGlobalFunction(u"distortion");
  RemoveGlobalFunction(u"blur");
  RemoveGlobalFunction(u"blur_alpha");
  return 0;
}
