// Exact progress arithmetic shared by the transitions' clocks.
#pragma once

#include <cstdint>

// floor(elapsed * scale / time) for elapsed < time, exact for every 64-bit
// input: the product is formed in 96 bits, so a long transition whose
// elapsed * scale passes 2^64 cannot wrap around to an early phase.
uint32_t ScaledProgress(uint64_t elapsed, uint32_t scale, uint64_t time);
