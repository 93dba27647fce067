// Skin announcements on real windows: the start-up announcement inside the window's loading,
// skin changes, removing and restoring the skin, skin folders, the error box, and delivery of
// the skin messages (recorded per receiver and compared with the expected sequence).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "framework/core/Exceptions.h"
#include "framework/core/FileSystem.h"
#include "framework/win/Forms.h"
#include "framework/win/StdCtrls.h"
#include "resources/skins/StoredSkins.h"
#include "skin/data/sImageCodecs.h"
#include "skin/data/sMessages.h"
#include "skin/data/sSkinData.h"
#include "skin/data/sSkinFolder.h"
#include "skin/data/sSkinLookup.h"
#include "skin/manager/sSkinManager.h"
#include "tests/win/WinTestSupport.h"

namespace {

// Every skin message each receiver gets, with the state it finds, and the test's own steps.
TMessageLog journal(&MessageNameWith<SkinMessageName>);
// A value no skin gives, put into ConstData to see when it is refreshed.
constexpr std::int16_t kStale = -7;

// For the announcements: is the skin active, is drawing restricted, is ConstData refreshed.
std::string Snapshot(UINT msg) {
  if (msg != SKM_NEWSKIN && msg != SKM_REPAINT) return {};
  std::string s = sSkinData->Active ? "active" : "inactive";
  s += RestrictDrawing ? " restricted" : " free";
  s += ConstData.ScrollBtnIndexes[2] == kStale ? " stale" : " fresh";
  return s;
}

// What each test receiver does with a skin message: write it down, fail on request, and keep
// the skin state the message sets.
struct TRecorder {
  TsSkinState Skin;
  UINT FailOn = 0;

  bool Take(const std::string& name, TMessage& message) {
    if (!IsSkinMessage(message.Msg)) return false;
    journal.Message(message.Msg, message.WParam, message.LParam, name, Snapshot(message.Msg));
    if (message.Msg == FailOn) throw Exception("receiver failed");
    const auto answer = Skin.Handle(message.Msg, message.WParam, message.LParam);
    message.Result = answer.Result;
    return answer.Handled;
  }
};

class TRecEdit : public TEdit {
 public:
  using TEdit::TEdit;
  TRecorder Rec;
  void WndProc(TMessage& message) override {
    if (!Rec.Take(Name(), message)) TEdit::WndProc(message);
  }
  bool ReadProperty(TReader& reader, const TDefProperty& property) override {
    if (property.Name != "SkinData.SkinSection") return TEdit::ReadProperty(reader, property);
    Rec.Skin.SkinSection = reader.String(property);
    return true;
  }
};

class TRecLabel : public TLabel {
 public:
  using TLabel::TLabel;
  TRecorder Rec;
  void WndProc(TMessage& message) override {
    if (!Rec.Take(Name(), message)) TLabel::WndProc(message);
  }
};

// Stands for the form's skin provider: a component without a window.
class TRecProvider : public TComponent, public TsSkinMessageReceiver {
 public:
  using TComponent::TComponent;
  TRecorder Rec;
  void SkinMessage(TMessage& message) override { Rec.Take(Name(), message); }
  void Loaded() override {
    journal.Event("loaded " + Name());
    TComponent::Loaded();
  }
};

class TRecForm : public TForm {
 public:
  TRecEdit* Edit1 = nullptr;
  TRecEdit* Edit2 = nullptr;
  TRecLabel* Label1 = nullptr;
  TsSkinManager* sSkinManager1 = nullptr;
  TRecProvider* Provider1 = nullptr;
  TRecorder Rec;

  TRecForm(TComponent* owner, const std::string& definition) : TForm(owner) {
    Bindings().Field("Edit1", Edit1);
    Bindings().Field("Edit2", Edit2);
    Bindings().Field("Label1", Label1);
    Bindings().Field("sSkinManager1", sSkinManager1);
    Bindings().Field("Provider1", Provider1);
    ReadDefinition(ParseDefinition(definition));
  }
  void WndProc(TMessage& message) override {
    if (!Rec.Take(Name(), message)) TForm::WndProc(message);
  }
};

const char* const kControls = R"(
  ClientWidth = 200
  ClientHeight = 100
  Edit1: TRecEdit {
    Left = 8
    Top = 8
    Width = 80
    Height = 21
    SkinData.SkinSection = "EDIT"
  }
  Edit2: TRecEdit {
    Left = 100
    Top = 8
    Width = 80
    Height = 21
    SkinData.SkinSection = "MYEDIT"
  }
  Label1: TRecLabel {
    Left = 8
    Top = 40
    Width = 60
    Height = 13
    Caption = "Проба"
  }
)";

