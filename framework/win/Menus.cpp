#include "framework/win/Menus.h"

#include <algorithm>

#include "framework/win/Forms.h"
#include "framework/win/Reader.h"
#include "framework/win/Text.h"

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
  for (TMenuItem* item : std::vector<TMenuItem*>(items_))
    if (!item->Owner()) Free(item);
  if (parentItem_) std::erase(parentItem_->items_, this);
}

void TMenuItem::Add(TMenuItem* item) {
  if (item->parentItem_) item->parentItem_->Remove(item);
  item->parentItem_ = this;
  items_.push_back(item);
}

void TMenuItem::Remove(TMenuItem* item) {
  std::erase(items_, item);
  item->parentItem_ = nullptr;
}

void TMenuItem::Click() {
  if (enabled_ && OnClick) OnClick(this);
}

bool TMenuItem::ReadProperty(TReader& reader, const TDefProperty& property) {
  const std::string& name = property.Name;
  if (name == "Caption") SetCaption(reader.String(property));
  else if (name == "Visible") SetVisible(reader.Boolean(property));
  else if (name == "Enabled") SetEnabled(reader.Boolean(property));
  else if (name == "OnClick") OnClick = reader.Handler<TNotifyEvent>(property);
  else return TComponent::ReadProperty(reader, property);
  return true;
}

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner), items_(std::make_unique<TMenuItem>(nullptr)) {}

TPopupMenu::~TPopupMenu() = default;

namespace {

// Fills a system menu with the visible items; command ids are positions in `flat` plus one.
void BuildMenu(HMENU menu, TMenuItem& parent, std::vector<TMenuItem*>& flat) {
  for (int i = 0; i < parent.Count(); ++i) {
    TMenuItem* item = parent.Items(i);
    if (!item->Visible()) continue;
    const std::wstring caption = Widen(item->Caption());
    const UINT state = item->Enabled() ? MF_ENABLED : MF_GRAYED;
    if (item->Caption() == "-") {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    } else if (item->Count() > 0) {
      HMENU sub = CreatePopupMenu();
      BuildMenu(sub, *item, flat);
      AppendMenuW(menu, MF_POPUP | MF_STRING | state, reinterpret_cast<UINT_PTR>(sub), caption.c_str());
    } else {
      flat.push_back(item);
      AppendMenuW(menu, MF_STRING | state, flat.size(), caption.c_str());
    }
  }
}

struct TMenuOwner {
  HMENU Menu;
  ~TMenuOwner() { DestroyMenu(Menu); }
};

}  // namespace

void TPopupMenu::Popup(int x, int y) {
  if (OnPopup) OnPopup(this);
  const bool anyVisible = [this] {
    for (int i = 0; i < items_->Count(); ++i)
      if (items_->Items(i)->Visible()) return true;
    return false;
  }();
  if (!anyVisible) return;
  TMenuOwner menu{CreatePopupMenu()};
  std::vector<TMenuItem*> flat;
  BuildMenu(menu.Menu, *items_, flat);
  HWND owner = Application && Application->MainForm() ? Application->MainForm()->Handle() : GetActiveWindow();
  const auto command = static_cast<std::size_t>(
      TrackPopupMenu(menu.Menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, x, y, 0, owner, nullptr));
  if (command >= 1 && command <= flat.size()) flat[command - 1]->Click();
}

bool TPopupMenu::ReadProperty(TReader& reader, const TDefProperty& property) {
  if (property.Name == "AutoPopup") SetAutoPopup(reader.Boolean(property));
  else if (property.Name == "OnPopup") OnPopup = reader.Handler<TNotifyEvent>(property);
  else return TComponent::ReadProperty(reader, property);
  return true;
}
