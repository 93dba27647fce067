#pragma once
// Skinned text and the small drawings that go with it (Windows): captions in a section's text
// colours with one-pixel outlines, plain and embossed disabled text, shortening with an
// ellipsis, font and string measurement, the dotted focus frame and the menu check mark.
//
// Rules shared by the three writers (WriteTextEx, WriteText, WriteTextOnDC):
// - Flags are the platform's DrawText flags and reach every DrawTextW call unchanged.
// - Without DT_WORDBREAK, R is first fitted to the text as measured in the current font
//   (FitTextRect in sTextLayout.h): the text is drawn into the fitted box and R comes back as
//   that box inflated by one pixel. With DT_WORDBREAK, R is left as it is and drawn into.
// - An empty text draws nothing, but R is still fitted.
// - Disabled text is embossed: once in the system's highlight colour one pixel right and down,
//   then in its shadow colour in place.
// - The font is the caller's; the canvas writers leave the canvas's brush clear and its font
//   colour as last set.
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/core/Geometry.h"
#include "framework/win/Graphics.h"

// Text in the colours of section SkinIndex of gd, its hot colours when Hot: the outlines that
// are not -1 first (left, top, right, bottom, each drawn one pixel off toward its side), then
// the main colour in place. Without a valid section, the canvas's font colour. Disabled text
// ignores the section.
void WriteTextEx(TCanvas& Canvas, std::string_view Text, bool Enabled, TRect& R, UINT Flags, std::int32_t SkinIndex,
                 bool Hot);
// Text in the canvas's font colour (embossed when disabled).
void WriteText(TCanvas& Canvas, std::string_view Text, bool Enabled, TRect& R, UINT Flags);
// The same on a bare device context, in its current font and text colour; disabled text is
// drawn twice in that colour (right and down, then in place). Nothing of the context changes.
void WriteTextOnDC(HDC DC, std::string_view Text, bool Enabled, TRect& R, UINT Flags);

// Text shortened with "..." to MaxWidth pixels of the canvas's font (CutTextToWidth).
std::string CutText(TCanvas& Canvas, std::string_view Text, std::int32_t MaxWidth);

// The font's text height on the screen plus 6: the height of a one-line skinned control.
std::int32_t GetFontHeight(HFONT Font);
// Width and height of Text in Font on the screen; (0, 0) when it cannot be measured.
SIZE GetStringSize(HFONT Font, std::string_view Text);

// A dotted frame around R that shows on dark and light backgrounds alike: a black dot every
// third pixel along the left and top sides and along the lines x = R.Right and y = R.Bottom,
// each with a white dot one pixel up and to the left of it.
void FocusRect(TCanvas& Canvas, TRect R);
// The check mark of a menu item in R: a solid six-point polygon in C, or embossed when disabled
// (the system's 3D light colour one pixel right and down, then its shadow colour). The canvas's
// own pen and brush are left as they were.
void PaintCheck(TCanvas& Canvas, TRect R, bool Enabled, TColor C);
