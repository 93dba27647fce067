#include "skin/paint/win/sText.h"

#include <array>

#include "framework/win/Gdi.h"
#include "framework/win/Text.h"
#include "skin/data/sSkinData.h"
#include "skin/paint/sTextLayout.h"

static_assert(kTextCenter == DT_CENTER && kTextRight == DT_RIGHT && kTextWordBreak == DT_WORDBREAK,
              "the layout's flags are the platform's");

namespace {

constexpr TColor kCl3DLight = static_cast<TColor>(0x80000016);

TRect Moved(const TRect& r, std::int32_t dx, std::int32_t dy) {
  return TRect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

// The layout step: the box to draw into, R fitted unless the text wraps.
template <class Measure>
TRect LayOut(TRect& R, UINT Flags, Measure measure) {
  if (!FitsTextRect(Flags)) return R;
  const SIZE size = measure();
  return FitTextRect(R, static_cast<std::int32_t>(size.cx), static_cast<std::int32_t>(size.cy), Flags);
}

// One DrawText call on the canvas into a copy of the box (DrawText may write back into it).
void DrawAt(TCanvas& canvas, std::string_view text, TRect box, UINT flags) { canvas.DrawText(text, box, flags); }

void DrawOnDC(HDC dc, const std::wstring& text, const TRect& box, UINT flags) {
  RECT r{box.Left, box.Top, box.Right, box.Bottom};
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
}

void DrawEmbossed(TCanvas& canvas, std::string_view text, const TRect& box, UINT flags) {
  canvas.Font().SetColor(clBtnHighlight);
  DrawAt(canvas, text, Moved(box, 1, 1), flags);
  canvas.Font().SetColor(clBtnShadow);
  DrawAt(canvas, text, box, flags);
}

}  // namespace

void WriteTextEx(TCanvas& Canvas, std::string_view Text, bool Enabled, TRect& R, UINT Flags, std::int32_t SkinIndex,
                 bool Hot) {
  const TRect box = LayOut(R, Flags, [&] { return Canvas.TextExtent(Text); });
  Canvas.SetBrushStyle(TBrushStyle::bsClear);
  if (Text.empty()) return;
  if (!Enabled) {
    DrawEmbossed(Canvas, Text, box, Flags);
    return;
  }
  if (!IsValidSkinIndex(SkinIndex)) {
    DrawAt(Canvas, Text, box, Flags);
    return;
  }
  const TsGeneralData& section = gd[static_cast<std::size_t>(SkinIndex)];
  struct Outline {
    TColor Color;
    std::int32_t Dx, Dy;
  };
  const std::array<Outline, 4> outlines =
      Hot ? std::array<Outline, 4>{{{section.HotTCLeft, -1, 0},
                                    {section.HotTCTop, 0, -1},
                                    {section.HotTCRight, 1, 0},
                                    {section.HotTCBottom, 0, 1}}}
          : std::array<Outline, 4>{
                {{section.TCLeft, -1, 0}, {section.TCTop, 0, -1}, {section.TCRight, 1, 0}, {section.TCBottom, 0, 1}}};
  for (const Outline& outline : outlines) {
    if (outline.Color == -1) continue;
    Canvas.Font().SetColor(outline.Color);
    DrawAt(Canvas, Text, Moved(box, outline.Dx, outline.Dy), Flags);
  }
  Canvas.Font().SetColor(Hot ? section.HotFontColor : section.FontColor);
  DrawAt(Canvas, Text, box, Flags);
}

void WriteText(TCanvas& Canvas, std::string_view Text, bool Enabled, TRect& R, UINT Flags) {
  const TRect box = LayOut(R, Flags, [&] { return Canvas.TextExtent(Text); });
  Canvas.SetBrushStyle(TBrushStyle::bsClear);
  if (Text.empty()) return;
  if (Enabled)
    DrawAt(Canvas, Text, box, Flags);
  else
    DrawEmbossed(Canvas, Text, box, Flags);
}

void WriteTextOnDC(HDC DC, std::string_view Text, bool Enabled, TRect& R, UINT Flags) {
  const std::wstring wide = Widen(Text);
  const TRect box = LayOut(R, Flags, [&] {
    SIZE size{0, 0};
    GetTextExtentPoint32W(DC, wide.c_str(), static_cast<int>(wide.size()), &size);
    return size;
  });
  if (wide.empty()) return;
  if (!Enabled) DrawOnDC(DC, wide, Moved(box, 1, 1), Flags);
  DrawOnDC(DC, wide, box, Flags);
}

std::string CutText(TCanvas& Canvas, std::string_view Text, std::int32_t MaxWidth) {
  return CutTextToWidth(Text, MaxWidth, [&](std::string_view s) { return Canvas.TextWidth(s); });
}

std::int32_t GetFontHeight(HFONT Font) {
  TWindowDC screen(nullptr);
  TSelectObject select(screen.Get(), Font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(screen.Get(), &metrics);
  return static_cast<std::int32_t>(metrics.tmHeight) + 6;
}

SIZE GetStringSize(HFONT Font, std::string_view Text) {
  TWindowDC screen(nullptr);
  if (!screen.Get()) return SIZE{0, 0};
  TSelectObject select(screen.Get(), Font);
  const std::wstring wide = Widen(Text);
  SIZE size{0, 0};
  if (!GetTextExtentPoint32W(screen.Get(), wide.c_str(), static_cast<int>(wide.size()), &size)) return SIZE{0, 0};
  return size;
}

void FocusRect(TCanvas& Canvas, TRect R) {
  const HDC dc = Canvas.Handle();
  if (!dc) return;
  const COLORREF black = RGB(0, 0, 0), white = RGB(255, 255, 255);
  for (std::int32_t i = 0; i <= WidthOf(R) / 3; ++i) {
    const std::int32_t x = R.Left + 3 * i;
    SetPixel(dc, x, R.Top, black);
    SetPixel(dc, x, R.Bottom, black);
    SetPixel(dc, x - 1, R.Top - 1, white);
    SetPixel(dc, x - 1, R.Bottom - 1, white);
  }
  for (std::int32_t j = 0; j <= HeightOf(R) / 3; ++j) {
    const std::int32_t y = R.Top + 3 * j;
    SetPixel(dc, R.Left, y, black);
    SetPixel(dc, R.Right, y, black);
    SetPixel(dc, R.Left - 1, y - 1, white);
    SetPixel(dc, R.Right - 1, y - 1, white);
  }
}

namespace {

// The check mark's outline in R.
std::array<POINT, 6> CheckPoints(TRect r) {
  const std::int32_t margin = WidthOf(r) / 8;
  r = TRect{r.Left + margin + 1, r.Top + margin + 1, r.Right - margin, r.Bottom - margin};
  const std::int32_t h = HeightOf(r), t = h / 3, q = h / 4;
  return {{{r.Left, r.Bottom - t - 2},
           {r.Left + t, r.Bottom - 2},
           {r.Right - 2, r.Top + t},
           {r.Right - 2, r.Top + t - q},
           {r.Left + t, r.Bottom - q - 2},
           {r.Left + q, r.Bottom - t - 2}}};
}

void SolidPolygon(HDC dc, const std::array<POINT, 6>& points, TColor color) {
  const COLORREF rgb = ColorToRGB(color);
  TPenHandle pen(CreatePen(PS_SOLID, 1, rgb));
  TBrushHandle brush(CreateSolidBrush(rgb));
  if (!pen || !brush) return;
  TSelectObject selectPen(dc, pen.Get());
  TSelectObject selectBrush(dc, brush.Get());
  Polygon(dc, points.data(), static_cast<int>(points.size()));
}

}  // namespace

void PaintCheck(TCanvas& Canvas, TRect R, bool Enabled, TColor C) {
  const HDC dc = Canvas.Handle();
  if (!dc) return;
  TSavedDC saved(dc);
  SetPolyFillMode(dc, ALTERNATE);
  if (Enabled) {
    SolidPolygon(dc, CheckPoints(R), C);
    return;
  }
  SolidPolygon(dc, CheckPoints(Moved(R, 1, 1)), kCl3DLight);
  SolidPolygon(dc, CheckPoints(R), clBtnShadow);
}