const char* const kManager = R"def(
  sSkinManager1: TsSkinManager {
    InternalSkins = ("BlueGlass (internal)", "MacOS (internal)", "LongHorn (internal)", "MacMetal (internal)", "Winter2003 (internal)")
    SkinDirectory = "c:\\Skins"
    SkinName = "BlueGlass (internal)"
  }
  Provider1: TRecProvider {
  }
)def";

std::string Definition(const std::string& name, bool withManager) {
  return name + ": TRecForm {" + kControls + (withManager ? kManager : "") + "}\n";
}

class SkinAnnouncementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterClass<TRecEdit>("TRecEdit");
    RegisterClass<TRecLabel>("TRecLabel");
    RegisterClass<TRecProvider>("TRecProvider");
    RegisterClass<TsSkinManager>("TsSkinManager");
    ManagerHooks().LoadStoredSkins = LoadStoredSkins;
    journal.Clear();
    ConstData.ScrollBtnIndexes[2] = kStale;
    app = new TApplication(nullptr);
    app->SetTitle("Проба");
  }
  void TearDown() override {
    Free(app);
    EXPECT_EQ(sSkinData->SkinManager, nullptr) << "the default manager goes with its window";
    EXPECT_TRUE(gd.empty());
    EXPECT_TRUE(ma.empty());
  }
  TRecForm* CreateForm(const std::string& name = "Form1", bool withManager = true) {
    auto* form = new TRecForm(app, Definition(name, withManager));
    return form;
  }
  static std::size_t StoredSections(const TsSkinManager& manager, const char* name) {
    const TsStoredSkins& skins = manager.InternalSkins();
    return static_cast<std::size_t>(skins[skins.IndexOf(name)].GeneralData.Count());
  }

  TApplication* app = nullptr;
};

// An announcement of the skin manager as a receiver gets it (the reserved wParam 0; lParam is
// the manager), with the state the receiver finds.
TSeqEntry Announced(const char* receiver, std::uint32_t message, const char* state = "") {
  return Msg(message).To(receiver).W(0).With(state);
}

const std::vector<TSeqEntry> kAnnouncement = {
    Announced("Edit1", SKM_NEWSKIN, "inactive restricted stale"),
    Announced("Edit2", SKM_NEWSKIN, "inactive restricted stale"),
    Announced("Label1", SKM_NEWSKIN, "inactive restricted stale"),
    Announced("Provider1", SKM_NEWSKIN, "inactive restricted stale"),
    Announced("Form1", SKM_REPAINT, "active free fresh"),
    Announced("Edit1", SKM_REPAINT, "active free fresh"),
    Announced("Edit2", SKM_REPAINT, "active free fresh"),
    Announced("Label1", SKM_REPAINT, "active free fresh"),
};

