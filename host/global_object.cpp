#include "host/global_object.h"

#include "host/host_ref.h"
#include "host/utf16_text.h"

namespace zanhost {

orn_int GlobalObject::CallMember(orn_uint32 flag, const orn_char *name, orn_uint32 *,
                                 tORNVariant *result, orn_int count, tORNVariant **params,
                                 iORNDispatch2 *objthis) {
  if (name == nullptr) {
    return ResultNotSupported;
  }
  const auto member = members_.find(TextView(name));
  if (member == members_.end()) {
    return ResultNoSuchMember;
  }
  const Ref<iORNDispatch2> function = Ref<iORNDispatch2>::Share(member->second.AsObject());
  if (!function) {
    return ResultNotSupported;
  }
  return function->CallMember(flag, nullptr, nullptr, result, count, params, objthis);
}

orn_int GlobalObject::GetMember(orn_uint32, const orn_char *name, orn_uint32 *, tORNVariant *result,
                                iORNDispatch2 *) {
  if (name == nullptr) {
    return ResultNotSupported;
  }
  const auto member = members_.find(TextView(name));
  if (member == members_.end()) {
    return ResultNoSuchMember;
  }
  if (result != nullptr) {
    VariantAssign(result, *member->second.Raw());
  }
  return 0;
}

orn_int GlobalObject::SetMember(orn_uint32 flag, const orn_char *name, orn_uint32 *,
                                const tORNVariant *value, iORNDispatch2 *) {
  if (name == nullptr) {
    return ResultNotSupported;
  }
  if (value == nullptr) {
    return ResultBadArgument;
  }
  auto member = members_.find(TextView(name));
  if (member == members_.end()) {
    if ((flag & FlagCreateMember) == 0) {
      return ResultNoSuchMember;
    }
    member = members_.emplace(std::u16string(TextView(name)), Variant()).first;
  }
  VariantAssign(member->second.Raw(), *value);
  return 0;
}

orn_int GlobalObject::DeleteMember(orn_uint32, const orn_char *name, orn_uint32 *,
                                   iORNDispatch2 *) {
  if (name == nullptr) {
    return ResultNotSupported;
  }
  const auto member = members_.find(TextView(name));
  if (member == members_.end()) {
    return ResultNoSuchMember;
  }
  // Take the value out first: dropping it may run code that looks at members.
  const Variant removed = member->second;
  members_.erase(member);
  return 0;
}

}  // namespace zanhost
