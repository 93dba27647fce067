#pragma once
// The small value types of the form's skin provider that its system menu and its caption
// buttons share with it: caption-button sets, button records, grip and resize modes.
#include <cstdint>
#include <initializer_list>

#include "framework/core/Geometry.h"

enum TsBorderIcon : std::uint8_t { biSystemMenu, biMinimize, biMaximize, biHelp };

// A set of TsBorderIcon, one bit per value.
class TsBorderIcons {
 public:
  constexpr TsBorderIcons() = default;
  constexpr TsBorderIcons(std::initializer_list<TsBorderIcon> icons) {
    for (const auto icon : icons) bits_ = static_cast<std::uint8_t>(bits_ | Bit(icon));
  }
  constexpr bool Contains(TsBorderIcon icon) const { return (bits_ & Bit(icon)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr void Include(TsBorderIcon icon) { bits_ = static_cast<std::uint8_t>(bits_ | Bit(icon)); }
  constexpr void Exclude(TsBorderIcon icon) { bits_ = static_cast<std::uint8_t>(bits_ & ~Bit(icon)); }
  constexpr bool operator==(const TsBorderIcons&) const = default;

 private:
  static constexpr std::uint8_t Bit(TsBorderIcon icon) { return static_cast<std::uint8_t>(1u << icon); }
  std::uint8_t bits_ = 0;
};

// One caption button: State 0 normal, 1 hot, 2 pressed; ImageIndex is its glyph mask in ma
// (-1 none); Rect is where it was last painted, in window coordinates.
struct TsCaptionButton {
  std::int32_t State = 0;
  std::int32_t ImageIndex = -1;
  TRect Rect{};
};

enum class TsGripMode { gmNone, gmRightBottom };
enum class TsResizeMode { rmStandard, rmBorder };
