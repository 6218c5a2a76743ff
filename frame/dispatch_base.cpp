#include "frame/dispatch_base.h"

#include "frame/module_state.h"
#include "frame/owned_variant.h"

namespace {

// Status of a by-name slot the base does not implement.
orn_int NamedDefault(const orn_char *name) {
  return name != nullptr ? ResultNoSuchMember : ResultNotSupported;
}

// A by-number slot addresses the member named by the number's decimal text.
class tNumberName {
 public:
  explicit tNumberName(orn_int number) { Host<hostfn::ORN_int_to_str>()(number, text_); }
  const orn_char *get() const { return text_; }

 private:
  orn_char text_[34] = {};
};

}  // namespace

tORNDispatchBase::tORNDispatchBase() {
  ++scriptObjectRefTotal;
}

tORNDispatchBase::~tORNDispatchBase() {
  beforeDestroyDone = true;
}

void tORNDispatchBase::BeforeDestroy() {}

orn_uint32 tORNDispatchBase::AddRef() {
  ++scriptObjectRefTotal;
  return static_cast<orn_uint32>(++refCount);
}

orn_uint32 tORNDispatchBase::Release() {
  --scriptObjectRefTotal;
  if (refCount == 1) {
    if (!beforeDestroyDone) {
      beforeDestroyDone = true;
      BeforeDestroy();
    }
    if (refCount == 1) {
      delete this;
      return 0;
    }
  }
  return static_cast<orn_uint32>(--refCount);
}

orn_int tORNDispatchBase::CallMember(orn_uint32, const orn_char *name, orn_uint32 *, tORNVariant *,
                                     orn_int, tORNVariant **, iORNDispatch2 *) {
  return NamedDefault(name);
}

orn_int tORNDispatchBase::CallMemberByNumber(orn_uint32 flag, orn_int number, tORNVariant *result,
                                             orn_int count, tORNVariant **params,
                                             iORNDispatch2 *objthis) {
  return CallMember(flag, tNumberName(number).get(), nullptr, result, count, params, objthis);
}

orn_int tORNDispatchBase::GetMember(orn_uint32, const orn_char *name, orn_uint32 *, tORNVariant *,
                                    iORNDispatch2 *) {
  return NamedDefault(name);
}

orn_int tORNDispatchBase::GetMemberByNumber(orn_uint32 flag, orn_int number, tORNVariant *result,
                                            iORNDispatch2 *objthis) {
  return GetMember(flag, tNumberName(number).get(), nullptr, result, objthis);
}

orn_int tORNDispatchBase::SetMember(orn_uint32, const orn_char *name, orn_uint32 *,
                                    const tORNVariant *, iORNDispatch2 *) {
  return NamedDefault(name);
}

orn_int tORNDispatchBase::SetMemberByNumber(orn_uint32 flag, orn_int number,
                                            const tORNVariant *value, iORNDispatch2 *objthis) {
  return SetMember(flag, tNumberName(number).get(), nullptr, value, objthis);
}

orn_int tORNDispatchBase::NamedOperationA(orn_uint32, const orn_char *, orn_uint32 *, void *) {
  return ResultNotSupported;
}

orn_int tORNDispatchBase::NumberedOperationA(orn_uint32 flag, orn_int number, void *argument) {
  return NamedOperationA(flag, tNumberName(number).get(), nullptr, argument);
}

orn_int tORNDispatchBase::ObjectOperationA() {
  return ResultNotSupported;
}

orn_int tORNDispatchBase::ObjectOperationB() {
  return ResultNotSupported;
}

orn_int tORNDispatchBase::DeleteMember(orn_uint32, const orn_char *name, orn_uint32 *,
                                       iORNDispatch2 *) {
  return NamedDefault(name);
}

orn_int tORNDispatchBase::DeleteMemberByNumber(orn_uint32 flag, orn_int number,
                                               iORNDispatch2 *objthis) {
  return DeleteMember(flag, tNumberName(number).get(), nullptr, objthis);
}

orn_int tORNDispatchBase::NamedOperationB(orn_uint32, const orn_char *name, orn_uint32 *, void *) {
  return NamedDefault(name);
}

orn_int tORNDispatchBase::NumberedOperationB(orn_uint32 flag, orn_int number, void *argument) {
  return NamedOperationB(flag, tNumberName(number).get(), nullptr, argument);
}

orn_int tORNDispatchBase::NamedOperationC(orn_uint32, const orn_char *name, orn_uint32 *, void *) {
  return NamedDefault(name);
}

orn_int tORNDispatchBase::NumberedOperationC(orn_uint32 flag, orn_int number, void *argument) {
  return NamedOperationC(flag, tNumberName(number).get(), nullptr, argument);
}

orn_int tORNDispatchBase::NamedCallB(orn_uint32, const orn_char *name, orn_uint32 *, tORNVariant *,
                                     orn_int, tORNVariant **, iORNDispatch2 *) {
  return NamedDefault(name);
}

orn_int tORNDispatchBase::NumberedCallB(orn_uint32 flag, orn_int number, tORNVariant *result,
                                        orn_int count, tORNVariant **params,
                                        iORNDispatch2 *objthis) {
  return NamedCallB(flag, tNumberName(number).get(), nullptr, result, count, params, objthis);
}

orn_int tORNDispatchBase::ObjectOperationC(void *, void *, void *) {
  return ResultNotSupported;
}

orn_int tORNDispatchBase::NamedOperationD(orn_uint32, const orn_char *name, orn_uint32 *, void *,
                                          void *) {
  return NamedDefault(name);
}

orn_int tORNDispatchBase::NumberedOperationD(orn_uint32 flag, orn_int number, void *first,
                                             void *second) {
  return NamedOperationD(flag, tNumberName(number).get(), nullptr, first, second);
}

orn_int tORNDispatchBase::ModifyMember(orn_uint32 flag, const orn_char *name, orn_uint32 *hint,
                                       tORNVariant *result, const tORNVariant *operand,
                                       iORNDispatch2 *objthis) {
  const auto operation = static_cast<orn_int>(flag & ModifyOperationMask);
  const bool needsOperand = operation != 15 && operation != 16;
  if (operation < 1 || operation > 16 || (needsOperand && operand == nullptr)) {
    return ResultBadArgument;
  }
  tOwnedVariant value;
  orn_int status = GetMember(0, name, hint, value.get(), objthis);
  if (status < 0) {
    return status;
  }
  Host<hostfn::ORNDoVariantOperation>()(operation, *value.get(), operand);
  status = SetMember(0, name, hint, value.get(), objthis);
  if (status < 0) {
    return status;
  }
  if (result != nullptr) {
    Host<hostfn::VariantCopyRef>()(result, *value.get());
  }
  return 0;
}

orn_int tORNDispatchBase::ModifyMemberByNumber(orn_uint32 flag, orn_int number, tORNVariant *result,
                                               const tORNVariant *operand, iORNDispatch2 *objthis) {
  return ModifyMember(flag, tNumberName(number).get(), nullptr, result, operand, objthis);
}

orn_int tORNDispatchBase::ObjectOperationD(void *, void *, void *) {
  return ResultNotSupported;
}

orn_int tORNDispatchBase::ObjectOperationE(void *, void *, void *) {
  return ResultNotSupported;
}
