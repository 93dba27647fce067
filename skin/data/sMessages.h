#pragma once
// The skin messages: how skinned windows and controls learn of skin changes, exchange their
// cached backgrounds and coordinate repainting. They are ordinary window messages in the
// private range 0xA401..0xA415; windows receive them through SendMessageW, windowless controls
// and the skin provider straight in their message handler. A receiver that does not know a
// message passes it on to its default handling, which answers 0.
//
// This header is portable: the numbers, their names (for recordings and diagnostics) and
// TsSkinState, the part of a control's skin state that the messages themselves set.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <string_view>

#include "skin/data/sSkinTypes.h"

inline constexpr std::uint32_t SKM_SETBGCHANGED = 0xA401;     // LParam != 0: background must be rebuilt
inline constexpr std::uint32_t SKM_NEWSKIN = 0xA402;          // LParam: the skin manager
inline constexpr std::uint32_t SKM_REMOVESKIN = 0xA403;       // LParam: the skin manager
inline constexpr std::uint32_t SKM_GETPROVIDER = 0xA406;      // answer: the form's skin provider
inline constexpr std::uint32_t SKM_REPAINT = 0xA407;          // LParam: the skin manager or 0
inline constexpr std::uint32_t SKM_GETCACHE = 0xA408;         // answer in GlobalCacheInfo
inline constexpr std::uint32_t SKM_PARENTUPDATED = 0xA409;
inline constexpr std::uint32_t SKM_UPDATESECTION = 0xA40A;    // section in GlobalSectionName
inline constexpr std::uint32_t SKM_ISHANDLED = 0xA40C;        // answer 1: skinned by a provider
inline constexpr std::uint32_t SKM_DROPPEDDOWN = 0xA40D;      // answered by skinned combo boxes; never sent here
inline constexpr std::uint32_t SKM_SETUPDATING = 0xA40E;      // LParam != 0: updating
inline constexpr std::uint32_t SKM_URGENTPAINT = 0xA40F;      // WParam 1: start, 0: finish
inline constexpr std::uint32_t SKM_STOPFADING = 0xA410;
inline constexpr std::uint32_t SKM_GETUPDATING = 0xA411;      // answer 1: background changing or updating
inline constexpr std::uint32_t SKM_GETHALFVISIBLE = 0xA412;   // answer: partly hidden
inline constexpr std::uint32_t SKM_SETLINKEDCONTROL = 0xA413; // LParam: a control, or 0
inline constexpr std::uint32_t SKM_PARENTCHANGED = 0xA414;
inline constexpr std::uint32_t SKM_GETSKININDEX = 0xA415;     // answer: section index + 1

inline constexpr std::uint32_t SKM_FIRST = SKM_SETBGCHANGED;
inline constexpr std::uint32_t SKM_LAST = SKM_GETSKININDEX;

// "SKM_NEWSKIN" for 0xA402 and so on; empty for a number that carries no skin message
// (0xA404, 0xA405, 0xA40B and everything outside the range).
std::string_view SkinMessageName(std::uint32_t message);
inline bool IsSkinMessage(std::uint32_t message) { return !SkinMessageName(message).empty(); }

// What a skinned control must do after TsSkinState has taken a message.
enum class TsSkinReaction : std::uint8_t {
  srNone,           // nothing beyond the recorded state
  srInvalidate,     // repaint soon (SKM_REPAINT)
  srRepaintNow,     // repaint at once (SKM_UPDATESECTION of its own section)
  srPaintUnskinned, // the skin went away: empty the cache; a windowed control repaints plain
  srRebuildCache,   // urgent painting started: a control that keeps a cache rebuilds it at once
};

// Control kinds that the mouse never makes hot: entering or leaving does not touch MouseInside.
// Kinds above 255 are never in the set.
struct TsControlKindSet {
  std::uint64_t Bits[4] = {};
  constexpr TsControlKindSet(std::initializer_list<std::pair<std::int32_t, std::int32_t>> ranges) {
    for (const auto& [first, last] : ranges)
      for (std::int32_t k = first; k <= last; ++k) Bits[k / 64] |= std::uint64_t{1} << (k % 64);
  }
  constexpr bool Contains(std::int32_t kind) const {
    return kind >= 0 && kind <= 255 && (Bits[kind / 64] >> (kind % 64) & 1) != 0;
  }
};
inline constexpr TsControlKindSet sForbidMouse{{51, 74}, {110, 110}, {141, 161}};

// The section a control of `kind` paints from when none is stored; empty for the kinds without
// one (such a control takes its class name).
std::string_view DefaultSection(std::int32_t kind);

// The skin state of one control that the skin messages set: the section it paints from, the
// indexes looked up for the active skin, and the flags the messages and the control's own
// events raise and clear. Portable; the control's skin data (TsCommonData) builds on it and
// carries out the reactions on the window.
struct TsSkinState {
  TsSkinState() = default;
  TsSkinState(const TsSkinState&) = delete;
  TsSkinState& operator=(const TsSkinState&) = delete;
  virtual ~TsSkinState() = default;

  bool Updating = false;           // skin painting suspended by the control or a message
  std::string SkinSection;         // as stored, any case
  std::int32_t BorderIndex = -1;   // "BORDERSMASK" of the section, in ma
  std::int32_t SkinIndex = -1;     // in gd
  std::intptr_t PaintTarget = 0;   // SKM_SETLINKEDCONTROL: the control painting through this one
  bool UrgentPainting = false;
  bool BackgroundChanged = true;   // the cached picture is out of date
  bool PartlyHidden = false;       // not wholly inside the parent's client area
  std::int32_t ControlKind = 0;    // selects the default section and the mouse rule
  bool HasFocus = false;
  bool MouseInside = false;

  // Looks the section and its border mask up again in the active skin; the picture is out of
  // date afterwards.
  void UpdateIndexes();
  // The section has a gradient share, respectively a transparency, in its normal look.
  bool BgCanBeChanged() const;
  bool BgIsTransparent() const;
  // The mouse can make this control hot.
  bool MouseMatters() const { return ControlKind > 255 || !sForbidMouse.Contains(ControlKind); }

  struct TAnswer {
    bool Handled = false;  // false: pass the message on to the default handling
    std::intptr_t Result = 0;
    TsSkinReaction Reaction = TsSkinReaction::srNone;
  };
  // Takes one skin message. Messages outside the skin range, and skin messages that concern
  // other receivers (SKM_GETCACHE, SKM_GETPROVIDER, SKM_STOPFADING, ...), come back not handled.
  // SKM_GETUPDATING answers from the flags alone; the skin data adds what it knows of the skin
  // and of the parent.
  TAnswer Handle(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

 protected:
  // The control is on its way out: the skin may no longer change under it.
  virtual bool OwnerDestroying() const { return false; }
};

// The answer to the last SKM_GETCACHE: the asker clears Ready, sends the message to its parent
// and uses the record only when Ready is set afterwards.
extern TCacheInfo GlobalCacheInfo;
