#include "frame/inner_size.h"

#include "frame/host_import.h"
#include "frame/host_ref.h"
#include "frame/owned_variant.h"
#include "frame/raise.h"

namespace {

// Lookup hints the host may keep for these names; the module only passes them.
orn_uint32 velHint = 0;
orn_uint32 innerWidthHint = 0;
orn_uint32 innerHeightHint = 0;

orn_int ReadIntMember(iORNDispatch2 *object, const orn_char *name, orn_uint32 *hint,
                      const orn_char *failure) {
  tOwnedVariant value;
  if (object->GetMember(0, name, hint, value.get(), object) < 0) {
    RaiseMessage(failure);
  }
  return value.ToInt();
}

}  // namespace

tInnerSize QueryInnerSize() {
  tHostRef<iORNDispatch2> global(Host<hostfn::ZANGetScriptDispatch>()());
  tOwnedVariant vel;
  if (!global || global->GetMember(0, u"vel", &velHint, vel.get(), global.get()) < 0) {
    RaiseMessage(u"invoking of global.vel failed.");
  }
  iORNDispatch2 *velObject = vel.ToObject();
  if (velObject == nullptr) {
    RaiseMessage(u"invoking of global.vel failed.");
  }
  tInnerSize size{};
  size.width = ReadIntMember(velObject, u"innerWidth", &innerWidthHint,
                             u"invoking of vel.innerWidth failed.");
  size.height = ReadIntMember(velObject, u"innerHeight", &innerHeightHint,
                              u"invoking of vel.innerHeight failed.");
  return size;
}
