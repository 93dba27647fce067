#include "skin/paint/win/sBordersWin.h"

TRegionHandle CreateRegionHandle(const TsRegion& Rgn) {
  const TRect b = Rgn.Bounds();
  TRegionHandle region(CreateRectRgn(b.Left, b.Top, b.Right, b.Bottom));
  if (!region) return region;
  for (const TsRegion::TPiece& piece : Rgn.Pieces()) {
    TRegionHandle part(CreateRectRgn(piece.Rect.Left, piece.Rect.Top, piece.Rect.Right, piece.Rect.Bottom));
    if (!part) return TRegionHandle();
    CombineRgn(region.Get(), region.Get(), part.Get(), piece.Xor ? RGN_XOR : RGN_DIFF);
  }
  return region;
}
