#pragma once
// Skins stored inside the program: the skin manager's InternalSkins. Each stored skin holds its
// sections (TsSkinGeneral), masks (TsSkinImage), patterns (TsSkinPattern) and master bitmap, as
// the published properties of collection items, in the order below, which is also the order of
// their stored form.
//
// Stored form (WriteStoredSkins / ReadStoredSkins), little-endian throughout:
//   "DSSK" u32 version(1) u32 skinCount, then per skin:
//     str Name; u32 n, n sections; u32 n, n masks; u32 n, n patterns; img MasterBitmap
//   section: str SectionName, str ParentClass, i32 Color, u8 Bevel, i32 ShadowBlur,
//     i32 ShadowColor, u8 ShadowDontUse, u8 ShadowEnabled, u8 ReservedBoolean, i32 ShadowOffset,
//     i32 ShadowTransparency, str FontColor, str HotFontColor, i32 Transparency,
//     i32 GradientPercent, str GradientData, i32 ImagePercent, u8 ShowFocus, u8 FadingEnabled,
//     i32 FadingIntervalIn, i32 FadingIntervalOut, i32 FadingIterations, i32 HotColor,
//     i32 HotTransparency, u8 HotBevel, i32 HotGradientPercent, str HotGradientData,
//     i32 HotImagePercent, i32 BorderColor1, i32 BorderColor2, str Name
//   mask: str SectionName, img Image, str Name, str PropertyName, i32 Left, Top, Right, Bottom,
//     ImageCount, MaskType, BorderWidth
//   pattern: str SectionName, img Image (a JPEG file), str Name, str PropertyName
//   str: u32 byte count + UTF-8; img: u32 byte count + a complete BMP (or JPEG) file, 0 for none.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/core/Geometry.h"
#include "framework/core/PixelView.h"
#include "skin/data/sSkinData.h"

// An ordered collection that owns its items; items keep their address while they live.
template <typename Item>
class TsItemCollection {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  Item& operator[](int index) { return *items_.at(static_cast<std::size_t>(index)); }
  const Item& operator[](int index) const { return *items_.at(static_cast<std::size_t>(index)); }
  Item& Add() {
    items_.push_back(std::make_unique<Item>());
    return *items_.back();
  }
  void Delete(int index) {
    if (index >= 0 && index < Count()) items_.erase(items_.begin() + index);
  }
  void Clear() { items_.clear(); }

 private:
  std::vector<std::unique_ptr<Item>> items_;
};

// A JPEG kept as its file bytes, decoded when a skin is loaded.
struct TJpegImage {
  std::string Data;
  bool Empty() const { return Data.empty(); }
};

// One stored section. A new item has every number and colour 0, every Boolean false and every
// string empty; all values are stored.
struct TsSkinGeneral {
  std::string SectionName;
  std::string ParentClass;
  TColor Color = 0;
  TsControlBevel Bevel = cbNone;
  std::int32_t ShadowBlur = 0;
  TColor ShadowColor = 0;
  bool ShadowDontUse = false;  // stored, never loaded
  bool ShadowEnabled = false;
  bool ReservedBoolean = false;
  std::int32_t ShadowOffset = 0;
  std::int32_t ShadowTransparency = 0;
  std::string FontColor;     // "text left top right bottom", see SplitFontColors
  std::string HotFontColor;
  std::int32_t Transparency = 0;
  std::int32_t GradientPercent = 0;
  std::string GradientData;
  std::int32_t ImagePercent = 0;
  bool ShowFocus = false;
  bool FadingEnabled = false;
  std::int32_t FadingIntervalIn = 0;
  std::int32_t FadingIntervalOut = 0;
  std::int32_t FadingIterations = 0;
  TColor HotColor = 0;
  std::int32_t HotTransparency = 0;
  TsControlBevel HotBevel = cbNone;
  std::int32_t HotGradientPercent = 0;
  std::string HotGradientData;
  std::int32_t HotImagePercent = 0;
  TColor BorderColor1 = 0;
  TColor BorderColor2 = 0;
  std::string Name;  // stored, never loaded
};

// One stored mask: ImageCount 0 means a bitmap of its own (Image, saved under Name when
// extracted); any other count a rectangle of the master bitmap, Image then empty.
struct TsSkinImage {
  std::string SectionName;
  TPixelImage Image;
  std::string Name;
  std::string PropertyName;
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;
  std::int32_t ImageCount = 0;
  std::int32_t MaskType = 0;
  std::int32_t BorderWidth = 0;
};

struct TsSkinPattern {
  std::string SectionName;
  TJpegImage Image;
  std::string Name;  // file name of the JPEG
  std::string PropertyName;
};

using TsSkinGenerals = TsItemCollection<TsSkinGeneral>;
using TsSkinImages = TsItemCollection<TsSkinImage>;
using TsSkinPatterns = TsItemCollection<TsSkinPattern>;

class TMemIniFile;

class TsStoredSkin {
 public:
  std::string Name;
  TsSkinGenerals GeneralData;
  TsSkinImages Images;
  TsSkinPatterns Patterns;
  TPixelImage MasterBitmap;

  // Imports a skin folder, given by its open "Options.dat", into this stored skin. Returns an
  // error text for the error box (the old-format message), or empty.
  std::string LoadSkin(const TMemIniFile& ini);
  // Imports the sections of `ini` into `generals`, filling missing keys along the parent chain.
  static void LoadFromIni(TsSkinGenerals& generals, const TMemIniFile& ini);
};

class TsStoredSkins : public TsItemCollection<TsStoredSkin> {
 public:
  // Index of the first skin named exactly `name` (case counts), or -1.
  int IndexOf(std::string_view name) const;
};

std::string WriteStoredSkins(const TsStoredSkins& skins);
// False (and `skins` emptied) when the bytes are not a complete, consistent stored form.
bool ReadStoredSkins(std::string_view bytes, TsStoredSkins& skins, std::string* reason = nullptr);
