#include "skin/controls/sSystemMenu.h"

#include <algorithm>
#include <string>

#include "framework/core/Exceptions.h"
#include "framework/core/StrUtils.h"
#include "framework/core/StringList.h"
#include "framework/win/Text.h"
#include "skin/controls/sSkinProvider.h"
#include "skin/data/sSkinLookup.h"
#include "skin/data/win/sSkinManager.h"
#include "skin/paint/win/sCommonData.h"

std::string LoadResourceString(unsigned id) {
  // With a zero buffer size LoadStringW hands out a read-only pointer into the resource itself.
  const wchar_t* text = nullptr;
  const int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || text == nullptr) return {};
  return Narrow(std::wstring_view(text, static_cast<std::size_t>(length)));
}

TsSystemMenu::TsSystemMenu(TsSkinProvider* provider, TCustomForm* form)
    : TPopupMenu(nullptr), FOwner(provider), FForm(form) {
  ItemRestore = AddItem("ItemRestore", kSysMenuRestore, &TsSystemMenu::RestoreClick);
  ItemMove = AddItem("ItemMove", kSysMenuMove, &TsSystemMenu::MoveClick);
  ItemSize = AddItem("Itemsize", kSysMenuSize, &TsSystemMenu::SizeClick);
  ItemMinimize = AddItem("ItemMinimize", kSysMenuMinimize, &TsSystemMenu::MinimizeClick);
  ItemMaximize = AddItem("ItemMaximize", kSysMenuMaximize, &TsSystemMenu::MaximizeClick);
  auto* line = new TMenuItem(nullptr);
  line->SetCaption("-");
  Items().Add(line);
  ItemClose = AddItem("ItemClose", kSysMenuClose, &TsSystemMenu::CloseClick);
  ItemClose->SetShortCut(kCloseShortCut);
}

TsSystemMenu::~TsSystemMenu() = default;

TMenuItem* TsSystemMenu::AddItem(const char* name, unsigned captionId, void (TsSystemMenu::*click)(TObject*)) {
  // The items belong to the menu's item tree, which frees them with the menu.
  auto* item = new TMenuItem(nullptr);
  item->SetName(name);
  item->SetCaption(LoadResourceString(captionId));
  item->OnClick = [this, click](TObject* sender) { (this->*click)(sender); };
  Items().Add(item);
  return item;
}

TsBorderIcons TsSystemMenu::BorderIcons() const {
  return ProviderBorderIcons ? ProviderBorderIcons() : TsBorderIcons{biSystemMenu, biMinimize, biMaximize};
}

TsSkinManager* TsSystemMenu::SkinManager() const { return ProviderSkinManager ? ProviderSkinManager() : nullptr; }

bool TsSystemMenu::Maximized() const { return FForm && FForm->HandleAllocated() && IsZoomed(FForm->Handle()); }

bool TsSystemMenu::Minimized() const { return FForm && FForm->HandleAllocated() && IsIconic(FForm->Handle()); }

// [SECTION] Rules -------------------------------------------------------------------------------
// Border icons are always the provider's: the skinned form has none of its own.

namespace {

bool IsSingleOrSizeable(const TCustomForm* form) {
  return form && (form->BorderStyle() == TFormBorderStyle::bsSingle || form->BorderStyle() == TFormBorderStyle::bsSizeable);
}

}  // namespace

bool TsSystemMenu::RestoreVisible() const { return IsSingleOrSizeable(FForm) && BorderIcons().Contains(biSystemMenu); }

bool TsSystemMenu::RestoreEnabled() const { return BorderIcons().Contains(biMaximize) && (Maximized() || Minimized()); }

bool TsSystemMenu::SizeVisible() const {
  return IsSingleOrSizeable(FForm) || (FForm && FForm->BorderStyle() == TFormBorderStyle::bsSizeToolWin);
}

bool TsSystemMenu::SizeEnabled() const { return FForm && FForm->BorderStyle() != TFormBorderStyle::bsSingle; }

bool TsSystemMenu::MinimizeVisible() const { return IsSingleOrSizeable(FForm) && BorderIcons().Contains(biSystemMenu); }

bool TsSystemMenu::MinimizeEnabled() const { return BorderIcons().Contains(biMinimize) && !Minimized(); }

bool TsSystemMenu::MaximizeVisible() const {
  return FForm && FForm->BorderStyle() == TFormBorderStyle::bsSizeable && BorderIcons().Contains(biSystemMenu);
}

bool TsSystemMenu::MaximizeEnabled() const { return BorderIcons().Contains(biMaximize) && !Maximized(); }

bool TsSystemMenu::MoveEnabled() const { return !Maximized(); }

bool TsSystemMenu::CloseVisible() const { return BorderIcons().Contains(biSystemMenu); }

