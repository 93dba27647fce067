#include "skin/paint/win/sBordersWin.h"

HRGN CreateRegionHandle(const TsRegion& Rgn) {
  const TRect b = Rgn.Bounds();
  HRGN region = CreateRectRgn(b.Left, b.Top, b.Right, b.Bottom);
  if (region == nullptr) return nullptr;
  for (const TsRegion::TPiece& piece : Rgn.Pieces()) {
    HRGN part = CreateRectRgn(piece.Rect.Left, piece.Rect.Top, piece.Rect.Right, piece.Rect.Bottom);
    if (part == nullptr) {
      DeleteObject(region);
      return nullptr;
    }
    CombineRgn(region, region, part, piece.Xor ? RGN_XOR : RGN_DIFF);
    DeleteObject(part);
  }
  return region;
}
