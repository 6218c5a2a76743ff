// Global allocation functions over malloc with a header holding each block's
// size and the meter that counted it, so frees while that meter runs subtract
// exactly what it added.
#include "instrument/allocation_meter.h"

#include <cstddef>
#include <cstdlib>
#include <new>

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

void *Allocate(std::size_t size) {
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

void *AllocateOrThrow(std::size_t size) {
  void *memory = Allocate(size);
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

}  // namespace instrument

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
