#include "framework/win/Menus.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "framework/win/Forms.h"
#include "framework/win/Reader.h"
#include "framework/win/Text.h"

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) { NotifyInserted(); }

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

TPopupMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* root = this;
  while (root->parentItem_) root = root->parentItem_;
  return root->menu_;
}

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner), items_(std::make_unique<TMenuItem>(nullptr)) {
  items_->menu_ = this;
}

TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::SetImages(TCustomImageList* images) {
  if (images_) RemoveFreeNotification(images_);
  images_ = images;
  if (images_) FreeNotification(images_);
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && component == images_) images_ = nullptr;
}

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

// What one showing of a popup needs: the items behind the command ids (positions plus one) and
// every item it shows, which are the only ones whose owner-draw requests it answers.
struct TShownMenu {
  std::vector<TMenuItem*> Commands;
  std::vector<TMenuItem*> Shown;
  bool OwnerDraw = false;
  bool Knows(const TMenuItem* item) const { return std::find(Shown.begin(), Shown.end(), item) != Shown.end(); }
};

// Fills a system menu with the visible items. Owner-drawn items keep their text (caption, tab,
// shortcut text) so that mnemonics work and the menu can be read back.
void BuildMenu(HMENU menu, TMenuItem& parent, TShownMenu& shown) {
  for (int i = 0; i < parent.Count(); ++i) {
    TMenuItem* item = parent.Items(i);
    if (!item->Visible()) continue;
    std::wstring caption = Widen(item->Caption());
    // The platform's text marks an access key with "&"; "&&" is one "&" shown.
    if (item->PlainCaption())
      for (std::size_t at = caption.find(L'&'); at != std::wstring::npos; at = caption.find(L'&', at + 2))
        caption.insert(at, 1, L'&');
    if (item->ShortCut() != 0) caption += L"\t" + Widen(ShortCutToText(item->ShortCut()));
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA;
    info.fType = shown.OwnerDraw ? MFT_OWNERDRAW : 0;
    info.fState = (item->Enabled() ? MFS_ENABLED : MFS_GRAYED) | (item->Checked() ? MFS_CHECKED : 0u) |
                  (item->Default() ? MFS_DEFAULT : 0u);
    info.dwItemData = reinterpret_cast<ULONG_PTR>(item);
    if (item->IsLine()) {
      info.fType |= MFT_SEPARATOR;
    } else {
      info.fMask |= MIIM_STRING;
      info.dwTypeData = caption.data();
      if (item->Count() > 0) {
        info.fMask |= MIIM_SUBMENU;
        info.hSubMenu = CreatePopupMenu();
        BuildMenu(info.hSubMenu, *item, shown);
      } else {
        shown.Commands.push_back(item);
        info.wID = static_cast<UINT>(shown.Commands.size());
      }
    }
    shown.Shown.push_back(item);
    InsertMenuItemW(menu, static_cast<UINT>(GetMenuItemCount(menu)), TRUE, &info);
  }
}

struct TMenuOwner {
  HMENU Menu;
  ~TMenuOwner() { DestroyMenu(Menu); }
};

// Measures an owner-drawn item that has no measuring handler: its text in the menu font, the
// platform's check-mark room on both sides.
void MeasurePlain(TMenuItem& item, TCanvas& canvas, int& width, int& height) {
  if (item.IsLine()) {
    height = GetSystemMetrics(SM_CYMENU) / 2;
    return;
  }
  std::string text = item.Caption();
  if (item.ShortCut() != 0) {
    // Appended piece by piece: GCC 12 warns falsely of overlapping copies for "\t" + text.
    text += '\t';
    text += ShortCutToText(item.ShortCut());
  }
  TRect r{0, 0, 0, 0};
  canvas.DrawText(text, r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS | (item.PlainCaption() ? DT_NOPREFIX : 0u));
  width = WidthOf(r) + 2 * GetSystemMetrics(SM_CXMENUCHECK);
  height = std::max(HeightOf(r), GetSystemMetrics(SM_CYMENU));
}

