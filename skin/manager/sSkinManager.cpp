#include "skin/manager/sSkinManager.h"

#include <windows.h>

#include "framework/core/FileSystem.h"
#include "framework/core/IniFiles.h"
#include "framework/core/StrUtils.h"
#include "framework/win/Forms.h"
#include "framework/win/Reader.h"
#include "framework/win/Menus.h"
#include "framework/win/MessageBoxes.h"
#include "framework/win/Text.h"
#include "skin/data/sImageCodecs.h"
#include "skin/data/sSkinData.h"
#include "skin/data/sSkinFolder.h"
#include "skin/data/sSkinLoad.h"
#include "skin/data/sSkinLookup.h"
#include "skin/runtime/sMessagesWin.h"

namespace {

constexpr const char* kDefaultSkinDirectory = "c:\\Skins";

// The folder of the program, with a trailing backslash.
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
  return FolderOfFile(Narrow(path));
}

// Every item of a stored skin, copied through its published values.
void CopyStoredSkin(const TsStoredSkin& from, TsStoredSkin& to) {
  to.Name = from.Name;
  for (int i = 0; i < from.GeneralData.Count(); ++i) to.GeneralData.Add() = from.GeneralData[i];
  for (int i = 0; i < from.Images.Count(); ++i) to.Images.Add() = from.Images[i];
  for (int i = 0; i < from.Patterns.Count(); ++i) to.Patterns.Add() = from.Patterns[i];
  to.MasterBitmap = from.MasterBitmap;
}

bool IsPatternProperty(std::string_view property) { return property == "PATTERN" || property == "HOTPATTERN"; }

}  // namespace

TsManagerHooks& ManagerHooks() {
  static TsManagerHooks hooks;
  return hooks;
}

TsSkinManager* SearchSkinManager(TComponent* component) {
  if (component == nullptr) return nullptr;
  for (int i = 0; i < component->ComponentCount(); ++i) {
    TComponent* owned = component->Components(i);
    if (auto* manager = dynamic_cast<TsSkinManager*>(owned)) return manager;
    if (TsSkinManager* found = SearchSkinManager(owned)) return found;
  }
  return nullptr;
}

void ShowSkinError(const std::string& text, HWND owner) {
  MessageBoxOver(owner != nullptr ? owner : GetActiveWindow(), Widen(text), L"Error", MB_OK | MB_ICONERROR);
}

// The shown form that owns the manager: the skin's errors concern its window.
HWND TsSkinManager::ErrorBoxOwner() const {
  for (TComponent* owner = Owner(); owner != nullptr; owner = owner->Owner()) {
    auto* form = dynamic_cast<TCustomForm*>(owner);
    if (form == nullptr) continue;
    if (form->HandleAllocated() && IsWindowVisible(form->Handle())) return form->Handle();
    break;
  }
  return nullptr;
}

// [SECTION] Life ------------------------------------------------------------------------------

TsSkinManager::TsSkinManager(TComponent* owner)
    : TComponent(owner), ShowError([this](const std::string& text) { ShowSkinError(text, ErrorBoxOwner()); }) {
  if (sSkinData->SkinManager == nullptr) {
    if (skinDirectory_.empty()) skinDirectory_ = kDefaultSkinDirectory;
    active_ = true;
    if (ManagerHooks().MakeMenus) SkinableMenus = ManagerHooks().MakeMenus(*this);
    skinnedPopups_ = true;
    sSkinData->SkinManager = this;
  }
}

TsSkinManager::~TsSkinManager() {
  SkinableMenus.reset();
  // The cached menu backgrounds go with the skinning.
  if (sSkinData->SkinManager == nullptr && ManagerHooks().MenusEnded) ManagerHooks().MenusEnded();
}

void TsSkinManager::BeforeDestruction() {
  if (IsDefault()) {
    SendRemoveSkin();
    sSkinData->SkinManager = nullptr;
  }
  TComponent::BeforeDestruction();
}

bool TsSkinManager::IsDefault() const { return sSkinData->SkinManager == this; }

bool TsSkinManager::StillReading() const {
  return InState(csLoading | csReading) || (Owner() != nullptr && Owner()->InState(csReading));
}

// [SECTION] Properties ------------------------------------------------------------------------

void TsSkinManager::SetSkinName(const std::string& name) {
  skinName_ = name;
  if (!active_ || !IsDefault()) return;
  if (OnBeforeChange) OnBeforeChange(this);
  if (skinName_.empty()) skinDirectory_.clear();

  skinName_ = SelectSkinSource(skinName_, GetFullskinDirectory(), internalSkins_);

  if (!StillReading()) {
    LoadSkin();
    if (!NonAutoUpdate) SendNewSkin();
  }
  if (OnAfterChange) OnAfterChange(this);
}

void TsSkinManager::SetActive(bool value) {
  if (value == active_) return;
  active_ = value;
  if (value) {
    SetSkinName(skinName_);
  } else if (IsDefault()) {
    // Only the default manager's skin is in the arrays; another manager has nothing to remove.
    if (!StillReading()) SendRemoveSkin();
    InitConstantIndexes();
  }
}

