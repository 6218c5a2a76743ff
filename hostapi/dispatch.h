// The host's script object interface. Slot order is the binary contract: never
// insert or reorder. Every slot but AddRef/Release returns a status, 0 or more on
// success, negative on failure.
#pragma once

#include "hostapi/types.h"

// Status codes exchanged through iORNDispatch2.
constexpr orn_int ResultNoSuchMember = -1001;
constexpr orn_int ResultNotSupported = -1002;
constexpr orn_int ResultBadArgument = -1003;
constexpr orn_int ResultBadArgumentCount = -1004;

// Member-operation flags. ModifyMember carries its operation code in the low bits.
constexpr orn_uint32 FlagCreateMember = 0x200;
constexpr orn_uint32 ModifyOperationMask = 0x1f;

// A null `name` addresses the object itself. `hint` may be null; it is the
// caller's word for that name, in which the callee may keep a lookup hint.
// `objthis` is the object on whose behalf the operation runs.
class iORNDispatch2 {
 public:
  // slot 0: takes a reference; returns the new count (script objects).
  virtual orn_uint32 AddRef() = 0;
  // slot 1: drops a reference; returns the new count, 0 once destroyed.
  virtual orn_uint32 Release() = 0;
  // slot 2: calls the member with `count` arguments; out: `result` when not null.
  virtual orn_int CallMember(orn_uint32 flag, const orn_char *name, orn_uint32 *hint,
                             tORNVariant *result, orn_int count, tORNVariant **params,
                             iORNDispatch2 *objthis) = 0;
  // slot 3
  virtual orn_int CallMemberByNumber(orn_uint32 flag, orn_int number, tORNVariant *result,
                                     orn_int count, tORNVariant **params,
                                     iORNDispatch2 *objthis) = 0;
  // slot 4: out: `result` receives the member's value (a constructed variant).
  virtual orn_int GetMember(orn_uint32 flag, const orn_char *name, orn_uint32 *hint,
                            tORNVariant *result, iORNDispatch2 *objthis) = 0;
  // slot 5
  virtual orn_int GetMemberByNumber(orn_uint32 flag, orn_int number, tORNVariant *result,
                                    iORNDispatch2 *objthis) = 0;
  // slot 6: in: `value` is copied into the member; FlagCreateMember adds it.
  virtual orn_int SetMember(orn_uint32 flag, const orn_char *name, orn_uint32 *hint,
                            const tORNVariant *value, iORNDispatch2 *objthis) = 0;
  // slot 7
  virtual orn_int SetMemberByNumber(orn_uint32 flag, orn_int number, const tORNVariant *value,
                                    iORNDispatch2 *objthis) = 0;
  // slot 8
  virtual orn_int NamedOperationA(orn_uint32 flag, const orn_char *name, orn_uint32 *hint,
                                  void *argument) = 0;
  // slot 9
  virtual orn_int NumberedOperationA(orn_uint32 flag, orn_int number, void *argument) = 0;
  // slot 10
  virtual orn_int ObjectOperationA() = 0;
  // slot 11
  virtual orn_int ObjectOperationB() = 0;
  // slot 12: removes the member.
  virtual orn_int DeleteMember(orn_uint32 flag, const orn_char *name, orn_uint32 *hint,
                               iORNDispatch2 *objthis) = 0;
  // slot 13
  virtual orn_int DeleteMemberByNumber(orn_uint32 flag, orn_int number, iORNDispatch2 *objthis) = 0;
  // slot 14
  virtual orn_int NamedOperationB(orn_uint32 flag, const orn_char *name, orn_uint32 *hint,
                                  void *argument) = 0;
  // slot 15
  virtual orn_int NumberedOperationB(orn_uint32 flag, orn_int number, void *argument) = 0;
  // slot 16
  virtual orn_int NamedOperationC(orn_uint32 flag, const orn_char *name, orn_uint32 *hint,
                                  void *argument) = 0;
  // slot 17
  virtual orn_int NumberedOperationC(orn_uint32 flag, orn_int number, void *argument) = 0;
  // slot 18: arguments in the positions of CallMember's.
  virtual orn_int NamedCallB(orn_uint32 flag, const orn_char *name, orn_uint32 *hint,
                             tORNVariant *result, orn_int count, tORNVariant **params,
                             iORNDispatch2 *objthis) = 0;
  // slot 19
  virtual orn_int NumberedCallB(orn_uint32 flag, orn_int number, tORNVariant *result, orn_int count,
                                tORNVariant **params, iORNDispatch2 *objthis) = 0;
  // slot 20
  virtual orn_int ObjectOperationC(void *first, void *second, void *third) = 0;
  // slot 21
  virtual orn_int NamedOperationD(orn_uint32 flag, const orn_char *name, orn_uint32 *hint,
                                  void *first, void *second) = 0;
  // slot 22
  virtual orn_int NumberedOperationD(orn_uint32 flag, orn_int number, void *first,
                                     void *second) = 0;
  // slot 23: read-modify-write of a member with the operation code in `flag`;
  // in: `operand` (may be null for codes 15 and 16); out: `result` when not null.
  virtual orn_int ModifyMember(orn_uint32 flag, const orn_char *name, orn_uint32 *hint,
                               tORNVariant *result, const tORNVariant *operand,
                               iORNDispatch2 *objthis) = 0;
  // slot 24
  virtual orn_int ModifyMemberByNumber(orn_uint32 flag, orn_int number, tORNVariant *result,
                                       const tORNVariant *operand, iORNDispatch2 *objthis) = 0;
  // slot 25
  virtual orn_int ObjectOperationD(void *first, void *second, void *third) = 0;
  // slot 26
  virtual orn_int ObjectOperationE(void *first, void *second, void *third) = 0;
};