TEST_F(SkinAnnouncementTest, StartUpAnnouncesTheNamedSkinInsideTheWindowsLoading) {
  TRecForm* form = CreateForm();
  std::vector<TSeqEntry> expected = kAnnouncement;
  // The provider hears of the skin before its own loaded step; it saw the repaint through the
  // form's window and gets no second one.
  expected.push_back(Event("loaded Provider1"));
  ExpectSequence(expected, journal);

  TsSkinManager& manager = *form->sSkinManager1;
  EXPECT_TRUE(manager.IsDefault());
  EXPECT_TRUE(manager.Active());
  EXPECT_TRUE(manager.SkinnedPopups());
  EXPECT_EQ(manager.SkinDirectory(), "c:\\Skins");
  EXPECT_EQ(manager.SkinName(), "BlueGlass (internal)");
  ASSERT_EQ(manager.InternalSkins().Count(), 5);
  EXPECT_EQ(manager.InternalSkins()[4].Name, "Winter2003 (internal)");
  EXPECT_TRUE(sSkinData->Active);
  EXPECT_FALSE(RestrictDrawing);
  EXPECT_EQ(gd.size(), 57u);
  EXPECT_EQ(ma.size(), 77u);
  EXPECT_TRUE(pa.empty());
  EXPECT_EQ(manager.GetGlobalColor(), 0xCAAB77);
  EXPECT_EQ(ConstData.ScrollBtnIndexes[2], GetSkinIndex("SCROLLBTNLEFT"));
  EXPECT_GE(ConstData.ScrollBtnIndexes[2], 0);
  // Each receiver looked its section up while the new skin was announced.
  EXPECT_EQ(form->Edit1->Rec.Skin.SkinIndex, GetSkinIndex("EDIT"));
  EXPECT_EQ(form->Edit1->Rec.Skin.BorderIndex, GetMaskIndex(GetSkinIndex("EDIT"), "EDIT", "BORDERSMASK"));
  EXPECT_GE(form->Edit1->Rec.Skin.BorderIndex, 0);
  EXPECT_EQ(form->Edit2->Rec.Skin.SkinIndex, -1);
  EXPECT_FALSE(form->Edit1->Rec.Skin.Updating);
  EXPECT_TRUE(form->Edit1->HandleAllocated()) << "delivery creates the window";
}

TEST_F(SkinAnnouncementTest, SelectingSkinsByNameWithFallbacks) {
  TRecForm* form = CreateForm();
  TsSkinManager& manager = *form->sSkinManager1;
  manager.OnBeforeChange = [](TObject*) { journal.Event("before"); };
  manager.OnAfterChange = [](TObject*) { journal.Event("after"); };

  journal.Clear();
  ConstData.ScrollBtnIndexes[2] = kStale;
  manager.SetSkinName("Winter2003 (internal)");
  std::vector<TSeqEntry> expected = {Event("before")};
  expected.insert(expected.end(), kAnnouncement.begin(), kAnnouncement.end());
  expected.push_back(Event("after"));
  ExpectSequence(expected, journal);
  EXPECT_EQ(gd.size(), StoredSections(manager, "Winter2003 (internal)"));
  EXPECT_FALSE(pa.empty());
  EXPECT_EQ(form->Edit1->Rec.Skin.SkinIndex, GetSkinIndex("EDIT"));

  // A name found nowhere, and an empty name, select the first stored skin; the empty name also
  // empties the skin directory.
  struct TCase {
    const char* Name;
    const char* Directory;
  };
  const TCase cases[] = {{"No such skin", "c:\\Skins"}, {"MacOS (internal)", "c:\\Skins"}, {"", ""}};
  for (const TCase& c : cases) {
    manager.SetSkinName(c.Name);
    const std::string expectedName = c.Name == std::string("MacOS (internal)") ? c.Name : "BlueGlass (internal)";
    EXPECT_EQ(manager.SkinName(), expectedName) << c.Name;
    EXPECT_EQ(manager.SkinDirectory(), c.Directory) << c.Name;
    EXPECT_EQ(gd.size(), StoredSections(manager, expectedName.c_str())) << c.Name;
    EXPECT_TRUE(sSkinData->SkinPath.empty());
  }

  // Loaded but not announced until UpdateSkin.
  NonAutoUpdate = true;
  journal.Clear();
  manager.SetSkinName("LongHorn (internal)");
  NonAutoUpdate = false;
  ExpectSequence({Event("before"), Event("after")}, journal);
  EXPECT_EQ(gd.size(), StoredSections(manager, "LongHorn (internal)"));
  journal.Clear();
  ConstData.ScrollBtnIndexes[2] = kStale;
  manager.UpdateSkin();
  ExpectSequence(kAnnouncement, journal);
}

