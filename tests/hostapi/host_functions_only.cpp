#include "hostapi/host_functions.h"
