#pragma once
// Fonts, canvases and 24-bit bitmaps over GDI.
//
// A TFont describes a font (name, height, character set, colour, style) and realises it as a
// GDI font on demand; a TCanvas draws on a device context it does not own with its own font,
// brush and pen, selecting them into the context only while it is attached, and a TBitmap is
// a 24-bit top-down DIB section that hands its pixels to the pixel code as a TPixelView and
// gives a canvas for text and block copies.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "framework/core/Geometry.h"
#include "framework/core/PixelView.h"
#include "framework/win/Classes.h"
#include "framework/win/Gdi.h"

// System colours: the high bit set and the GetSysColor index in the low byte.
constexpr TColor clHighlight = static_cast<TColor>(0x8000000D);
constexpr TColor clBtnShadow = static_cast<TColor>(0x80000010);
constexpr TColor clBtnHighlight = static_cast<TColor>(0x80000014);
constexpr TColor clWindowText = static_cast<TColor>(0x80000008);
constexpr TColor clWindow = static_cast<TColor>(0x80000005);
constexpr TColor clGrayText = static_cast<TColor>(0x80000011);
constexpr TColor clBtnText = static_cast<TColor>(0x80000012);
constexpr TColor clGreen = 0x00008000;
constexpr TColor clNavy = 0x00800000;
constexpr TColor clGray = 0x00808080;
constexpr TColor clSilver = 0x00C0C0C0;
constexpr TColor clYellow = 0x0000FFFF;
constexpr TColor clLime = 0x0000FF00;
constexpr TColor clMaroon = 0x00000080;

// The RGB value of a colour, looking system colours up.
COLORREF ColorToRGB(TColor color);
// A colour name as the window definition writes it ("clRed", "clBtnFace"); nullopt if unknown.
std::optional<TColor> IdentToColor(std::string_view name);

enum : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = std::uint8_t;
enum class TFontPitch : std::uint8_t { fpDefault, fpVariable, fpFixed };

constexpr std::uint8_t DEFAULT_CHARSET_VALUE = 1;

class TFont : public TPersistent {
 public:
  TFont();

  const std::string& Name() const { return name_; }
  void SetName(std::string name);
  int Height() const { return height_; }
  void SetHeight(int height);
  std::uint8_t Charset() const { return charset_; }
  void SetCharset(std::uint8_t charset);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles style);
  TFontPitch Pitch() const { return pitch_; }
  void SetPitch(TFontPitch pitch);
  // Average character width in pixels; 0 lets the face keep its own proportions. A TrueType
  // face narrowed this way still has the same height (a text that must fit a fixed width).
  int Width() const { return width_; }
  void SetWidth(int width);

  // Copies every attribute and raises one change.
  void Assign(const TFont& source);
  bool SameAs(const TFont& other) const;

  // The description as GDI takes it (escapement 0).
  LOGFONTW LogFont() const;
  // The realised font; recreated after a change.
  HFONT Handle();
  // True when the realised font is a TrueType font (rotation needs one).
  bool IsTrueType();

  // Raised after every change of an attribute.
  std::function<void()> OnChange;

  // "Name", "Height", "Charset", "Color", "Style" of the window definition.
  bool ReadProperty(TReader& reader, const TDefProperty& property, std::string_view name);

 private:
  void Changed();

  std::string name_ = "MS Sans Serif";
  int height_ = -11;
  std::uint8_t charset_ = DEFAULT_CHARSET_VALUE;
  TColor color_ = clWindowText;
  TFontStyles style_ = 0;
  TFontPitch pitch_ = TFontPitch::fpDefault;
  int width_ = 0;
  TFontHandle handle_;
};

enum class TBrushStyle { bsSolid, bsClear };

// A device context's drawing state: font, brush and pen, realised and selected while a context
// is attached. The canvas never owns the context.
class TCanvas : public TPersistent {
 public:
  TCanvas();
  ~TCanvas() override;

  HDC Handle() const { return dc_; }
  // Attaches a context (restoring the previous one's selections) or detaches with null.
  void SetHandle(HDC dc);

  TFont& Font() { return font_; }
  TColor BrushColor() const { return brushColor_; }
  void SetBrushColor(TColor color);
  TBrushStyle BrushStyle() const { return brushStyle_; }
  void SetBrushStyle(TBrushStyle style);
  TColor PenColor() const { return penColor_; }
  void SetPenColor(TColor color);
  int PenWidth() const { return penWidth_; }
  void SetPenWidth(int width);

  void FillRect(const TRect& rect);
  void FrameRect(const TRect& rect);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Rectangle(const TRect& rect);
  void RoundRect(const TRect& rect, int cornerWidth, int cornerHeight);
  void TextOut(int x, int y, std::string_view text);
  // DrawTextW over the rectangle; with DT_CALCRECT the rectangle is updated. Returns the height.
  int DrawText(std::string_view text, TRect& rect, UINT flags);
  SIZE TextExtent(std::string_view text);
  int TextWidth(std::string_view text) { return static_cast<int>(TextExtent(text).cx); }
  int TextHeight(std::string_view text) { return static_cast<int>(TextExtent(text).cy); }
  // Block copy from another context.
  void CopyFrom(const TRect& dest, HDC source, int sourceX, int sourceY);

 private:
  void SelectFont();
  void SelectBrush();
  void SelectPen();
  void DropBrush();
  void DropPen();
  void Deselect();

  HDC dc_ = nullptr;
  TFont font_;
  TColor brushColor_ = clWhite;
  TBrushStyle brushStyle_ = TBrushStyle::bsSolid;
  TColor penColor_ = clBlack;
  int penWidth_ = 1;
  TBrushHandle brush_;
  TPenHandle pen_;
  bool fontSelected_ = false;
  HGDIOBJ savedFont_ = nullptr;
  HGDIOBJ savedBrush_ = nullptr;
  HGDIOBJ savedPen_ = nullptr;
};

// Attaches a context to a canvas for the length of a scope and gives the canvas back the context
// it had before (usually none) at the end, also when an exception passes, so that a canvas never
// keeps a context that is released or deleted after the scope.
class TCanvasHandleScope {
 public:
  TCanvasHandleScope(TCanvas& canvas, HDC dc) : canvas_(canvas), previous_(canvas.Handle()) { canvas_.SetHandle(dc); }
  TCanvasHandleScope(const TCanvasHandleScope&) = delete;
  TCanvasHandleScope& operator=(const TCanvasHandleScope&) = delete;
  ~TCanvasHandleScope() { canvas_.SetHandle(previous_); }

 private:
  TCanvas& canvas_;
  HDC previous_;
};

// A 24-bit top-down DIB section with a memory context and a canvas on it.
class TBitmap : public TPersistent {
 public:
  TBitmap() = default;
  TBitmap(int width, int height) { SetSize(width, height); }
  ~TBitmap() override;

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Resizes; the content is undefined afterwards. False when the size is negative or too big.
  bool SetSize(int width, int height);
  bool Empty() const { return width_ == 0 || height_ == 0; }

  // The pixels (B, G, R, row 0 at the top). GDI drawing through the canvas is flushed first.
  TPixelView View();
  HBITMAP Handle() const { return bitmap_.Get(); }
  // The memory context with the bitmap selected.
  HDC DC();
  TCanvas& Canvas();

 private:
  int width_ = 0;
  int height_ = 0;
  std::uint8_t* bits_ = nullptr;
  TBitmapHandle bitmap_;
  std::optional<TMemoryDC> dc_;
  HGDIOBJ savedBitmap_ = nullptr;
  std::unique_ptr<TCanvas> canvas_;
};
