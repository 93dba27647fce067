#pragma once
// The skin manager component and the delivery of skin messages to the windows of the
// application. The first manager created is the default manager (sSkinData->SkinManager): only
// it loads skins into the skin arrays and announces them.
#include <string>
#include <string_view>

#include "framework/core/StringList.h"
#include "framework/win/Classes.h"
#include "framework/win/Messages.h"
#include "skin/data/sMessages.h"
#include "skin/data/sStoredSkin.h"

class TControl;

// A component that takes skin messages straight into its handler rather than through a
// window (the form's skin provider).
class TsSkinMessageReceiver {
 public:
  virtual ~TsSkinMessageReceiver() = default;
  virtual void SkinMessage(TMessage& message) = 0;
};

class TsSkinManager : public TComponent {
 public:
  explicit TsSkinManager(TComponent* owner);
  ~TsSkinManager() override;
  void BeforeDestruction() override;

  bool Active() const { return active_; }
  void SetActive(bool value);
  const TStringList& CommonSections() const { return commonSections_; }
  void SetCommonSections(const TStringList& lines);
  TsStoredSkins& InternalSkins() { return internalSkins_; }
  void SetBuiltInSkins(const TsStoredSkins& skins);
  const std::string& SkinDirectory() const { return skinDirectory_; }
  void SetSkinDirectory(const std::string& directory);
  const std::string& SkinName() const { return skinName_; }
  void SetSkinName(const std::string& name);
  bool SkinnedPopups() const { return skinnedPopups_; }
  void SetSkinnedPopups(bool value);
  TNotifyEvent OnAfterChange;
  TNotifyEvent OnBeforeChange;

  bool IsDefault() const;
  void Loaded() override;
  bool ReadProperty(TReader& reader, const TDefProperty& property) override;

  void SendNewSkin();
  void UpdateSkin() { SendNewSkin(); }
  void SendRemoveSkin();
  void UpdateSkinSection(const std::string& section);
  TColor GetGlobalColor() const;
  void GetSkinSections(TStringList& list) const;

  std::string GetFullskinDirectory() const;
  std::string GetSkinNames(TStringList& list) const;
  std::string GetExternalSkinNames(TStringList& list) const;
  // Extraction shows its failures in the skinning engine's error box.
  void ExtractInternalSkin(const std::string& name, const std::string& destination) const;
  void ExtractByIndex(int index, const std::string& destination) const;
  void SaveToIni(int index, TMemIniFile& ini) const;

 private:
  bool OwnerLoading() const;
  void LoadSkin();

  bool active_ = false;
  TStringList commonSections_;
  TsStoredSkins internalSkins_;
  std::string skinDirectory_;
  std::string skinName_;
  bool skinnedPopups_ = false;
};

// The skinning engine's error box: "Error", an error icon and one OK button.
void ShowSkinError(const std::string& text);

// Delivery. Errors a receiver raises are swallowed; they end the delivery to that form only.
void BroadCastS(TComponent* control, TMessage& message);
void AppBroadCastS(TMessage& message);
void UpdateControls(TControl* control);
