#include "skin/paint/sBorders.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "skin/data/sSkinData.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sPixelRows.h"

bool TsRegion::Contains(std::int32_t X, std::int32_t Y) const {
  auto inside = [X, Y](const TRect& r) { return X >= r.Left && X < r.Right && Y >= r.Top && Y < r.Bottom; };
  bool in = inside(bounds_);
  for (const TPiece& piece : pieces_)
    if (inside(piece.Rect)) in = piece.Xor ? !in : false;
  return in;
}

TsCornerSizes CornerSizes(std::int32_t W, std::int32_t H, std::int32_t Wp, std::int32_t Hp, std::int32_t BorderWidth) {
  // Below two tiles the destination is halved, the odd pixel going to the right or bottom.
  const bool halveW = W < 2 * Wp, halveH = H < 2 * Hp;
  TsCornerSizes c;
  c.LeftW = halveW ? W / 2 : Wp;
  c.TopH = halveH ? H / 2 : Hp;
  if (BorderWidth != 0) {
    c.LeftW = std::min(c.LeftW, BorderWidth);
    c.TopH = std::min(c.TopH, BorderWidth);
  }
  c.RightW = c.LeftW + (halveW && W % 2 != 0 ? 1 : 0);
  c.BottomH = c.TopH + (halveH && H % 2 != 0 ? 1 : 0);
  return c;
}

