#pragma once
// TsSkinableMenus: turns the application's popup menus (and the skinned system menu a form's
// provider opens) into owner-drawn menus painted from the skin. The menu's whole background comes
// from section "MAINMENU", each item from "MENUITEM" over its slice of that background, dividers
// are etched lines, texts take the "MENUITEM" colours.
//
// Item kinds, by caption: exactly "-" is a divider (two pixels high); a longer caption that starts
// and ends with "-" is a caption item (a text-high row, nothing drawn); anything else is a normal
// item. A caption starting with a backspace character is drawn right-aligned, followed by six
// blanks.
//
// Hooking gives an item our measuring and drawing handlers only where it has none of its own, and
// unhooking takes away only ours: handlers an application set itself stay.
//
// The background of a menu level is painted once per skin and kept, keyed by the item that holds
// the level; DeleteUnusedBmps(true) empties the cache on every skin change and at the end.
#include <cstdint>
#include <functional>

#include "framework/core/Geometry.h"
#include "framework/win/Controls.h"
#include "framework/win/Graphics.h"
#include "framework/win/Menus.h"
#include "skin/manager/sSkinManager.h"


enum TsMenuItemType { smCaption, smDivider, smNormal, smTopLine };

using TsMenuManagerDrawItemEvent = std::function<void(TMenuItem* Sender, TCanvas& ACanvas, TRect ARect,
                                                       TOwnerDrawState State, TsMenuItemType ItemType)>;

class TsSkinableMenus : public TsMenuSkinning {
 public:
  // The menus of `owner`, the default skin manager (null: menus as if SkinnedPopups were set).
  explicit TsSkinableMenus(TsSkinManager* owner);
  ~TsSkinableMenus() override;

  TAlignment Alignment = TAlignment::taLeftJustify;
  std::int32_t BevelWidth = 0;   // stored only
  std::int32_t BorderWidth = 0;  // horizontal inset of dividers
  TFont CaptionFont;             // stored only
  std::int32_t Margin = 4;       // spacing around glyphs and texts
  // Called after an item has been drawn, before it is shown.
  TsMenuManagerDrawItemEvent OnDrawItem;

  bool Active() const { return active_; }
  void SetActive(bool value);
  // Hooks or unhooks every menu to follow whether a skin is active.
  void UpdateMenus() override;
  // Hooks (true) or unhooks (false) every menu owned by the application, at every depth.
  void InitItems(bool value);
  // Makes the menu owner-drawn (or not) and hooks (unhooks) its items at every depth.
  void HookPopupMenu(TPopupMenu* menu, bool value);
  // Hooks (unhooks) the items below `item` at every depth.
  void HookItem(TMenuItem* item, bool value);
  // Hooks (unhooks) one item and sets the owner-drawn state of its menu.
  void InitItem(TMenuItem* item, bool value) override;

  // The handlers hooked items get.
  void sMeasureItem(TObject* Sender, TCanvas& ACanvas, int& Width, int& Height);
  void sAdvancedDrawItem(TObject* Sender, TCanvas& ACanvas, TRect ARect, TOwnerDrawState State);

  // Height of an item in the canvas's font (the menu font).
  std::int32_t GetItemHeight(TCanvas& canvas, TMenuItem* item);
  // Sum of the heights of the visible items of the item's menu level.
  std::int32_t ParentHeight(TCanvas& canvas, TMenuItem* item);
  // A caption item: longer than one character, "-" at both ends.
  static bool IsDivText(const TMenuItem* item);
  // Items of a main-menu bar's top line; this framework has no main menus.
  static bool IsTopLine(const TMenuItem*) { return false; }
  static TsMenuItemType ItemType(const TMenuItem* item);
  std::int32_t CursorMarginH() const { return BorderWidth; }
  std::int32_t CursorMarginV() const { return 0; }
  // The etched line of a divider, directly on the menu's canvas.
  void PaintDivider(TCanvas& canvas, TRect R);
  // Caption items show nothing.
  void PaintCaption(TCanvas&, TRect) {}

  // True when the handler is the one this object gives hooked items.
  bool IsOurMeasure(const TMenuMeasureItemEvent& handler) const;
  bool IsOurDraw(const TAdvancedMenuDrawItemEvent& handler) const;

 private:
  void HookOne(TMenuItem* item, bool value);
  // The cached background of the item's level, made from the skin when missing.
  TBitmap* LevelBackground(TMenuItem* item, TCanvas& canvas, const TRect& ARect);
  void InitComponent(TComponent* component, bool value);
  bool SkinnedPopups() const;

  TsSkinManager* owner_;
  bool active_ = false;
};

// Has every default skin manager made from now on make these menus.
void UseSkinableMenus();
// The skinned menus of `manager`; null when it has none.
TsSkinableMenus* SkinableMenusOf(const TsSkinManager* manager);

// The glyph size of an item: its own bitmap's size, else its menu's image size when the menu has an
// image list, else 16 x 16.
TPoint GlyphSize(const TMenuItem* item);
// Position in the cache of the background of the level `item` holds, -1 when none.
std::int32_t GetItemIndex(const TMenuItem* item);
// With all true frees every cached menu background and empties the cache; false does nothing.
void DeleteUnusedBmps(bool all);
// Entries in the background cache, and backgrounds painted since the program started.
std::int32_t MenuBGCount();
std::int64_t MenuBGPaintCount();
// The font the platform's menus use.
void AssignMenuFont(TFont& font);
