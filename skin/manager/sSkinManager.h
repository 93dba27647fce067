#pragma once
// TsSkinManager: the non-visual component that owns the skins and decides which one is active.
//
// The first manager created in the process becomes the default manager (sSkinData->SkinManager);
// only the default manager loads skins into the process-wide arrays and announces skin changes
// to the forms of the application. Any later manager only stores what it is given. The default
// manager stays the default until it is destroyed; no other takes its place afterwards.
//
// While its window is being read from the stored definition, setting SkinName or Active only
// records the value; Loaded then loads and announces the named skin once.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "framework/core/Geometry.h"
#include "framework/core/StringList.h"
#include "framework/win/Classes.h"
#include "skin/data/sStoredSkin.h"
#include "skin/runtime/sMessagesWin.h"

class TMemIniFile;
class TMenuItem;
class TsSkinManager;

// The skinned menus as the manager drives them: refreshed after each skin selection and told
// of every menu item its form gains or loses. The menus library implements it.
class TsMenuSkinning : public TPersistent {
 public:
  virtual void UpdateMenus() = 0;
  virtual void InitItem(TMenuItem* item, bool value) = 0;
};

// What the manager gets from the libraries above it, handed over by the program before its
// first manager is made:
// - MakeMenus: the skinned menus the default manager makes and owns (none when unset);
// - MenusEnded: runs when the last manager goes while no default is left (frees what the
//   menus cached);
// - LoadStoredSkins: the program's stored skins, read for "InternalSkins" (an error in the
//   definition when unset).
struct TsManagerHooks {
  std::function<std::unique_ptr<TsMenuSkinning>(TsSkinManager& manager)> MakeMenus;
  std::function<void()> MenusEnded;
  std::function<bool(TsStoredSkins& skins)> LoadStoredSkins;
};
TsManagerHooks& ManagerHooks();

// The first skin manager among the components owned by `component`, depth first.
TsSkinManager* SearchSkinManager(TComponent* component);

class TsSkinManager : public TComponent {
 public:
  explicit TsSkinManager(TComponent* owner);
  ~TsSkinManager() override;
  void BeforeDestruction() override;

  // Published properties, in their stored order.
  bool Active() const { return active_; }
  void SetActive(bool value);
  const TStringList& CommonSections() const { return commonSections_; }
  void SetCommonSections(const TStringList& lines);
  TsStoredSkins& InternalSkins() { return internalSkins_; }
  const TsStoredSkins& InternalSkins() const { return internalSkins_; }
  void SetBuiltInSkins(const TsStoredSkins& skins);
  const std::string& SkinDirectory() const { return skinDirectory_; }
  void SetSkinDirectory(const std::string& directory);
  const std::string& SkinName() const { return skinName_; }
  void SetSkinName(const std::string& name);
  bool SkinnedPopups() const { return skinnedPopups_; }
  void SetSkinnedPopups(bool value);
  // The skinned popup and system menus; the default manager makes them (ManagerHooks().MakeMenus)
  // and frees them with itself, other managers have none.
  std::unique_ptr<TsMenuSkinning> SkinableMenus;
  TNotifyEvent OnAfterChange;  // after every skin selection
  TNotifyEvent OnBeforeChange;  // before every skin selection

  // This manager is the one that loads and announces skins.
  bool IsDefault() const;
  // True when the last skin selection found an old-format folder: its message was shown and
  // its sections were not loaded.
  bool SkinRefused() const { return skinRefused_; }

  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  // SkinDirectory, SkinName, Active, SkinnedPopups, CommonSections (a list of lines) and
  // InternalSkins: the program's stored skins, all of them ("StoredSkins") or a list of their
  // names, in the order wanted.
  bool ReadProperty(TReader& reader, const TDefProperty& property) override;

  // Announcements.
  // Announces the loaded skin to every form: new-skin while the skin is inactive and drawing
  // restricted, then ConstData, then the repaint with the skin active.
  void SendNewSkin();
  // The same, for callers that changed the skin data themselves (or loaded with NonAutoUpdate).
  void UpdateSkin() { SendNewSkin(); }
  // Announces that skinning ends, then frees the skin arrays.
  void SendRemoveSkin();
  // Asks every control of `section` (any case) to repaint; nothing is reloaded.
  void UpdateSkinSection(std::string_view section);
  void InitConstantIndexes();

  // The skin's global colour: "GLOBALINFO"'s Color, or the button-face system colour.
  TColor GetGlobalColor() const;
  // The section names of the active skin folder's "Options.dat"; unchanged for a stored skin.
  void GetSkinSections(TStringList& list) const;
  // Replaces or adds one mask or pattern of the active skin from a picture file; the caller
  // repaints. False when nothing changed.
  bool ChangeImageInSkin(std::string_view section, std::string_view property, std::string_view file);

  // Skin sources.
  std::string GetFullskinDirectory() const;
  // All skin names (stored skins, then folders); returns the first.
  std::string GetSkinNames(TStringList& list) const;
  std::string GetExternalSkinNames(TStringList& list) const;
  // Writes a stored skin out as a folder "NAME extracted" under `destination`; errors go to
  // the error box. True on success.
  bool ExtractInternalSkin(std::string_view name, std::string_view destination);
  bool ExtractByIndex(int index, std::string_view destination);
  void SaveToIni(int index, TMemIniFile& ini) const;

  // The skinning engine's error box for skin errors the user must see (caption "Error", one
  // OK button). A host (a test) may replace it to see the texts instead.
  std::function<void(const std::string& text)> ShowError;

 private:
  bool StillReading() const;
  // The window the error box shows over: the manager's form while it is shown, else none.
  HWND ErrorBoxOwner() const;
  void LoadSkin();

  bool active_ = false;
  TStringList commonSections_;
  TsStoredSkins internalSkins_;
  std::string skinDirectory_;
  std::string skinName_;
  bool skinnedPopups_ = false;
  bool skinRefused_ = false;
  // Reserved value passed as WParam of every announcement.
  static constexpr std::uintptr_t kAnnouncementWParam = 0;
};

// The error box of the skinning engine: `text`, caption "Error", error icon, OK; owned by and
// centred on `owner`, by default the active window.
void ShowSkinError(const std::string& text, HWND owner = nullptr);
