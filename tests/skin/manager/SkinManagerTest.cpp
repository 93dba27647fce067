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
#include "resources/skins/StoredSkins.h"
#include "skin/data/sMessages.h"
#include "skin/data/sSkinData.h"
#include "skin/data/sSkinLookup.h"
#include "skin/manager/sSkinManager.h"
#include "tests/win/WinTestSupport.h"

namespace {

TMessageLog journal(&MessageNameWith<SkinMessageName>);
bool throwOnNewSkin = false;

// What a receiver sees of each skin message: the message and its parameters, noted with
// whether the skin is active and drawing restricted, and the cached "GLOBALINFO" index at that
// moment ("01 54").
void Record(const std::string& who, const TMessage& m) {
  if (!IsSkinMessage(m.Msg)) return;
  std::ostringstream state;
  state << sSkinData->Active << RestrictDrawing << " " << ConstData.GlobalInfoIndex;
  journal.Message(m.Msg, m.WParam, m.LParam, who, state.str());
}

// A receiver's entry in the tables: the announcement, with the state it found.
TSeqEntry Seen(const char* receiver, std::uint32_t message, const char* state) {
  return Msg(message).To(receiver).With(state);
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
    journal.Clear();
    throwOnNewSkin = false;
    RegisterClass<TRecordingEdit>("TRecordingEdit");
    RegisterClass<TRecordingLabel>("TRecordingLabel");
    RegisterClass<TsSkinManager>("TsSkinManager");
    ManagerHooks().LoadStoredSkins = LoadStoredSkins;
    app = new TApplication(nullptr);
    // An error that reaches a window procedure goes to the application: written down, no box.
    app->OnException = [](TObject*, const Exception& e) { journal.Event("error " + e.Message()); };
  }
  void TearDown() override {
    delete app;
    NonAutoUpdate = false;
  }
  TApplication* app = nullptr;
};

TEST_F(SkinManagerTest, StartUpAnnouncesTheSkinThenRepaintsWithFreshIndexes) {
  ConstData = TConstantSkinData{};
  auto* form = new TSkinTestForm(app, kDefinition);
  ExpectSequence(
      {
          Seen("Edit1", SKM_NEWSKIN, "01 0"), Seen("Label1", SKM_NEWSKIN, "01 0"),  // indexes still the old ones
          Seen("Edit2", SKM_NEWSKIN, "01 0"), Seen("Form1", SKM_REPAINT, "10 54"), Seen("Edit1", SKM_REPAINT, "10 54"),
          Seen("Label1", SKM_REPAINT, "10 54"), Seen("Edit2", SKM_REPAINT, "10 54"),
      },
      journal);
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
    journal.Clear();
    manager->SetSkinName(c.asked);
    EXPECT_EQ(manager->SkinName(), c.chosen);
    EXPECT_EQ(ma.size(), c.masks);
    EXPECT_EQ(journal.Entries().size(), 7u);
  }

  journal.Clear();
  manager->SetActive(false);
  ExpectSequence({Seen("Edit1", SKM_REMOVESKIN, "00 54"), Seen("Label1", SKM_REMOVESKIN, "00 54"),
                  Seen("Edit2", SKM_REMOVESKIN, "00 54")},
                 journal);
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
  journal.Clear();
  second->SetSkinName("MacOS (internal)");
  ExpectSequence({}, journal);
  EXPECT_EQ(ma.size(), 52u);

  // Loaded but not announced, until UpdateSkin.
  NonAutoUpdate = true;
  manager->SetSkinName("MacMetal (internal)");
  ExpectSequence({}, journal);
  EXPECT_EQ(ma.size(), 69u);
  manager->UpdateSkin();
  EXPECT_EQ(journal.Entries().size(), 7u);

  // A graphic receiver that fails ends the delivery to the rest of its form, silently.
  NonAutoUpdate = false;
  throwOnNewSkin = true;
  journal.Clear();
  manager->SetSkinName("BlueGlass (internal)");
  ExpectSequence({Seen("Edit1", SKM_NEWSKIN, "01 50"), Seen("Label1", SKM_NEWSKIN, "01 50"),
                  Seen("Form1", SKM_REPAINT, "10 54"), Seen("Edit1", SKM_REPAINT, "10 54"),
                  Seen("Label1", SKM_REPAINT, "10 54"), Seen("Edit2", SKM_REPAINT, "10 54")},
                 journal);
  throwOnNewSkin = false;

  journal.Clear();
  manager->UpdateSkinSection("edit");
  EXPECT_EQ(GlobalSectionName, "EDIT");
  EXPECT_EQ(journal.Entries().size(), 3u);
}

}  // namespace
