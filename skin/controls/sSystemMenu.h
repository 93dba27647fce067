#pragma once
// TsSystemMenu: the system menu that a skinned form's provider opens itself, since the skinned
// frame takes the operating system's own away. Its items, in order:
//
//   "ItemRestore" "ItemMove" "Itemsize" "ItemMinimize" "ItemMaximize" separator "ItemClose"
//
// with captions from the program's string resources (kSysMenuRestore ... kSysMenuClose). Which of
// them show and which can be chosen follows the form's border style, its window state and the
// provider's border icons (not the form's); UpdateItems recomputes that. With a skin manager the
// menu also lists every available skin under "Available skins" at its top (MakeSkinItems);
// choosing one selects it through the manager's SkinName.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/win/Forms.h"
#include "framework/win/Menus.h"
#include "skin/controls/sSkinProviderTypes.h"

class TsSkinManager;
class TsSkinProvider;

// String resources of the menu's captions.
constexpr unsigned kSysMenuClose = 58976;
constexpr unsigned kSysMenuMaximize = 58977;
constexpr unsigned kSysMenuMinimize = 58978;
constexpr unsigned kSysMenuSize = 58979;
constexpr unsigned kSysMenuMove = 58980;
constexpr unsigned kSysMenuRestore = 58981;
constexpr unsigned kSysMenuAvailableSkins = 58964;

// Commands the items send to the form with WM_SYSCOMMAND.
constexpr WPARAM kScRestore = 0xF120;
constexpr WPARAM kScMove = 0xF010;
constexpr WPARAM kScSize = 0xF000;
constexpr WPARAM kScMinimize = 0xF020;
constexpr WPARAM kScMaximize = 0xF030;
constexpr WPARAM kScClose = 0xF060;

// Alt+F4, shown beside "Close".
constexpr TShortCut kCloseShortCut = 0x8073;

// Name of the item that holds the skin list, and the prefix of its sub-items' names.
inline constexpr const char* kSkinSelectItemName = "SkinSelectItem";

// The text of one of the program's string resources; empty when it has none of that number.
std::string LoadResourceString(unsigned id);

class TsSystemMenu : public TPopupMenu {
 public:
  // The menu of `provider`'s frame around `form` (either may be null: a menu without a form
  // leaves its items as they are). The provider frees the menu; nothing else owns it.
  TsSystemMenu(TsSkinProvider* provider, TCustomForm* form);
  ~TsSystemMenu() override;

  TsSkinProvider* FOwner = nullptr;
  TCustomForm* FForm = nullptr;

  // Readers of the provider's border icons and of its skin manager; unset, the default
  // border icons and no manager are assumed.
  std::function<TsBorderIcons()> ProviderBorderIcons;
  std::function<TsSkinManager*()> ProviderSkinManager;

  TMenuItem* ItemRestore = nullptr;
  TMenuItem* ItemMove = nullptr;
  TMenuItem* ItemSize = nullptr;
  TMenuItem* ItemMinimize = nullptr;
  TMenuItem* ItemMaximize = nullptr;
  TMenuItem* ItemClose = nullptr;

  // Applies the visibility and enabled rules to the six items; nothing without a form.
  void UpdateItems();
  // Inserts "Available skins" (one sub-item per skin name of the manager) and a separator at
  // the top; nothing without a manager or when it knows no skin.
  void MakeSkinItems();
  // Takes out what MakeSkinItems inserted, if the menu starts with it.
  void RemoveSkinItems();

  // The rules UpdateItems applies, for the caption buttons and the hit test too.
  bool RestoreVisible() const;
  bool RestoreEnabled() const;
  bool SizeVisible() const;
  bool SizeEnabled() const;
  bool MinimizeVisible() const;
  bool MinimizeEnabled() const;
  bool MaximizeVisible() const;
  bool MaximizeEnabled() const;
  bool MoveEnabled() const;
  bool CloseVisible() const;

 private:
  TMenuItem* AddItem(const char* name, unsigned captionId, void (TsSystemMenu::*click)(TObject*));
  TsBorderIcons BorderIcons() const;
  TsSkinManager* SkinManager() const;
  bool HasForm() const { return FForm != nullptr; }
  bool Maximized() const;
  bool Minimized() const;
  void SendCommand(WPARAM command);

  void RestoreClick(TObject* sender);
  void MoveClick(TObject* sender);
  void SizeClick(TObject* sender);
  void MinimizeClick(TObject* sender);
  void MaximizeClick(TObject* sender);
  void CloseClick(TObject* sender);
  void SkinItemClick(TObject* sender);
  // The skin each item of "Available skins" chooses, by its position there.
  std::vector<std::string> skinNames_;
  // After a skin that failed to load: `previous` again, else the first stored skin.
  void RestoreSkin(TsSkinManager& manager, const std::string& previous, bool wasActive);
};