TEST_F(SkinAnnouncementTest, InactiveRemovesTheSkinAndActiveRestoresIt) {
  TRecForm* form = CreateForm();
  TsSkinManager& manager = *form->sSkinManager1;
  journal.Clear();
  manager.SetActive(false);
  ExpectSequence({Announced("Edit1", SKM_REMOVESKIN), Announced("Edit2", SKM_REMOVESKIN),
                  Announced("Label1", SKM_REMOVESKIN), Announced("Provider1", SKM_REMOVESKIN)},
                 journal);
  EXPECT_TRUE(gd.empty());
  EXPECT_TRUE(ma.empty());
  EXPECT_EQ(MasterBitmap, nullptr);
  EXPECT_FALSE(sSkinData->Active);
  EXPECT_EQ(form->Edit1->Rec.Skin.SkinIndex, -1);
  // Every cached index is gone.
  const auto* first = reinterpret_cast<const std::int16_t*>(&ConstData);
  for (std::size_t i = 0; i < sizeof(ConstData) / sizeof(std::int16_t); ++i) EXPECT_EQ(first[i], -1) << "entry " << i;
  EXPECT_EQ(manager.GetGlobalColor(), static_cast<TColor>(0x8000000F));

  journal.Clear();
  ConstData.ScrollBtnIndexes[2] = kStale;
  manager.SetActive(true);
  ExpectSequence(kAnnouncement, journal);
  EXPECT_EQ(gd.size(), 57u);
  EXPECT_EQ(manager.GetGlobalColor(), 0xCAAB77);
}

TEST_F(SkinAnnouncementTest, OnlyTheFirstManagerLoadsAndAnnounces) {
  TRecForm* form = CreateForm();
  auto* second = new TsSkinManager(form);
  EXPECT_FALSE(second->IsDefault());
  EXPECT_FALSE(second->Active());
  EXPECT_FALSE(second->SkinnedPopups());
  EXPECT_EQ(second->SkinDirectory(), "");
  EXPECT_EQ(SearchSkinManager(app), form->sSkinManager1);

  journal.Clear();
  second->SetBuiltInSkins(form->sSkinManager1->InternalSkins());
  EXPECT_EQ(second->InternalSkins().Count(), 5);
  second->SetSkinName("MacOS (internal)");
  second->SetActive(true);
  second->SetSkinName("MacOS (internal)");
  second->SetActive(false);
  EXPECT_EQ(second->SkinName(), "MacOS (internal)");
  ExpectSequence({}, journal);
  EXPECT_EQ(gd.size(), 57u) << "the default manager's skin stays";
  EXPECT_TRUE(sSkinData->Active);
  Free(second);
  EXPECT_EQ(sSkinData->SkinManager, form->sSkinManager1);
  EXPECT_EQ(gd.size(), 57u);
}

TEST_F(SkinAnnouncementTest, BroadcastSwallowsReceiverErrorsAndReachesOnlyOwnedComponents) {
  TRecForm* form = CreateForm();
  TRecForm* other = CreateForm("Form2", false);
  // A control on the form but owned by another component is not reached.
  auto* stray = new TRecEdit(form->Provider1);
  stray->SetName("Stray");
  stray->SetParent(form);
  form->Edit2->Rec.FailOn = SKM_NEWSKIN;

  TMessageBoxWatcher boxes;
  journal.Clear();
  ConstData.ScrollBtnIndexes[2] = kStale;
  form->sSkinManager1->SendNewSkin();
  // Form1's delivery ends at the failing receiver; Form2 still gets everything.
  ExpectSequence({Announced("Edit1", SKM_NEWSKIN, "inactive restricted stale"),
                  Announced("Edit2", SKM_NEWSKIN, "inactive restricted stale"),
                  Announced("Edit1", SKM_NEWSKIN, "inactive restricted stale"),
                  Announced("Edit2", SKM_NEWSKIN, "inactive restricted stale"),
                  Announced("Label1", SKM_NEWSKIN, "inactive restricted stale"),
                  Announced("Form1", SKM_REPAINT, "active free fresh"),
                  Announced("Edit1", SKM_REPAINT, "active free fresh"),
                  Announced("Edit2", SKM_REPAINT, "active free fresh"),
                  Announced("Label1", SKM_REPAINT, "active free fresh"),
                  Announced("Form2", SKM_REPAINT, "active free fresh"),
                  Announced("Edit1", SKM_REPAINT, "active free fresh"),
                  Announced("Edit2", SKM_REPAINT, "active free fresh"),
                  Announced("Label1", SKM_REPAINT, "active free fresh")},
                 journal);
  PumpMessages();
  EXPECT_TRUE(boxes.Seen().empty()) << "nobody is told";
  EXPECT_FALSE(app->OnException) << "the application's handling is back";
  EXPECT_TRUE(sSkinData->Active);
  (void)other;
}

