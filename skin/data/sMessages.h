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
#include <string>
#include <string_view>

#include "skin/paint/sGraphUtils.h"

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
  srPaintUnskinned, // the skin went away: a windowed control repaints in its plain look
  srRebuildCache,   // urgent painting started: rebuild the cached picture at once
};

// The skin state of one control as the skin messages set it: the section it paints from, the
// indexes looked up for the active skin, and the flags the messages raise and clear. The paint
// pipeline reads this; the messages are its only writers besides SkinSection.
struct TsSkinState {
  std::string SkinSection;   // as stored, any case
  std::int32_t SkinIndex = -1;     // in gd
  std::int32_t BorderIndex = -1;   // "BORDERSMASK" of the section, in ma
  bool Updating = false;
  bool BackgroundChanged = true;
  bool UrgentPainting = false;
  bool PartlyHidden = false;
  bool Transparent = false;    // shows its parent through: parent changes concern it
  bool Destroying = false;     // set by the owner on its way out; the skin may no longer change
  std::intptr_t PaintTarget = 0;  // SKM_SETLINKEDCONTROL
  std::int32_t CacheWidth = 0;    // size of the cached background; 0 x 0 once the skin is removed
  std::int32_t CacheHeight = 0;

  // Looks the section and its border mask up again in the active skin.
  void UpdateIndexes();

  struct TAnswer {
    bool Handled = false;  // false: pass the message on to the default handling
    std::intptr_t Result = 0;
    TsSkinReaction Reaction = TsSkinReaction::srNone;
  };
  // Takes one message. Messages that are not skin messages, and skin messages that concern
  // other kinds of receiver (SKM_GETCACHE, SKM_GETPROVIDER, ...), come back not handled.
  TAnswer Handle(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
};

// The answer to the last SKM_GETCACHE: the asker clears Ready, sends the message to its parent
// and uses the record only when Ready is set afterwards.
extern TCacheInfo GlobalCacheInfo;
