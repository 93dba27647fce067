#include "skin/controls/sSystemMenu.h"

#include <algorithm>
#include <string>

#include "framework/core/Exceptions.h"
#include "framework/core/StrUtils.h"
#include "framework/core/StringList.h"
#include "framework/win/Text.h"
#include "framework/win/Graphics.h"
#include "skin/controls/sSkinProvider.h"
#include "skin/controls/sSkinableMenus.h"
#include "skin/data/sSkinData.h"
#include "skin/data/sSkinFolder.h"
#include "skin/data/sSkinLoad.h"
#include "skin/data/sSkinLookup.h"
#include "skin/manager/sSkinManager.h"
#include "skin/runtime/sCommonData.h"

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

namespace {

// `name` as a skin item shows it: whole when its text is at most `maxWidth` pixels wide in the
// menu font, else its longest beginning (whole characters) followed by "..." that fits.
std::string ShortenedSkinName(const std::string& name, TCanvas& canvas, int maxWidth) {
  if (canvas.TextWidth(name) <= maxWidth) return name;
  // The ends of the UTF-8 characters, where a beginning may be cut.
  std::vector<std::size_t> ends;
  for (std::size_t i = 1; i <= name.size(); ++i)
    if (i == name.size() || (static_cast<unsigned char>(name[i]) & 0xC0) != 0x80) ends.push_back(i);
  std::size_t low = 0, high = ends.size();  // ends[k] fits for k < low; ends[k] does not for k >= high
  while (low < high) {
    const std::size_t middle = (low + high) / 2;
    if (canvas.TextWidth(name.substr(0, ends[middle]) + "...") <= maxWidth) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return (low == 0 ? std::string() : name.substr(0, ends[low - 1])) + "...";
}

}  // namespace

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
  // The list may take half the work area: an item's text may take that, less the room of the
  // item's glyph columns and margins and of the menu's frame.
  RECT work{};
  if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) work = RECT{0, 0, 640, 480};
  TBitmap measuring(1, 1);
  AssignMenuFont(measuring.Canvas().Font());
  constexpr int kItemRoom = 80;
  const int maxTextWidth = std::max<int>((work.right - work.left) / 2 - kItemRoom, 40);
  skinNames_.clear();
  // The skin the window wears carries the check mark (none while skinning is off).
  const std::string current = manager->Active() ? manager->SkinName() : std::string();
  for (int i = 0; i < names.Count(); ++i) {
    auto* item = new TMenuItem(nullptr);
    item->SetName(kSkinSelectItemName + std::to_string(i));
    // A folder's name is shown as it is: "&" is no access key, "-" no separator.
    item->SetCaption(ShortenedSkinName(names[i], measuring.Canvas(), maxTextWidth));
    item->SetPlainCaption(true);
    item->SetChecked(!current.empty() && SameText(names[i], current));
    skinNames_.push_back(names[i]);
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

namespace {

// While a chosen skin loads: it is not announced (NonAutoUpdate), and the skinning engine's box
// names it. Both are given back at the end.
class TQuietLoad {
 public:
  TQuietLoad(TsSkinManager& manager, const std::string& name)
      : manager_(manager), nonAutoUpdate_(NonAutoUpdate), showError_(manager.ShowError) {
    NonAutoUpdate = true;
    manager.ShowError = [shown = showError_, name](const std::string& text) {
      if (shown) shown(SkinRefusalText(name, text));
    };
  }
  ~TQuietLoad() {
    NonAutoUpdate = nonAutoUpdate_;
    manager_.ShowError = showError_;
  }
  TQuietLoad(const TQuietLoad&) = delete;
  TQuietLoad& operator=(const TQuietLoad&) = delete;

 private:
  TsSkinManager& manager_;
  bool nonAutoUpdate_;
  std::function<void(const std::string&)> showError_;
};

}  // namespace

void TsSystemMenu::SkinItemClick(TObject* sender) {
  TsSkinManager* manager = SkinManager();
  auto* item = dynamic_cast<TMenuItem*>(sender);
  if (!manager || !item || item->Parent() == nullptr) return;
  // The skin is the name the item was made for, whatever its caption shows.
  const int index = item->Parent()->IndexOf(item);
  if (index < 0 || index >= static_cast<int>(skinNames_.size())) return;
  const std::string name = skinNames_[static_cast<std::size_t>(index)];
  auto report = [this](const std::string& text) {
    if (Application) Application->ShowException(Exception(text));
  };
  // A folder that cannot be a skin is refused before anything is loaded; the skin stays. A stored
  // skin's name is the stored skin when its folder cannot be one.
  const bool stored = manager->InternalSkins().IndexOf(name) >= 0;
  if (const std::string fault = stored ? std::string() : SkinFolderFault(manager->GetFullskinDirectory(), name);
      !fault.empty()) {
    report(SkinRefusalText(name, fault));
    return;
  }
  // A skin that cannot be loaded must not leave the window without its frame, close button and
  // this menu: its error is shown, then the skin chosen before is loaded and announced again.
  // The new skin is loaded without being announced, so that it is checked before it is shown.
  const std::string previous = manager->SkinName();
  const bool wasActive = manager->Active();
  try {
    const TQuietLoad quiet(*manager, name);
    manager->SetSkinName(name);
    if (!manager->Active()) manager->SetActive(true);
  } catch (const std::exception& error) {
    report(SkinLoadErrorText(name, error));
    RestoreSkin(*manager, previous, wasActive);
    return;
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
  // buttons and this menu, and one whose frame region cuts the caption or the close button away
  // leaves it without a way back: the skin of before comes back, then the box says why.
  const std::string frame = FOwner != nullptr ? FOwner->SkinData().SkinSection : std::string();
  if (!frame.empty() && GetSkinIndex(frame) < 0) {
    RestoreSkin(*manager, previous, wasActive);
    report("The skin \"" + name + "\" has no section \"" + UpperCase(frame) + "\" for the window's frame");
    return;
  }
  if (const std::string hidden = FOwner != nullptr ? FOwner->HiddenFramePart() : std::string(); !hidden.empty()) {
    RestoreSkin(*manager, previous, wasActive);
    report(SkinRefusalText(name, "its \"" + UpperCase(frame) + "\" border mask leaves no visible pixel of the window's " +
                                     hidden));
    return;
  }
  if (!NonAutoUpdate) manager->UpdateSkin();
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