TEST_F(SkinAnnouncementTest, RepaintHelpersAndSectionUpdates) {
  TRecForm* form = CreateForm();
  TsSkinManager& manager = *form->sSkinManager1;
  for (TRecEdit* edit : {form->Edit1, form->Edit2}) edit->Rec.Skin.BackgroundChanged = false;

  journal.Clear();
  manager.UpdateSkinSection("edit");
  EXPECT_EQ(GlobalSectionName, "EDIT");
  ExpectSequence({Announced("Edit1", SKM_UPDATESECTION), Announced("Edit2", SKM_UPDATESECTION),
                  Announced("Label1", SKM_UPDATESECTION), Announced("Provider1", SKM_UPDATESECTION)},
                 journal);
  EXPECT_TRUE(form->Edit1->Rec.Skin.BackgroundChanged);
  EXPECT_FALSE(form->Edit2->Rec.Skin.BackgroundChanged);

  journal.Clear();
  UpdateControls(form);
  StartUrgentPainting(form);
  EXPECT_TRUE(form->Label1->Rec.Skin.UrgentPainting);
  FinishUrgentPainting(form);
  SetParentUpdated(form);
  EXPECT_EQ(SetControlChanged(form->Label1, false), 0);
  EXPECT_FALSE(form->Label1->Rec.Skin.BackgroundChanged);
  EXPECT_TRUE(GetBoolMsg(form->Edit1->Handle(), SKM_GETUPDATING));
  SetBoolMsg(form->Edit1->Handle(), SKM_SETBGCHANGED, false);
  EXPECT_FALSE(GetBoolMsg(form->Edit1->Handle(), SKM_GETUPDATING));
  EXPECT_EQ(SendMessageW(form->Edit1->Handle(), SKM_GETSKININDEX, 0, 0), GetSkinIndex("EDIT") + 1);
  // Each helper reaches the form (where it starts there) and its children once, with the
  // parameter that carries its meaning: 1 to start urgent painting and 0 to finish it, 0 for a
  // flag set to false.
  const char* const children[] = {"Edit1", "Edit2", "Label1"};
  std::vector<TSeqEntry> expected = {Msg(SKM_REPAINT).To("Form1").With("active free fresh")};
  for (const char* c : children) expected.push_back(Msg(SKM_REPAINT).To(c).With("active free fresh"));
  for (const WPARAM start : {1, 0}) {
    expected.push_back(Msg(SKM_URGENTPAINT).To("Form1").W(start));
    for (const char* c : children) expected.push_back(Msg(SKM_URGENTPAINT).To(c).W(start));
  }
  for (const char* c : children) expected.push_back(Msg(SKM_PARENTUPDATED).To(c));
  expected.insert(expected.end(), {Msg(SKM_SETBGCHANGED).To("Label1").L(0), Msg(SKM_GETUPDATING).To("Edit1"),
                                   Msg(SKM_SETBGCHANGED).To("Edit1").L(0), Msg(SKM_GETUPDATING).To("Edit1"),
                                   Msg(SKM_GETSKININDEX).To("Edit1")});
  ExpectSequence(expected, journal);

  EXPECT_EQ(GetControlByName(form, "label1"), form->Label1);
  EXPECT_EQ(GetControlByName(form, "Label9"), nullptr);
  EXPECT_EQ(GetOwnerForm(form->Provider1), form);
  EXPECT_EQ(GetOwnerForm(form), form);
  EXPECT_EQ(GetOwnerForm(app), nullptr);
  EXPECT_EQ(GetSkinProvider(form->Edit1), 0) << "no provider answers yet";
  EXPECT_TRUE(ControlIsReady(form->Edit1));
  EXPECT_FALSE(ControlIsReady(nullptr));
  TRecEdit loose(nullptr);
  EXPECT_FALSE(ControlIsReady(&loose)) << "no parent";

  struct TFlags {
    TBiDiMode Mode;
    TAlignment Alignment;
    UINT Flags;
  };
  const TFlags flags[] = {
      {TBiDiMode::bdLeftToRight, TAlignment::taLeftJustify, DT_LEFT | DT_EXPANDTABS | DT_VCENTER},
      {TBiDiMode::bdLeftToRight, TAlignment::taRightJustify, DT_RIGHT | DT_EXPANDTABS | DT_VCENTER},
      {TBiDiMode::bdLeftToRight, TAlignment::taCenter, DT_CENTER | DT_EXPANDTABS | DT_VCENTER},
      {TBiDiMode::bdRightToLeft, TAlignment::taLeftJustify, DT_RIGHT | DT_EXPANDTABS | DT_VCENTER | DT_RTLREADING},
      {TBiDiMode::bdRightToLeftReadingOnly, TAlignment::taLeftJustify,
       DT_LEFT | DT_EXPANDTABS | DT_VCENTER | DT_RTLREADING},
  };
  for (const TFlags& f : flags) {
    form->Label1->SetBiDiMode(f.Mode);
    EXPECT_EQ(GetStringFlags(form->Label1, f.Alignment), f.Flags) << static_cast<int>(f.Mode);
  }
}

