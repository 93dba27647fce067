#include "framework/win/Graphics.h"

#include <array>
#include <cstring>
#include <utility>

#include "framework/win/Reader.h"
#include "framework/win/Text.h"

COLORREF ColorToRGB(TColor color) {
  if (color < 0) return GetSysColor(color & 0xFF);
  return static_cast<COLORREF>(color) & 0x00FFFFFF;
}

std::optional<TColor> IdentToColor(std::string_view name) {
  static constexpr std::array<std::pair<std::string_view, TColor>, 24> kNames{{
      {"clBlack", clBlack}, {"clWhite", clWhite}, {"clRed", clRed}, {"clBlue", clBlue},
      {"clGreen", clGreen}, {"clNavy", clNavy}, {"clGray", clGray}, {"clSilver", clSilver},
      {"clYellow", clYellow}, {"clLime", clLime}, {"clMaroon", clMaroon}, {"clFuchsia", clFuchsia},
      {"clNone", clNone}, {"clBtnFace", clBtnFace}, {"clBtnShadow", clBtnShadow},
      {"clBtnHighlight", clBtnHighlight}, {"clHighlight", clHighlight}, {"clWindowText", clWindowText},
      {"clWindow", clWindow}, {"clGrayText", clGrayText}, {"clBtnText", clBtnText},
      {"clAqua", 0x00FFFF00}, {"clTeal", 0x00808000}, {"clPurple", 0x00800080},
  }};
  for (const auto& [ident, color] : kNames)
    if (ident == name) return color;
  return std::nullopt;
}

// ---------------------------------------------------------------------------------------------
// TFont

TFont::TFont() = default;

void TFont::Changed() {
  handle_.Reset();
  if (OnChange) OnChange();
}

void TFont::SetName(std::string name) {
  if (name == name_) return;
  name_ = std::move(name);
  Changed();
}

void TFont::SetHeight(int height) {
  if (height == height_) return;
  height_ = height;
  Changed();
}

void TFont::SetCharset(std::uint8_t charset) {
  if (charset == charset_) return;
  charset_ = charset;
  Changed();
}

void TFont::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  // The colour is not part of the GDI font: keep the realised one.
  if (OnChange) OnChange();
}

void TFont::SetStyle(TFontStyles style) {
  if (style == style_) return;
  style_ = style;
  Changed();
}

void TFont::SetPitch(TFontPitch pitch) {
  if (pitch == pitch_) return;
  pitch_ = pitch;
  Changed();
}

void TFont::SetWidth(int width) {
  if (width == width_) return;
  width_ = width;
  Changed();
}

bool TFont::SameAs(const TFont& other) const {
  return name_ == other.name_ && height_ == other.height_ && charset_ == other.charset_ &&
         color_ == other.color_ && style_ == other.style_ && pitch_ == other.pitch_ && width_ == other.width_;
}

void TFont::Assign(const TFont& source) {
  if (&source == this || SameAs(source)) return;
  const bool sameFace = name_ == source.name_ && height_ == source.height_ && charset_ == source.charset_ &&
                        style_ == source.style_ && pitch_ == source.pitch_ && width_ == source.width_;
  name_ = source.name_;
  height_ = source.height_;
  charset_ = source.charset_;
  color_ = source.color_;
  style_ = source.style_;
  pitch_ = source.pitch_;
  width_ = source.width_;
  if (!sameFace) handle_.Reset();
  if (OnChange) OnChange();
}

LOGFONTW TFont::LogFont() const {
  LOGFONTW lf{};
  lf.lfHeight = height_;
  lf.lfWidth = width_;
  lf.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (style_ & fsItalic) ? 1 : 0;
  lf.lfUnderline = (style_ & fsUnderline) ? 1 : 0;
  lf.lfStrikeOut = (style_ & fsStrikeOut) ? 1 : 0;
  // The interface texts are Russian (code page 1251): the default character set means that
  // one, whatever the system's code page, so that the font chosen has the Cyrillic letters in
  // its own design instead of borrowing them from another face.
  lf.lfCharSet = charset_ == DEFAULT_CHARSET_VALUE ? static_cast<BYTE>(RUSSIAN_CHARSET) : charset_;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = pitch_ == TFontPitch::fpFixed      ? FIXED_PITCH
                        : pitch_ == TFontPitch::fpVariable ? VARIABLE_PITCH
                                                           : DEFAULT_PITCH;
  const std::wstring face = Widen(name_);
  wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  return lf;
}

