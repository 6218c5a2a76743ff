// Replaces the global allocation functions with malloc-based ones that count
// while an AllocationCounter lives.
#include "tests/transitions/allocation_counter.h"

#include <cstdlib>
#include <new>

namespace {

bool counting = false;
long allocations = 0;

void *Allocate(std::size_t size) {
  if (counting) {
    ++allocations;
  }
  return std::malloc(size != 0 ? size : 1);
}

void *AllocateOrThrow(std::size_t size) {
  void *memory = Allocate(size);
  if (memory == nullptr) {
    throw std::bad_alloc();
  }
  return memory;
}

}  // namespace

namespace zanhost {

AllocationCounter::AllocationCounter() {
  allocations = 0;
  counting = true;
}

AllocationCounter::~AllocationCounter() {
  counting = false;
}

long AllocationCounter::Count() const {
  return allocations;
}

}  // namespace zanhost

void *operator new(std::size_t size) {
  return AllocateOrThrow(size);
}
void *operator new[](std::size_t size) {
  return AllocateOrThrow(size);
}
void *operator new(std::size_t size, const std::nothrow_t &) noexcept {
  return Allocate(size);
}
void *operator new[](std::size_t size, const std::nothrow_t &) noexcept {
  return Allocate(size);
}
void operator delete(void *memory) noexcept {
  std::free(memory);
}
void operator delete[](void *memory) noexcept {
  std::free(memory);
}
void operator delete(void *memory, std::size_t) noexcept {
  std::free(memory);
}
void operator delete[](void *memory, std::size_t) noexcept {
  std::free(memory);
}
void operator delete(void *memory, const std::nothrow_t &) noexcept {
  std::free(memory);
}
void operator delete[](void *memory, const std::nothrow_t &) noexcept {
  std::free(memory);
}
