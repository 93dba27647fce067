#include "skin/paint/sGraphUtilsWin.h"

#include <memory>
#include <type_traits>

#include "skin/paint/sGraphUtils.h"

namespace {

struct TGdiObjectDeleter {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using TGdiObject = std::unique_ptr<std::remove_pointer_t<HGDIOBJ>, TGdiObjectDeleter>;

// Saves the context's state and restores it, with everything selected meanwhile, at scope end.
class TSavedDC {
 public:
  explicit TSavedDC(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
  ~TSavedDC() {
    if (saved_ != 0) RestoreDC(dc_, saved_);
  }
  TSavedDC(const TSavedDC&) = delete;
  TSavedDC& operator=(const TSavedDC&) = delete;

 private:
  HDC dc_;
  int saved_;
};

COLORREF AsColorRef(TColor c) { return static_cast<COLORREF>(c); }

}  // namespace

TColor SystemColorToRGB(TColor Color) {
  if (Color >= 0) return Color;
  return static_cast<TColor>(GetSysColor(static_cast<int>(static_cast<std::uint32_t>(Color) & 0xFFu)));
}

void FillDC(HDC DC, const TRect& R, TColor C) {
  TGdiObject brush(CreateSolidBrush(AsColorRef(C)));
  if (!brush) return;
  TSavedDC saved(DC);
  const RECT rect{R.Left, R.Top, R.Right, R.Bottom};
  FillRect(DC, &rect, static_cast<HBRUSH>(brush.get()));
}

void DrawRectangleOnDC(HDC DC, TRect& R, TColor C1, TColor C2, std::int32_t& Width) {
  TGdiObject light(CreatePen(PS_SOLID, 1, AsColorRef(SystemColorToRGB(C1))));
  TGdiObject dark(CreatePen(PS_SOLID, 1, AsColorRef(C2)));
  if (!light || !dark) return;
  TSavedDC saved(DC);
  SelectObject(DC, GetStockObject(NULL_BRUSH));
  while (Width > 0) {
    const LONG right = R.Right - 1;
    const LONG bottom = R.Bottom - 1;
    // A polyline leaves its last point unpainted, so the two halves meet without overlap.
    const POINT topLeft[3] = {{R.Left, bottom}, {R.Left, R.Top}, {right, R.Top}};
    const POINT bottomRight[3] = {{right, R.Top}, {right, bottom}, {R.Left - 1, bottom}};
    SelectObject(DC, light.get());
    Polyline(DC, topLeft, 3);
    SelectObject(DC, dark.get());
    Polyline(DC, bottomRight, 3);
    R = {R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1};
    --Width;
  }
}