HFONT TFont::Handle() {
  if (!handle_) {
    const LOGFONTW lf = LogFont();
    handle_ = TFontHandle(CreateFontIndirectW(&lf));
  }
  return handle_.Get();
}

bool TFont::IsTrueType() {
  TMemoryDC dc;
  TSelectObject select(dc.Get(), Handle());
  TEXTMETRICW metrics{};
  if (!GetTextMetricsW(dc.Get(), &metrics)) return false;
  return (metrics.tmPitchAndFamily & TMPF_TRUETYPE) != 0;
}

bool TFont::ReadProperty(TReader& reader, const TDefProperty& property, std::string_view name) {
  if (name == "Name") {
    SetName(reader.String(property));
  } else if (name == "Height") {
    SetHeight(reader.Integer(property));
  } else if (name == "Charset") {
    SetCharset(static_cast<std::uint8_t>(reader.Enum<int>(
        property, {{"DEFAULT_CHARSET", 1}, {"ANSI_CHARSET", 0}, {"RUSSIAN_CHARSET", 204}})));
  } else if (name == "Color") {
    SetColor(reader.Color(property));
  } else if (name == "Style") {
    SetStyle(static_cast<TFontStyles>(reader.Set(
        property, {{"fsBold", fsBold}, {"fsItalic", fsItalic}, {"fsUnderline", fsUnderline}, {"fsStrikeOut", fsStrikeOut}})));
  } else {
    return false;
  }
  return true;
}

// ---------------------------------------------------------------------------------------------
// TCanvas

TCanvas::TCanvas() {
  font_.OnChange = [this] {
    if (dc_ && fontSelected_) SelectFont();
  };
}

TCanvas::~TCanvas() { Deselect(); }

void TCanvas::SetHandle(HDC dc) {
  if (dc == dc_) return;
  Deselect();
  dc_ = dc;
}

// Puts the context's original objects back so that ours can be deleted safely.
void TCanvas::Deselect() {
  if (dc_) {
    if (savedFont_) SelectObject(dc_, savedFont_);
    if (savedBrush_) SelectObject(dc_, savedBrush_);
    if (savedPen_) SelectObject(dc_, savedPen_);
  }
  savedFont_ = savedBrush_ = savedPen_ = nullptr;
  fontSelected_ = false;
}

void TCanvas::SelectFont() {
  HGDIOBJ previous = SelectObject(dc_, font_.Handle());
  if (!savedFont_) savedFont_ = previous;
  fontSelected_ = true;
  SetTextColor(dc_, ColorToRGB(font_.Color()));
}

void TCanvas::SelectBrush() {
  if (brushStyle_ == TBrushStyle::bsClear) {
    HGDIOBJ previous = SelectObject(dc_, GetStockObject(NULL_BRUSH));
    if (!savedBrush_) savedBrush_ = previous;
    SetBkMode(dc_, TRANSPARENT);
    return;
  }
  if (!brush_) brush_ = TBrushHandle(CreateSolidBrush(ColorToRGB(brushColor_)));
  HGDIOBJ previous = SelectObject(dc_, brush_.Get());
  if (!savedBrush_) savedBrush_ = previous;
  SetBkColor(dc_, ColorToRGB(brushColor_));
  SetBkMode(dc_, OPAQUE);
}

void TCanvas::SelectPen() {
  if (!pen_) pen_ = TPenHandle(CreatePen(PS_SOLID, penWidth_, ColorToRGB(penColor_)));
  HGDIOBJ previous = SelectObject(dc_, pen_.Get());
  if (!savedPen_) savedPen_ = previous;
}

// A changed brush or pen is realised again at its next use; the context gets its own back first.
void TCanvas::DropBrush() {
  if (dc_ && savedBrush_) SelectObject(dc_, savedBrush_);
  savedBrush_ = nullptr;
  brush_.Reset();
}

void TCanvas::DropPen() {
  if (dc_ && savedPen_) SelectObject(dc_, savedPen_);
  savedPen_ = nullptr;
  pen_.Reset();
}

void TCanvas::SetBrushColor(TColor color) {
  if (color == brushColor_ && brushStyle_ == TBrushStyle::bsSolid) return;
  brushColor_ = color;
  brushStyle_ = TBrushStyle::bsSolid;
  DropBrush();
}

void TCanvas::SetBrushStyle(TBrushStyle style) {
  if (style == brushStyle_) return;
  brushStyle_ = style;
  DropBrush();
}

