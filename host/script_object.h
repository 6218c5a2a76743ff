// The base of the host's script objects: reference counting through
// RefCounted (AddRef and Release return the new count, 0 once destroyed), and a
// default for every slot. A by-name slot answers ResultNoSuchMember for a name
// and ResultNotSupported for the object itself (null name); by-number and
// object-wide slots answer ResultNotSupported. Derived objects replace only what
// they offer.
#pragma once

#include "host/ref_counted.h"
#include "hostapi/dispatch.h"

namespace zanhost {

// The default answer of a by-name slot.
inline orn_int NamedDefault(const orn_char *name) {
  return name != nullptr ? ResultNoSuchMember : ResultNotSupported;
}

class ScriptObject : public iORNDispatch2, public RefCounted {
 public:
  orn_uint32 AddRef() override;
  orn_uint32 Release() override;
  orn_int CallMember(orn_uint32 flag, const orn_char *name, orn_uint32 *hint, tORNVariant *result,
                     orn_int count, tORNVariant **params, iORNDispatch2 *objthis) override;
  orn_int CallMemberByNumber(orn_uint32 flag, orn_int number, tORNVariant *result, orn_int count,
                             tORNVariant **params, iORNDispatch2 *objthis) override;
  orn_int GetMember(orn_uint32 flag, const orn_char *name, orn_uint32 *hint, tORNVariant *result,
                    iORNDispatch2 *objthis) override;
  orn_int GetMemberByNumber(orn_uint32 flag, orn_int number, tORNVariant *result,
                            iORNDispatch2 *objthis) override;
  orn_int SetMember(orn_uint32 flag, const orn_char *name, orn_uint32 *hint,
                    const tORNVariant *value, iORNDispatch2 *objthis) override;
  orn_int SetMemberByNumber(orn_uint32 flag, orn_int number, const tORNVariant *value,
                            iORNDispatch2 *objthis) override;
  orn_int NamedOperationA(orn_uint32 flag, const orn_char *name, orn_uint32 *hint,
                          void *argument) override;
  orn_int NumberedOperationA(orn_uint32 flag, orn_int number, void *argument) override;
  orn_int ObjectOperationA() override;
  orn_int ObjectOperationB() override;
  orn_int DeleteMember(orn_uint32 flag, const orn_char *name, orn_uint32 *hint,
                       iORNDispatch2 *objthis) override;
  orn_int DeleteMemberByNumber(orn_uint32 flag, orn_int number, iORNDispatch2 *objthis) override;
  orn_int NamedOperationB(orn_uint32 flag, const orn_char *name, orn_uint32 *hint,
                          void *argument) override;
  orn_int NumberedOperationB(orn_uint32 flag, orn_int number, void *argument) override;
  orn_int NamedOperationC(orn_uint32 flag, const orn_char *name, orn_uint32 *hint,
                          void *argument) override;
  orn_int NumberedOperationC(orn_uint32 flag, orn_int number, void *argument) override;
  orn_int NamedCallB(orn_uint32 flag, const orn_char *name, orn_uint32 *hint, tORNVariant *result,
                     orn_int count, tORNVariant **params, iORNDispatch2 *objthis) override;
  orn_int NumberedCallB(orn_uint32 flag, orn_int number, tORNVariant *result, orn_int count,
                        tORNVariant **params, iORNDispatch2 *objthis) override;
  orn_int ObjectOperationC(void *first, void *second, void *third) override;
  orn_int NamedOperationD(orn_uint32 flag, const orn_char *name, orn_uint32 *hint, void *first,
                          void *second) override;
  orn_int NumberedOperationD(orn_uint32 flag, orn_int number, void *first, void *second) override;
  orn_int ModifyMember(orn_uint32 flag, const orn_char *name, orn_uint32 *hint, tORNVariant *result,
                       const tORNVariant *operand, iORNDispatch2 *objthis) override;
  orn_int ModifyMemberByNumber(orn_uint32 flag, orn_int number, tORNVariant *result,
                               const tORNVariant *operand, iORNDispatch2 *objthis) override;
  orn_int ObjectOperationD(void *first, void *second, void *third) override;
  orn_int ObjectOperationE(void *first, void *second, void *third) override;

 protected:
  ScriptObject() = default;
  ~ScriptObject() override = default;
};

}  // namespace zanhost
