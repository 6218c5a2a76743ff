// An owning pointer for any counted interface of the contract (AddRef/Release):
// script objects, providers, handlers, line and option sources.
#pragma once

#include <utility>

namespace zanhost {

template <class T>
class Ref {
 public:
  Ref() = default;
  // Takes over a reference the caller already holds.
  static Ref Adopt(T *object) { return Ref(object); }
  // Adds a reference of its own.
  static Ref Share(T *object) {
    if (object != nullptr) {
      object->AddRef();
    }
    return Ref(object);
  }

  Ref(const Ref &other) : object_(Share(other.object_).Detach()) {}
  Ref(Ref &&other) noexcept : object_(other.Detach()) {}
  Ref &operator=(Ref other) noexcept {
    std::swap(object_, other.object_);
    return *this;
  }
  ~Ref() { Reset(); }

  void Reset() {
    if (object_ != nullptr) {
      std::exchange(object_, nullptr)->Release();
    }
  }
  // Hands the reference to the caller.
  T *Detach() { return std::exchange(object_, nullptr); }
  T *get() const { return object_; }
  T *operator->() const { return object_; }
  T &operator*() const { return *object_; }
  explicit operator bool() const { return object_ != nullptr; }

 private:
  explicit Ref(T *object) : object_(object) {}
  T *object_ = nullptr;
};

}  // namespace zanhost
