#pragma once
// For the tests that load skins straight through the loaders: the process-wide skin arrays back
// to their empty state, and a test's temporary folder removed.
#include <filesystem>
#include <string>

#include "framework/core/FileSystem.h"
#include "skin/data/sSkinData.h"
#include "skin/data/sSkinLoad.h"

namespace skintest {

// Empties what a load filled: the source back to the stored skins, no pictures, no sections,
// no skin active.
inline void ResetSkinArrays() {
  SelectInternalSkin();
  FreeBitmaps();
  FreeJpegs();
  gd.clear();
  sSkinData->Active = false;
}

// Removes a test's folder with everything in it; a folder that is not there is no error.
inline void RemoveTestFolder(const std::string& folder) {
  std::error_code ec;
  std::filesystem::remove_all(PathFromUtf8(folder), ec);
}

}  // namespace skintest
