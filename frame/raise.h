// Script errors. Each helper raises through the host, whose exception unwinds
// through the module's RAII owners; a host whose raise returns is broken and
// the module aborts rather than run on.
#pragma once

#include "hostapi/types.h"

class tOwnedString;

[[noreturn]] void RaiseMessage(const orn_char *message);
[[noreturn]] void RaiseMessage(const orn_char *message, const tOwnedString &text);
[[noreturn]] void RaiseMessage(const orn_char *message, const tOwnedString &first,
                               const tOwnedString &second);

// Called right after a host raise function that returned.
[[noreturn]] void AbortAfterRaise(const char *key);
