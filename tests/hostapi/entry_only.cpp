#include "hostapi/entry.h"
