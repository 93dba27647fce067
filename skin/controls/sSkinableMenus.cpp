#include "skin/controls/sSkinableMenus.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "framework/win/Forms.h"
#include "framework/win/Gdi.h"
#include "framework/win/Text.h"
#include "skin/data/sSkinData.h"
#include "skin/data/sSkinLookup.h"
#include "skin/manager/sSkinManager.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sPaintItem.h"
#include "skin/paint/win/sGraphUtilsWin.h"
#include "skin/paint/win/sText.h"

namespace {

// The handlers hooked items get: named types, so that unhooking can tell ours from an
// application's own (std::function::target).
struct TsMeasureHook {
  TsSkinableMenus* Menus;
  void operator()(TObject* sender, TCanvas& canvas, int& width, int& height) const {
    Menus->sMeasureItem(sender, canvas, width, height);
  }
};
struct TsDrawHook {
  TsSkinableMenus* Menus;
  void operator()(TObject* sender, TCanvas& canvas, TRect rect, TOwnerDrawState state) const {
    Menus->sAdvancedDrawItem(sender, canvas, rect, state);
  }
};

// The menu background cache: one entry per drawn menu level since the last skin change. The key
// is the item that holds the level (a popup's root item for its top level): the system menu
// makes its first item, the skin list, anew each time it opens, so a key among the level's own
// items would paint the top level again at every opening. An entry goes as soon as its key item
// is destroyed, so that a later item at the same address never finds another menu's picture.
struct TMenuBG {
  const TMenuItem* Item;
  std::unique_ptr<TBitmap> Bmp;
};
std::vector<TMenuBG> MenuBGArray;
std::int64_t menuBGPaints = 0;

// Hears of the destruction of key items.
class TMenuBGKeys : public TComponent {
 public:
  TMenuBGKeys() : TComponent(nullptr) {}
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove)
      std::erase_if(MenuBGArray, [component](const TMenuBG& entry) { return entry.Item == component; });
  }
};
std::unique_ptr<TMenuBGKeys> menuBGKeys;

constexpr const char* kMainMenuSection = "MAINMENU";
constexpr const char* kMenuItemSection = "MENUITEM";
constexpr TColor kEtchDark = 0x808080;
// Where the shortcut text ends, from the item's right edge.
constexpr std::int32_t kShortCutRightGap = 8;

// Rounded to the nearest integer, halves to even.
std::int32_t RoundEven(double value) { return static_cast<std::int32_t>(std::nearbyint(value)); }

const TMenuItem* LevelKey(const TMenuItem* item) { return item->Parent() != nullptr ? item->Parent() : item; }

std::string ShortCutText(const TMenuItem* item) { return ShortCutToText(item->ShortCut()); }

}  // namespace

void AssignMenuFont(TFont& font) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return;
  const LOGFONTW& menuFont = metrics.lfMenuFont;
  font.SetName(Narrow(menuFont.lfFaceName));
  font.SetHeight(menuFont.lfHeight);
  font.SetCharset(menuFont.lfCharSet);
  font.SetStyle(static_cast<TFontStyles>((menuFont.lfWeight >= FW_BOLD ? fsBold : 0) |
                                         (menuFont.lfItalic ? fsItalic : 0)));
}

namespace {

// The image list the item's glyph comes from: its menu's, when the item names one of its pictures.
const TCustomImageList* ItemImages(const TMenuItem* item) {
  const TPopupMenu* menu = item->GetParentMenu();
  const TCustomImageList* images = menu != nullptr ? menu->Images() : nullptr;
  if (images == nullptr || item->ImageIndex() < 0 || item->ImageIndex() >= images->Count()) return nullptr;
  return images;
}

}  // namespace

TPoint GlyphSize(const TMenuItem* item) {
  auto* own = const_cast<TMenuItem*>(item);
  if (own->HasBitmap()) return TPoint{own->Bitmap().Width(), own->Bitmap().Height()};
  const TPopupMenu* menu = item->GetParentMenu();
  if (menu != nullptr && menu->Images() != nullptr) return TPoint{menu->Images()->Width(), menu->Images()->Height()};
  return TPoint{16, 16};
}

std::int32_t GetItemIndex(const TMenuItem* item) {
  for (std::size_t i = 0; i < MenuBGArray.size(); ++i)
    if (MenuBGArray[i].Item == item) return static_cast<std::int32_t>(i);
  return -1;
}

void DeleteUnusedBmps(bool all) {
  if (!all) return;
  MenuBGArray.clear();
  menuBGKeys.reset();
}

std::int32_t MenuBGCount() { return static_cast<std::int32_t>(MenuBGArray.size()); }
std::int64_t MenuBGPaintCount() { return menuBGPaints; }

