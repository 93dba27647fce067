#include "resources/skins/StoredSkins.h"

#include "skin/data/sStoredSkin.h"

bool LoadStoredSkins(TsStoredSkins& skins) { return ReadStoredSkins(StoredSkinsData(), skins); }
