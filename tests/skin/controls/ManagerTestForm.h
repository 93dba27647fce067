#pragma once
// A small dialog form with a skin manager of the stored skins (skin directory c:\Skins,
// "BlueGlass (internal)" active), for the tests of what a form's menus show and draw.
#include <string>

#include "framework/win/Forms.h"
#include "framework/win/Reader.h"
#include "skin/manager/sSkinManager.h"

namespace controltest {

class TManagerTestForm : public TForm {
 public:
  TsSkinManager* sSkinManager1 = nullptr;
  TManagerTestForm(TComponent* owner, const std::string& definition) : TForm(owner) {
    Bindings().Field("sSkinManager1", sSkinManager1);
    ReadDefinition(ParseDefinition(definition));
  }
};

inline const char* const kManagerTestFormDefinition = R"def(Form1: TManagerTestForm {
  BorderStyle = bsDialog
  ClientWidth = 200
  ClientHeight = 100
  sSkinManager1: TsSkinManager {
    InternalSkins = StoredSkins
    SkinDirectory = "c:\\Skins"
    SkinName = "BlueGlass (internal)"
  }
}
)def";

}  // namespace controltest
