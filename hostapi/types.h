// Scalar and value types shared by the module and the host. Both sides compile
// this header with the same compiler; the layouts below are part of the binary
// contract and are checked at compile time.
#pragma once

#include <cstdint>

// The calling convention of the two entries and of every host function: the
// platform's default (cdecl on 32-bit x86). For a host that calls otherwise,
// define it to that convention (e.g. __stdcall) when building the module and the
// host; the reference host's functions then need it too, and the compiler names
// each one that lacks it. Interface slots keep the compiler's convention for
// member functions.
#ifndef ZAN_CALL
#define ZAN_CALL
#endif

using orn_char = char16_t;
using orn_int = int32_t;
using orn_uint32 = uint32_t;
using orn_uint8 = uint8_t;
using tOVInteger = int64_t;
using tOVReal = double;
using tORNVariantType = int32_t;

// Script variant storage: three 32-bit words whose meaning only host functions
// know. The module provides the storage (a local or an array element) and never
// reads or writes the words itself.
struct tORNVariant {
  orn_uint32 words[3];
};
static_assert(sizeof(tORNVariant) == 12, "tORNVariant is three 32-bit words");
static_assert(alignof(tORNVariant) == 4, "tORNVariant is 4-byte aligned");

// Script string storage: one pointer owned by host functions. Spelled `ornstr`
// inside signature keys.
struct tORNString {
  void *handle;
};
static_assert(sizeof(tORNString) == sizeof(void *), "tORNString is one pointer");
using ornstr = tORNString;
