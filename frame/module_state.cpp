#include "frame/module_state.h"

iZANFunctionLookup *functionLookup = nullptr;
orn_int scriptObjectRefTotal = 0;
