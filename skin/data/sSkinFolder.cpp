#include "skin/data/sSkinFolder.h"

#include <algorithm>

#include "framework/core/FileSystem.h"
#include "framework/core/IniFiles.h"
#include "framework/core/StrUtils.h"
#include "skin/data/sImageCodecs.h"
#include "skin/data/sStoredSkin.h"

std::string DirectoryCreationErrorMessage(std::string_view folder) {
  return "Directory " + std::string(folder) + " creation error.";
}

std::string FileWriteErrorMessage(std::string_view file) { return "File " + std::string(file) + " write error."; }

TsControlBevel BevelFromInt(std::int32_t value) {
  return value >= cbNone && value <= cbLoweredHard ? static_cast<TsControlBevel>(value) : cbNone;
}

namespace {

std::int16_t Clamp16(std::int32_t value, std::int32_t low) {
  return static_cast<std::int16_t>(std::clamp<std::int32_t>(value, low, INT16_MAX));
}

}  // namespace

TsMaskLine ParseMaskLine(std::string_view value) {
  const std::string rect = ExtractWord(2, value, " ()");
  const std::string counts = ExtractWord(3, value, " ()");
  TsMaskLine line;
  line.R.Left = DecimalStrToInt(ExtractWord(1, rect, " ,"));
  line.R.Top = DecimalStrToInt(ExtractWord(2, rect, " ,"));
  line.R.Right = DecimalStrToInt(ExtractWord(3, rect, " ,"));
  line.R.Bottom = DecimalStrToInt(ExtractWord(4, rect, " ,"));
  line.ImageCount = Clamp16(DecimalStrToInt(ExtractWord(1, counts, " ,")), 1);
  line.MaskType = Clamp16(DecimalStrToInt(ExtractWord(2, counts, " ,")), 0);
  const std::string border = ExtractWord(3, counts, " ,");
  line.BorderWidth = border.empty() ? 0 : Clamp16(DecimalStrToInt(border), 0);
  return line;
}

std::string FormatMaskLine(const TRect& r, std::int32_t imageCount, std::int32_t maskType, std::int32_t borderWidth) {
  return "#(" + std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) + "," +
         std::to_string(r.Bottom) + ")," + std::to_string(imageCount) + "," + std::to_string(maskType) + "," +
         std::to_string(borderWidth);
}

std::string FolderOfFile(std::string_view path) {
  const auto cut = path.find_last_of("\\/");
  return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut + 1));
}