void TCanvas::SetPenColor(TColor color) {
  if (color == penColor_) return;
  penColor_ = color;
  DropPen();
}

void TCanvas::SetPenWidth(int width) {
  if (width == penWidth_) return;
  penWidth_ = width;
  DropPen();
}

void TCanvas::FillRect(const TRect& rect) {
  if (!dc_ || brushStyle_ == TBrushStyle::bsClear) return;
  SelectBrush();
  const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  ::FillRect(dc_, &r, brush_.Get());
}

void TCanvas::FrameRect(const TRect& rect) {
  if (!dc_) return;
  SelectBrush();
  const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  if (brush_) ::FrameRect(dc_, &r, brush_.Get());
}

void TCanvas::MoveTo(int x, int y) {
  if (dc_) MoveToEx(dc_, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
  if (!dc_) return;
  SelectPen();
  ::LineTo(dc_, x, y);
}

void TCanvas::Rectangle(const TRect& rect) {
  if (!dc_) return;
  SelectPen();
  SelectBrush();
  ::Rectangle(dc_, rect.Left, rect.Top, rect.Right, rect.Bottom);
}

void TCanvas::RoundRect(const TRect& rect, int cornerWidth, int cornerHeight) {
  if (!dc_) return;
  SelectPen();
  SelectBrush();
  ::RoundRect(dc_, rect.Left, rect.Top, rect.Right, rect.Bottom, cornerWidth, cornerHeight);
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
  if (!dc_) return;
  SelectFont();
  SelectBrush();
  const std::wstring wide = Widen(text);
  ::TextOutW(dc_, x, y, wide.c_str(), static_cast<int>(wide.size()));
}

int TCanvas::DrawText(std::string_view text, TRect& rect, UINT flags) {
  if (!dc_) return 0;
  SelectFont();
  SelectBrush();
  std::wstring wide = Widen(text);
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  const int height = ::DrawTextW(dc_, wide.data(), static_cast<int>(wide.size()), &r, flags);
  if (flags & DT_CALCRECT) rect = TRect{r.left, r.top, r.right, r.bottom};
  return height;
}

SIZE TCanvas::TextExtent(std::string_view text) {
  SIZE size{0, 0};
  if (!dc_) return size;
  SelectFont();
  const std::wstring wide = Widen(text);
  GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &size);
  return size;
}

void TCanvas::CopyFrom(const TRect& dest, HDC source, int sourceX, int sourceY) {
  if (!dc_) return;
  BitBlt(dc_, dest.Left, dest.Top, WidthOf(dest), HeightOf(dest), source, sourceX, sourceY, SRCCOPY);
}

// ---------------------------------------------------------------------------------------------
// TBitmap

TBitmap::~TBitmap() {
  canvas_.reset();
  if (dc_ && savedBitmap_) SelectObject(dc_->Get(), savedBitmap_);
}

bool TBitmap::SetSize(int width, int height) {
  if (width == width_ && height == height_) return true;
  if (width < 0 || height < 0 ||
      static_cast<std::int64_t>(width) * static_cast<std::int64_t>(height) > TPixelImage::kMaxPixels)
    return false;
  if (canvas_) canvas_->SetHandle(nullptr);
  if (dc_ && savedBitmap_) {
    SelectObject(dc_->Get(), savedBitmap_);
    savedBitmap_ = nullptr;
  }
  bitmap_.Reset();
  bits_ = nullptr;
  width_ = width;
  height_ = height;
  if (width == 0 || height == 0) return true;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down: row 0 first in memory
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_ = TBitmapHandle(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap_) {
    width_ = height_ = 0;
    return false;
  }
  bits_ = static_cast<std::uint8_t*>(bits);
  std::memset(bits_, 0, static_cast<std::size_t>(DibRowBytes(width) * height));
  if (dc_) savedBitmap_ = SelectObject(dc_->Get(), bitmap_.Get());
  if (canvas_) canvas_->SetHandle(dc_->Get());
  return true;
}

TPixelView TBitmap::View() {
  GdiFlush();
  return TPixelView{width_, height_, DibRowBytes(width_), bits_};
}

HDC TBitmap::DC() {
  if (!dc_) {
    dc_.emplace();
    if (bitmap_) savedBitmap_ = SelectObject(dc_->Get(), bitmap_.Get());
  }
  return dc_->Get();
}

TCanvas& TBitmap::Canvas() {
  if (!canvas_) {
    canvas_ = std::make_unique<TCanvas>();
    canvas_->SetHandle(DC());
  }
  return *canvas_;
}
