#pragma once
// Popup menus. A TPopupMenu holds a tree of TMenuItem; Popup builds the system menu from it,
// tracks it and runs the chosen item's OnClick. A menu without visible items shows nothing.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/win/Classes.h"

// A keyboard shortcut as menus show it: the virtual key in the low byte, modifiers above.
using TShortCut = std::uint16_t;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
// "Alt+F4", "Ctrl+S", ...; empty for 0.
std::string ShortCutToText(TShortCut shortCut);

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
  bool IsLine() const { return caption_ == "-"; }

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

  bool ReadProperty(TReader& reader, const TDefProperty& property) override;

 private:
  std::string caption_;
  bool visible_ = true;
  bool enabled_ = true;
  TShortCut shortCut_ = 0;
  TMenuItem* parentItem_ = nullptr;
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

  // Shows the menu at a screen point and runs the chosen item; returns at once without items.
  virtual void Popup(int x, int y);

  TNotifyEvent OnPopup;

  bool ReadProperty(TReader& reader, const TDefProperty& property) override;

 private:
  std::unique_ptr<TMenuItem> items_;
  bool autoPopup_ = true;
  TComponent* popupComponent_ = nullptr;
  HWND windowHandle_ = nullptr;
};
