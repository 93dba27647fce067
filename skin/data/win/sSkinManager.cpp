#include "skin/data/win/sSkinManager.h"

#include <windows.h>

#include "framework/core/IniFiles.h"
#include "framework/core/StrUtils.h"
#include "framework/win/Controls.h"
#include "framework/win/Forms.h"
#include "framework/win/Reader.h"
#include "framework/win/Text.h"
#include "resources/skins/StoredSkins.h"
#include "skin/data/sSkinData.h"
#include "skin/data/sSkinFolder.h"
#include "skin/data/sSkinLoad.h"
#include "skin/data/sSkinLookup.h"

namespace {

// The folder of the program file, with its trailing backslash.
std::string ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  const std::string utf8 = Narrow(path);
  return utf8.substr(0, utf8.find_last_of('\\') + 1);
}

LPARAM ManagerParam(TsSkinManager* manager) { return reinterpret_cast<LPARAM>(manager); }

}  // namespace

void ShowSkinError(const std::string& text) {
  MessageBoxW(nullptr, Widen(text).c_str(), L"Error", MB_OK | MB_ICONERROR);
}

// [SECTION] The manager --------------------------------------------------------------------------

TsSkinManager::TsSkinManager(TComponent* owner) : TComponent(owner) {
  if (sSkinData->SkinManager == nullptr) {
    if (skinDirectory_.empty()) skinDirectory_ = "c:\\Skins";
    active_ = true;
    skinnedPopups_ = true;
    sSkinData->SkinManager = this;
  }
}

TsSkinManager::~TsSkinManager() = default;

void TsSkinManager::BeforeDestruction() {
  if (IsDefault()) {
    SendRemoveSkin();
    sSkinData->SkinManager = nullptr;
  }
  TComponent::BeforeDestruction();
}

bool TsSkinManager::IsDefault() const { return sSkinData->SkinManager == this; }

bool TsSkinManager::OwnerLoading() const { return Owner() != nullptr && Owner()->InState(csLoading); }

bool TsSkinManager::ReadProperty(TReader& reader, const TDefProperty& property) {
  if (property.Name == "SkinDirectory") {
    SetSkinDirectory(reader.String(property));
  } else if (property.Name == "SkinName") {
    SetSkinName(reader.String(property));
  } else if (property.Name == "Active") {
    SetActive(reader.Boolean(property));
  } else if (property.Name == "SkinnedPopups") {
    SetSkinnedPopups(reader.Boolean(property));
  } else if (property.Name == "CommonSections") {
    TStringList lines;
    for (auto& line : reader.Strings(property)) lines.Add(line);
    SetCommonSections(lines);
  } else if (property.Name == "InternalSkins") {
    // The skins are the program's own, generated at build time; the definition names them.
    if (property.Value.Text != "StoredSkins" || !LoadStoredSkins(internalSkins_))
      reader.Fail(property, "unknown stored skins '" + property.Value.Text + "'");
  } else {
    return TComponent::ReadProperty(reader, property);
  }
  return true;
}

void TsSkinManager::SetActive(bool value) {
  if (value == active_) return;
  active_ = value;
  if (active_) {
    SetSkinName(skinName_);
  } else {
    if (!OwnerLoading()) SendRemoveSkin();
    InitConstantIndexes();
  }
}

void TsSkinManager::SetCommonSections(const TStringList& lines) {
  commonSections_ = PrepareCommonSections(lines);
  SetSkinName(skinName_);
}

void TsSkinManager::SetBuiltInSkins(const TsStoredSkins& skins) {
  // Copies through the stored form, which carries every published property.
  ReadStoredSkins(WriteStoredSkins(skins), internalSkins_);
}

void TsSkinManager::SetSkinDirectory(const std::string& directory) {
  if (directory == skinDirectory_) return;
  skinDirectory_ = directory;
  sSkinData->SkinPath = GetFullskinDirectory();
}

void TsSkinManager::SetSkinnedPopups(bool value) { skinnedPopups_ = value; }

void TsSkinManager::LoadSkin() {
  TsSkinSource source;
  source.SkinName = skinName_;
  source.InternalSkins = &internalSkins_;
  source.CommonSections = commonSections_;
  source.ShowError = ShowSkinError;
  LoadSkinArrays(source);
}

void TsSkinManager::SetSkinName(const std::string& name) {
  skinName_ = name;
  if (!active_ || !IsDefault()) return;
  if (OnBeforeChange) OnBeforeChange(this);
  if (skinName_.empty()) skinDirectory_.clear();
  skinName_ = SelectSkinSource(skinName_, GetFullskinDirectory(), internalSkins_);
  if (!OwnerLoading()) {
    LoadSkin();
    if (!NonAutoUpdate) SendNewSkin();
  }
  if (OnAfterChange) OnAfterChange(this);
}

