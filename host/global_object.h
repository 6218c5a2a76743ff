// The global script object: a dictionary of named values. A script calls a
// global function by calling its name here; the call goes to the member's
// object with a null name (the object itself), and its status comes back.
#pragma once

#include <map>
#include <string>

#include "host/script_object.h"
#include "host/script_value.h"

namespace zanhost {

class GlobalObject : public ScriptObject {
 public:
  // The new object carries one reference for the caller.
  static GlobalObject *Create() { return new GlobalObject(); }

  // Null name: ResultNotSupported; an absent member: ResultNoSuchMember. A
  // member that holds no object answers ResultNotSupported to a call. The
  // member stays alive for the whole call even if the call deletes it.
  orn_int CallMember(orn_uint32 flag, const orn_char *name, orn_uint32 *hint, tORNVariant *result,
                     orn_int count, tORNVariant **params, iORNDispatch2 *objthis) override;
  // Copies the member into `result` when not null.
  orn_int GetMember(orn_uint32 flag, const orn_char *name, orn_uint32 *hint, tORNVariant *result,
                    iORNDispatch2 *objthis) override;
  // An absent member is added only with FlagCreateMember; a null value is
  // ResultBadArgument.
  orn_int SetMember(orn_uint32 flag, const orn_char *name, orn_uint32 *hint,
                    const tORNVariant *value, iORNDispatch2 *objthis) override;
  orn_int DeleteMember(orn_uint32 flag, const orn_char *name, orn_uint32 *hint,
                       iORNDispatch2 *objthis) override;

  bool Has(const std::u16string &name) const { return members_.count(name) != 0; }
  size_t MemberCount() const { return members_.size(); }

 private:
  GlobalObject() = default;
  std::map<std::u16string, Variant, std::less<>> members_;
};

}  // namespace zanhost
