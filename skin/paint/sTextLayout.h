#pragma once
// The arithmetic of skinned text that needs no device context: fitting a rectangle to a measured
// text, and shortening a text with an ellipsis against a width measure supplied by the caller.
// The Windows writers (win/sText.h) measure with GDI and call these.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "framework/core/Geometry.h"

// The three text-format flags the layout looks at; the values are the platform's DrawText ones,
// and every other flag passes through untouched.
constexpr std::uint32_t kTextCenter = 0x01;     // DT_CENTER
constexpr std::uint32_t kTextRight = 0x02;      // DT_RIGHT
constexpr std::uint32_t kTextWordBreak = 0x10;  // DT_WORDBREAK

// True when the writers fit R to the text before drawing (that is, without word breaking).
constexpr bool FitsTextRect(std::uint32_t Flags) { return (Flags & kTextWordBreak) == 0; }

// Fits R to a text of TextWidth x TextHeight and returns the box to draw the text into. R is
// always centred vertically on the text; horizontally it shrinks (or grows) around its centre
// with kTextCenter, keeps its right edge with kTextRight and its left edge otherwise. On return
// R is the drawing box inflated by one pixel on every side, which callers use as the area the
// text (with its one-pixel outlines) covers. Halves are truncated toward zero.
TRect FitTextRect(TRect& R, std::int32_t TextWidth, std::int32_t TextHeight, std::uint32_t Flags);

// A text's width in pixels; it may throw, as a device context may fail.
using TTextWidthMeasure = std::function<std::int32_t(std::string_view)>;

// The ellipsis appended to a shortened text.
inline constexpr std::string_view kEllipsis = "...";

// Text shortened to MaxWidth pixels: unchanged when it fits; otherwise as many leading
// characters as fit together with kEllipsis, followed by it; empty when not even one character
// fits with it, and empty for MaxWidth <= 0. Characters are UTF-8 code points, so a shortened
// text never ends inside a letter. Never throws: a failing measure ends the shortening with the
// text as it stood at that moment.
std::string CutTextToWidth(std::string_view Text, std::int32_t MaxWidth, const TTextWidthMeasure& Width);
