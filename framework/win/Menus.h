#pragma once
// Popup menus. A TPopupMenu holds a tree of TMenuItem; Popup builds the system menu from it,
// tracks it and runs the chosen item's OnClick. A menu without visible items shows nothing.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/win/Classes.h"

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

  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int index) const { return items_[static_cast<std::size_t>(index)]; }
  // Appends an item; this item owns it from now on.
  void Add(TMenuItem* item);
  void Remove(TMenuItem* item);

  void Click();
  TNotifyEvent OnClick;

  bool ReadProperty(TReader& reader, const TDefProperty& property) override;

 private:
  std::string caption_;
  bool visible_ = true;
  bool enabled_ = true;
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

  // Shows the menu at a screen point and runs the chosen item; returns at once without items.
  virtual void Popup(int x, int y);

  TNotifyEvent OnPopup;

  bool ReadProperty(TReader& reader, const TDefProperty& property) override;

 private:
  std::unique_ptr<TMenuItem> items_;
  bool autoPopup_ = true;
  TComponent* popupComponent_ = nullptr;
};
