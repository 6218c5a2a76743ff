#include "hostapi/function_lookup.h"
