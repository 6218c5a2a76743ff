#include "host/script_object.h"

namespace zanhost {

orn_uint32 ScriptObject::AddRef() {
  return static_cast<orn_uint32>(Retain());
}

orn_uint32 ScriptObject::Release() {
  return static_cast<orn_uint32>(Drop());
}

orn_int ScriptObject::CallMember(orn_uint32, const orn_char *name, orn_uint32 *, tORNVariant *,
                                 orn_int, tORNVariant **, iORNDispatch2 *) {
  return NamedDefault(name);
}

orn_int ScriptObject::CallMemberByNumber(orn_uint32, orn_int, tORNVariant *, orn_int,
                                         tORNVariant **, iORNDispatch2 *) {
  return ResultNotSupported;
}

orn_int ScriptObject::GetMember(orn_uint32, const orn_char *name, orn_uint32 *, tORNVariant *,
                                iORNDispatch2 *) {
  return NamedDefault(name);
}

orn_int ScriptObject::GetMemberByNumber(orn_uint32, orn_int, tORNVariant *, iORNDispatch2 *) {
  return ResultNotSupported;
}

orn_int ScriptObject::SetMember(orn_uint32, const orn_char *name, orn_uint32 *, const tORNVariant *,
                                iORNDispatch2 *) {
  return NamedDefault(name);
}

orn_int ScriptObject::SetMemberByNumber(orn_uint32, orn_int, const tORNVariant *, iORNDispatch2 *) {
  return ResultNotSupported;
}

orn_int ScriptObject::NamedOperationA(orn_uint32, const orn_char *name, orn_uint32 *, void *) {
  return NamedDefault(name);
}

orn_int ScriptObject::NumberedOperationA(orn_uint32, orn_int, void *) {
  return ResultNotSupported;
}

orn_int ScriptObject::ObjectOperationA() {
  return ResultNotSupported;
}

orn_int ScriptObject::ObjectOperationB() {
  return ResultNotSupported;
}

orn_int ScriptObject::DeleteMember(orn_uint32, const orn_char *name, orn_uint32 *,
                                   iORNDispatch2 *) {
  return NamedDefault(name);
}

orn_int ScriptObject::DeleteMemberByNumber(orn_uint32, orn_int, iORNDispatch2 *) {
  return ResultNotSupported;
}

orn_int ScriptObject::NamedOperationB(orn_uint32, const orn_char *name, orn_uint32 *, void *) {
  return NamedDefault(name);
}

orn_int ScriptObject::NumberedOperationB(orn_uint32, orn_int, void *) {
  return ResultNotSupported;
}

orn_int ScriptObject::NamedOperationC(orn_uint32, const orn_char *name, orn_uint32 *, void *) {
  return NamedDefault(name);
}

orn_int ScriptObject::NumberedOperationC(orn_uint32, orn_int, void *) {
  return ResultNotSupported;
}

orn_int ScriptObject::NamedCallB(orn_uint32, const orn_char *name, orn_uint32 *, tORNVariant *,
                                 orn_int, tORNVariant **, iORNDispatch2 *) {
  return NamedDefault(name);
}

orn_int ScriptObject::NumberedCallB(orn_uint32, orn_int, tORNVariant *, orn_int, tORNVariant **,
                                    iORNDispatch2 *) {
  return ResultNotSupported;
}

orn_int ScriptObject::ObjectOperationC(void *, void *, void *) {
  return ResultNotSupported;
}

orn_int ScriptObject::NamedOperationD(orn_uint32, const orn_char *name, orn_uint32 *, void *,
                                      void *) {
  return NamedDefault(name);
}

orn_int ScriptObject::NumberedOperationD(orn_uint32, orn_int, void *, void *) {
  return ResultNotSupported;
}

orn_int ScriptObject::ModifyMember(orn_uint32, const orn_char *name, orn_uint32 *, tORNVariant *,
                                   const tORNVariant *, iORNDispatch2 *) {
  return NamedDefault(name);
}

orn_int ScriptObject::ModifyMemberByNumber(orn_uint32, orn_int, tORNVariant *, const tORNVariant *,
                                           iORNDispatch2 *) {
  return ResultNotSupported;
}

orn_int ScriptObject::ObjectOperationD(void *, void *, void *) {
  return ResultNotSupported;
}

orn_int ScriptObject::ObjectOperationE(void *, void *, void *) {
  return ResultNotSupported;
}

}  // namespace zanhost