namespace {

using spaint::PixelKey;
using spaint::PixelKeyOf;

// Where the frame of the state lies in its source picture, and how it is cut.
struct TFrame {
  TPixelView Src;
  bool Own = false;         // a three-state picture of its own (always image over mask)
  std::int32_t X = 0, Y = 0;  // the frame's top-left corner in Src
  std::int32_t W = 0, H = 0;  // frame width, height of its picture part
  std::int32_t Wp = 0, Hp = 0;  // tile size
  std::int32_t MaskOffset = 0;  // rows from an image row to its mask row
};

TFrame OwnFrame(const TPixelView& pic, std::int32_t s) {
  TFrame f;
  f.Src = pic;
  f.Own = true;
  f.Wp = pic.Width / 9;
  f.Hp = pic.Height / 6;
  f.X = s * f.Wp * 3;  // no clamping: the picture always has three frames
  f.W = pic.Width / 3;
  f.H = pic.Height / 2;
  f.MaskOffset = pic.Height / 2;
  return f;
}

// A frame of the master bitmap; `packedOffset` places frame s at 3 * Wp * s rather than at
// WidthOf(R) * s div ImageCount (the region painter's way).
TFrame MasterFrame(const TsMaskData& m, std::int32_t s, bool packedOffset) {
  TFrame f;
  f.Src = MasterBitmap->View();
  const std::int32_t count = m.ImageCount, rows = m.MaskType + 1;
  s = std::clamp(s, 0, count - 1);
  f.Wp = WidthOf(m.R) / (count * 3);
  f.Hp = HeightOf(m.R) / (rows * 3);
  f.X = m.R.Left + (packedOffset ? 3 * f.Wp * s : WidthOf(m.R) * s / count);
  f.Y = m.R.Top;
  f.W = WidthOf(m.R) / count;
  f.H = HeightOf(m.R) / rows;
  f.MaskOffset = HeightOf(m.R) / 2;
  return f;
}

// Band: a tile of the top or bottom side; Side: one of the left or right side.
enum class TPieceKind { Corner, Side, Band, Centre };

// Where the repeated pieces start and end: masked borders start a whole tile in and end a tile
// before the far edge; key-coloured ones start after the near corner and end that corner's size
// before the far edge.
struct TWalk {
  std::int32_t X0 = 0, Y0 = 0;
  std::int32_t XEnd = 0;     // top, bottom and centre columns
  std::int32_t YEndSide = 0;  // left and right sides
  std::int32_t YEndCentre = 0;
};

TWalk TileWalk(const TRect& d, const TFrame& f) {
  return {d.Left + f.Wp, d.Top + f.Hp, d.Right - f.Wp, d.Bottom - f.Hp, d.Bottom - f.Hp};
}
TWalk CornerWalk(const TRect& d, const TsCornerSizes& c) {
  return {d.Left + c.LeftW, d.Top + c.TopH, d.Right - c.LeftW, d.Bottom - c.TopH, d.Bottom - c.TopH};
}

// Whole tiles from pos while pos is below farEdge minus two tiles, then one piece cut to end.
template <class Emit>
void TileRun(std::int32_t pos, std::int32_t farEdge, std::int32_t tile, std::int32_t end, Emit&& emit) {
  if (tile <= 0) return;  // a mask too small for tiles repeats nothing
  while (pos < farEdge - 2 * tile) {
    emit(pos, tile);
    pos += tile;
  }
  if (pos < end) emit(pos, end - pos);
}

// Calls copy(destination, source, kind) for the nine-slice pieces in drawing order: top-left,
// left side, top side, bottom-left, bottom side, bottom-right, top-right, right side, centre.
template <class Copy>
void WalkPieces(const TRect& d, const TFrame& f, const TsCornerSizes& c, const TWalk& w, bool filling, Copy&& copy) {
  const std::int32_t fx = f.X, fy = f.Y, wp = f.Wp, hp = f.Hp;
  const std::int32_t bottomRow = fy + f.H - c.BottomH;  // first source row of the bottom pieces
  copy(TRect{d.Left, d.Top, d.Left + c.LeftW, d.Top + c.TopH}, TRect{fx, fy, fx + c.LeftW, fy + c.TopH},
       TPieceKind::Corner);
  TileRun(w.Y0, d.Bottom, hp, w.YEndSide, [&](std::int32_t y, std::int32_t len) {
    copy(TRect{d.Left, y, d.Left + c.LeftW, y + len}, TRect{fx, fy + hp, fx + c.LeftW, fy + hp + len}, TPieceKind::Side);
  });
  TileRun(w.X0, d.Right, wp, w.XEnd, [&](std::int32_t x, std::int32_t len) {
    copy(TRect{x, d.Top, x + len, d.Top + c.TopH}, TRect{fx + wp, fy, fx + wp + len, fy + c.TopH}, TPieceKind::Band);
  });
  copy(TRect{d.Left, d.Bottom - c.BottomH, d.Left + c.LeftW, d.Bottom},
       TRect{fx, bottomRow, fx + c.LeftW, bottomRow + c.BottomH}, TPieceKind::Corner);
  TileRun(w.X0, d.Right, wp, w.XEnd, [&](std::int32_t x, std::int32_t len) {
    copy(TRect{x, d.Bottom - c.BottomH, x + len, d.Bottom}, TRect{fx + wp, bottomRow, fx + wp + len, bottomRow + c.BottomH},
         TPieceKind::Band);
  });
  const std::int32_t rightCol = fx + f.W - c.RightW;  // first source column of the right corners
  copy(TRect{d.Right - c.RightW, d.Bottom - c.BottomH, d.Right, d.Bottom},
       TRect{rightCol, bottomRow, rightCol + c.RightW, bottomRow + c.BottomH}, TPieceKind::Corner);
  copy(TRect{d.Right - c.RightW, d.Top, d.Right, d.Top + c.TopH}, TRect{rightCol, fy, rightCol + c.RightW, fy + c.TopH},
       TPieceKind::Corner);
  const std::int32_t rightSide = fx + 3 * wp - c.RightW;  // the last columns of tile (2, 1)
  TileRun(w.Y0, d.Bottom, hp, w.YEndSide, [&](std::int32_t y, std::int32_t len) {
    copy(TRect{d.Right - c.RightW, y, d.Right, y + len}, TRect{rightSide, fy + hp, rightSide + c.RightW, fy + hp + len},
         TPieceKind::Side);
  });
  if (!filling) return;
  TileRun(w.Y0, d.Bottom, hp, w.YEndCentre, [&](std::int32_t y, std::int32_t rows) {
    TileRun(w.X0, d.Right, wp, w.XEnd, [&](std::int32_t x, std::int32_t cols) {
      copy(TRect{x, y, x + cols, y + rows}, TRect{fx + wp, fy + hp, fx + wp + cols, fy + hp + rows}, TPieceKind::Centre);
    });
  });
}

// An opaque copy of SR to DR's top-left corner, cut to both pictures.
void OpaqueCopy(const TPixelView& dst, const TRect& dr, const TPixelView& src, const TRect& sr) {
  const std::int32_t cutX = std::max({0, -dr.Left, -sr.Left}), cutY = std::max({0, -dr.Top, -sr.Top});
  const std::int32_t cols = std::min({WidthOf(sr), WidthOf(dr), dst.Width - dr.Left, src.Width - sr.Left}) - cutX;
  const std::int32_t rows = std::min({HeightOf(sr), HeightOf(dr), dst.Height - dr.Top, src.Height - sr.Top}) - cutY;
  if (cols <= 0 || rows <= 0) return;
  for (std::int32_t i = 0; i < rows; ++i)
    std::memcpy(dst.Pixel(dr.Left + cutX, dr.Top + cutY + i), src.Pixel(sr.Left + cutX, sr.Top + cutY + i),
                3 * static_cast<std::size_t>(cols));
}

// A key-coloured corner: CopyTransRect takes its source rectangle inclusive.
void KeyedCopy(const TPixelView& dst, const TRect& dr, const TPixelView& src, const TRect& sr, const TCacheInfo& ci) {
  if (WidthOf(sr) <= 0 || HeightOf(sr) <= 0) return;
  CopyTransRect(dst, src, dr.Left, dr.Top, {sr.Left, sr.Top, sr.Right - 1, sr.Bottom - 1}, clFuchsia, ci);
}

// The region painter's piece copy: key-coloured pixels are holes, left unchanged in the picture
// and cut out of the region (one rectangle per run of a row); the others are mixed through the mask.
void HolePiece(const TPixelView& bmp, const TRect& dr, const TRect& sr, const TFrame& f, TsRegion& rgn) {
  spaint::TMaskedArea a;
  if (!spaint::ClipMaskedCopy(dr, sr, bmp, f.Src, f.MaskOffset, a)) return;
  static const spaint::TKeyPattern kKey(PixelKeyOf(clFuchsia));
  for (std::int32_t i = 0; i < a.Rows; ++i) {
    const std::int32_t y = a.DR.Top + i;
    std::uint8_t* d = bmp.Pixel(a.DR.Left, y);
    const std::uint8_t* s = f.Src.Pixel(a.SR.Left, a.SR.Top + i);
    const std::uint8_t* m = f.Src.Pixel(a.SR.Left, a.SR.Top + i + f.MaskOffset);
    spaint::MixRowSkippingKey(d, s, m, a.Cols, kKey, [&](std::int32_t j0, std::int32_t j1) {
      rgn.Remove({a.DR.Left + j0, y, a.DR.Left + j1, y + 1}, j1 < a.Cols);  // Xor unless it ends the row
    });
  }
}

// Tiles of a masked border in one pass per destination row: the row's tiles are laid side by
// side into one source row (and mask row), composed once per tile row, and mixed over the whole
// span at once. The tiles of row band (top, height) start at source row sy, every column tile at
// source column sx. The same pixels as piece by piece, since the pieces neither overlap nor leave
// gaps. False (nothing drawn) when a piece would reach outside its picture; the caller then draws
// the pieces one by one.
using TSpans = std::vector<std::pair<std::int32_t, std::int32_t>>;  // (start, length)

bool DrawTiled(const TPixelView& bmp, const TFrame& f, const TSpans& cols, const TSpans& rows, std::int32_t sx,
               std::int32_t sy) {
  if (cols.empty() || rows.empty()) return true;
  std::int32_t widest = 0, tallest = 0;
  for (const auto& c : cols) widest = std::max(widest, c.second);
  for (const auto& r : rows) tallest = std::max(tallest, r.second);
  if (sx < 0 || sy < 0 || sx + widest > f.Src.Width || sy + tallest + f.MaskOffset > f.Src.Height) return false;
  const std::int32_t spanLeft = cols.front().first, spanRight = cols.back().first + cols.back().second;
  const std::int32_t left = std::max(spanLeft, 0), right = std::min(spanRight, bmp.Width);
  if (right <= left) return true;
  const std::size_t spanBytes = 3 * static_cast<std::size_t>(spanRight - spanLeft);
  // Composed image and mask rows, one pair per row of the tile, made when first needed (so left
  // uninitialised: the tiles cover each row without gaps).
  const auto composed = std::make_unique_for_overwrite<std::uint8_t[]>(2 * spanBytes * static_cast<std::size_t>(tallest));
  // The runs of pixels to mix in each composed row (all of it for an own picture, the runs
  // between key pixels otherwise), found once per tile row; empty until the row is made.
  std::vector<TSpans> mixRuns(static_cast<std::size_t>(tallest));
  std::vector<bool> made(static_cast<std::size_t>(tallest), false);
  static const spaint::TKeyPattern kKey(PixelKeyOf(clFuchsia));
  const std::size_t skip = 3 * static_cast<std::size_t>(left - spanLeft);
  for (const auto& [top, height] : rows)
    for (std::int32_t r = 0; r < height; ++r) {
      const std::int32_t y = top + r;
      if (y < 0 || y >= bmp.Height) continue;
      std::uint8_t* image = composed.get() + 2 * spanBytes * static_cast<std::size_t>(r);
      std::uint8_t* mask = image + spanBytes;
      TSpans& runs = mixRuns[static_cast<std::size_t>(r)];
      if (!made[static_cast<std::size_t>(r)]) {
        for (const auto& [x, n] : cols) {
          const std::size_t at = 3 * static_cast<std::size_t>(x - spanLeft), len = 3 * static_cast<std::size_t>(n);
          std::memcpy(image + at, f.Src.Pixel(sx, sy + r), len);
          std::memcpy(mask + at, f.Src.Pixel(sx, sy + r + f.MaskOffset), len);
        }
        if (f.Own)
          runs.emplace_back(0, right - left);
        else
          spaint::ForEachKeyRun(image + skip, right - left, kKey, [&](std::int32_t j0, std::int32_t j1, bool isKey) {
            if (!isKey) runs.emplace_back(j0, j1);
          });
        made[static_cast<std::size_t>(r)] = true;
      }
      std::uint8_t* dst = bmp.Pixel(left, y);
      for (const auto& [j0, j1] : runs) {
        const std::size_t at = 3 * static_cast<std::size_t>(j0);
        spaint::MixRowsByMask(dst + at, image + skip + at, mask + skip + at, 3 * static_cast<std::size_t>(j1 - j0));
      }
    }
  return true;
}

TSpans ColumnTiles(const TRect& d, const TFrame& f, const TWalk& w) {
  TSpans cols;
  TileRun(w.X0, d.Right, f.Wp, w.XEnd, [&](std::int32_t x, std::int32_t n) { cols.emplace_back(x, n); });
  return cols;
}

bool DrawTiledCentre(const TPixelView& bmp, const TRect& d, const TFrame& f, const TWalk& w) {
  TSpans rows;
  TileRun(w.Y0, d.Bottom, f.Hp, w.YEndCentre, [&](std::int32_t y, std::int32_t n) { rows.emplace_back(y, n); });
  return DrawTiled(bmp, f, ColumnTiles(d, f, w), rows, f.X + f.Wp, f.Y + f.Hp);
}

// Side pieces as they are walked, with the top and bottom bands drawn whole when their first tile
// comes (in walking order, so a corner that takes its background from the picture itself sees the
// same pixels); the tiles of a band that could not be drawn whole are drawn one by one.
template <class Copy>
struct TBandedCopy {
  const TPixelView& bmp;
  const TRect& d;
  const TFrame& f;
  TWalk w;
  Copy copy;
  bool bandDrawn = false;

