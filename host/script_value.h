// Script variants. Storage: the type code in word 0 and a 64-bit payload in
// words 1 and 2 (an integer, the bits of a double, or a pointer to an object or
// a StringObject), copied with memcpy since the storage is only 4-byte aligned.
// A variant holding an object or a string holds one reference on it.
//
// Conversions to numbers: empty gives 0; integers are taken as they are (to
// orn_int: the low 32 bits); reals are truncated toward zero, NaN gives 0 and
// values out of range saturate at the target's limits; strings are parsed as a
// decimal integer or real (blanks around allowed) and then converted by the same
// rules. An object, an octet, or text that is no number raises a ScriptError.
#pragma once

#include <string>

#include "hostapi/dispatch.h"
#include "hostapi/types.h"

namespace zanhost {

constexpr tORNVariantType kVariantEmpty = 0;
constexpr tORNVariantType kVariantObject = 1;
constexpr tORNVariantType kVariantString = 2;
constexpr tORNVariantType kVariantOctet = 3;
constexpr tORNVariantType kVariantInteger = 4;
constexpr tORNVariantType kVariantReal = 5;

// Host functions (see hostapi/host_functions.h).
void VariantConstruct(tORNVariant *self);
// A null object makes an object variant holding null.
void VariantConstructObject(tORNVariant *self, iORNDispatch2 *object);
// Leaves the storage empty.
void VariantDestruct(tORNVariant *self);
tORNVariant &VariantAssign(tORNVariant *self, const tORNVariant &source);
tORNVariant &VariantAssignInteger(tORNVariant *self, const tOVInteger value);
void VariantCopyRef(tORNVariant *self, const tORNVariant &source);
tORNVariantType VariantType(tORNVariant *self);
orn_int VariantToInt(const tORNVariant *self);
tOVInteger VariantToInteger(const tORNVariant *self);
tOVReal VariantToReal(const tORNVariant *self);
tOVInteger VariantAsInteger(const tORNVariant *self);
tOVReal VariantAsReal(const tORNVariant *self);
// Both give null when the variant holds no object; neither adds a reference.
iORNDispatch2 *VariantToObject(tORNVariant *self);
iORNDispatch2 *VariantAsObjectNoAddRef(const tORNVariant *self);

// Host-side helpers: each replaces the old value, dropping its reference.
void VariantAssignReal(tORNVariant *self, tOVReal value);
void VariantAssignText(tORNVariant *self, std::u16string text);
tORNVariantType TypeOf(const tORNVariant &variant);
// The text of a string variant; null for any other type.
const std::u16string *StringIn(const tORNVariant &variant);
// The value as text: empty "", integers in decimal, reals in their shortest
// round-trip form, strings as they are; objects and octets raise.
std::u16string VariantToText(const tORNVariant &variant);

// Owns one variant, for C++ code and tests.
class Variant {
 public:
  Variant();
  static Variant Integer(tOVInteger value);
  static Variant Real(tOVReal value);
  static Variant String(std::u16string text);
  // Adds a reference on the object.
  static Variant Object(iORNDispatch2 *object);

  Variant(const Variant &other);
  Variant &operator=(const Variant &other);
  ~Variant();

  tORNVariantType Type() const { return TypeOf(raw_); }
  orn_int AsInt() const { return VariantToInt(&raw_); }
  tOVInteger AsInteger() const { return VariantToInteger(&raw_); }
  tOVReal AsReal() const { return VariantToReal(&raw_); }
  std::u16string AsText() const { return VariantToText(raw_); }
  iORNDispatch2 *AsObject() const { return VariantAsObjectNoAddRef(&raw_); }
  tORNVariant *Raw() { return &raw_; }
  const tORNVariant *Raw() const { return &raw_; }

 private:
  tORNVariant raw_;
};

}  // namespace zanhost
