#include "frame/global_functions.h"

#include "frame/host_import.h"
#include "frame/host_ref.h"
#include "frame/owned_variant.h"

void RegisterGlobalFunction(const orn_char *name, iORNDispatch2 *object) {
  tHostRef<iORNDispatch2> callerReference(object);
  tOwnedVariant member;
  tHostRef<iORNDispatch2> global(Host<hostfn::ZANGetScriptDispatch>()());
  {
    tOwnedVariant holder(object);
    member.Assign(*holder.get());
  }
  callerReference.Reset(nullptr);
  if (global) {
    global->SetMember(FlagCreateMember, name, nullptr, member.get(), global.get());
  }
}

void RemoveGlobalFunction(const orn_char *name) {
  tHostRef<iORNDispatch2> global(Host<hostfn::ZANGetScriptDispatch>()());
  if (global) {
    global->DeleteMember(0, name, nullptr, global.get());
  }
}