void TsSkinManager::Loaded() {
  TComponent::Loaded();
  if (IsDefault() && active_ && !skinName_.empty()) {
    LoadSkin();
    SendNewSkin();
  }
}

void TsSkinManager::SendNewSkin() {
  sSkinData->Active = false;
  RestrictDrawing = true;
  TMessage message{SKM_NEWSKIN, 0, ManagerParam(this), 0};
  AppBroadCastS(message);
  InitConstantIndexes();
  RestrictDrawing = false;
  TMessage repaint{SKM_REPAINT, 0, ManagerParam(this), 0};
  sSkinData->Active = true;
  AppBroadCastS(repaint);
}

void TsSkinManager::SendRemoveSkin() {
  sSkinData->Active = false;
  TMessage message{SKM_REMOVESKIN, 0, ManagerParam(this), 0};
  AppBroadCastS(message);
  FreeBitmaps();
  FreeJpegs();
  gd.clear();
}

void TsSkinManager::UpdateSkinSection(const std::string& section) {
  GlobalSectionName = UpperCase(section);
  TMessage message{SKM_UPDATESECTION, 0, 0, 0};
  AppBroadCastS(message);
}

TColor TsSkinManager::GetGlobalColor() const {
  const std::int32_t index = GetSkinIndex("GLOBALINFO");
  return index >= 0 ? gd[static_cast<std::size_t>(index)].Color : clBtnFace;
}

void TsSkinManager::GetSkinSections(TStringList& list) const {
  if (sSkinData->Active && sSkinData->SkinFile) sSkinData->SkinFile->ReadSections(list);
}

std::string TsSkinManager::GetFullskinDirectory() const { return ResolveSkinDirectory(skinDirectory_, ProgramFolder()); }

std::string TsSkinManager::GetSkinNames(TStringList& list) const {
  return ::GetSkinNames(internalSkins_, GetFullskinDirectory(), list);
}

std::string TsSkinManager::GetExternalSkinNames(TStringList& list) const {
  return ::GetExternalSkinNames(GetFullskinDirectory(), list);
}

void TsSkinManager::ExtractInternalSkin(const std::string& name, const std::string& destination) const {
  if (auto error = ::ExtractInternalSkin(internalSkins_, name, destination); !error.empty()) ShowSkinError(error);
}

void TsSkinManager::ExtractByIndex(int index, const std::string& destination) const {
  if (auto error = ::ExtractByIndex(internalSkins_, index, destination); !error.empty()) ShowSkinError(error);
}

void TsSkinManager::SaveToIni(int index, TMemIniFile& ini) const { ::SaveToIni(internalSkins_, index, ini); }

// [SECTION] Delivery -----------------------------------------------------------------------------

namespace {

LRESULT Deliver(TControl* control, TMessage& message) {
  if (auto* windowed = dynamic_cast<TWinControl*>(control))
    return SendMessageW(windowed->Handle(), message.Msg, message.WParam, message.LParam);
  return control->Perform(message.Msg, message.WParam, message.LParam);
}

}  // namespace

void BroadCastS(TComponent* control, TMessage& message) {
  if (control == nullptr || control->InState(csDestroying)) return;
  try {
    if (message.Msg == SKM_REPAINT)
      if (auto* self = dynamic_cast<TControl*>(control)) Deliver(self, message);
    for (int i = 0; i < control->ComponentCount(); ++i) {
      TComponent* component = control->Components(i);
      if (component->InState(csDestroying | csReading)) continue;
      if (auto* receiver = dynamic_cast<TsSkinMessageReceiver*>(component)) {
        if (message.Msg != SKM_REPAINT) receiver->SkinMessage(message);
      } else if (auto* child = dynamic_cast<TControl*>(component)) {
        Deliver(child, message);
      }
    }
  } catch (...) {
    // A receiver's error ends this form's delivery and is not reported.
  }
}

void AppBroadCastS(TMessage& message) {
  if (Application == nullptr) return;
  for (int i = 0; i < Application->ComponentCount(); ++i) {
    auto* form = dynamic_cast<TCustomForm*>(Application->Components(i));
    if (form != nullptr && !form->InState(csDestroying)) BroadCastS(form, message);
  }
}

namespace {

void RepaintBelow(TWinControl* parent) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* child = parent->Controls(i);
    TMessage message{SKM_REPAINT, 0, 0, 0};
    Deliver(child, message);
    if (auto* windowed = dynamic_cast<TWinControl*>(child)) RepaintBelow(windowed);
  }
}

}  // namespace

void UpdateControls(TControl* control) {
  if (control == nullptr) return;
  TMessage message{SKM_REPAINT, 0, 0, 0};
  Deliver(control, message);
  if (auto* windowed = dynamic_cast<TWinControl*>(control)) RepaintBelow(windowed);
}
