#pragma once
// A reference for the border tests: the nine-slice tiling rules followed literally, piece by
// piece, each piece copied pixel by pixel by the plain per-pixel rules.
#include <algorithm>
#include <functional>

#include "PixelTestUtil.h"
#include "skin/data/sSkinData.h"
#include "skin/paint/sGraphUtils.h"

namespace borderref {

using namespace pixeltest;

inline const TBgr kKey{255, 0, 255};

struct TRefFrame {
  TPixelView src;
  int fx, fy, fw, fh, wp, hp, mo;
};

inline bool In(const TPixelView& v, int x, int y) { return x >= 0 && y >= 0 && x < v.Width && y < v.Height; }

inline std::uint8_t MaskMix(int d, int s, int m) { return static_cast<std::uint8_t>((((d - s) * m + 256 * s) & 0xFFFF) >> 8); }

// One piece through its mask: key pixels take the background when there is one, else stay.
inline void RefMasked(TPixelView dst, TRect dr, TRect sr, const TRefFrame& f, const TCacheInfo* ci) {
  for (int i = 0; i < std::min(HeightOf(dr), HeightOf(sr)); ++i)
    for (int j = 0; j < std::min(WidthOf(dr), WidthOf(sr)); ++j) {
      const int dx = dr.Left + j, dy = dr.Top + i, sx = sr.Left + j, sy = sr.Top + i;
      if (!In(dst, dx, dy) || !In(f.src, sx, sy) || !In(f.src, sx, sy + f.mo)) continue;
      const TBgr s = At(f.src, sx, sy);
      if (s == kKey) {
        if (ci && ci->Ready && In(ci->Bmp, ci->X + dx, ci->Y + dy)) Put(dst, dx, dy, At(ci->Bmp, ci->X + dx, ci->Y + dy));
        continue;
      }
      const TBgr m = At(f.src, sx, sy + f.mo), d = At(dst, dx, dy);
      Put(dst, dx, dy, {MaskMix(d.B, s.B, m.B), MaskMix(d.G, s.G, m.G), MaskMix(d.R, s.R, m.R)});
    }
}

inline void RefKeyed(TPixelView dst, TRect dr, TRect sr, const TRefFrame& f, const TCacheInfo* ci, bool opaque) {
  for (int i = 0; i < std::min(HeightOf(dr), HeightOf(sr)); ++i)
    for (int j = 0; j < std::min(WidthOf(dr), WidthOf(sr)); ++j) {
      const int dx = dr.Left + j, dy = dr.Top + i, sx = sr.Left + j, sy = sr.Top + i;
      if (!In(dst, dx, dy) || !In(f.src, sx, sy)) continue;
      const TBgr s = At(f.src, sx, sy);
      if (opaque || !(s == kKey))
        Put(dst, dx, dy, s);
      else if (ci && ci->Ready && In(ci->Bmp, ci->X + dx, ci->Y + dy))
        Put(dst, dx, dy, At(ci->Bmp, ci->X + dx, ci->Y + dy));
    }
}

enum { kCorner, kSide, kCentre };
using TRefCopy = std::function<void(TRect dr, TRect sr, int kind)>;

// Corner sizes and the nine pieces in their order.
inline void RefNineSlice(TRect d, const TRefFrame& f, int borderWidth, bool tileStart, bool filling, const TRefCopy& copy) {
  const int w = WidthOf(d), h = HeightOf(d);
  int lw = f.wp, rw = f.wp, th = f.hp, bh = f.hp;
  bool halfW = false, halfH = false;
  if (w < 2 * f.wp) lw = w / 2, rw = w / 2 + w % 2, halfW = true;
  if (h < 2 * f.hp) th = h / 2, bh = h / 2 + h % 2, halfH = true;
  if (borderWidth != 0) {
    lw = std::min(lw, borderWidth);
    th = std::min(th, borderWidth);
    rw = lw + (halfW ? w % 2 : 0);
    bh = th + (halfH ? h % 2 : 0);
  }
  const int x0 = tileStart ? d.Left + f.wp : d.Left + lw, y0 = tileStart ? d.Top + f.hp : d.Top + th;
  const int xEnd = tileStart ? d.Right - f.wp : d.Right - lw, yEnd = tileStart ? d.Bottom - f.hp : d.Bottom - th;
  auto run = [](int pos, int far, int tile, int end, const std::function<void(int, int)>& emit) {
    for (; pos < far - 2 * tile; pos += tile) emit(pos, tile);
    if (pos < end) emit(pos, end - pos);
  };
  const int fx = f.fx, fy = f.fy;
  copy({d.Left, d.Top, d.Left + lw, d.Top + th}, {fx, fy, fx + lw, fy + th}, kCorner);
  run(y0, d.Bottom, f.hp, yEnd, [&](int y, int n) { copy({d.Left, y, d.Left + lw, y + n}, {fx, fy + f.hp, fx + lw, fy + f.hp + n}, kSide); });
  run(x0, d.Right, f.wp, xEnd, [&](int x, int n) { copy({x, d.Top, x + n, d.Top + th}, {fx + f.wp, fy, fx + f.wp + n, fy + th}, kSide); });
  copy({d.Left, d.Bottom - bh, d.Left + lw, d.Bottom}, {fx, fy + f.fh - bh, fx + lw, fy + f.fh}, kCorner);
  run(x0, d.Right, f.wp, xEnd, [&](int x, int n) {
    copy({x, d.Bottom - bh, x + n, d.Bottom}, {fx + f.wp, fy + f.fh - bh, fx + f.wp + n, fy + f.fh}, kSide);
  });
  copy({d.Right - rw, d.Bottom - bh, d.Right, d.Bottom}, {fx + f.fw - rw, fy + f.fh - bh, fx + f.fw, fy + f.fh}, kCorner);
  copy({d.Right - rw, d.Top, d.Right, d.Top + th}, {fx + f.fw - rw, fy, fx + f.fw, fy + th}, kCorner);
  run(y0, d.Bottom, f.hp, yEnd, [&](int y, int n) {
    copy({d.Right - rw, y, d.Right, y + n}, {fx + 3 * f.wp - rw, fy + f.hp, fx + 3 * f.wp, fy + f.hp + n}, kSide);
  });
  if (!filling) return;
  run(y0, d.Bottom, f.hp, yEnd, [&](int y, int rows) {
    run(x0, d.Right, f.wp, xEnd, [&](int x, int cols) {
      copy({x, y, x + cols, y + rows}, {fx + f.wp, fy + f.hp, fx + f.wp + cols, fy + f.hp + rows}, kCentre);
    });
  });
}

inline TRefFrame RefMasterFrame(const TsMaskData& m, int state, bool packed) {
  const int count = m.ImageCount, rows = m.MaskType + 1;
  state = std::min(state, count - 1);
  const int wp = WidthOf(m.R) / (count * 3), hp = HeightOf(m.R) / (rows * 3);
  return {MasterBitmap->View(), m.R.Left + (packed ? 3 * wp * state : WidthOf(m.R) * state / count), m.R.Top,
          WidthOf(m.R) / count, HeightOf(m.R) / rows, wp, hp, HeightOf(m.R) / 2};
}

inline void RefDrawSkinRect(TPixelView bmp, TRect d, bool filling, const TCacheInfo& ci, const TsMaskData& m, int state) {
  const TRefFrame f = RefMasterFrame(m, state, false);
  if (m.MaskType == 1) {
    RefNineSlice(d, f, m.BorderWidth, true, filling, [&](TRect dr, TRect sr, int kind) {
      RefMasked(bmp, dr, sr, f, kind == kCorner ? &ci : nullptr);
    });
  } else {
    RefNineSlice(d, f, m.BorderWidth, false, filling && m.BorderWidth == 0, [&](TRect dr, TRect sr, int kind) {
      RefKeyed(bmp, dr, sr, f, &ci, kind != kCorner);
    });
  }
}

}  // namespace borderref
