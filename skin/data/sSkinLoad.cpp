#include "skin/data/sSkinLoad.h"

#include <memory>
#include <type_traits>
#include <unordered_map>

#include "framework/core/Exceptions.h"
#include "framework/core/FileSystem.h"
#include "framework/core/IniFiles.h"
#include "framework/core/StrUtils.h"
#include "skin/data/sImageCodecs.h"
#include "skin/data/sIniChain.h"
#include "skin/data/sSkinData.h"
#include "skin/data/sSkinFolder.h"
#include "skin/data/sStoredSkin.h"

namespace {

void Report(const TsSkinSource& source, std::string text) {
  if (source.Problems != nullptr) source.Problems->push_back(std::move(text));
}

constexpr const char* kOptionsFile = "Options.dat";
constexpr const char* kCommonSectionsFile = "common sections";

// What a loader error names as its file: the folder's ini has a file name, the common
// sections' ini lives in memory.
const char* FileOf(const TMemIniFile& ini) { return ini.FileName().empty() ? kCommonSectionsFile : kOptionsFile; }

bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

const TsStoredSkin* FindInternal(const TsSkinSource& source) {
  if (source.InternalSkins == nullptr) return nullptr;
  const int index = source.InternalSkins->IndexOf(source.SkinName);
  return index < 0 ? nullptr : &(*source.InternalSkins)[index];
}

TMemIniFile CommonIni(const TsSkinSource& source, const char* name) {
  TMemIniFile ini;
  (void)name;  // the in-memory ini of one loader call; never saved
  ini.SetStrings(source.CommonSections);
  return ini;
}

// The pictures one loader reads from a folder: each file decoded once however often the skin
// names it, and all of them together held to kMaxSkinPixels. A small folder that names one
// large picture thousands of times would otherwise cost thousands of decodings and the
// memory of thousands of pictures; past the budget, a picture is refused from its header.
class TsPictureReader {
 public:
  static constexpr std::int64_t kMaxSkinPixels = 2 * TPixelImage::kMaxPixels;

  // A picture of its own for one mask or pattern, or null with the reason.
  std::unique_ptr<TPixelImage> Read(const std::string& path, bool jpeg, std::string& reason) {
    auto [it, added] = files_.try_emplace(path);
    TFile& file = it->second;
    if (added) {
      file.Image = std::make_unique<TPixelImage>();
      const bool ok = jpeg ? LoadJpegFile(path, *file.Image, &file.Reason, left_)
                           : LoadBmpFile(path, *file.Image, &file.Reason, left_);
      if (!ok && left_ < TPixelImage::kMaxPixels) file.Reason += ", or beyond " + Budget();
      if (!ok || file.Image->Width() < 1) file.Image.reset();
    }
    if (!file.Image) {
      reason = file.Reason;
      return nullptr;
    }
    const std::int64_t pixels = static_cast<std::int64_t>(file.Image->Width()) * file.Image->Height();
    if (pixels > left_) {
      reason = "beyond " + Budget();
      return nullptr;
    }
    left_ -= pixels;
    return std::make_unique<TPixelImage>(*file.Image);
  }