void TsSystemMenu::UpdateItems() {
  if (!HasForm()) return;
  ItemRestore->SetVisible(RestoreVisible());
  ItemRestore->SetEnabled(RestoreEnabled());
  ItemMove->SetVisible(true);
  ItemMove->SetEnabled(MoveEnabled());
  ItemSize->SetVisible(SizeVisible());
  ItemSize->SetEnabled(SizeEnabled());
  ItemMinimize->SetVisible(MinimizeVisible());
  ItemMinimize->SetEnabled(MinimizeEnabled());
  ItemMaximize->SetVisible(MaximizeVisible());
  ItemMaximize->SetEnabled(MaximizeEnabled());
  ItemClose->SetVisible(CloseVisible());
  ItemClose->SetEnabled(true);
}

// [SECTION] Skin list ---------------------------------------------------------------------------

void TsSystemMenu::MakeSkinItems() {
  TsSkinManager* manager = SkinManager();
  if (!manager) return;
  TStringList names;
  manager->GetSkinNames(names);
  if (names.Count() == 0) return;
  auto* skins = new TMenuItem(nullptr);
  skins->SetName(kSkinSelectItemName);
  skins->SetCaption(LoadResourceString(kSysMenuAvailableSkins));
  Items().Insert(0, skins);
  auto* line = new TMenuItem(nullptr);
  line->SetCaption("-");
  Items().Insert(1, line);
  // The skin the window wears carries the check mark (none while skinning is off).
  const std::string current = manager->Active() ? manager->SkinName() : std::string();
  for (int i = 0; i < names.Count(); ++i) {
    auto* item = new TMenuItem(nullptr);
    item->SetName(kSkinSelectItemName + std::to_string(i));
    item->SetCaption(names[i]);
    item->SetChecked(!current.empty() && SameText(names[i], current));
    item->OnClick = [this](TObject* sender) { SkinItemClick(sender); };
    skins->Add(item);
  }
}

void TsSystemMenu::RemoveSkinItems() {
  if (Items().Count() == 0 || Items().Items(0)->Name() != kSkinSelectItemName) return;
  // Deleting the item frees its sub-items with it; then the separator that followed it.
  Items().Delete(0);
  if (Items().Count() > 0 && Items().Items(0)->IsLine()) Items().Delete(0);
}

void TsSystemMenu::SkinItemClick(TObject* sender) {
  TsSkinManager* manager = SkinManager();
  auto* item = dynamic_cast<TMenuItem*>(sender);
  if (!manager || !item) return;
  std::string name = item->Caption();
  std::erase(name, '&');
  // A skin that cannot be loaded must not leave the window without its frame, close button and
  // this menu: its error is shown, then the skin chosen before is loaded and announced again.
  const std::string previous = manager->SkinName();
  const bool wasActive = manager->Active();
  try {
    manager->SetSkinName(name);
    if (!manager->Active()) manager->SetActive(true);
  } catch (...) {
    HandleApplicationException(this);
    RestoreSkin(*manager, previous, wasActive);
    return;
  }
  // An old-format folder has already shown its message while loading.
  if (manager->SkinRefused()) {
    RestoreSkin(*manager, previous, wasActive);
    return;
  }
  // A skin without the section of the window's frame leaves the window without its caption
  // buttons and this menu: it is reported, and the skin of before comes back.
  const std::string frame = FOwner != nullptr ? FOwner->SkinData().SkinSection : std::string();
  if (manager->Active() && !frame.empty() && GetSkinIndex(frame) < 0) {
    if (Application)
      Application->ShowException(
          Exception("The skin \"" + name + "\" has no section \"" + UpperCase(frame) + "\" for the window's frame"));
    RestoreSkin(*manager, previous, wasActive);
  }
}

void TsSystemMenu::RestoreSkin(TsSkinManager& manager, const std::string& previous, bool wasActive) {
  try {
    if (!wasActive) {
      // Skinning was off: it goes off again, and the name of before is only stored.
      manager.SetActive(false);
      manager.SetSkinName(previous);
      return;
    }
    manager.SetSkinName(previous);
    if (!manager.SkinRefused()) return;
  } catch (...) {
    // The skin of before may have been a folder that has gone bad since.
    HandleApplicationException(this);
  }
  // Then the first stored skin, which the program carries and which always loads.
  const TsStoredSkins& stored = manager.InternalSkins();
  if (stored.Count() == 0) return;
  try {
    manager.SetSkinName(stored[0].Name);
  } catch (...) {
    HandleApplicationException(this);
  }
}

// [SECTION] Commands ----------------------------------------------------------------------------

void TsSystemMenu::SendCommand(WPARAM command) {
  if (FForm) SendMessageW(FForm->Handle(), WM_SYSCOMMAND, command, 0);
}

void TsSystemMenu::RestoreClick(TObject*) {
  SendCommand(kScRestore);
  UpdateItems();
}

void TsSystemMenu::MoveClick(TObject*) { SendCommand(kScMove); }

void TsSystemMenu::SizeClick(TObject*) { SendCommand(kScSize); }

void TsSystemMenu::MinimizeClick(TObject*) {
  // The application has no window of its own besides its forms, so minimizing the main form is
  // how the application minimizes too.
  SendCommand(kScMinimize);
  UpdateItems();
}

void TsSystemMenu::MaximizeClick(TObject*) {
  SendCommand(kScMaximize);
  UpdateItems();
}

void TsSystemMenu::CloseClick(TObject*) { SendCommand(kScClose); }
