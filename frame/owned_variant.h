// RAII owner of a host script variant. Every operation is one host call; the
// destructor's host function is resolved before the variant is made, so
// destruction never needs a lookup that could raise.
#pragma once

#include "frame/host_import.h"
#include "frame/variant_access.h"

class tOwnedVariant {
 public:
  // An empty variant.
  tOwnedVariant() {
    Host<hostfn::VariantDestruct>();
    Host<hostfn::VariantConstruct>()(&storage_);
  }
  // A variant holding `object`, with its own reference on it.
  explicit tOwnedVariant(iORNDispatch2 *object) {
    Host<hostfn::VariantDestruct>();
    Host<hostfn::VariantConstructObject>()(&storage_, object);
  }
  tOwnedVariant(const tOwnedVariant &) = delete;
  tOwnedVariant &operator=(const tOwnedVariant &) = delete;
  ~tOwnedVariant() { Host<hostfn::VariantDestruct>()(&storage_); }

  tORNVariant *get() { return &storage_; }
  const tORNVariant *get() const { return &storage_; }

  void Assign(const tORNVariant &source) { Host<hostfn::VariantAssign>()(&storage_, source); }
  void Assign(tOVInteger value) { Host<hostfn::VariantAssignInteger>()(&storage_, value); }

  orn_int ToInt() const { return VariantToInt(storage_); }
  // The object held, valid while the variant lives; no reference for the caller.
  iORNDispatch2 *ToObject() { return Host<hostfn::VariantToObject>()(&storage_); }

 private:
  tORNVariant storage_;
};
