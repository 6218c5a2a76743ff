// Reading host variants (script arguments, option values): each is one call
// of the host's conversion of that name.
#pragma once

#include "frame/host_import.h"

inline orn_int VariantToInt(const tORNVariant &value) {
  return Host<hostfn::VariantToInt>()(&value);
}
inline tOVInteger VariantToInteger(const tORNVariant &value) {
  return Host<hostfn::VariantToInteger>()(&value);
}
inline tOVReal VariantToReal(const tORNVariant &value) {
  return Host<hostfn::VariantToReal>()(&value);
}
inline tOVInteger VariantAsInteger(const tORNVariant &value) {
  return Host<hostfn::VariantAsInteger>()(&value);
}
inline tOVReal VariantAsReal(const tORNVariant &value) {
  return Host<hostfn::VariantAsReal>()(&value);
}
// The object held, without a reference for the caller; null when none.
inline iORNDispatch2 *VariantAsObjectNoAddRef(const tORNVariant &value) {
  return Host<hostfn::VariantAsObjectNoAddRef>()(&value);
}
inline tORNVariantType VariantType(tORNVariant &value) {
  return Host<hostfn::VariantType>()(&value);
}
