#pragma once
// The three loaders that fill the skin arrays from the selected source: a skin folder when
// sSkinData->SkinFile is open, else the stored skin named by the source. They run in the order
// masks, patterns, sections; each replaces what the previous skin left.
//
// A folder is untrusted: a missing or unreadable image is skipped, a looping parent chain ends,
// and nothing it holds makes a loader crash or hang. A bad number in a mask line, or in a
// folder's gradient description, throws EConvertError out of the loader, with the arrays
// holding what was loaded up to then.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/core/Exceptions.h"
#include "framework/core/StringList.h"

class TsStoredSkins;

// What the loaders need from the skin manager.
struct TsSkinSource {
  std::string SkinName;                         // stored skin to load when no folder is open
  const TsStoredSkins* InternalSkins = nullptr;
  TStringList CommonSections;                   // extra sections, see PrepareCommonSections
  std::function<void(const std::string&)> ShowError;  // the skinning engine's error box
  std::vector<std::string>* Problems = nullptr;  // when set, what a skin author should fix
  bool* Refused = nullptr;  // when set, made true when the folder is refused as old-format
};

// A conversion error of a loader together with where it was met: the file ("Options.dat", or
// "common sections" for the manager's lines), the section and the key. Its message is the
// conversion error's own, so that a caller that shows only the message shows what it did before.
class ESkinLoadError : public EConvertError {
 public:
  ESkinLoadError(const EConvertError& cause, std::string file, std::string section, std::string key)
      : EConvertError(cause.what()), File(std::move(file)), Section(std::move(section)), Key(std::move(key)) {}
  std::string File;
  std::string Section;
  std::string Key;
};

// The texts the user sees when a chosen skin is not taken, each naming the skin:
// The skin "NAME" could not be loaded: REASON
// where a loader error gives its file, section and key before its own message, as in
//   Options.dat, [BUTTON] BORDERSMASK: 'x' is not a valid integer value
// No full stop is added; the error box adds it.
std::string SkinRefusalText(std::string_view skinName, std::string_view reason);
std::string SkinLoadErrorText(std::string_view skinName, const std::exception& error);
// A loader error alone: where it was met (when known), then its message.
std::string DescribeSkinLoadError(const std::exception& error);

// The common-section lines as the manager keeps them: blanks removed from every line that
// does not start with ";".
TStringList PrepareCommonSections(const TStringList& lines);

// Opens "Options.dat" of `folder` (which ends in a backslash) as sSkinData->SkinFile.
void SelectSkinFolder(std::string_view folder);
// Closes any open folder, so that the loaders use the stored skins.
void SelectInternalSkin();

void LoadAllMasks(const TsSkinSource& source);
void LoadAllPatterns(const TsSkinSource& source);
void LoadAllGeneralData(const TsSkinSource& source);

// Chooses where the skin `skinName` comes from, as a skin change does before loading: a folder
// `fullSkinDirectory`\NAME\ with an "Options.dat" wins (and is opened as sSkinData->SkinFile);
// otherwise the stored skin of that exact name, or, when there is none, the first stored skin.
// Marks the skin inactive. Returns the name of the skin chosen (`skinName` when nothing else
// is found).
std::string SelectSkinSource(std::string_view skinName, std::string_view fullSkinDirectory, const TsStoredSkins& skins);
// Runs the three loaders in their order.
void LoadSkinArrays(const TsSkinSource& source);
