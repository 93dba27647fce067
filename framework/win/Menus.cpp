#include "framework/win/Menus.h"

#include <algorithm>
#include <string>

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

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (item->parentItem_) item->parentItem_->Remove(item);
  item->parentItem_ = this;
  index = std::clamp(index, 0, Count());
  items_.insert(items_.begin() + index, item);
}

void TMenuItem::Remove(TMenuItem* item) {
  std::erase(items_, item);
  item->parentItem_ = nullptr;
}

void TMenuItem::Delete(int index) {
  TMenuItem* item = Items(index);
  Remove(item);
  Free(item);
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  const auto at = std::find(items_.begin(), items_.end(), item);
  return at == items_.end() ? -1 : static_cast<int>(at - items_.begin());
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

std::string ShortCutToText(TShortCut shortCut) {
  const unsigned key = shortCut & 0xFFu;
  if (key == 0) return {};
  std::string text;
  if (shortCut & scShift) text += "Shift+";
  if (shortCut & scCtrl) text += "Ctrl+";
  if (shortCut & scAlt) text += "Alt+";
  if (key >= VK_F1 && key <= VK_F24) return text + "F" + std::to_string(key - VK_F1 + 1);
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return text + static_cast<char>(key);
  switch (key) {
    case VK_DELETE: return text + "Del";
    case VK_INSERT: return text + "Ins";
    case VK_RETURN: return text + "Enter";
    case VK_ESCAPE: return text + "Esc";
    case VK_TAB: return text + "Tab";
    case VK_BACK: return text + "BkSp";
    case VK_SPACE: return text + "Space";
    default: break;
  }
  // Any other key by the name the keyboard layout gives it.
  wchar_t name[64]{};
  const LONG scan = static_cast<LONG>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
  if (GetKeyNameTextW(scan, name, 64) > 0) return text + Narrow(name);
  return text + "#" + std::to_string(key);
}

namespace {

// Fills a system menu with the visible items; command ids are positions in `flat` plus one.
void BuildMenu(HMENU menu, TMenuItem& parent, std::vector<TMenuItem*>& flat) {
  for (int i = 0; i < parent.Count(); ++i) {
    TMenuItem* item = parent.Items(i);
    if (!item->Visible()) continue;
    std::wstring caption = Widen(item->Caption());
    if (item->ShortCut() != 0) caption += L"\t" + Widen(ShortCutToText(item->ShortCut()));
    const UINT state = item->Enabled() ? MF_ENABLED : MF_GRAYED;
    if (item->IsLine()) {
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
  HWND owner = windowHandle_;
  if (!owner) owner = Application && Application->MainForm() ? Application->MainForm()->Handle() : GetActiveWindow();
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
