// The skin manager on real windows (under Wine): the start-up announcement recorded message by
// message, skin changes, removal and the default-manager rule.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <stdexcept>

#include "framework/core/Exceptions.h"
#include "framework/win/Forms.h"
#include "framework/win/Reader.h"
#include "framework/win/StdCtrls.h"
#include "skin/data/sSkinData.h"
#include "skin/data/sSkinLookup.h"
#include "skin/data/win/sSkinManager.h"

namespace {

std::vector<std::string> journal;
bool throwOnNewSkin = false;

std::string ShortName(UINT msg) {
  switch (msg) {
    case SKM_NEWSKIN: return "NEWSKIN";
    case SKM_REMOVESKIN: return "REMOVESKIN";
    case SKM_REPAINT: return "REPAINT";
    case SKM_UPDATESECTION: return "UPDATESECTION";
    default: return {};
  }
}

// What a receiver sees: message, then whether the skin is active, drawing restricted, and the
// cached "GLOBALINFO" index at that moment.
void Record(const std::string& who, const TMessage& m) {
  const std::string name = ShortName(m.Msg);
  if (name.empty()) return;
  std::ostringstream line;
  line << who << " " << name << " " << sSkinData->Active << RestrictDrawing << " " << ConstData.GlobalInfoIndex;
  journal.push_back(line.str());
}

class TRecordingEdit : public TEdit {
 public:
  using TEdit::TEdit;
  void WndProc(TMessage& m) override {
    Record(Name(), m);
    TEdit::WndProc(m);
  }
};

class TRecordingLabel : public TLabel {
 public:
  using TLabel::TLabel;
  void WndProc(TMessage& m) override {
    Record(Name(), m);
    if (m.Msg == SKM_NEWSKIN && throwOnNewSkin) throw Exception("receiver failed");
    TLabel::WndProc(m);
  }
};

class TSkinTestForm : public TForm {
 public:
  TsSkinManager* sSkinManager1 = nullptr;
  explicit TSkinTestForm(TComponent* owner, const std::string& definition) : TForm(owner) {
    Bindings().Field("sSkinManager1", sSkinManager1);
    ReadDefinition(ParseDefinition(definition));
  }
  void WndProc(TMessage& m) override {
    Record(Name(), m);
    TForm::WndProc(m);
  }
};

const char* const kDefinition = R"def(Form1: TSkinTestForm {
  ClientWidth = 200
  ClientHeight = 100
  Edit1: TRecordingEdit {
    Left = 8
    Top = 8
    Width = 60
    Height = 21
  }
  Label1: TRecordingLabel {
    Left = 8
    Top = 40
    Width = 40
    Height = 13
    Caption = "x"
  }
  sSkinManager1: TsSkinManager {
    InternalSkins = StoredSkins
    SkinDirectory = "c:\\Skins"
    SkinName = "BlueGlass (internal)"
  }
  Edit2: TRecordingEdit {
    Left = 80
    Top = 8
    Width = 60
    Height = 21
  }
}
)def";

class SkinManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    journal.clear();
    throwOnNewSkin = false;
    RegisterClass<TRecordingEdit>("TRecordingEdit");
    RegisterClass<TRecordingLabel>("TRecordingLabel");
    RegisterClass<TsSkinManager>("TsSkinManager");
    app = new TApplication(nullptr);
    // An error that reaches a window procedure goes to the application: written down, no box.
    app->OnException = [](TObject*, const Exception& e) { journal.push_back("error " + e.Message()); };
  }
  void TearDown() override {
    delete app;
    NonAutoUpdate = false;
  }
  static std::string Joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) out += l + "\n";
    return out;
  }
  TApplication* app = nullptr;
};

