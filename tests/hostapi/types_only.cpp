#include "hostapi/types.h"
