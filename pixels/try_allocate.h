// Work storage that may be refused: kernels ask for it with these and report
// failure instead of throwing or crashing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

namespace pixels {

// `count` elements of uninitialised (Raw) or zeroed storage; null when the size
// does not fit size_t or the allocation fails.
template <typename T>
std::unique_ptr<T[]> TryAllocateRaw(uint64_t count) {
  if (count > SIZE_MAX / sizeof(T)) {
    return nullptr;
  }
  return std::unique_ptr<T[]>(new (std::nothrow) T[static_cast<size_t>(count)]);
}

template <typename T>
std::unique_ptr<T[]> TryAllocateZeroed(uint64_t count) {
  if (count > SIZE_MAX / sizeof(T)) {
    return nullptr;
  }
  return std::unique_ptr<T[]>(new (std::nothrow) T[static_cast<size_t>(count)]());
}

}  // namespace pixels