 private:
  static std::string Budget() {
    return "the " + std::to_string(kMaxSkinPixels) + " pixels that all pictures of a skin may have together";
  }
  struct TFile {
    std::unique_ptr<TPixelImage> Image;  // none when it could not be read
    std::string Reason;
  };
  std::unordered_map<std::string, TFile> files_;
  std::int64_t left_ = kMaxSkinPixels;
};

TsMaskData NewMask(std::string_view section, std::string_view property) {
  TsMaskData m;
  m.ClassName = UpperCase(section);
  m.PropertyName = UpperCase(property);
  return m;
}

// Masks of one ini: mask lines (when a master bitmap is loaded) and bitmap files.
void LoadIniMasks(const TsSkinSource& source, const TMemIniFile& ini, bool skipGlobalInfo, TsPictureReader& pictures) {
  const std::string& folder = sSkinData->SkinPath;
  TStringList sections;
  ini.ReadSections(sections);
  for (const auto& s : sections.Items()) {
    if (skipGlobalInfo && UpperCase(s) == "GLOBALINFO") continue;
    TStringList keys;
    ini.ReadSection(s, keys);
    for (const auto& k : keys.Items()) {
      const std::string v = ini.ReadString(s, k, "-");
      if (UpperCase(s) == "GLOBALINFO" && UpperCase(v) == "GLOBALINFO") continue;
      if (MasterBitmap && Contains(v, "#")) {
        if (v == "#") continue;
        TsMaskData m = NewMask(s, k);
        TsMaskLine line;
        try {
          line = ParseMaskLine(v);
        } catch (const EConvertError& e) {
          Report(source, "[" + s + "] " + k + ": bad number in mask line \"" + v + "\"");
          throw ESkinLoadError(e, FileOf(ini), s, k);
        }
        m.R = line.R;
        m.ImageCount = line.ImageCount;
        m.MaskType = line.MaskType;
        m.BorderWidth = line.BorderWidth;
        const TRect& r = m.R;
        if (r.Left < 0 || r.Top < 0 || r.Right > MasterBitmap->Width() || r.Bottom > MasterBitmap->Height() ||
            r.Left >= r.Right || r.Top >= r.Bottom) {
          Report(source, "[" + s + "] " + k + ": mask rectangle " + v + " is not inside the " +
                             std::to_string(MasterBitmap->Width()) + " x " + std::to_string(MasterBitmap->Height()) +
                             " master bitmap");
        }
        ma.push_back(std::move(m));
        continue;
      }
      const std::string upper = UpperCase(v);
      if (!Contains(upper, ".BMP")) continue;
      const std::string path = SkinFilePath(folder, upper);
      if (!FileExists(path)) {
        Report(source, "[" + s + "] " + k + ": image " + v + " is missing");
        continue;
      }
      TsMaskData m = NewMask(s, k);
      std::string reason;
      m.Bmp = pictures.Read(path, false, reason);
      if (!m.Bmp) {
        Report(source, "[" + s + "] " + k + ": image " + v + " is unreadable (" + reason + ")");
        continue;
      }
      ma.push_back(std::move(m));
    }
  }
}

// JPEGs of one ini: patterns, or masks below the pattern size unless `alwaysPattern`.
void LoadIniJpegs(const TsSkinSource& source, const TMemIniFile& ini, bool alwaysPattern, TsPictureReader& pictures) {
  const std::string& folder = sSkinData->SkinPath;
  TStringList sections;
  ini.ReadSections(sections);
  for (const auto& s : sections.Items()) {
    TStringList keys;
    ini.ReadSection(s, keys);
    for (const auto& k : keys.Items()) {
      const std::string upper = UpperCase(ini.ReadString(s, k, "-"));
      if (!Contains(upper, ".JPG") && !Contains(upper, ".JPEG")) continue;
      const std::string path = SkinFilePath(folder, upper);
      if (!FileExists(path)) {
        Report(source, "[" + s + "] " + k + ": image " + upper + " is missing");
        continue;
      }
      std::string reason;
      std::unique_ptr<TPixelImage> img = pictures.Read(path, true, reason);
      if (!img) {
        Report(source, "[" + s + "] " + k + ": image " + upper + " is unreadable (" + reason + ")");
        continue;
      }
      const std::int64_t pixels = static_cast<std::int64_t>(img->Width()) * img->Height();
      if (alwaysPattern || pixels >= kMinPatternPixels) {
        pa.push_back({std::move(img), UpperCase(s), UpperCase(k)});
      } else {
        TsMaskData m = NewMask(s, k);
        m.Bmp = std::move(img);
        ma.push_back(std::move(m));
      }
    }
  }
}

}  // namespace

std::string SkinRefusalText(std::string_view skinName, std::string_view reason) {
  return "The skin \"" + std::string(skinName) + "\" could not be loaded: " + std::string(reason);
}

std::string DescribeSkinLoadError(const std::exception& error) {
  std::string where;
  if (const auto* located = dynamic_cast<const ESkinLoadError*>(&error))
    where = located->File + ", [" + located->Section + "] " + located->Key + ": ";
  return where + error.what();
}

std::string SkinLoadErrorText(std::string_view skinName, const std::exception& error) {
  return SkinRefusalText(skinName, DescribeSkinLoadError(error));
}

TStringList PrepareCommonSections(const TStringList& lines) {
  TStringList out;
  for (const auto& line : lines.Items()) {
    if (!line.empty() && line[0] != ';') {
      std::string compact;
      for (char c : line)
        if (c != ' ') compact += c;
      out.Add(std::move(compact));
    } else {
      out.Add(line);
    }
  }
  return out;
}

