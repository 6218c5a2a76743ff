// The in-place variant operations the script's compound assignments use.
//
// Codes: 1 assign, 2 add, 3 subtract, 4 multiply, 5 divide, 6 modulo,
// 7 bitwise and, 8 bitwise or, 9 bitwise xor, 10 shift left, 11 arithmetic
// shift right, 12 concatenate as text, 13 logical and, 14 logical or,
// 15 increment, 16 decrement.
//
// Arithmetic (2 to 5, 15, 16) takes both values as numbers (see script_value.h):
// two integers give an integer (wrapping in 64 bits; division truncates toward
// zero, INT64_MIN / -1 wraps to INT64_MIN), otherwise a real. Codes 6 to 11 work
// on 64-bit integers (reals truncated); shift counts are taken modulo 64.
// Division or modulo by zero raises. Codes 13 and 14 give the integer 1 or 0;
// a value is true when it is a non-zero number, a non-empty text or a non-null
// object. Codes 15 and 16 ignore the operand; every other code needs one and
// raises without it, as does an unknown code. The target is unchanged when a
// raise leaves the operation.
#pragma once

#include "hostapi/types.h"

namespace zanhost {

// Host function (see hostapi/host_functions.h).
void ORNDoVariantOperation(orn_int operation, tORNVariant &target, const tORNVariant *operand);

}  // namespace zanhost
