#include "hostapi/transition.h"
