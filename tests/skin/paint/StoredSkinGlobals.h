#pragma once
// Puts a stored skin into the skin's global arrays (section data, masks, master bitmap) the way
// the manager does, for tests of the painters that read them; the stored skins stay alive in
// the caller's object for as long as the arrays refer to them.
#include <string>

#include "resources/skins/StoredSkins.h"
#include "skin/data/sSkinData.h"
#include "skin/data/sSkinLoad.h"
#include "skin/data/sStoredSkin.h"

namespace skintest {

class TStoredSkinGlobals {
 public:
  // False when the stored skins cannot be read or the skin has no master bitmap.
  bool Load(const std::string& name = "BlueGlass (internal)") {
    if (!LoadStoredSkins(skins_)) return false;
    SelectInternalSkin();
    TsSkinSource source;
    source.SkinName = name;
    source.InternalSkins = &skins_;
    LoadAllMasks(source);
    LoadAllGeneralData(source);
    return MasterBitmap != nullptr;
  }
  ~TStoredSkinGlobals() {
    FreeBitmaps();
    gd.clear();
  }

 private:
  TsStoredSkins skins_;
};

}  // namespace skintest