void TsSkinManager::SetSkinDirectory(const std::string& directory) {
  if (directory == skinDirectory_) return;
  skinDirectory_ = directory;
  if (IsDefault()) sSkinData->SkinPath = GetFullskinDirectory();
}

void TsSkinManager::SetCommonSections(const TStringList& lines) {
  commonSections_ = PrepareCommonSections(lines);
  SetSkinName(skinName_);
}

void TsSkinManager::SetBuiltInSkins(const TsStoredSkins& skins) {
  if (&skins == &internalSkins_) return;
  internalSkins_.Clear();
  for (int i = 0; i < skins.Count(); ++i) CopyStoredSkin(skins[i], internalSkins_.Add());
}

void TsSkinManager::SetSkinnedPopups(bool value) {
  if (value == skinnedPopups_) return;
  skinnedPopups_ = value;
  // The menus act only when the skin's state differs from theirs, so the new value reaches
  // them when the skin is next announced or removed.
  if (SkinableMenus && !InState(csDesigning)) SkinableMenus->UpdateMenus();
}

bool TsSkinManager::ReadProperty(TReader& reader, const TDefProperty& property) {
  const std::string& name = property.Name;
  if (name == "Active") {
    SetActive(reader.Boolean(property));
  } else if (name == "CommonSections") {
    TStringList lines;
    for (std::string& line : reader.Strings(property)) lines.Add(std::move(line));
    SetCommonSections(lines);
  } else if (name == "InternalSkins") {
    // The skins themselves are the program's own, drawn at build time; the definition says
    // which of them, in which order.
    TsStoredSkins program;
    if (!ManagerHooks().LoadStoredSkins) reader.Fail(property, "the program gave no stored skins");
    if (!ManagerHooks().LoadStoredSkins(program)) reader.Fail(property, "the program's stored skins are damaged");
    if (property.Value.Kind == TDefValue::TKind::Identifier) {
      if (property.Value.Text != "StoredSkins") reader.Fail(property, "unknown stored skins '" + property.Value.Text + "'");
      SetBuiltInSkins(program);
      return true;
    }
    TsStoredSkins chosen;
    for (const std::string& skinName : reader.Strings(property)) {
      const int index = program.IndexOf(skinName);
      if (index < 0) reader.Fail(property, "no stored skin named '" + skinName + "'");
      CopyStoredSkin(program[index], chosen.Add());
    }
    SetBuiltInSkins(chosen);
  } else if (name == "SkinDirectory") {
    SetSkinDirectory(reader.String(property));
  } else if (name == "SkinName") {
    SetSkinName(reader.String(property));
  } else if (name == "SkinnedPopups") {
    SetSkinnedPopups(reader.Boolean(property));
  } else if (name == "OnAfterChange") {
    OnAfterChange = reader.Handler<TNotifyEvent>(property);
  } else if (name == "OnBeforeChange") {
    OnBeforeChange = reader.Handler<TNotifyEvent>(property);
  } else {
    return TComponent::ReadProperty(reader, property);
  }
  return true;
}

// [SECTION] Loading and announcing -------------------------------------------------------------

void TsSkinManager::Loaded() {
  TComponent::Loaded();
  if (IsDefault() && active_ && !skinName_.empty()) {
    LoadSkin();
    SendNewSkin();
  }
}

void TsSkinManager::LoadSkin() {
  TsSkinSource source;
  source.SkinName = skinName_;
  source.InternalSkins = &internalSkins_;
  source.CommonSections = commonSections_;
  source.ShowError = [this](const std::string& text) {
    if (ShowError) ShowError(text);
  };
  skinRefused_ = false;
  source.Refused = &skinRefused_;
  LoadSkinArrays(source);
}

void TsSkinManager::SendNewSkin() {
  // Every receiver looks its sections and masks up; the arrays stay as they are until the end.
  const TsLookupScope lookups;
  sSkinData->Active = false;
  RestrictDrawing = true;
  TMessage message{SKM_NEWSKIN, kAnnouncementWParam, reinterpret_cast<LPARAM>(this), 0};
  AppBroadCastS(message);
  InitConstantIndexes();
  RestrictDrawing = false;
  message = TMessage{SKM_REPAINT, kAnnouncementWParam, reinterpret_cast<LPARAM>(this), 0};
  sSkinData->Active = true;
  AppBroadCastS(message);
}

void TsSkinManager::SendRemoveSkin() {
  sSkinData->Active = false;
  TMessage message{SKM_REMOVESKIN, kAnnouncementWParam, reinterpret_cast<LPARAM>(this), 0};
  AppBroadCastS(message);
  FreeBitmaps();
  FreeJpegs();
  gd.clear();
}

void TsSkinManager::UpdateSkinSection(std::string_view section) {
  GlobalSectionName = UpperCase(section);
  TMessage message{SKM_UPDATESECTION, kAnnouncementWParam, 0, 0};
  AppBroadCastS(message);
}