  void operator()(const TRect& dr, const TRect& sr, TPieceKind kind) {
    if (kind == TPieceKind::Band) {
      if (dr.Left == w.X0) bandDrawn = DrawTiled(bmp, f, ColumnTiles(d, f, w), {{dr.Top, HeightOf(dr)}}, sr.Left, sr.Top);
      if (bandDrawn) return;
    }
    copy(dr, sr, kind);
  }
};

void DrawSkinRectWith(const TPixelView& bmp, const TRect& d, bool filling, const TCacheInfo& ci, const TsMaskData& m,
                      std::int32_t s, bool small) {
  if (bmp.Empty() || WidthOf(d) < 2 || HeightOf(d) < 2) return;
  if (m.Bmp) {
    if (small) return;
    const TFrame f = OwnFrame(m.Bmp->View(), s);
    const TsCornerSizes c = CornerSizes(WidthOf(d), HeightOf(d), f.Wp, f.Hp, 0);
    auto pieceCopy = [&](const TRect& dr, const TRect& sr, TPieceKind kind) {
      CopyByMask(dr, sr, bmp, f.Src, kind == TPieceKind::Corner ? ci : EmptyCI);
    };
    WalkPieces(d, f, c, TileWalk(d, f), false, TBandedCopy<decltype(pieceCopy)>{bmp, d, f, TileWalk(d, f), pieceCopy});
    if (filling && !DrawTiledCentre(bmp, d, f, TileWalk(d, f)))
      WalkPieces(d, f, c, TileWalk(d, f), true, [&](const TRect& dr, const TRect& sr, TPieceKind kind) {
        if (kind == TPieceKind::Centre) CopyByMask(dr, sr, bmp, f.Src, EmptyCI);
      });
    return;
  }
  if (m.ImageCount <= 0 || !MasterBitmap || m.MaskType < 0) return;
  const TFrame f = MasterFrame(m, s, false);
  const TsCornerSizes c = CornerSizes(WidthOf(d), HeightOf(d), f.Wp, f.Hp, small ? 0 : m.BorderWidth);
  if (m.MaskType == 1) {
    auto copy = [&](const TRect& dr, const TRect& sr, TPieceKind kind) {
      CopyMasterRect(dr, sr, bmp, small || kind == TPieceKind::Corner ? ci : EmptyCI, m);
    };
    // Small items mix the background into the centre too; others draw it a row at a time.
    const bool tiledCentre = filling && !small;
    if (small)
      WalkPieces(d, f, c, TileWalk(d, f), filling, copy);
    else
      WalkPieces(d, f, c, TileWalk(d, f), filling && !tiledCentre, TBandedCopy<decltype(copy)>{bmp, d, f, TileWalk(d, f), copy});
    if (tiledCentre && !DrawTiledCentre(bmp, d, f, TileWalk(d, f)))
      WalkPieces(d, f, c, TileWalk(d, f), true, [&](const TRect& dr, const TRect& sr, TPieceKind kind) {
        if (kind == TPieceKind::Centre) copy(dr, sr, kind);
      });
    return;
  }
  // Key-coloured masks: keyed corners over opaque sides; no centre under a limited border.
  const bool centre = filling && (small || m.BorderWidth == 0);
  WalkPieces(d, f, c, CornerWalk(d, c), centre, [&](const TRect& dr, const TRect& sr, TPieceKind kind) {
    if (small || kind == TPieceKind::Corner)
      KeyedCopy(bmp, dr, f.Src, sr, ci);
    else
      OpaqueCopy(bmp, dr, f.Src, sr);
  });
}

void PaintBorderWithRegion(const TPixelView& bmp, TsRegion& rgn, bool filling, const TFrame& f, bool keyed) {
  const TRect d{0, 0, bmp.Width, bmp.Height};
  const TsCornerSizes c = CornerSizes(d.Right, d.Bottom, f.Wp, f.Hp, 0);
  WalkPieces(d, f, c, TileWalk(d, f), filling, [&](const TRect& dr, const TRect& sr, TPieceKind kind) {
    if (keyed)
      OpaqueCopy(bmp, dr, f.Src, sr);
    else if (f.Own && kind == TPieceKind::Centre)
      CopyByMask(dr, sr, bmp, f.Src, EmptyCI);
    else
      HolePiece(bmp, dr, sr, f, rgn);
  });
}

}  // namespace

