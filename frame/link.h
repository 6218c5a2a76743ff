// What V2Link and V2Unlink do: put every provider and global function in place,
// and take them away again.
#pragma once

#include "hostapi/function_lookup.h"
#include "hostapi/types.h"

// Stores the lookup, registers the transition providers and the global script
// functions in their fixed order. Returns 0; a host raise passes out.
orn_int Link(iZANFunctionLookup *lookup);

// Refuses with E_FAIL while scriptObjectRefTotal is above 1; otherwise removes
// and releases everything Link registered, in registration order, and returns 0.
orn_int Unlink();
