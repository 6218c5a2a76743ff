// The module's two exported entries, as the host finds them by name.
#pragma once

#include "hostapi/function_lookup.h"
#include "hostapi/types.h"

// Status returned by V2Unlink when it refuses to unlink.
constexpr orn_int E_FAIL = static_cast<orn_int>(0x80004005u);

// Called once after loading; the lookup must stay usable until V2Unlink returns.
using V2LinkFunction = orn_int(ZAN_CALL *)(iZANFunctionLookup *lookup);
// Called before unloading; 0 when unlinked, E_FAIL while script objects are held.
using V2UnlinkFunction = orn_int(ZAN_CALL *)();

constexpr const char V2LinkName[] = "V2Link";
constexpr const char V2UnlinkName[] = "V2Unlink";
