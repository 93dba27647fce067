// A whole skin folder from fuzzed bytes: "Options.dat" and a few image files, loaded with the
// three loaders (and common sections made of the same ini). Input layout, repeated:
//   u8 name length, name, u32 little-endian data length, data
// The first file is always written as "Options.dat". Files go to a folder of this process in
// memory-backed /dev/shm when there is one.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/core/Exceptions.h"
#include "framework/core/FileSystem.h"
#include "framework/core/StringList.h"
#include "skin/data/sSkinData.h"
#include "skin/data/sSkinLoad.h"
#include "skin/data/sSkinLookup.h"

namespace {

std::string FolderOfThisProcess() {
  std::error_code ec;
  const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec) ? "/dev/shm" : std::filesystem::temp_directory_path();
  return (base / ("ds-fuzz-folder-" + std::to_string(getpid()))).string() + "/";
}

// The folder lives as long as the process: removed when it ends normally, so that neither a
// fuzz run nor a replay of the corpus leaves one behind.
struct TScratchFolder {
  const std::string Path = FolderOfThisProcess();
  ~TScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(Path, ec);
  }
};

bool SafeName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name)
    if (c == '/' || c == '\\' || c == '\0' || c == ':') return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const TScratchFolder scratch;
  const std::string& folder = scratch.Path;
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
  std::filesystem::create_directories(folder, ec);

  std::size_t pos = 0;
  std::string ini;
  for (int file = 0; file < 6 && pos < size; ++file) {
    const std::size_t nameLength = data[pos++];
    if (pos + nameLength + 4 > size) break;
    std::string name(reinterpret_cast<const char*>(data + pos), nameLength);
    pos += nameLength;
    std::uint32_t length = 0;
    for (int i = 0; i < 4; ++i) length |= static_cast<std::uint32_t>(data[pos + static_cast<std::size_t>(i)]) << (8 * i);
    pos += 4;
    const std::size_t take = std::min<std::size_t>(length, size - pos);
    const std::string bytes(reinterpret_cast<const char*>(data + pos), take);
    pos += take;
    if (file == 0) {
      ini = bytes;
      name = "Options.dat";
    }
    if (SafeName(name)) WriteFileBytes(folder + name, bytes);
  }

  SelectSkinFolder(folder);
  TsSkinSource source;
  std::vector<std::string> problems;
  source.Problems = &problems;
  TStringList common;
  common.SetText(ini.substr(0, 512));
  source.CommonSections = PrepareCommonSections(common);
  for (auto* load : {&LoadAllMasks, &LoadAllPatterns, &LoadAllGeneralData}) {
    try {
      load(source);
    } catch (const EConvertError&) {
    }
  }
  sSkinData->Active = true;
  InitConstantIndexes();
  // Lookups by scanning the arrays and through the maps of a skin announcement agree.
  std::vector<std::int32_t> scanned;
  auto lookups = [&](std::vector<std::int32_t>& found) {
    for (std::size_t i = 0; i < gd.size() && i < 64; ++i) {
      found.push_back(GetSkinIndex(gd[i].ClassName));
      found.push_back(GetSkinIndex(gd[i].ParentClass));
      found.push_back(GetMaskIndex(static_cast<std::int32_t>(i), gd[i].ClassName, "BORDERSMASK"));
      found.push_back(GetMaskIndex(static_cast<std::int32_t>(i), gd[i].ParentClass, "GLYPHMASK"));
      found.push_back(GetPatternIndex(static_cast<std::int32_t>(i), gd[i].ClassName, "PATTERN"));
    }
  };
  lookups(scanned);
  {
    const TsLookupScope scope;
    std::vector<std::int32_t> mapped;
    lookups(mapped);
    if (mapped != scanned) std::abort();
  }
  for (std::size_t i = 0; i < ma.size(); ++i) MaskSize(static_cast<std::int32_t>(i));
  SelectInternalSkin();
  FreeBitmaps();
  FreeJpegs();
  gd.clear();
  return 0;
}