void TsSkinManager::InitConstantIndexes() { ::InitConstantIndexes(); }

void TsSkinManager::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  // A menu item that arrives or leaves while a skin is active is hooked or unhooked.
  if (!SkinableMenus || !sSkinData->Active || InState(csDesigning)) return;
  if (auto* item = dynamic_cast<TMenuItem*>(component))
    SkinableMenus->InitItem(item, operation == TOperation::opInsert);
}

// [SECTION] Skin queries and edits ------------------------------------------------------------

TColor TsSkinManager::GetGlobalColor() const {
  const std::int32_t index = GetSkinIndex("GLOBALINFO");
  return IsValidSkinIndex(index) ? gd[static_cast<std::size_t>(index)].Color : clBtnFace;
}

void TsSkinManager::GetSkinSections(TStringList& list) const {
  if (!sSkinData->Active || !sSkinData->SkinFile) return;
  list.Clear();
  sSkinData->SkinFile->ReadSections(list);
}

bool TsSkinManager::ChangeImageInSkin(std::string_view section, std::string_view property, std::string_view file) {
  if (!sSkinData->Active || section.empty() || property.empty() || !FileExists(file)) return false;
  const std::string sectionName = UpperCase(section);
  const std::string p = UpperCase(property);
  const bool bitmapFile = UpperCase(file).find(".BMP") != std::string::npos;
  auto findMask = [&]() -> TsMaskData* {
    for (TsMaskData& m : ma)
      if (m.PropertyName == p && UpperCase(m.ClassName) == sectionName) return &m;
    return nullptr;
  };
  auto findPattern = [&]() -> TsPatternData* {
    for (TsPatternData& pattern : pa)
      if (pattern.PropertyName == p && UpperCase(pattern.ClassName) == sectionName) return &pattern;
    return nullptr;
  };
  // A picture that cannot be read changes nothing: the skin keeps what it had.
  auto loadInto = [&](std::unique_ptr<TPixelImage>& target) {
    auto image = std::make_unique<TPixelImage>();
    const bool ok = bitmapFile ? LoadBmpFile(file, *image) : LoadJpegFile(file, *image);
    if (!ok || image->Width() < 1) return false;
    target = std::move(image);
    return true;
  };

  if (!IsPatternProperty(p)) {
    if (!bitmapFile) return false;
    TsMaskData* mask = findMask();
    return mask != nullptr && loadInto(mask->Bmp);
  }
  if (bitmapFile) {
    if (TsMaskData* mask = findMask()) return loadInto(mask->Bmp);
    TsMaskData added;
    added.ClassName = sectionName;
    added.PropertyName = p;
    if (!loadInto(added.Bmp)) return false;
    ma.push_back(std::move(added));
    // The new mask replaces a pattern of the same role; lookup must no longer find that one.
    if (TsPatternData* pattern = findPattern()) {
      pattern->Img.reset();
      pattern->ClassName = "NONE";
    }
    return true;
  }
  if (TsPatternData* pattern = findPattern()) return loadInto(pattern->Img);
  TsPatternData added;
  added.ClassName = sectionName;
  added.PropertyName = p;
  if (!loadInto(added.Img)) return false;
  pa.push_back(std::move(added));
  if (TsMaskData* mask = findMask()) {
    mask->Bmp.reset();
    mask->ClassName = "NONE";
  }
  return true;
}

// [SECTION] Skin sources ----------------------------------------------------------------------

std::string TsSkinManager::GetFullskinDirectory() const { return ResolveSkinDirectory(skinDirectory_, ProgramFolder()); }

namespace {

// The order of names the user knows from the system: case-insensitive in the user's locale.
int CompareSkinNames(std::string_view a, std::string_view b) {
  const std::wstring wa = Widen(a), wb = Widen(b);
  const int order = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, wa.c_str(), static_cast<int>(wa.size()),
                                   wb.c_str(), static_cast<int>(wb.size()));
  return order == 0 ? CompareText(a, b) : order - CSTR_EQUAL;  // 0: the call failed
}

}  // namespace

std::string TsSkinManager::GetSkinNames(TStringList& list) const {
  return ::GetSkinNames(internalSkins_, GetFullskinDirectory(), list, CompareSkinNames);
}

std::string TsSkinManager::GetExternalSkinNames(TStringList& list) const {
  return ::GetExternalSkinNames(GetFullskinDirectory(), list, CompareSkinNames);
}

bool TsSkinManager::ExtractInternalSkin(std::string_view name, std::string_view destination) {
  const std::string error = ::ExtractInternalSkin(internalSkins_, name, destination);
  if (!error.empty() && ShowError) ShowError(error);
  return error.empty();
}

bool TsSkinManager::ExtractByIndex(int index, std::string_view destination) {
  const std::string error = ::ExtractByIndex(internalSkins_, index, destination);
  if (!error.empty() && ShowError) ShowError(error);
  return error.empty();
}

void TsSkinManager::SaveToIni(int index, TMemIniFile& ini) const { ::SaveToIni(internalSkins_, index, ini); }
