// <immintrin.h> for the 512-bit kernels. GCC 12's AVX-512 intrinsics start
// from a self-initialised "undefined" vector, which its warnings take for an
// uninitialised one once inlined; those two warnings are silenced for the
// header alone.
#pragma once

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