// [SECTION] Hooking

TsSkinableMenus::TsSkinableMenus(TsSkinManager* owner) : owner_(owner) {}

void UseSkinableMenus() {
  TsManagerHooks& hooks = ManagerHooks();
  hooks.MakeMenus = [](TsSkinManager& manager) -> std::unique_ptr<TsMenuSkinning> {
    return std::make_unique<TsSkinableMenus>(&manager);
  };
  hooks.MenusEnded = [] { DeleteUnusedBmps(true); };
}

TsSkinableMenus* SkinableMenusOf(const TsSkinManager* manager) {
  return manager != nullptr ? dynamic_cast<TsSkinableMenus*>(manager->SkinableMenus.get()) : nullptr;
}

TsSkinableMenus::~TsSkinableMenus() = default;

bool TsSkinableMenus::SkinnedPopups() const { return owner_ == nullptr || owner_->SkinnedPopups(); }

void TsSkinableMenus::SetActive(bool value) {
  if (value == active_) return;
  active_ = value;
  InitItems(value);
}

void TsSkinableMenus::UpdateMenus() { SetActive(sSkinData != nullptr && sSkinData->Active); }

bool TsSkinableMenus::IsOurMeasure(const TMenuMeasureItemEvent& handler) const {
  const auto* hook = handler.target<TsMeasureHook>();
  return hook != nullptr && hook->Menus == this;
}

bool TsSkinableMenus::IsOurDraw(const TAdvancedMenuDrawItemEvent& handler) const {
  const auto* hook = handler.target<TsDrawHook>();
  return hook != nullptr && hook->Menus == this;
}

void TsSkinableMenus::HookOne(TMenuItem* item, bool value) {
  if (value) {
    if (!item->OnAdvancedDrawItem) item->OnAdvancedDrawItem = TsDrawHook{this};
    if (!item->OnMeasureItem) item->OnMeasureItem = TsMeasureHook{this};
  } else {
    if (IsOurDraw(item->OnAdvancedDrawItem)) item->OnAdvancedDrawItem = nullptr;
    if (IsOurMeasure(item->OnMeasureItem)) item->OnMeasureItem = nullptr;
  }
}

void TsSkinableMenus::HookItem(TMenuItem* item, bool value) {
  if (IsTopLine(item)) return;
  for (int i = 0; i < item->Count(); ++i) {
    TMenuItem* child = item->Items(i);
    HookOne(child, value);
    HookItem(child, value);
  }
}

void TsSkinableMenus::InitItem(TMenuItem* item, bool value) {
  if (TPopupMenu* menu = item->GetParentMenu()) menu->SetOwnerDraw(value);
  HookOne(item, value);
}

void TsSkinableMenus::HookPopupMenu(TPopupMenu* menu, bool value) {
  menu->SetOwnerDraw(value);
  HookItem(&menu->Items(), value);
}

void TsSkinableMenus::InitComponent(TComponent* component, bool value) {
  for (int i = 0; i < component->ComponentCount(); ++i) {
    TComponent* child = component->Components(i);
    // Unhooking does not ask: popups hooked while SkinnedPopups was set go back to the
    // platform's drawing when the skin goes, also when the switch was cleared meanwhile.
    if (SkinnedPopups() || !value) {
      if (auto* menu = dynamic_cast<TPopupMenu*>(child)) HookPopupMenu(menu, value);
      else if (auto* item = dynamic_cast<TMenuItem*>(child)) HookItem(item, value);
    }
    InitComponent(child, value);
  }
}

void TsSkinableMenus::InitItems(bool value) {
  active_ = value;
  if (owner_ != nullptr && owner_->InState(csDesigning)) return;
  if (Application != nullptr) InitComponent(Application, value);
}

// [SECTION] Measuring

bool TsSkinableMenus::IsDivText(const TMenuItem* item) {
  const std::string& caption = item->Caption();
  return !item->PlainCaption() && caption.size() > 1 && caption.front() == '-' && caption.back() == '-';
}

TsMenuItemType TsSkinableMenus::ItemType(const TMenuItem* item) {
  if (item->IsLine()) return smDivider;
  if (IsDivText(item)) return smCaption;
  return smNormal;
}

std::int32_t TsSkinableMenus::GetItemHeight(TCanvas& canvas, TMenuItem* item) {
  const std::int32_t textHeight = RoundEven(1.25 * canvas.TextHeight("W"));
  switch (ItemType(item)) {
    case smDivider: return 2;
    case smCaption: return textHeight + 2 * Margin;
    default: return std::max(textHeight, GlyphSize(item).Y) + 2 * Margin;
  }
}

