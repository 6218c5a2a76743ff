// The vector instruction sets the kernels use, named once. Vector kernels exist
// on x86 only (FX_X86_KERNELS); each carries its instruction set as a function
// attribute, so no file needs the processor feature enabled globally (32-bit
// x86 builds do not assume SSE2) and the rest of the module runs anywhere.
#pragma once

#if defined(__x86_64__) || defined(__i386__)
#define FX_X86_KERNELS 1
#define FX_SSE2 __attribute__((target("sse2")))
#define FX_AVX2 __attribute__((target("avx2")))
// AVX-512 with byte and word lanes, 128/256-bit forms and byte permutes.
#define FX_AVX512 __attribute__((target("avx2,avx512f,avx512bw,avx512vl,avx512vbmi")))
// A vector kernel's entry where there is one, else none (nullptr).
#define FX_VECTOR_KERNEL(kernel) kernel
#else
#define FX_VECTOR_KERNEL(kernel) nullptr
#endif
