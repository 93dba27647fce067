#pragma once
// The border region as a platform region (Windows only).
#include <windows.h>

#include "framework/win/Gdi.h"
#include "skin/paint/sBorders.h"

// A new region for Rgn: its bounds with the removed pieces combined in the order they were
// removed. Empty when the platform refuses.
TRegionHandle CreateRegionHandle(const TsRegion& Rgn);