// Sum of the heights of the visible items above `item` in its level.
static std::int32_t HeightAbove(TsSkinableMenus& menus, TCanvas& canvas, TMenuItem* item) {
  TMenuItem* parent = item->Parent();
  std::int32_t height = 0;
  for (int i = 0; parent != nullptr && i < parent->Count() && parent->Items(i) != item; ++i)
    if (parent->Items(i)->Visible()) height += menus.GetItemHeight(canvas, parent->Items(i));
  return height;
}

std::int32_t TsSkinableMenus::ParentHeight(TCanvas& canvas, TMenuItem* item) {
  TMenuItem* parent = item->Parent();
  if (parent == nullptr) return GetItemHeight(canvas, item);
  std::int32_t height = 0;
  for (int i = 0; i < parent->Count(); ++i)
    if (parent->Items(i)->Visible()) height += GetItemHeight(canvas, parent->Items(i));
  return height;
}

void TsSkinableMenus::sMeasureItem(TObject* Sender, TCanvas& ACanvas, int& Width, int& Height) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (item == nullptr || item->InState(csDestroying)) return;
  AssignMenuFont(ACanvas.Font());
  const std::int32_t glyph = GlyphSize(item).X;
  TRect text{0, 0, 0, 0};
  switch (ItemType(item)) {
    case smDivider:
      Width = 2 * glyph + 3 * Margin;
      break;
    case smCaption:
      ACanvas.DrawText("-" + item->Caption() + "-", text, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
      Width = 2 * glyph + WidthOf(text) + 3 * Margin;
      break;
    default:
      ACanvas.DrawText(item->Caption() + ShortCutText(item), text,
                       DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS | (item->PlainCaption() ? DT_NOPREFIX : 0u));
      Width = 2 * glyph + WidthOf(text) + 3 * Margin;
      break;
  }
  Height = GetItemHeight(ACanvas, item);
}

// [SECTION] Drawing

void TsSkinableMenus::PaintDivider(TCanvas& canvas, TRect R) {
  R.Left += CursorMarginH() + Margin;
  R.Right -= CursorMarginH() + Margin;
  std::int32_t width = 1;
  DrawRectangleOnDC(canvas.Handle(), R, kEtchDark, clWhite, width);
}

TBitmap* TsSkinableMenus::LevelBackground(TMenuItem* item, TCanvas& canvas, const TRect& ARect) {
  const TMenuItem* key = LevelKey(item);
  std::int32_t entry = GetItemIndex(key);
  // A level whose items grew since its picture was made gets a new one.
  if (entry >= 0) {
    const TBitmap& known = *MenuBGArray[static_cast<std::size_t>(entry)].Bmp;
    if (known.Width() >= ARect.Right && known.Height() >= ARect.Bottom)
      return MenuBGArray[static_cast<std::size_t>(entry)].Bmp.get();
    MenuBGArray.erase(MenuBGArray.begin() + entry);
  }
  const std::int32_t top = std::max(ARect.Top - HeightAbove(*this, canvas, item), 0);
  const std::int32_t bottom = std::max(top + ParentHeight(canvas, item), ARect.Bottom);
  auto picture = std::make_unique<TBitmap>(ARect.Right, bottom);
  if (picture->Empty()) return nullptr;
  FillDC(picture->DC(), TRect{0, 0, picture->Width(), bottom}, clWhite);
  const std::int32_t mainMenu = GetSkinIndex(kMainMenuSection);
  if (mainMenu >= 0) {
    PaintItem(mainMenu, kMainMenuSection, EmptyCI, true, 0, TRect{ARect.Left, top, ARect.Right, bottom},
              TPoint{ARect.Left, top}, picture->View());
  }
  ++menuBGPaints;
  if (!menuBGKeys) menuBGKeys = std::make_unique<TMenuBGKeys>();
  menuBGKeys->FreeNotification(const_cast<TMenuItem*>(key));
  MenuBGArray.push_back(TMenuBG{key, std::move(picture)});
  return MenuBGArray.back().Bmp.get();
}

