#include "hostapi/dispatch.h"