// Skin folders in a temporary skin directory.
class SkinFolderManagerTest : public SkinAnnouncementTest {
 protected:
  void SetUp() override {
    SkinAnnouncementTest::SetUp();
    root_ = PathToUtf8(std::filesystem::temp_directory_path()) + "\\ds-manager-skins";
    std::filesystem::remove_all(PathFromUtf8(root_));
    ASSERT_TRUE(ForceDirectories(root_));
  }
  void TearDown() override {
    SkinAnnouncementTest::TearDown();
    std::error_code ec;
    std::filesystem::remove_all(PathFromUtf8(root_), ec);
  }
  std::string MakeFolder(const std::string& name, const std::string& options) {
    const std::string folder = root_ + "\\" + name + "\\";
    EXPECT_TRUE(ForceDirectories(folder));
    TPixelImage master(90, 40);
    EXPECT_TRUE(WriteFileBytes(folder + "Master.bmp", WriteBmp(master.View())));
    EXPECT_TRUE(WriteFileBytes(folder + "Options.dat", options));
    return folder;
  }
  std::string root_;
};

const char* const kFolderOptions =
    "[GLOBALINFO]\r\nVERSION=5.0\r\nMASTERBITMAP=Master.bmp\r\nCOLOR=255\r\n"
    "[EDIT]\r\nCOLOR=65280\r\nTRANSPARENCY=20\r\nBORDERSMASK=#(0,0,30,20),3,1\r\n"
    "[MYEDIT]\r\nPARENTCLASS=EDIT\r\nTRANSPARENCY=-1\r\n";