void TsSkinableMenus::sAdvancedDrawItem(TObject* Sender, TCanvas& ACanvas, TRect ARect, TOwnerDrawState State) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (item == nullptr || item->InState(csDestroying)) return;
  const TsMenuItemType kind = ItemType(item);
  if (kind == smDivider) {
    // Over the menu's background, so that the row beside the etched line is the skin's too.
    TBitmap line(std::max<std::int32_t>(WidthOf(ARect), 1), std::max<std::int32_t>(HeightOf(ARect), 1));
    AssignMenuFont(line.Canvas().Font());
    if (TBitmap* background = LevelBackground(item, line.Canvas(), ARect)) {
      BitBlt(ACanvas.Handle(), ARect.Left, ARect.Top, WidthOf(ARect), HeightOf(ARect), background->DC(), ARect.Left,
             ARect.Top, SRCCOPY);
    }
    PaintDivider(ACanvas, ARect);
    return;
  }
  if (kind == smCaption) {
    PaintCaption(ACanvas, ARect);
    return;
  }
  const std::int32_t w = WidthOf(ARect), h = HeightOf(ARect);
  if (w <= 0 || h <= 0) return;
  TBitmap bmp(w, h);
  TCanvas& canvas = bmp.Canvas();
  AssignMenuFont(canvas.Font());

  // 1. The level's background, painted once per skin. It covers the menu's client area from
  // its corner to the end of the level's items; the items may start inside a frame the system
  // draws around them (3 pixels under Wine), and the skin paints the items' area only.
  TBitmap* background = LevelBackground(item, canvas, ARect);
  if (background == nullptr) return;

  // 2. The item over its slice of the background.
  const bool hot = (State & (ODS_SELECTED | ODS_HOTLIGHT)) != 0;
  BitBlt(bmp.DC(), 0, 0, w, h, background->DC(), ARect.Left, ARect.Top, SRCCOPY);
  const std::int32_t menuItem = GetSkinIndex(kMenuItemSection);
  if (menuItem >= 0) {
    const TCacheInfo parent{background->View(), 0, 0, true};
    PaintItem(menuItem, kMenuItemSection, parent, true, hot ? 1 : 0, TRect{0, 0, w, h}, TPoint{ARect.Left, ARect.Top},
              bmp.View());
  }

  // 3. The checked item's glyph box and mark; 4. the item's own glyph.
  const TPoint glyph = GlyphSize(item);
  const TCustomImageList* images = ItemImages(item);
  if (item->Checked()) {
    TRect box{Margin, (h - glyph.Y) / 2, Margin + glyph.X, (h - glyph.Y) / 2 + glyph.Y};
    BlendColorRect(bmp.View(), TRect{box.Left, box.Top, box.Right - 1, box.Bottom - 1}, 50, clWhite);
    std::int32_t frame = 1;
    DrawRectangleOnDC(bmp.DC(), box, kEtchDark, clWhite, frame);
    if (!item->HasBitmap() && images == nullptr) PaintCheck(canvas, box, item->Enabled(), clBlack);
  }
  if (item->HasBitmap()) {
    const std::int32_t at = (h - glyph.Y) / 2;
    BitBlt(bmp.DC(), at, at, glyph.X, glyph.Y, item->Bitmap().DC(), 0, 0, SRCCOPY);
  } else if (images != nullptr) {
    const std::int32_t at = (h - images->Height()) / 2;
    images->Draw(canvas, at, at, item->ImageIndex(), item->Enabled());
  }

  // 5.-7. Caption and shortcut in the "MENUITEM" colours.
  if (item->Default()) canvas.Font().SetStyle(static_cast<TFontStyles>(canvas.Font().Style() | fsBold));
  std::string caption = item->Caption();
  UINT align = Alignment == TAlignment::taRightJustify ? DT_RIGHT : Alignment == TAlignment::taCenter ? DT_CENTER : DT_LEFT;
  if (!item->PlainCaption() && !caption.empty() && caption.front() == '\b') {
    caption = caption.substr(1) + "      ";
    align = DT_RIGHT;
  }
  const UINT flags = align | DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER | DT_NOCLIP |
                     (item->PlainCaption() ? DT_NOPREFIX : DT_HIDEPREFIX);
  TRect textRect{glyph.X + 2 * Margin, 0, w, h};
  WriteTextEx(canvas, caption, item->Enabled(), textRect, flags, menuItem, hot);
  if (item->ShortCut() != 0) {
    const std::string shortCut = ShortCutText(item);
    const std::int32_t right = w - kShortCutRightGap;
    TRect shortCutRect{right - canvas.TextWidth(shortCut), 0, right, h};
    WriteTextEx(canvas, shortCut, item->Enabled(), shortCutRect, DT_RIGHT | DT_SINGLELINE | DT_VCENTER | DT_NOCLIP,
                menuItem, hot);
  }

  // 8. The application's last word; 9. one copy to the menu.
  if (OnDrawItem) OnDrawItem(item, canvas, TRect{0, 0, w, h}, State, smNormal);
  BitBlt(ACanvas.Handle(), ARect.Left, ARect.Top, w, h, bmp.DC(), 0, 0, SRCCOPY);
}
