// Global allocation functions over malloc for the tests and benchmarks: a
// header holds each block's size and the meter that counted it, so frees while
// that meter runs subtract exactly what it added; and an allocation the
// running failure picks is refused before malloc is asked.
#include <cstddef>
#include <cstdlib>
#include <new>

#include "instrument/allocation_failure.h"
#include "instrument/allocation_meter.h"

namespace {

struct alignas(std::max_align_t) tHeader {
  std::size_t size;
  uint64_t meter;  // 0 when no meter ran
};

uint64_t meter = 0;  // the running meter's number, 0 when none runs
uint64_t meters = 0;
uint64_t count = 0;
uint64_t held = 0;
uint64_t peak = 0;

// The running failure; `failing` is false when none runs.
bool failing = false;
uint64_t failNth = 0;
std::size_t failAbove = SIZE_MAX;
uint64_t asked = 0;
uint64_t failures = 0;
const void *firstFailedCaller = nullptr;

bool Refused(std::size_t size, const void *caller) {
  if (!failing) {
    return false;
  }
  ++asked;
  if (asked != failNth && size <= failAbove) {
    return false;
  }
  if (failures++ == 0) {
    firstFailedCaller = caller;
  }
  return true;
}

void *Allocate(std::size_t size, const void *caller) {
  if (Refused(size, caller) || size > SIZE_MAX - sizeof(tHeader)) {
    return nullptr;
  }
  auto *header = static_cast<tHeader *>(std::malloc(sizeof(tHeader) + size));
  if (header == nullptr) {
    return nullptr;
  }
  header->size = size;
  header->meter = meter;
  if (meter != 0) {
    ++count;
    held += size;
    peak = held > peak ? held : peak;
  }
  return header + 1;
}

void *AllocateOrThrow(std::size_t size, const void *caller) {
  void *memory = Allocate(size, caller);
  if (memory == nullptr) {
    throw std::bad_alloc();
  }
  return memory;
}

void Free(void *memory) {
  if (memory == nullptr) {
    return;
  }
  tHeader *header = static_cast<tHeader *>(memory) - 1;
  if (header->meter != 0 && header->meter == meter) {
    held -= header->size;
  }
  std::free(header);
}

}  // namespace

namespace instrument {

tAllocationMeter::tAllocationMeter() {
  count = 0;
  held = 0;
  peak = 0;
  meter = ++meters;
}

tAllocationMeter::~tAllocationMeter() {
  meter = 0;
}

uint64_t tAllocationMeter::Count() const {
  return count;
}

uint64_t tAllocationMeter::PeakBytes() const {
  return peak;
}

uint64_t tAllocationMeter::HeldBytes() const {
  return held;
}

tAllocationFailure::tAllocationFailure(uint64_t nth, std::size_t above) {
  failNth = nth;
  failAbove = above;
  asked = 0;
  failures = 0;
  firstFailedCaller = nullptr;
  failing = true;
}

tAllocationFailure tAllocationFailure::Nth(uint64_t n) {
  return tAllocationFailure(n, SIZE_MAX);
}

tAllocationFailure tAllocationFailure::Above(std::size_t bytes) {
  return tAllocationFailure(0, bytes);
}

tAllocationFailure::~tAllocationFailure() {
  failing = false;
}

uint64_t tAllocationFailure::Count() const {
  return asked;
}

uint64_t tAllocationFailure::Failures() const {
  return failures;
}

const void *tAllocationFailure::FirstFailedCaller() const {
  return firstFailedCaller;
}

}  // namespace instrument

// The caller's address is taken here, in the replaced function itself, so it
// lies in the code that asked for the memory.
void *operator new(std::size_t size) {
  return AllocateOrThrow(size, __builtin_return_address(0));
}
void *operator new[](std::size_t size) {
  return AllocateOrThrow(size, __builtin_return_address(0));
}
void *operator new(std::size_t size, const std::nothrow_t &) noexcept {
  return Allocate(size, __builtin_return_address(0));
}
void *operator new[](std::size_t size, const std::nothrow_t &) noexcept {
  return Allocate(size, __builtin_return_address(0));
}
void operator delete(void *memory) noexcept {
  Free(memory);
}
void operator delete[](void *memory) noexcept {
  Free(memory);
}
void operator delete(void *memory, std::size_t) noexcept {
  Free(memory);
}
void operator delete[](void *memory, std::size_t) noexcept {
  Free(memory);
}
void operator delete(void *memory, const std::nothrow_t &) noexcept {
  Free(memory);
}
void operator delete[](void *memory, const std::nothrow_t &) noexcept {
  Free(memory);
}
