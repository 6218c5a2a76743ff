// One declaration per host function: its exact signature key, the pointer type
// it resolves to, and what it does. Member-like functions take the object first.
// The module caches each through this pairing; keys are never built at run time.
#pragma once

#include "hostapi/dispatch.h"
#include "hostapi/transition.h"
#include "hostapi/types.h"

namespace hostfn {

// Transition registry.

// Offers the provider under the name its GetName yields.
struct ZANAddTransHandlerProvider {
  static constexpr const char key[] =
      "void ::ZANAddTransHandlerProvider(iZANTransHandlerProvider *)";
  using type = void(ZAN_CALL *)(iZANTransHandlerProvider *provider);
};

// Stops offering a registered provider.
struct ZANRemoveTransHandlerProvider {
  static constexpr const char key[] =
      "void ::ZANRemoveTransHandlerProvider(iZANTransHandlerProvider *)";
  using type = void(ZAN_CALL *)(iZANTransHandlerProvider *provider);
};

// The global script object with one reference for the caller, or null.
struct ZANGetScriptDispatch {
  static constexpr const char key[] = "iORNDispatch2 * ::ZANGetScriptDispatch()";
  using type = iORNDispatch2 *(ZAN_CALL *)();
};

// Pixel routines.

// Sets `count` pixels to `color`.
struct ZANFillARGB {
  static constexpr const char key[] = "void ::ZANFillARGB(orn_uint32 *,orn_int,orn_uint32)";
  using type = void(ZAN_CALL *)(orn_uint32 *dest, orn_int count, orn_uint32 color);
};

// Adds the source into the destination.
struct ZANAddBlend {
  static constexpr const char key[] = "void ::ZANAddBlend(orn_uint32 *,const orn_uint32 *,orn_int)";
  using type = void(ZAN_CALL *)(orn_uint32 *dest, const orn_uint32 *src, orn_int count);
};

// Blends the source over the destination at `opacity` (255 opaque).
struct ZANConstAlphaBlend {
  static constexpr const char key[] =
      "void ::ZANConstAlphaBlend(orn_uint32 *,const orn_uint32 *,orn_int,orn_int)";
  using type = void(ZAN_CALL *)(orn_uint32 *dest, const orn_uint32 *src, orn_int count,
                                orn_int opacity);
};

// Blends `color` over the destination at `opacity` (255 opaque).
struct ZANConstColorAlphaBlend {
  static constexpr const char key[] =
      "void ::ZANConstColorAlphaBlend(orn_uint32 *,orn_int,orn_uint32,orn_int)";
  using type = void(ZAN_CALL *)(orn_uint32 *dest, orn_int count, orn_uint32 color, orn_int opacity);
};

// Fills a 256-word rule blend table for the phase.
struct ZANInitUnivTransBlendTable {
  static constexpr const char key[] =
      "void ::ZANInitUnivTransBlendTable(orn_uint32 *,orn_int,orn_int)";
  using type = void(ZAN_CALL *)(orn_uint32 *table, orn_int phase, orn_int vague);
};

// The same for layers whose destination alpha counts.
struct ZANInitUnivTransBlendTable_d {
  static constexpr const char key[] =
      "void ::ZANInitUnivTransBlendTable_d(orn_uint32 *,orn_int,orn_int)";
  using type = void(ZAN_CALL *)(orn_uint32 *table, orn_int phase, orn_int vague);
};

// Mixes the two sources per pixel as the table gives for its rule level.
struct ZANUnivTransBlend {
  static constexpr const char key[] =
      "void ::ZANUnivTransBlend(orn_uint32 *,const orn_uint32 *,const orn_uint32 *,const orn_uint8 "
      "*,const orn_uint32 *,orn_int)";
  using type = void(ZAN_CALL *)(orn_uint32 *dest, const orn_uint32 *src1, const orn_uint32 *src2,
                                const orn_uint8 *rule, const orn_uint32 *table, orn_int count);
};

// The same, treating alpha.
struct ZANUnivTransBlend_d {
  static constexpr const char key[] =
      "void ::ZANUnivTransBlend_d(orn_uint32 *,const orn_uint32 *,const orn_uint32 *,const "
      "orn_uint8 *,const orn_uint32 *,orn_int)";
  using type = void(ZAN_CALL *)(orn_uint32 *dest, const orn_uint32 *src1, const orn_uint32 *src2,
                                const orn_uint8 *rule, const orn_uint32 *table, orn_int count);
};

// The rule blend for narrow edges, with the phase and the phase minus vague.
struct ZANUnivTransBlend_switch {
  static constexpr const char key[] =
      "void ::ZANUnivTransBlend_switch(orn_uint32 *,const orn_uint32 *,const orn_uint32 *,const "
      "orn_uint8 *,const orn_uint32 *,orn_int,orn_int,orn_int)";
  using type = void(ZAN_CALL *)(orn_uint32 *dest, const orn_uint32 *src1, const orn_uint32 *src2,
                                const orn_uint8 *rule, const orn_uint32 *table, orn_int count,
                                orn_int phase, orn_int phaseMinusVague);
};

// The same, treating alpha.
struct ZANUnivTransBlend_switch_d {
  static constexpr const char key[] =
      "void ::ZANUnivTransBlend_switch_d(orn_uint32 *,const orn_uint32 *,const orn_uint32 *,const "
      "orn_uint8 *,const orn_uint32 *,orn_int,orn_int,orn_int)";
  using type = void(ZAN_CALL *)(orn_uint32 *dest, const orn_uint32 *src1, const orn_uint32 *src2,
                                const orn_uint8 *rule, const orn_uint32 *table, orn_int count,
                                orn_int phase, orn_int phaseMinusVague);
};

// Script variants.

// Makes the storage an empty variant.
struct VariantConstruct {
  static constexpr const char key[] = "tORNVariant::tORNVariant()";
  using type = void(ZAN_CALL *)(tORNVariant *self);
};

// Makes a variant holding the object, with its own reference.
struct VariantConstructObject {
  static constexpr const char key[] = "tORNVariant::tORNVariant(iORNDispatch2 *)";
  using type = void(ZAN_CALL *)(tORNVariant *self, iORNDispatch2 *object);
};

// Destroys the variant, dropping any reference it holds.
struct VariantDestruct {
  static constexpr const char key[] = "tORNVariant::~ tORNVariant()";
  using type = void(ZAN_CALL *)(tORNVariant *self);
};

// The target becomes a copy, with its own reference on an object value.
struct VariantAssign {
  static constexpr const char key[] = "tORNVariant & tORNVariant::operator =(const tORNVariant &)";
  using type = tORNVariant &(ZAN_CALL *)(tORNVariant *self, const tORNVariant &source);
};

// The variant becomes the integer.
struct VariantAssignInteger {
  static constexpr const char key[] = "tORNVariant & tORNVariant::operator =(const tOVInteger)";
  using type = tORNVariant &(ZAN_CALL *)(tORNVariant *self, const tOVInteger value);
};

// The target takes the source's value.
struct VariantCopyRef {
  static constexpr const char key[] = "void tORNVariant::CopyRef(const tORNVariant &)";
  using type = void(ZAN_CALL *)(tORNVariant *self, const tORNVariant &source);
};

// The variant's type code.
struct VariantType {
  static constexpr const char key[] = "tORNVariantType tORNVariant::Type()";
  using type = tORNVariantType(ZAN_CALL *)(tORNVariant *self);
};

// The value as a signed 32-bit integer.
struct VariantToInt {
  static constexpr const char key[] = "tORNVariant::operator orn_int() const";
  using type = orn_int(ZAN_CALL *)(const tORNVariant *self);
};

// The value as a signed 64-bit integer.
struct VariantToInteger {
  static constexpr const char key[] = "tORNVariant::operator tOVInteger() const";
  using type = tOVInteger(ZAN_CALL *)(const tORNVariant *self);
};

// The value as a double.
struct VariantToReal {
  static constexpr const char key[] = "tORNVariant::operator tOVReal() const";
  using type = tOVReal(ZAN_CALL *)(const tORNVariant *self);
};

// The value as a signed 64-bit integer.
struct VariantAsInteger {
  static constexpr const char key[] = "tOVInteger tORNVariant::AsInteger() const";
  using type = tOVInteger(ZAN_CALL *)(const tORNVariant *self);
};

// The value as a double.
struct VariantAsReal {
  static constexpr const char key[] = "tOVReal tORNVariant::AsReal() const";
  using type = tOVReal(ZAN_CALL *)(const tORNVariant *self);
};

// The object held; usable while the variant lives, not to be released.
struct VariantToObject {
  static constexpr const char key[] = "tORNVariant::operator iORNDispatch2 *()";
  using type = iORNDispatch2 *(ZAN_CALL *)(tORNVariant *self);
};

// The object held, without a reference for the caller.
struct VariantAsObjectNoAddRef {
  static constexpr const char key[] = "iORNDispatch2 * tORNVariant::AsObjectNoAddRef() const";
  using type = iORNDispatch2 *(ZAN_CALL *)(const tORNVariant *self);
};

// Applies operation 1 to 16 to the target in place; operand null for 15 and 16.
struct ORNDoVariantOperation {
  static constexpr const char key[] =
      "void ::ORNDoVariantOperation(orn_int,tORNVariant &,const tORNVariant *)";
  using type = void(ZAN_CALL *)(orn_int operation, tORNVariant &target, const tORNVariant *operand);
};

// Writes the decimal text, zero-terminated, into the buffer; returns it.
struct ORN_int_to_str {
  static constexpr const char key[] = "orn_char * ::ORN_int_to_str(orn_int,orn_char *)";
  using type = orn_char *(ZAN_CALL *)(orn_int value, orn_char *buffer);
};

// Script strings.

// Makes a string of a zero-terminated text.
struct StringFromText {
  static constexpr const char key[] = "tORNString::tORNString(const orn_char *)";
  using type = void(ZAN_CALL *)(tORNString *self, const orn_char *text);
};

// Makes the number's decimal text.
struct StringFromInt {
  static constexpr const char key[] = "tORNString::tORNString(orn_int)";
  using type = void(ZAN_CALL *)(tORNString *self, orn_int value);
};

// Makes a copy.
struct StringCopy {
  static constexpr const char key[] = "tORNString::tORNString(const tORNString &)";
  using type = void(ZAN_CALL *)(tORNString *self, const tORNString &source);
};

// Destroys the string.
struct StringDestruct {
  static constexpr const char key[] = "tORNString::~ tORNString()";
  using type = void(ZAN_CALL *)(tORNString *self);
};

// A new string, self first; the caller destroys it.
struct StringConcat {
  static constexpr const char key[] = "tORNString tORNString::operator +(const tORNString &) const";
  using type = tORNString(ZAN_CALL *)(const tORNString *self, const tORNString &right);
};

// A new string, self first; the caller destroys it.
struct StringConcatText {
  static constexpr const char key[] = "tORNString tORNString::operator +(const orn_char *) const";
  using type = tORNString(ZAN_CALL *)(const tORNString *self, const orn_char *right);
};

// Raising script exceptions: none of these returns.

// Raises the message.
struct ZANThrowExceptionMessage {
  static constexpr const char key[] = "void ::ZANThrowExceptionMessage(const orn_char *)";
  using type = void(ZAN_CALL *)(const orn_char *message);
};

// Raises the message, `text` in place of "%1" where it stands.
struct ZANThrowExceptionMessageWithString {
  static constexpr const char key[] =
      "void ::ZANThrowExceptionMessage(const orn_char *,const ornstr &)";
  using type = void(ZAN_CALL *)(const orn_char *message, const ornstr &text);
};

// Raises the message built with two strings.
struct ZANThrowExceptionMessageWithStrings {
  static constexpr const char key[] =
      "void ::ZANThrowExceptionMessage(const orn_char *,const ornstr &,const ornstr &)";
  using type = void(ZAN_CALL *)(const orn_char *message, const ornstr &first, const ornstr &second);
};

// Raises the error for a host function the host lacks.
struct ZANThrowPluginUnboundFunctionError {
  static constexpr const char key[] = "void ::ZANThrowPluginUnboundFunctionError(const char *)";
  using type = void(ZAN_CALL *)(const char *missingKey);
};

}  // namespace hostfn