void SelectSkinFolder(std::string_view folder) {
  sSkinData->SkinFile = std::make_unique<TMemIniFile>(std::string(folder) + "Options.dat");
  sSkinData->SkinPath = std::string(folder);
}

void SelectInternalSkin() {
  sSkinData->SkinFile.reset();
  sSkinData->SkinPath.clear();
}

void LoadAllMasks(const TsSkinSource& source) {
  FreeBitmaps();
  TsPictureReader pictures;
  if (const TMemIniFile* ini = sSkinData->SkinFile.get()) {
    const std::string name = ini->ReadString("GLOBALINFO", "MASTERBITMAP", "");
    const std::string path = SkinFilePath(sSkinData->SkinPath, name);
    if (!name.empty() && FileExists(path)) {
      auto master = std::make_unique<TPixelImage>();
      std::string reason;
      if (LoadBmpFile(path, *master, &reason)) {
        MasterBitmap = std::move(master);
      } else {
        Report(source, "master bitmap " + name + " is unreadable (" + reason + ")");
      }
    } else {
      Report(source, name.empty() ? "no master bitmap named in [GLOBALINFO]" : "master bitmap " + name + " is missing");
    }
    LoadIniMasks(source, *ini, false, pictures);
  } else if (const TsStoredSkin* skin = FindInternal(source)) {
    MasterBitmap = std::make_unique<TPixelImage>(skin->MasterBitmap);
    for (int i = 0; i < skin->Images.Count(); ++i) {
      const TsSkinImage& item = skin->Images[i];
      TsMaskData m = NewMask(item.SectionName, item.PropertyName);
      if (item.ImageCount == 0) m.Bmp = std::make_unique<TPixelImage>(item.Image);
      m.R = Rect(item.Left, item.Top, item.Right, item.Bottom);
      m.ImageCount = static_cast<std::int16_t>(item.ImageCount);
      m.MaskType = static_cast<std::int16_t>(item.MaskType);
      m.BorderWidth = static_cast<std::int16_t>(item.BorderWidth);
      ma.push_back(std::move(m));
    }
  } else {
    return;
  }
  if (source.CommonSections.Count() > 0) LoadIniMasks(source, CommonIni(source, "1.tmp"), true, pictures);
}

void LoadAllPatterns(const TsSkinSource& source) {
  FreeJpegs();
  TsPictureReader pictures;
  if (const TMemIniFile* ini = sSkinData->SkinFile.get()) {
    LoadIniJpegs(source, *ini, false, pictures);
  } else if (const TsStoredSkin* skin = FindInternal(source)) {
    for (int i = 0; i < skin->Patterns.Count(); ++i) {
      const TsSkinPattern& item = skin->Patterns[i];
      auto img = std::make_unique<TPixelImage>();
      if (!ReadJpeg(item.Image.Data, *img)) continue;
      const std::int64_t pixels = static_cast<std::int64_t>(img->Width()) * img->Height();
      if (pixels >= kMinPatternPixels) {
        pa.push_back({std::move(img), UpperCase(item.SectionName), UpperCase(item.PropertyName)});
      } else {
        TsMaskData m = NewMask(item.SectionName, item.PropertyName);
        m.Bmp = std::move(img);
        ma.push_back(std::move(m));
      }
    }
  } else {
    return;
  }
  if (source.CommonSections.Count() > 0) LoadIniJpegs(source, CommonIni(source, "2.tmp"), true, pictures);
}

