#pragma once
// Skin folders on disk: where they live, how their names are listed, the mask-line syntax of
// "Options.dat", and writing a stored skin out as a folder.
//
// Paths are UTF-8 with "\" as the separator, as the program writes them; a name without ":" is
// relative (to the program's folder for the skin directory, to the skin folder for its files).
#include <cstdint>
#include <string>
#include <string_view>

#include "framework/core/Geometry.h"
#include "framework/core/StrUtils.h"
#include "framework/core/StringList.h"
#include "skin/data/sSkinData.h"

class TMemIniFile;
class TsStoredSkins;

// Texts of the skinning engine's error box.
inline constexpr const char* kOldFormatMessage =
    "This skin is of an old version, made for Lumivane 3. Please download the latest skins.";
inline constexpr const char* kNoSuchDirectoryMessage = "Directory with such name do not exists.";
inline constexpr const char* kNoSuchSkinMessage = "Skin with such name do not exists.";
std::string DirectoryCreationErrorMessage(std::string_view folder);  // "Directory ... creation error."
std::string FileWriteErrorMessage(std::string_view file);

TsControlBevel BevelFromInt(std::int32_t value);  // outside 0..4: cbNone

// The numbers of a mask line #(left,top,right,bottom),ImageCount,MaskType[,BorderWidth], already
// brought into range: ImageCount at least 1, MaskType and BorderWidth at least 0 (all within
// 16 bits). A number that is not a decimal integer throws EConvertError.
struct TsMaskLine {
  TRect R;
  std::int16_t ImageCount = 1;
  std::int16_t MaskType = 0;
  std::int16_t BorderWidth = 0;
};
TsMaskLine ParseMaskLine(std::string_view value);
std::string FormatMaskLine(const TRect& r, std::int32_t imageCount, std::int32_t maskType, std::int32_t borderWidth);

// "path\to\" of "path\to\file" (empty when there is no separator).
std::string FolderOfFile(std::string_view path);
// "file" of "path\to\file".
std::string FileNamePart(std::string_view path);
// `name` with `folder` in front unless it holds a ":" (a full path).
std::string SkinFilePath(std::string_view folder, std::string_view name);

// The full skin directory of the manager's SkinDirectory: a leading ".\" or "./" becomes the
// program's folder, a directory without any ":" gets the program's folder in front, anything
// else stays. No separator is added at the end. `programFolder` ends in a separator.
std::string ResolveSkinDirectory(std::string_view skinDirectory, std::string_view programFolder);

// The largest "Options.dat" that is read. A skin's whole description takes some kilobytes; a
// far larger file is no skin, and reading it would hold the window for seconds.
inline constexpr std::uintmax_t kMaxOptionsBytes = std::uintmax_t{16} << 20;
// Why the skin folder `name` under `fullSkinDirectory` cannot be a skin, as a sentence for the
// user: its "Options.dat" is missing, is a folder, leads out of the skin directory through a
// link, or is larger than kMaxOptionsBytes. Empty when it can be read, and when there is no
// folder of that name at all (the name may be a stored skin's).
std::string SkinFolderFault(std::string_view fullSkinDirectory, std::string_view name);

// All skin names: stored skins (in collection order) and the folders under `fullSkinDirectory`
// whose names do not start with ".", sorted by `compare`. Returns the first stored skin's
// name, or else the first folder found. The skin manager on Windows sorts as the system does
// (its case-insensitive order of the user's locale); the default, also the native build's
// order, is CompareText: case-insensitive by code point, ASCII and Cyrillic folded.
std::string GetSkinNames(const TsStoredSkins& skins, std::string_view fullSkinDirectory, TStringList& list,
                         const TStringList::TCompare& compare = CompareText);
std::string GetExternalSkinNames(std::string_view fullSkinDirectory, TStringList& list,
                                 const TStringList::TCompare& compare = CompareText);

// Writes the sections of stored skin `index` into `ini`.
void SaveToIni(const TsStoredSkins& skins, int index, TMemIniFile& ini);
// Writes stored skin `index` as the folder `destination`\NAME extracted\. Returns the text for
// the error box, or empty on success.
std::string ExtractByIndex(const TsStoredSkins& skins, int index, std::string_view destination);
// The same by exact name; also fails when no stored skin has that name or `destination` is not
// an existing directory.
std::string ExtractInternalSkin(const TsStoredSkins& skins, std::string_view name, std::string_view destination);
