// Global script functions: the module's native objects made members of the
// host's global script object.
#pragma once

#include "hostapi/dispatch.h"

// Makes `object` the global member `name`, taking over the caller's one
// reference (the global object keeps the object alive afterwards). The status
// of the host's SetMember is not examined. Does nothing without a global object,
// beyond dropping the caller's reference.
void RegisterGlobalFunction(const orn_char *name, iORNDispatch2 *object);

// Deletes the global member `name`; nothing happens without a global object.
void RemoveGlobalFunction(const orn_char *name);
