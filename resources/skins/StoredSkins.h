#pragma once
// The program's five stored skins, in their stored form (see skin/data/sStoredSkin.h).
#include <string_view>

class TsStoredSkins;

// The stored form of all five skins, as the generator wrote it.
std::string_view StoredSkinsData();
// Fills `skins` with the five stored skins; false only if the data is damaged.
bool LoadStoredSkins(TsStoredSkins& skins);