std::string FileNamePart(std::string_view path) {
  const auto cut = path.find_last_of("\\/:");
  return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string SkinFilePath(std::string_view folder, std::string_view name) {
  if (name.find(':') != std::string_view::npos) return std::string(name);
  return std::string(folder) + std::string(name);
}

std::string ResolveSkinDirectory(std::string_view skinDirectory, std::string_view programFolder) {
  if (skinDirectory.starts_with(".\\") || skinDirectory.starts_with("./"))
    return std::string(programFolder) + std::string(skinDirectory.substr(2));
  if (skinDirectory.find(':') == std::string_view::npos) return std::string(programFolder) + std::string(skinDirectory);
  return std::string(skinDirectory);
}

std::string SkinFolderFault(std::string_view fullSkinDirectory, std::string_view name) {
  // An empty name, or one that climbs out, names no folder of the skin directory.
  if (name.empty() || name == "." || name == ".." || name.find_first_of("\\/") != std::string_view::npos) return {};
  const std::string folder = std::string(fullSkinDirectory) + "\\" + std::string(name) + "\\";
  if (!DirectoryExists(folder)) return {};
  const std::string options = folder + "Options.dat";
  const std::string where = " in the folder " + folder;
  if (DirectoryExists(options)) return "\"Options.dat\"" + where + " is a folder, not a file";
  const std::optional<std::uintmax_t> size = FileSize(options);
  if (!size) return "the folder " + folder + " has no \"Options.dat\" file";
  if (LeadsOutside(options, fullSkinDirectory))
    return "\"Options.dat\"" + where + " leads out of the skin directory " + std::string(fullSkinDirectory);
  if (*size > kMaxOptionsBytes)
    return "\"Options.dat\"" + where + " is larger than 16 MB (" + std::to_string(*size) + " bytes) and is not read";
  return {};
}

namespace {

std::string AddSkinFolders(std::string_view fullSkinDirectory, TStringList& list, std::string first,
                           const TStringList::TCompare& compare) {
  if (DirectoryExists(fullSkinDirectory)) {
    for (const auto& entry : ListDirectory(fullSkinDirectory)) {
      if (!entry.IsDirectory || entry.Name.empty() || entry.Name[0] == '.') continue;
      list.Add(entry.Name);
      if (first.empty()) first = entry.Name;
    }
  }
  list.Sort(compare);
  return first;
}

}  // namespace

std::string GetSkinNames(const TsStoredSkins& skins, std::string_view fullSkinDirectory, TStringList& list,
                         const TStringList::TCompare& compare) {
  list.Clear();
  std::string first;
  for (int i = 0; i < skins.Count(); ++i) {
    list.Add(skins[i].Name);
    if (i == 0) first = skins[i].Name;
  }
  return AddSkinFolders(fullSkinDirectory, list, std::move(first), compare);
}

std::string GetExternalSkinNames(std::string_view fullSkinDirectory, TStringList& list,
                                 const TStringList::TCompare& compare) {
  list.Clear();
  return AddSkinFolders(fullSkinDirectory, list, {}, compare);
}

void SaveToIni(const TsStoredSkins& skins, int index, TMemIniFile& ini) {
  const TsStoredSkin& skin = skins[index];
  for (int i = 0; i < skin.GeneralData.Count(); ++i) {
    const TsSkinGeneral& g = skin.GeneralData[i];
    if (g.SectionName.empty()) continue;
    const std::string& s = g.SectionName;
    auto boolText = [](bool v) { return v ? "TRUE" : "FALSE"; };
    ini.WriteString(s, "PARENTCLASS", g.ParentClass);
    ini.WriteInteger(s, "COLOR", g.Color);
    ini.WriteInteger(s, "BEVEL", g.Bevel);
    ini.WriteInteger(s, "SHADOWBLUR", g.ShadowBlur);
    ini.WriteInteger(s, "SHADOWOFFSET", g.ShadowOffset);
    ini.WriteInteger(s, "SHADOWCOLOR", g.ShadowColor);
    ini.WriteInteger(s, "SHADOWTRANSPARENCY", g.ShadowTransparency);
    ini.WriteString(s, "SHADOWENABLED", boolText(g.ShadowEnabled));
    ini.WriteString(s, "RESERVEDBOOLEAN", boolText(g.ReservedBoolean));
    const char* normalKeys[5] = {"FONTCOLOR", "TCLEFT", "TCTOP", "TCRIGHT", "TCBOTTOM"};
    const char* hotKeys[5] = {"HOTFONTCOLOR", "HOTTCLEFT", "HOTTCTOP", "HOTTCRIGHT", "HOTTCBOTTOM"};
    for (int w = 0; w < 5; ++w) ini.WriteString(s, normalKeys[w], ExtractWord(w + 1, g.FontColor, " "));
    for (int w = 0; w < 5; ++w) ini.WriteString(s, hotKeys[w], ExtractWord(w + 1, g.HotFontColor, " "));
    ini.WriteInteger(s, "TRANSPARENCY", g.Transparency);
    ini.WriteInteger(s, "GRADIENTPERCENT", g.GradientPercent);
    ini.WriteInteger(s, "IMAGEPERCENT", g.ImagePercent);
    ini.WriteString(s, "GRADIENTDATA", g.GradientData);
    ini.WriteString(s, "SHOWFOCUS", boolText(g.ShowFocus));
    ini.WriteString(s, "FADINGENABLED", boolText(g.FadingEnabled));
    ini.WriteInteger(s, "FADINGINTERVALIN", g.FadingIntervalIn);
    ini.WriteInteger(s, "FADINGINTERVALOUT", g.FadingIntervalOut);
    ini.WriteInteger(s, "FADINGITERATIONS", g.FadingIterations);
    ini.WriteInteger(s, "HOTCOLOR", g.HotColor);
    ini.WriteInteger(s, "HOTTRANSPARENCY", g.HotTransparency);
    ini.WriteInteger(s, "HOTBEVEL", g.HotBevel);
    ini.WriteInteger(s, "HOTGRADIENTPERCENT", g.HotGradientPercent);
    ini.WriteString(s, "HOTGRADIENTDATA", g.HotGradientData);
    ini.WriteInteger(s, "HOTIMAGEPERCENT", g.HotImagePercent);
    ini.WriteInteger(s, "BORDERCOLOR1", g.BorderColor1);
    ini.WriteInteger(s, "BORDERCOLOR2", g.BorderColor2);
  }
}

namespace {

// A stored file name may only name a file inside the folder being written.
bool IsPlainFileName(std::string_view name) {
  return !name.empty() && name.find_first_of("\\/:") == std::string_view::npos && name != "." && name != "..";
}

}  // namespace

std::string ExtractByIndex(const TsStoredSkins& skins, int index, std::string_view destination) {
  if (index < 0 || index >= skins.Count()) return kNoSuchSkinMessage;
  const TsStoredSkin& skin = skins[index];
  std::string folder(destination);
  while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  folder += "\\" + skin.Name + " extracted\\";
  if (!DirectoryExists(folder) && !ForceDirectories(folder)) return DirectoryCreationErrorMessage(folder);

  TMemIniFile ini(folder + "Options.dat");
  auto save = [&](std::string_view name, std::string_view bytes) -> std::string {
    const std::string path = folder + std::string(name);
    return WriteFileBytes(path, bytes) ? std::string() : FileWriteErrorMessage(path);
  };
  if (auto error = save("Master.bmp", WriteBmp(const_cast<TPixelImage&>(skin.MasterBitmap).View())); !error.empty())
    return error;
  ini.WriteString("GLOBALINFO", "MASTERBITMAP", "MASTER.BMP");
  for (int i = 0; i < skin.Images.Count(); ++i) {
    const TsSkinImage& m = skin.Images[i];
    if (!m.Name.empty()) {
      if (!IsPlainFileName(m.Name)) continue;
      if (auto error = save(m.Name, WriteBmp(const_cast<TPixelImage&>(m.Image).View())); !error.empty()) return error;
      ini.WriteString(m.SectionName, m.PropertyName, m.Name);
    } else {
      ini.WriteString(m.SectionName, m.PropertyName,
                      FormatMaskLine(Rect(m.Left, m.Top, m.Right, m.Bottom), m.ImageCount, m.MaskType, m.BorderWidth));
    }
  }
  for (int i = 0; i < skin.Patterns.Count(); ++i) {
    const TsSkinPattern& p = skin.Patterns[i];
    if (!IsPlainFileName(p.Name)) continue;
    if (auto error = save(p.Name, p.Image.Data); !error.empty()) return error;
    ini.WriteString(p.SectionName, p.PropertyName, p.Name);
  }
  SaveToIni(skins, index, ini);
  if (!ini.UpdateFile()) return FileWriteErrorMessage(ini.FileName());
  return {};
}

std::string ExtractInternalSkin(const TsStoredSkins& skins, std::string_view name, std::string_view destination) {
  bool found = false;
  for (int i = 0; i < skins.Count(); ++i) {
    if (skins[i].Name != name) continue;
    found = true;
    if (!DirectoryExists(destination)) return kNoSuchDirectoryMessage;
    if (auto error = ExtractByIndex(skins, i, destination); !error.empty()) return error;
  }
  return found ? std::string() : std::string(kNoSuchSkinMessage);
}
