#pragma once
// Popup menus. A TPopupMenu holds a tree of TMenuItem; Popup builds the system menu from it,
// tracks it and runs the chosen item's OnClick. A menu without visible items shows nothing.
// An owner-drawn menu keeps each item's text in the platform's menu too (for the keyboard's
// mnemonics and for readers of the menu) but leaves measuring and drawing to the items.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/win/Classes.h"
#include "framework/win/Graphics.h"
#include "framework/win/ImgList.h"

// A keyboard shortcut as menus show it: the virtual key in the low byte, modifiers above.
using TShortCut = std::uint16_t;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
// "Alt+F4", "Ctrl+S", ...; empty for 0.
std::string ShortCutToText(TShortCut shortCut);

class TMenuItem;
class TPopupMenu;

// Owner-drawn items. The platform asks for an item's size once per showing of its menu
// (measure) and for its picture whenever it changes (draw); both arrive at the menu's owner
// window while the menu is shown, and the popup hands them to the item's handlers.
// The platform's owner-draw state (ODS_SELECTED, ODS_GRAYED, ODS_CHECKED, ODS_DEFAULT, ...).
using TOwnerDrawState = UINT;
using TMenuMeasureItemEvent = std::function<void(TObject* sender, TCanvas& canvas, int& width, int& height)>;
using TAdvancedMenuDrawItemEvent =
    std::function<void(TObject* sender, TCanvas& canvas, TRect rect, TOwnerDrawState state)>;

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption) { caption_ = std::move(caption); }
  bool Visible() const { return visible_; }
  void SetVisible(bool value) { visible_ = value; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value) { enabled_ = value; }
  // Shown right of the caption; the menu does not act on it.
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut value) { shortCut_ = value; }
  // The caption "-" makes the item a separator.
  bool IsLine() const { return caption_ == "-" && !plainCaption_; }
  // The caption is shown as it stands, as a name is: "&" marks no access key, "-" makes no
  // separator, and skinned menus draw no divider text for "-x-".
  bool PlainCaption() const { return plainCaption_; }
  void SetPlainCaption(bool value) { plainCaption_ = value; }
  bool Checked() const { return checked_; }
  void SetChecked(bool value) { checked_ = value; }
  // The menu's default item (drawn bold by the platform and by skinned menus).
  bool Default() const { return default_; }
  void SetDefault(bool value) { default_ = value; }
  // The item's own glyph; empty when it has none.
  TBitmap& Bitmap() { return bitmap_; }
  bool HasBitmap() const { return !bitmap_.Empty(); }
  // Position of the item's glyph in its menu's image list (Images); -1 for none. Only
  // owner-drawn menus show these glyphs.
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value) { imageIndex_ = value; }
  // The popup menu this item is shown in (through its parents), null when it is in none.
  TPopupMenu* GetParentMenu() const;

  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int index) const { return items_[static_cast<std::size_t>(index)]; }
  // Appends an item; this item owns it from now on.
  void Add(TMenuItem* item);
  // Inserts an item at a position (0 = first); this item owns it from now on.
  void Insert(int index, TMenuItem* item);
  // Takes an item out without freeing it.
  void Remove(TMenuItem* item);
  // Takes the item at a position out and frees it (with its own items).
  void Delete(int index);
  // Position of an item among this item's items, -1 when it is not one of them.
  int IndexOf(const TMenuItem* item) const;
  TMenuItem* Parent() const { return parentItem_; }

  void Click();
  TNotifyEvent OnClick;
  // Called to measure and to draw the item when its menu is owner-drawn; without them the
  // platform's sizes and an empty item are what the user sees, so an owner-drawn menu sets both.
  TMenuMeasureItemEvent OnMeasureItem;
  TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;

  bool ReadProperty(TReader& reader, const TDefProperty& property) override;

 private:
  std::string caption_;
  bool visible_ = true;
  bool enabled_ = true;
  TShortCut shortCut_ = 0;
  bool plainCaption_ = false;
  bool checked_ = false;
  bool default_ = false;
  int imageIndex_ = -1;
  TBitmap bitmap_;
  TMenuItem* parentItem_ = nullptr;
  TPopupMenu* menu_ = nullptr;  // set on the root item of a popup menu
  friend class TPopupMenu;
  std::vector<TMenuItem*> items_;
};

class TPopupMenu : public TComponent {
 public:
  explicit TPopupMenu(TComponent* owner);
  ~TPopupMenu() override;

  TMenuItem& Items() { return *items_; }
  bool AutoPopup() const { return autoPopup_; }
  void SetAutoPopup(bool value) { autoPopup_ = value; }
  TComponent* PopupComponent() const { return popupComponent_; }
  void SetPopupComponent(TComponent* component) { popupComponent_ = component; }
  // The window that owns the menu while it is shown (null: the main form, or the active
  // window without one).
  HWND WindowHandle() const { return windowHandle_; }
  void SetWindowHandle(HWND window) { windowHandle_ = window; }
  // Items are owner-drawn: measured and drawn by their OnMeasureItem and OnAdvancedDrawItem.
  bool OwnerDraw() const { return ownerDraw_; }
  void SetOwnerDraw(bool value) { ownerDraw_ = value; }
  // The glyphs the items name by ImageIndex; null for none. Forgotten when the list goes.
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* images);

  // Shows the menu at a screen point and runs the chosen item; returns at once without items.
  virtual void Popup(int x, int y);

  TNotifyEvent OnPopup;

  bool ReadProperty(TReader& reader, const TDefProperty& property) override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  std::unique_ptr<TMenuItem> items_;
  TCustomImageList* images_ = nullptr;
  bool autoPopup_ = true;
  bool ownerDraw_ = false;
  TComponent* popupComponent_ = nullptr;
  HWND windowHandle_ = nullptr;
};
