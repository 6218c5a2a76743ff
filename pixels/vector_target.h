// Vector code shared by kernel files of different instruction sets is compiled
// for the instruction set of the file that includes it: that file defines
// FX_TARGET (FX_SSE2, FX_AVX2 or FX_AVX512, pixels/instruction_sets.h) first,
// and the shared headers put their code in an unnamed namespace marked
// FX_TARGET, so each file gets its own copy and no copy built for one
// instruction set can stand in for another at link time.
#pragma once

#ifndef FX_TARGET
#error "define FX_TARGET as the including file's instruction set first"
#endif