TEST_F(SkinFolderManagerTest, FolderSkinsLoadWithInheritanceAndWinOverStoredSkins) {
  TRecForm* form = CreateForm();
  TsSkinManager& manager = *form->sSkinManager1;
  const std::string frost = MakeFolder("Frost", kFolderOptions);
  manager.SetSkinDirectory(root_);
  EXPECT_EQ(sSkinData->SkinPath, root_);
  EXPECT_EQ(gd.size(), 57u) << "a new directory reloads nothing";

  journal.Clear();
  ConstData.ScrollBtnIndexes[2] = kStale;
  manager.SetSkinName("Frost");
  ExpectSequence(kAnnouncement, journal);
  // The folder has no scroll-bar buttons: ConstData was refreshed to -1.
  EXPECT_EQ(ConstData.ScrollBtnIndexes[2], -1);
  EXPECT_EQ(manager.SkinName(), "Frost");
  EXPECT_EQ(sSkinData->SkinPath, frost);
  ASSERT_EQ(gd.size(), 3u);
  const TsGeneralData& myEdit = gd[static_cast<std::size_t>(GetSkinIndex("MYEDIT"))];
  EXPECT_EQ(myEdit.Color, 65280) << "inherited through PARENTCLASS";
  EXPECT_EQ(myEdit.Transparency, 20);
  EXPECT_EQ(manager.GetGlobalColor(), 255);
  // The receivers found the border mask of EDIT, MYEDIT through its parent.
  EXPECT_GE(form->Edit1->Rec.Skin.BorderIndex, 0);
  EXPECT_EQ(form->Edit2->Rec.Skin.BorderIndex, form->Edit1->Rec.Skin.BorderIndex);
  TStringList sections;
  manager.GetSkinSections(sections);
  EXPECT_EQ(sections.Text(), "GLOBALINFO\r\nEDIT\r\nMYEDIT\r\n");
  TStringList names;
  EXPECT_EQ(manager.GetSkinNames(names), "BlueGlass (internal)");
  EXPECT_EQ(names.Count(), 6);
  EXPECT_GE(names.IndexOf("Frost"), 0);

  // Replacing pictures of the active skin.
  const std::string glyph = root_ + "\\glyph.bmp";
  ASSERT_TRUE(WriteFileBytes(glyph, WriteBmp(TPixelImage(9, 6).View())));
  const std::size_t masks = ma.size();
  EXPECT_FALSE(manager.ChangeImageInSkin("EDIT", "GLYPHMASK", glyph)) << "no such mask";
  EXPECT_FALSE(manager.ChangeImageInSkin("EDIT", "BORDERSMASK", root_ + "\\missing.bmp"));
  EXPECT_EQ(ma.size(), masks);
  EXPECT_TRUE(manager.ChangeImageInSkin("edit", "bordersmask", glyph));
  const TsMaskData& border = ma[static_cast<std::size_t>(form->Edit1->Rec.Skin.BorderIndex)];
  ASSERT_NE(border.Bmp, nullptr);
  EXPECT_EQ(border.Bmp->Width(), 9);
  EXPECT_TRUE(manager.ChangeImageInSkin("EDIT", "PATTERN", glyph));
  EXPECT_EQ(ma.size(), masks + 1);

  // A folder named like a stored skin takes its place.
  const std::string shadow = MakeFolder("BlueGlass (internal)", kFolderOptions);
  manager.SetSkinName("BlueGlass (internal)");
  EXPECT_EQ(sSkinData->SkinPath, shadow);
  EXPECT_EQ(gd.size(), 3u);
}

TEST_F(SkinFolderManagerTest, OldFormatFolderShowsTheErrorBoxAndAnnouncesAnEmptySkin) {
  TRecForm* form = CreateForm();
  TsSkinManager& manager = *form->sSkinManager1;
  std::vector<std::string> shown;
  manager.ShowError = [&shown](const std::string& text) { shown.push_back(text); };
  MakeFolder("Old", "[GLOBALINFO]\r\nMASTERBITMAP=Master.bmp\r\n[TSEDIT]\r\nCOLOR=1\r\n");
  manager.SetSkinDirectory(root_);
  journal.Clear();
  manager.SetSkinName("Old");
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], kOldFormatMessage);
  EXPECT_TRUE(gd.empty());
  EXPECT_EQ(form->Edit1->Rec.Skin.SkinIndex, -1);
  EXPECT_EQ(journal.Entries().size(), kAnnouncement.size());

  // Extraction errors go to the same box.
  EXPECT_FALSE(manager.ExtractInternalSkin("No such skin", root_));
  EXPECT_FALSE(manager.ExtractInternalSkin("BlueGlass (internal)", root_ + "\\missing"));
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[1], kNoSuchSkinMessage);
  EXPECT_EQ(shown[2], kNoSuchDirectoryMessage);
  EXPECT_TRUE(manager.ExtractByIndex(1, root_));
  EXPECT_TRUE(FileExists(root_ + "\\MacOS (internal) extracted\\Options.dat"));

  // The box itself: caption "Error", error icon, one OK button.
  TMessageBoxWatcher boxes;
  ShowSkinError(kOldFormatMessage);
  ASSERT_EQ(boxes.Seen().size(), 1u);
  EXPECT_EQ(boxes.Seen()[0].Caption, L"Error");
  EXPECT_TRUE(boxes.Seen()[0].ErrorIcon);
  EXPECT_EQ(boxes.Seen()[0].Buttons, std::vector<std::wstring>{L"OK"});
}

}  // namespace

