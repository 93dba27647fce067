#include "skin/paint/win/sGraphUtilsWin.h"

#include "framework/win/Gdi.h"
#include "skin/paint/sGraphUtils.h"

namespace {

COLORREF AsColorRef(TColor c) { return static_cast<COLORREF>(c); }

}  // namespace

void FillDC(HDC DC, const TRect& R, TColor C) {
  TBrushHandle brush(CreateSolidBrush(AsColorRef(C)));
  if (!brush) return;
  TSavedDC saved(DC);
  const RECT rect{R.Left, R.Top, R.Right, R.Bottom};
  FillRect(DC, &rect, brush.Get());
}

void DrawRectangleOnDC(HDC DC, TRect& R, TColor C1, TColor C2, std::int32_t& Width) {
  TPenHandle light(CreatePen(PS_SOLID, 1, AsColorRef(SystemColorToRGB(C1))));
  TPenHandle dark(CreatePen(PS_SOLID, 1, AsColorRef(C2)));
  if (!light || !dark) return;
  TSavedDC saved(DC);
  SelectObject(DC, GetStockObject(NULL_BRUSH));
  while (Width > 0) {
    const LONG right = R.Right - 1;
    const LONG bottom = R.Bottom - 1;
    // A polyline leaves its last point unpainted, so the two halves meet without overlap.
    const POINT topLeft[3] = {{R.Left, bottom}, {R.Left, R.Top}, {right, R.Top}};
    const POINT bottomRight[3] = {{right, R.Top}, {right, bottom}, {R.Left - 1, bottom}};
    SelectObject(DC, light.Get());
    Polyline(DC, topLeft, 3);
    SelectObject(DC, dark.Get());
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
  TBitmapHandle bitmap(CreateDIBSection(DC, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || bits == nullptr) return;
  TMemoryDC memory(DC);
  if (memory.Get() == nullptr) return;
  TSelectObject selected(memory.Get(), bitmap.Get());
  if (Tr > 0) BitBlt(memory.Get(), 0, 0, w, h, Canvas, R.Left, R.Top, SRCCOPY);
  GdiFlush();
  const TPixelView view{w, h, DibRowBytes(w), static_cast<std::uint8_t*>(bits)};
  ShadowPixels(view, Blur, TsColor::FromColor(SystemColorToRGB(C)), Tr, Shape, Radius);
  TSavedDC saved(DC);
  BitBlt(DC, P.X, P.Y, w, h, memory.Get(), 0, 0, SRCCOPY);
}
