#include "skin/paint/win/sGraphUtilsWin.h"

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

struct TDCDeleter {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
using TMemoryDC = std::unique_ptr<std::remove_pointer_t<HDC>, TDCDeleter>;

}  // namespace

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

void FadeRect(HDC Canvas, TRect R, HDC DC, TPoint P, std::int32_t Blur, TColor C, std::int32_t Tr,
              TsShadowingShape Shape, std::int32_t Radius) {
  const std::int32_t w = WidthOf(R), h = HeightOf(R);
  if (w <= 0 || h <= 0) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;  // top-down, so that row 0 is the first in memory
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  // Declared in this order so that the context gives the bitmap back before either is deleted.
  TGdiObject bitmap(CreateDIBSection(DC, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || bits == nullptr) return;
  TMemoryDC memory(CreateCompatibleDC(DC));
  if (!memory) return;
  TSavedDC savedMemory(memory.get());
  SelectObject(memory.get(), bitmap.get());
  if (Tr > 0) BitBlt(memory.get(), 0, 0, w, h, Canvas, R.Left, R.Top, SRCCOPY);
  GdiFlush();
  const TPixelView view{w, h, DibRowBytes(w), static_cast<std::uint8_t*>(bits)};
  ShadowPixels(view, Blur, TsColor::FromColor(SystemColorToRGB(C)), Tr, Shape, Radius);
  TSavedDC saved(DC);
  BitBlt(DC, P.X, P.Y, w, h, memory.get(), 0, 0, SRCCOPY);
}