namespace {

// False when the folder is refused (old format): `gd` stays empty.
bool LoadFolderSections(const TsSkinSource& source, const TMemIniFile& ini) {
  sSkinData->Version = ini.ReadFloat("GLOBALINFO", "VERSION", 0);
  sSkinData->Author = ini.ReadString("GLOBALINFO", "AUTHOR", "");
  sSkinData->Description = ini.ReadString("GLOBALINFO", "DESCRIPTION", "");
  gd.clear();
  TStringList sections;
  ini.ReadSections(sections);
  for (const auto& s : sections.Items()) {
    if (UpperCase(s) == "TSEDIT") {
      Report(source, "old-format skin folder (it has a [TSEDIT] section)");
      if (source.ShowError) source.ShowError(kOldFormatMessage);
      if (source.Refused != nullptr) *source.Refused = true;
      return false;
    }
  }
  TsIniChain chain(ini);
  for (const auto& s : sections.Items()) {
    gd.emplace_back();
    TsGeneralData& g = gd.back();
    g.ClassName = s;
    g.ParentClass = ini.ReadString(s, "PARENTCLASS", "");
    g.Color = chain.Int(s, "COLOR", g.Color);
    g.Bevel = BevelFromInt(chain.Int(s, "BEVEL", cbNone));
    g.ShadowBlur = chain.Int(s, "SHADOWBLUR", g.ShadowBlur);
    g.ShadowOffset = chain.Int(s, "SHADOWOFFSET", g.ShadowOffset);
    g.ShadowColor = ini.ReadInteger(s, "SHADOWCOLOR", 0);
    g.ShadowTransparency = chain.Int(s, "SHADOWTRANSPARENCY", g.ShadowTransparency);
    g.ShadowEnabled = chain.Bool(s, "SHADOWENABLED", g.ShadowEnabled);
    g.ReservedBoolean = chain.Bool(s, "RESERVEDBOOLEAN", g.ReservedBoolean);
    g.FontColor = chain.Int(s, "FONTCOLOR", g.FontColor);
    g.TCLeft = chain.Int(s, "TCLEFT", g.TCLeft);
    g.TCTop = chain.Int(s, "TCTOP", g.TCTop);
    g.TCRight = chain.Int(s, "TCRIGHT", g.TCRight);
    g.TCBottom = chain.Int(s, "TCBOTTOM", g.TCBottom);
    g.HotFontColor = chain.Int(s, "HOTFONTCOLOR", g.HotFontColor);
    g.HotTCLeft = chain.Int(s, "HOTTCLEFT", g.HotTCLeft);
    g.HotTCTop = chain.Int(s, "HOTTCTOP", g.HotTCTop);
    g.HotTCRight = chain.Int(s, "HOTTCRIGHT", g.HotTCRight);
    g.HotTCBottom = chain.Int(s, "HOTTCBOTTOM", g.HotTCBottom);
    g.Transparency = chain.Int(s, "TRANSPARENCY", g.Transparency);
    g.GradientPercent = chain.Int(s, "GRADIENTPERCENT", g.GradientPercent);
    g.ImagePercent = chain.Int(s, "IMAGEPERCENT", g.ImagePercent);
    g.GradientData = chain.Str(s, "GRADIENTDATA", g.GradientData);
    g.ShowFocus = chain.Bool(s, "SHOWFOCUS", g.ShowFocus);
    g.FadingEnabled = chain.Bool(s, "FADINGENABLED", g.FadingEnabled);
    g.FadingIntervalIn = chain.Int(s, "FADINGINTERVALIN", g.FadingIntervalIn);
    g.FadingIntervalOut = chain.Int(s, "FADINGINTERVALOUT", g.FadingIntervalOut);
    g.FadingIterations = chain.Int(s, "FADINGITERATIONS", g.FadingIterations);
    g.HotColor = chain.Int(s, "HOTCOLOR", g.HotColor);
    g.HotTransparency = chain.Int(s, "HOTTRANSPARENCY", g.HotTransparency);
    g.HotBevel = BevelFromInt(chain.Int(s, "HOTBEVEL", cbNone));
    g.HotGradientPercent = chain.Int(s, "HOTGRADIENTPERCENT", g.HotGradientPercent);
    g.HotGradientData = chain.Str(s, "HOTGRADIENTDATA", g.HotGradientData);
    g.HotImagePercent = chain.Int(s, "HOTIMAGEPERCENT", g.HotImagePercent);
    g.BorderColor1 = chain.Int(s, "BORDERCOLOR1", g.BorderColor1);
    g.BorderColor2 = chain.Int(s, "BORDERCOLOR2", g.BorderColor2);
    if (chain.ReachesLoop(s)) Report(source, "[" + s + "] parent chain loops back to a section already visited");
    const char* key = "GRADIENTDATA";
    try {
      if (g.GradientData != " ") PrepareGradArray(g.GradientData, g.GradientArray);
      key = "HOTGRADIENTDATA";
      if (g.HotGradientData != " ") PrepareGradArray(g.HotGradientData, g.HotGradientArray);
    } catch (const EConvertError& e) {
      Report(source, "[" + s + "] bad number in a gradient description");
      throw ESkinLoadError(e, kOptionsFile, s, key);
    }
  }
  return true;
}

void LoadStoredSections(const TsStoredSkin& skin) {
  gd.clear();
  for (int i = 0; i < skin.GeneralData.Count(); ++i) {
    const TsSkinGeneral& item = skin.GeneralData[i];
    gd.emplace_back();
    TsGeneralData& g = gd.back();
    g.ClassName = item.SectionName;
    g.ParentClass = item.ParentClass;
    g.Color = item.Color;
    g.Bevel = item.Bevel;
    g.ShadowBlur = item.ShadowBlur;
    g.ShadowOffset = item.ShadowOffset;
    g.ShadowColor = item.ShadowColor;
    g.ShadowTransparency = item.ShadowTransparency;
    g.ShadowEnabled = item.ShadowEnabled;
    g.ReservedBoolean = item.ReservedBoolean;
    g.Transparency = item.Transparency;
    g.GradientPercent = item.GradientPercent;
    g.ImagePercent = item.ImagePercent;
    g.GradientData = item.GradientData;
    g.ShowFocus = item.ShowFocus;
    g.FadingEnabled = item.FadingEnabled;
    g.FadingIntervalIn = item.FadingIntervalIn;
    g.FadingIntervalOut = item.FadingIntervalOut;
    g.FadingIterations = item.FadingIterations;
    g.HotColor = item.HotColor;
    g.HotTransparency = item.HotTransparency;
    g.HotBevel = item.HotBevel;
    g.HotGradientPercent = item.HotGradientPercent;
    g.HotGradientData = item.HotGradientData;
    g.HotImagePercent = item.HotImagePercent;
    g.BorderColor1 = item.BorderColor1;
    g.BorderColor2 = item.BorderColor2;
    // A bad number abandons the rest of this section only.
    try {
      PrepareGradArray(g.GradientData, g.GradientArray);
      PrepareGradArray(g.HotGradientData, g.HotGradientArray);
      SetHotFontColors(g, item.HotFontColor);
      SetFontColors(g, item.FontColor);
    } catch (const EConvertError&) {
    }
  }
}

// Common sections take each key from themselves when usable, else from their parent record
// (the first section already loaded with that name), else the default.
void LoadCommonSections(const TsSkinSource& source) {
  const TMemIniFile ini = CommonIni(source, "3.tmp");
  TStringList sections;
  ini.ReadSections(sections);
  // The first record of each upper-cased name, the skin's sections and the common sections
  // appended so far, so that finding a parent does not scan the array.
  std::unordered_map<std::string, std::size_t> firstOfName;
  for (std::size_t i = 0; i < gd.size(); ++i) firstOfName.emplace(UpperCase(gd[i].ClassName), i);
  const TsGeneralData defaults;
  for (const auto& s : sections.Items()) {
    TsGeneralData g;
    g.ClassName = s;
    g.ParentClass = UpperCase(ini.ReadString(s, "PARENTCLASS", "-1"));
    const auto parent = firstOfName.find(g.ParentClass);
    // The record is filled before it joins the array, so the parent stays where it is meanwhile.
    const TsGeneralData& from = parent != firstOfName.end() ? gd[parent->second] : defaults;
    auto integer = [&](const char* key, auto TsGeneralData::*field) {
      const std::int32_t v = ini.ReadInteger(s, key, -1);
      g.*field = v != -1 ? static_cast<std::remove_reference_t<decltype(g.*field)>>(v) : from.*field;
    };
    auto bevel = [&](const char* key, TsControlBevel TsGeneralData::*field) {
      const std::int32_t v = ini.ReadInteger(s, key, -1);
      g.*field = v != -1 ? BevelFromInt(v) : from.*field;
    };
    auto boolean = [&](const char* key, bool TsGeneralData::*field) {
      g.*field = ini.ValueExists(s, key) ? UpperCase(ini.ReadString(s, key, "")) == "TRUE" : from.*field;
    };
    auto string = [&](const char* key, std::string TsGeneralData::*field) {
      g.*field = ini.ValueExists(s, key) ? ini.ReadString(s, key, "") : from.*field;
    };
    integer("COLOR", &TsGeneralData::Color);
    bevel("BEVEL", &TsGeneralData::Bevel);
    integer("SHADOWBLUR", &TsGeneralData::ShadowBlur);
    integer("SHADOWOFFSET", &TsGeneralData::ShadowOffset);
    integer("SHADOWCOLOR", &TsGeneralData::ShadowColor);
    integer("SHADOWTRANSPARENCY", &TsGeneralData::ShadowTransparency);
    boolean("SHADOWENABLED", &TsGeneralData::ShadowEnabled);
    boolean("RESERVEDBOOLEAN", &TsGeneralData::ReservedBoolean);
    integer("FONTCOLOR", &TsGeneralData::FontColor);
    integer("TCLEFT", &TsGeneralData::TCLeft);
    integer("TCTOP", &TsGeneralData::TCTop);
    integer("TCRIGHT", &TsGeneralData::TCRight);
    integer("TCBOTTOM", &TsGeneralData::TCBottom);
    integer("HOTFONTCOLOR", &TsGeneralData::HotFontColor);
    integer("HOTTCLEFT", &TsGeneralData::HotTCLeft);
    integer("HOTTCTOP", &TsGeneralData::HotTCTop);
    integer("HOTTCRIGHT", &TsGeneralData::HotTCRight);
    integer("HOTTCBOTTOM", &TsGeneralData::HotTCBottom);
    integer("TRANSPARENCY", &TsGeneralData::Transparency);
    integer("GRADIENTPERCENT", &TsGeneralData::GradientPercent);
    integer("IMAGEPERCENT", &TsGeneralData::ImagePercent);
    string("GRADIENTDATA", &TsGeneralData::GradientData);
    boolean("SHOWFOCUS", &TsGeneralData::ShowFocus);
    boolean("FADINGENABLED", &TsGeneralData::FadingEnabled);
    integer("FADINGINTERVALIN", &TsGeneralData::FadingIntervalIn);
    integer("FADINGINTERVALOUT", &TsGeneralData::FadingIntervalOut);
    integer("FADINGITERATIONS", &TsGeneralData::FadingIterations);
    integer("HOTCOLOR", &TsGeneralData::HotColor);
    integer("HOTTRANSPARENCY", &TsGeneralData::HotTransparency);
    bevel("HOTBEVEL", &TsGeneralData::HotBevel);
    integer("HOTGRADIENTPERCENT", &TsGeneralData::HotGradientPercent);
    string("HOTGRADIENTDATA", &TsGeneralData::HotGradientData);
    integer("HOTIMAGEPERCENT", &TsGeneralData::HotImagePercent);
    integer("BORDERCOLOR1", &TsGeneralData::BorderColor1);
    integer("BORDERCOLOR2", &TsGeneralData::BorderColor2);
    gd.push_back(std::move(g));
    firstOfName.emplace(UpperCase(gd.back().ClassName), gd.size() - 1);
    TsGeneralData& added = gd.back();
    const char* key = "GRADIENTDATA";
    try {
      if (added.GradientData != " ") PrepareGradArray(added.GradientData, added.GradientArray);
      key = "HOTGRADIENTDATA";
      if (added.HotGradientData != " ") PrepareGradArray(added.HotGradientData, added.HotGradientArray);
    } catch (const EConvertError& e) {
      Report(source, "common section [" + s + "]: bad number in a gradient description");
      throw ESkinLoadError(e, kCommonSectionsFile, s, key);
    }
  }
}

}  // namespace