void DrawSkinRect(const TPixelView& Bmp, TRect D, bool Filling, const TCacheInfo& CI, const TsMaskData& M,
                  std::int32_t S) {
  DrawSkinRectWith(Bmp, D, Filling, CI, M, S, false);
}

void DrawSmallSkinRect(const TPixelView& Bmp, TRect D, bool Filling, const TCacheInfo& CI, const TsMaskData& M,
                       std::int32_t S) {
  DrawSkinRectWith(Bmp, D, Filling, CI, M, S, true);
}

void PaintSkinBorder(const TPixelView& Bmp, TsRegion& Rgn, bool Filling, const TsMaskData& M, std::int32_t S) {
  if (Bmp.Empty()) return;
  if (M.Bmp) {
    PaintRasterBorder(Bmp, M.Bmp->View(), S, Rgn, clFuchsia, Filling);
    return;
  }
  if (!MasterBitmap || M.ImageCount <= 0 || M.MaskType < 0) return;
  PaintBorderWithRegion(Bmp, Rgn, Filling, MasterFrame(M, S, true), M.MaskType == 0);
}

void PaintRasterBorder(const TPixelView& Bmp, const TPixelView& Pic, std::int32_t S, TsRegion& Rgn, TColor,
                       bool Filling) {
  if (Bmp.Empty() || Pic.Empty() || Bmp.Width < 3 || Bmp.Height < 3) return;
  PaintBorderWithRegion(Bmp, Rgn, Filling, OwnFrame(Pic, S), false);
}