namespace {

TEST_F(SkinFolderManagerTest, ALoaderErrorReachesTheCallerWithNothingAnnouncedAndNoAfterChange) {
  TRecForm* form = CreateForm();
  TsSkinManager& manager = *form->sSkinManager1;
  int before = 0, after = 0;
  manager.OnBeforeChange = [&](TObject*) { ++before; };
  manager.OnAfterChange = [&](TObject*) { ++after; };
  MakeFolder("Bad mask line", "[GLOBALINFO]\r\nMASTERBITMAP=Master.bmp\r\n[EDIT]\r\nBORDERSMASK=#(0, 0,30,20),3,1\r\n");
  manager.SetSkinDirectory(root_);
  journal.Clear();
  ConstData.ScrollBtnIndexes[2] = kStale;

  // The error reaches whoever chose the skin, which hands it to the application's error box.
  std::string message;
  try {
    manager.SetSkinName("Bad mask line");
    ADD_FAILURE() << "no error";
  } catch (const EConvertError& e) {
    message = e.what();
    TMessageBoxWatcher boxes;
    app->HandleException(&manager);
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(boxes.Seen()[0].Caption, L"Проба");
    EXPECT_EQ(boxes.Seen()[0].Text, L"'' is not a valid integer value.");
  }
  EXPECT_EQ(message, "'' is not a valid integer value");
  EXPECT_EQ(before, 1);
  EXPECT_EQ(after, 0) << "OnAfterChange is not called";
  EXPECT_FALSE(sSkinData->Active);
  EXPECT_TRUE(journal.Entries().empty()) << "nothing announced";
  EXPECT_EQ(ConstData.ScrollBtnIndexes[2], kStale);
  EXPECT_FALSE(manager.SkinRefused());

  // An old-format folder is no error: its message, an announcement, and SkinRefused.
  std::vector<std::string> shown;
  manager.ShowError = [&shown](const std::string& text) { shown.push_back(text); };
  MakeFolder("Old", "[GLOBALINFO]\r\nMASTERBITMAP=Master.bmp\r\n[TSEDIT]\r\nCOLOR=1\r\n");
  manager.SetSkinName("Old");
  EXPECT_EQ(shown.size(), 1u);
  EXPECT_TRUE(manager.SkinRefused());
  EXPECT_EQ(after, 1);
  manager.SetSkinName("BlueGlass (internal)");
  EXPECT_FALSE(manager.SkinRefused());
  EXPECT_TRUE(sSkinData->Active);
}

TEST_F(SkinFolderManagerTest, AvailableSkinsSortAsTheSystemDoesInTheUsersLocale) {
  TRecForm* form = CreateForm();
  TsSkinManager& manager = *form->sSkinManager1;
  // Punctuation sorts before letters (the underscore too, which in code point order follows
  // "Z"); Cyrillic after Latin, "Ё" read as "Е" (in code point order it would come before "А"),
  // case ignored throughout.
  for (const char* name : {"Zeta", "beta", "_Underscore", "(Brackets)", "co-op", "coop b", "яблоко", "Ёлка", "ель",
                           "Арбуз", "жук"})
    ASSERT_TRUE(ForceDirectories(root_ + "\\" + name));
  manager.SetSkinDirectory(root_);
  TStringList names;
  manager.GetExternalSkinNames(names);
  EXPECT_EQ(names.Items(), (std::vector<std::string>{"(Brackets)", "_Underscore", "beta", "co-op", "coop b", "Zeta",
                                                     "Арбуз", "Ёлка", "ель", "жук", "яблоко"}));
  EXPECT_EQ(manager.GetSkinNames(names), "BlueGlass (internal)");
  EXPECT_EQ(names.Count(), 16);
  EXPECT_EQ(names[3], "BlueGlass (internal)");
}

}  // namespace