TEST_F(SkinManagerTest, StartUpAnnouncesTheSkinThenRepaintsWithFreshIndexes) {
  ConstData = TConstantSkinData{};
  auto* form = new TSkinTestForm(app, kDefinition);
  const std::vector<std::string> expected = {
      "Edit1 NEWSKIN 01 0",  "Label1 NEWSKIN 01 0",  "Edit2 NEWSKIN 01 0",   // indexes still the old ones
      "Form1 REPAINT 10 54", "Edit1 REPAINT 10 54", "Label1 REPAINT 10 54", "Edit2 REPAINT 10 54",
  };
  EXPECT_EQ(Joined(journal), Joined(expected));
  EXPECT_EQ(gd.size(), 57u);
  EXPECT_EQ(ma.size(), 77u);
  EXPECT_EQ(pa.size(), 0u);
  ASSERT_NE(MasterBitmap, nullptr);
  EXPECT_EQ(MasterBitmap->Width(), 304);
  EXPECT_EQ(sSkinData->SkinManager, form->sSkinManager1);
  EXPECT_EQ(form->sSkinManager1->GetGlobalColor(), 0xCAAB77);
  EXPECT_EQ(form->sSkinManager1->InternalSkins().Count(), 5);
}

TEST_F(SkinManagerTest, ChangesRemovalAndTheDefaultManagerRule) {
  auto* form = new TSkinTestForm(app, kDefinition);
  TsSkinManager* manager = form->sSkinManager1;
  struct Case {
    const char* asked;
    const char* chosen;
    std::size_t masks;
  };
  for (const auto& c : {Case{"Winter2003 (internal)", "Winter2003 (internal)", 63}, Case{"Nowhere", "BlueGlass (internal)", 77},
                        Case{"LongHorn (internal)", "LongHorn (internal)", 52}}) {
    SCOPED_TRACE(c.asked);
    journal.clear();
    manager->SetSkinName(c.asked);
    EXPECT_EQ(manager->SkinName(), c.chosen);
    EXPECT_EQ(ma.size(), c.masks);
    EXPECT_EQ(journal.size(), 7u);
  }

  journal.clear();
  manager->SetActive(false);
  EXPECT_EQ(Joined(journal), "Edit1 REMOVESKIN 00 54\nLabel1 REMOVESKIN 00 54\nEdit2 REMOVESKIN 00 54\n");
  EXPECT_TRUE(gd.empty() && ma.empty() && pa.empty());
  EXPECT_EQ(ConstData.GlobalInfoIndex, -1);
  EXPECT_EQ(ConstData.CheckMasks[0], -1);
  EXPECT_EQ(manager->GetGlobalColor(), clBtnFace);
  manager->SetActive(true);
  EXPECT_EQ(gd.size(), 57u);
  EXPECT_TRUE(sSkinData->Active);

  // A second manager only records its skin name.
  auto* second = new TsSkinManager(form);
  EXPECT_FALSE(second->Active());
  EXPECT_TRUE(second->SkinDirectory().empty());
  journal.clear();
  second->SetSkinName("MacOS (internal)");
  EXPECT_TRUE(journal.empty());
  EXPECT_EQ(ma.size(), 52u);

  // Loaded but not announced, until UpdateSkin.
  NonAutoUpdate = true;
  manager->SetSkinName("MacMetal (internal)");
  EXPECT_TRUE(journal.empty());
  EXPECT_EQ(ma.size(), 69u);
  manager->UpdateSkin();
  EXPECT_EQ(journal.size(), 7u);

  // A graphic receiver that fails ends the delivery to the rest of its form, silently.
  NonAutoUpdate = false;
  throwOnNewSkin = true;
  journal.clear();
  manager->SetSkinName("BlueGlass (internal)");
  EXPECT_EQ(Joined(journal), "Edit1 NEWSKIN 01 50\nLabel1 NEWSKIN 01 50\nForm1 REPAINT 10 54\nEdit1 REPAINT 10 54\n"
                             "Label1 REPAINT 10 54\nEdit2 REPAINT 10 54\n");
  throwOnNewSkin = false;

  journal.clear();
  manager->UpdateSkinSection("edit");
  EXPECT_EQ(GlobalSectionName, "EDIT");
  EXPECT_EQ(journal.size(), 3u);
}

}  // namespace
