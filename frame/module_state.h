// Module-wide state that lives from load to unload. Plain variables: every call
// arrives on the host's thread.
#pragma once

#include "hostapi/function_lookup.h"
#include "hostapi/types.h"

// The lookup handed to V2Link; never released or cleared.
extern iZANFunctionLookup *functionLookup;

// Sum of the reference counts of all live native script objects. V2Unlink
// refuses while it is above 1.
extern orn_int scriptObjectRefTotal;
