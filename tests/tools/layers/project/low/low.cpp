#include "low/low.h"

int Low() { return 1; }