// Draws an owner-drawn item that has no drawing handler in the platform's menu colours.
void DrawPlain(TMenuItem& item, TCanvas& canvas, TRect rect, TOwnerDrawState state) {
  const bool selected = (state & ODS_SELECTED) != 0;
  canvas.SetBrushColor(static_cast<TColor>(0x80000000u | (selected ? COLOR_HIGHLIGHT : COLOR_MENU)));
  canvas.FillRect(rect);
  if (item.IsLine()) return;
  canvas.Font().SetColor(static_cast<TColor>(0x80000000u | (selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT)));
  canvas.SetBrushStyle(TBrushStyle::bsClear);
  TRect text = rect;
  text.Left += GetSystemMetrics(SM_CXMENUCHECK);
  canvas.DrawText(item.Caption(), text, DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | (item.PlainCaption() ? DT_NOPREFIX : 0u));
}

// Owner-draw requests reach the menu's owner window; while a popup is shown, its owner is
// subclassed to hand the requests for the shown items to the items' handlers.
LRESULT CALLBACK OwnerDrawProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  const auto& shown = *reinterpret_cast<const TShownMenu*>(data);
  try {
    if (msg == WM_MEASUREITEM) {
      auto& measure = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      auto* item = reinterpret_cast<TMenuItem*>(measure.itemData);
      if (measure.CtlType == ODT_MENU && shown.Knows(item)) {
        TWindowDC dc(window);
        TSavedDC saved(dc.Get());
        TCanvas canvas;
        TCanvasHandleScope scope(canvas, dc.Get());
        int width = static_cast<int>(measure.itemWidth), height = static_cast<int>(measure.itemHeight);
        if (item->OnMeasureItem) item->OnMeasureItem(item, canvas, width, height);
        else MeasurePlain(*item, canvas, width, height);
        measure.itemWidth = static_cast<UINT>(std::max(width, 0));
        measure.itemHeight = static_cast<UINT>(std::max(height, 0));
        return TRUE;
      }
    } else if (msg == WM_DRAWITEM) {
      auto& draw = *reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      auto* item = reinterpret_cast<TMenuItem*>(draw.itemData);
      if (draw.CtlType == ODT_MENU && shown.Knows(item)) {
        TSavedDC saved(draw.hDC);
        TCanvas canvas;
        TCanvasHandleScope scope(canvas, draw.hDC);
        const TRect rect{draw.rcItem.left, draw.rcItem.top, draw.rcItem.right, draw.rcItem.bottom};
        if (item->OnAdvancedDrawItem) item->OnAdvancedDrawItem(item, canvas, rect, draw.itemState);
        else DrawPlain(*item, canvas, rect, draw.itemState);
        return TRUE;
      }
    }
  } catch (...) {
    // No exception crosses into the platform's menu loop.
    HandleApplicationException(nullptr);
    return TRUE;
  }
  return DefSubclassProc(window, msg, wParam, lParam);
}

// Ties OwnerDrawProc to a window for the length of a scope.
class TOwnerDrawHook {
 public:
  TOwnerDrawHook(HWND window, const TShownMenu& shown) : window_(window) {
    if (window_ && !SetWindowSubclass(window_, &OwnerDrawProc, kSubclassId, reinterpret_cast<DWORD_PTR>(&shown)))
      window_ = nullptr;
  }
  TOwnerDrawHook(const TOwnerDrawHook&) = delete;
  TOwnerDrawHook& operator=(const TOwnerDrawHook&) = delete;
  ~TOwnerDrawHook() {
    if (window_) RemoveWindowSubclass(window_, &OwnerDrawProc, kSubclassId);
  }

 private:
  static constexpr UINT_PTR kSubclassId = 0x4D4E55;
  HWND window_;
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
  TShownMenu shown;
  shown.OwnerDraw = ownerDraw_;
  BuildMenu(menu.Menu, *items_, shown);
  HWND owner = windowHandle_;
  if (!owner) owner = Application && Application->MainForm() ? Application->MainForm()->Handle() : GetActiveWindow();
  std::size_t command = 0;
  {
    TOwnerDrawHook hook(ownerDraw_ ? owner : nullptr, shown);
    command = static_cast<std::size_t>(
        TrackPopupMenu(menu.Menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, x, y, 0, owner, nullptr));
  }
  if (command >= 1 && command <= shown.Commands.size()) shown.Commands[command - 1]->Click();
}

bool TPopupMenu::ReadProperty(TReader& reader, const TDefProperty& property) {
  if (property.Name == "AutoPopup") SetAutoPopup(reader.Boolean(property));
  else if (property.Name == "OnPopup") OnPopup = reader.Handler<TNotifyEvent>(property);
  else return TComponent::ReadProperty(reader, property);
  return true;
}
