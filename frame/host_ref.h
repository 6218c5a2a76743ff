// RAII owner of one counted reference on a host object (a script object, a
// line source, an option source): released when the owner goes.
#pragma once

#include <utility>

template <class Interface>
class tHostRef {
 public:
  tHostRef() = default;
  // Adopts a reference the caller already holds.
  explicit tHostRef(Interface *adopted) : object_(adopted) {}
  tHostRef(const tHostRef &) = delete;
  tHostRef &operator=(const tHostRef &) = delete;
  tHostRef(tHostRef &&other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  tHostRef &operator=(tHostRef &&other) noexcept {
    Reset(std::exchange(other.object_, nullptr));
    return *this;
  }
  ~tHostRef() { Reset(nullptr); }

  // Takes a new reference on `object` (when not null).
  static tHostRef Share(Interface *object) {
    if (object != nullptr) {
      object->AddRef();
    }
    return tHostRef(object);
  }

  Interface *get() const { return object_; }
  Interface *operator->() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  // Where a host call stores a new reference; any reference held is dropped first.
  Interface **out() {
    Reset(nullptr);
    return &object_;
  }
  // Hands the reference over to the caller.
  Interface *Detach() { return std::exchange(object_, nullptr); }
  void Reset(Interface *adopted) {
    Interface *old = std::exchange(object_, adopted);
    if (old != nullptr) {
      old->Release();
    }
  }

 private:
  Interface *object_ = nullptr;
};
