// Reference counting of the module's providers and handlers, written once: a
// new object starts at 1, held by its creator; the Release that finds 1 destroys
// it; AddRef and Release answer 0, as the transition interfaces expect.
#pragma once

#include "hostapi/types.h"

template <class Interface>
class tCounted : public Interface {
 public:
  tCounted() = default;
  tCounted(const tCounted &) = delete;
  tCounted &operator=(const tCounted &) = delete;

  orn_int AddRef() override {
    ++refCount;
    return 0;
  }
  orn_int Release() override {
    if (refCount == 1) {
      delete this;
    } else {
      --refCount;
    }
    return 0;
  }

  virtual ~tCounted() = default;

 private:
  orn_int refCount = 1;
};
