#pragma once
// The border region as a platform region (Windows only).
#include <windows.h>

#include "skin/paint/sBorders.h"

// A new region handle (owned by the caller) for Rgn: its bounds with the removed pieces
// combined in the order they were removed. Null when the platform refuses.
HRGN CreateRegionHandle(const TsRegion& Rgn);
