#include "skin/paint/sTextLayout.h"

TRect FitTextRect(TRect& R, std::int32_t TextWidth, std::int32_t TextHeight, std::uint32_t Flags) {
  // C++ division truncates toward zero, as the layout wants for odd differences.
  const std::int32_t dy = (TextHeight - HeightOf(R)) / 2;
  if (Flags & kTextCenter) {
    const std::int32_t dx = (TextWidth - WidthOf(R)) / 2;
    R = TRect{R.Left - dx, R.Top - dy, R.Right + dx, R.Bottom + dy};
  } else if (Flags & kTextRight) {
    R.Top -= dy;
    R.Bottom += dy;
    R.Left += WidthOf(R) - TextWidth;
  } else {
    R.Top -= dy;
    R.Bottom += dy;
    R.Right += TextWidth - WidthOf(R);
  }
  const TRect drawBox = R;
  R = TRect{R.Left - 1, R.Top - 1, R.Right + 1, R.Bottom + 1};
  return drawBox;
}

namespace {

// Removes the last UTF-8 code point: its continuation bytes (10xxxxxx), then its lead byte.
void DropLastCharacter(std::string& text) {
  while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80) text.pop_back();
  if (!text.empty()) text.pop_back();
}

}  // namespace

std::string CutTextToWidth(std::string_view Text, std::int32_t MaxWidth, const TTextWidthMeasure& Width) {
  std::string result = MaxWidth > 0 ? std::string(Text) : std::string();
  try {
    if (result.empty() || Width(result) <= MaxWidth) return result;
    while (!result.empty()) {
      if (Width(result + std::string(kEllipsis)) <= MaxWidth) break;
      DropLastCharacter(result);
    }
    if (!result.empty()) result += kEllipsis;
  } catch (...) {
    // The text as shortened so far is the best answer a failing measure leaves us.
  }
  return result;
}