void LoadAllGeneralData(const TsSkinSource& source) {
  if (const TMemIniFile* ini = sSkinData->SkinFile.get()) {
    // A refused folder keeps its sections empty: the common sections are not added either.
    if (!LoadFolderSections(source, *ini)) return;
  } else if (const TsStoredSkin* skin = FindInternal(source)) {
    LoadStoredSections(*skin);
  } else {
    gd.clear();
    return;
  }
  if (source.CommonSections.Count() > 0) LoadCommonSections(source);
}

std::string SelectSkinSource(std::string_view skinName, std::string_view fullSkinDirectory, const TsStoredSkins& skins) {
  sSkinData->Active = false;
  sSkinData->SkinFile.reset();
  // An empty name names no folder: it would make the skin directory itself a skin.
  const std::string folder = std::string(fullSkinDirectory) + "\\" + std::string(skinName) + "\\";
  // A folder whose "Options.dat" is refused is no folder skin: the name goes on as if it had none.
  if (!skinName.empty() && FileExists(folder + "Options.dat") && SkinFolderFault(fullSkinDirectory, skinName).empty()) {
    SelectSkinFolder(folder);
    return std::string(skinName);
  }
  sSkinData->SkinPath.clear();
  if (skins.IndexOf(skinName) < 0 && skins.Count() > 0) return skins[0].Name;
  return std::string(skinName);
}

void LoadSkinArrays(const TsSkinSource& source) {
  LoadAllMasks(source);
  LoadAllPatterns(source);
  LoadAllGeneralData(source);
}
