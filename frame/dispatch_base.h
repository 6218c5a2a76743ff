// Base of the module's native script objects. Answers every slot of
// iORNDispatch2 with a default status, keeps the reference count, and keeps the
// module-wide scriptObjectRefTotal in step with it (+1 at construction and on
// every AddRef, -1 on every Release), so the total always equals the sum of the
// live objects' counts. Objects are destroyed only by their final Release.
#pragma once

#include "hostapi/dispatch.h"

class tORNDispatchBase : public iORNDispatch2 {
 public:
  tORNDispatchBase();
  tORNDispatchBase(const tORNDispatchBase &) = delete;
  tORNDispatchBase &operator=(const tORNDispatchBase &) = delete;

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

  // The class's own slots, after the interface's, called only by the module.
  // Run once by the final Release before destruction; may take a reference to
  // keep the object alive.
  virtual void BeforeDestroy();
  virtual ~tORNDispatchBase();

 private:
  bool beforeDestroyDone = false;
  orn_int refCount = 1;
};
