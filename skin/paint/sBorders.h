#pragma once
// Borders drawn from masks by nine-slice tiling: the frame of the control's state is cut into
// 3 x 3 tiles; corners are placed once, sides and centre are repeated (never scaled), the last
// repetition cut to fit. Masks come from the master bitmap (a rectangle R with ImageCount frames
// side by side, with or without a grey mask below) or from a three-state picture of their own.
#include <cstdint>
#include <vector>

#include "framework/core/Geometry.h"
#include "framework/core/PixelView.h"
#include "skin/paint/sGraphUtils.h"

struct TsMaskData;

// A window region under construction: a rectangle from which one-row pieces are removed. The
// Windows side turns it into a region handle by replaying the pieces in order.
class TsRegion {
 public:
  struct TPiece {
    TRect Rect;
    bool Xor;  // combined by exclusive-or; otherwise by difference
    friend bool operator==(const TPiece&, const TPiece&) = default;
  };
  explicit TsRegion(TRect Bounds) : bounds_(Bounds) {}
  void Remove(TRect Piece, bool Xor) { pieces_.push_back({Piece, Xor}); }
  TRect Bounds() const { return bounds_; }
  const std::vector<TPiece>& Pieces() const { return pieces_; }
  // Whether the pixel (X, Y) is in the region, replaying the pieces (slow; for checks).
  bool Contains(std::int32_t X, std::int32_t Y) const;
  // The same bounds and pieces in the same order: the same region, built the same way.
  friend bool operator==(const TsRegion&, const TsRegion&) = default;

 private:
  TRect bounds_;
  std::vector<TPiece> pieces_;
};

// Corner sizes of a nine-slice border over a W x H destination with tiles of Wp x Hp.
struct TsCornerSizes {
  std::int32_t LeftW = 0, RightW = 0, TopH = 0, BottomH = 0;
  friend bool operator==(const TsCornerSizes&, const TsCornerSizes&) = default;
};
// BorderWidth 0 means no limit.
TsCornerSizes CornerSizes(std::int32_t W, std::int32_t H, std::int32_t Wp, std::int32_t Hp, std::int32_t BorderWidth);

// Nine-slice border of state S over D; the centre too when Filling. Corners see the caller's CI
// (key pixels take the background), sides and centre never do.
void DrawSkinRect(const TPixelView& Bmp, TRect D, bool Filling, const TCacheInfo& CI, const TsMaskData& M,
                  std::int32_t S);
// The same for small items: no BorderWidth limit, every piece sees CI; own pictures draw nothing.
void DrawSmallSkinRect(const TPixelView& Bmp, TRect D, bool Filling, const TCacheInfo& CI, const TsMaskData& M,
                       std::int32_t S);
// Nine-slice border over the whole picture; key-coloured pixels of masked pieces are left as
// they are and removed from Rgn, so that they show the parent through the window region.
void PaintSkinBorder(const TPixelView& Bmp, TsRegion& Rgn, bool Filling, const TsMaskData& M, std::int32_t S);
// PaintSkinBorder with a separate three-state picture (image over mask). Key is not consulted.
void PaintRasterBorder(const TPixelView& Bmp, const TPixelView& Pic, std::int32_t S, TsRegion& Rgn, TColor Key,
                       bool Filling);
