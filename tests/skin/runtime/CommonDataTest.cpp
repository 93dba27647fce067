// The control skin data on real windows: its reaction to each skin and window message (as a
// recorded sequence), the parent-cache protocol, the hot state by control kind, the section
// setter, and the device-context painters.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/win/Forms.h"
#include "framework/win/Gdi.h"
#include "framework/win/StdCtrls.h"
#include "resources/skins/StoredSkins.h"
#include "skin/data/sSkinData.h"
#include "skin/data/sSkinLoad.h"
#include "skin/data/sMessages.h"
#include "skin/data/sSkinLookup.h"
#include "skin/data/sStoredSkin.h"
#include "skin/runtime/sCommonData.h"
#include "skin/paint/win/sGraphUtilsWin.h"
#include "tests/skin/paint/StoredSkinGlobals.h"
#include "tests/win/WinTestSupport.h"

namespace {

TMessageLog journal(&MessageNameWith<SkinMessageName>);

// A windowed control with skin data that records every skin message it receives, hands every
// message to the skin data first and writes down what follows: the skin messages passed on,
// repaint requests and paints.
class TSkinnedProbe : public TCustomControl {
 public:
  TSkinnedProbe(TComponent* owner, std::int32_t kind) : TCustomControl(owner), SkinData(this, true) {
    SkinData.ControlKind = kind;
    SetTabStop(true);
  }
  TsCommonData SkinData;

  void WndProc(TMessage& message) override {
    if (IsSkinMessage(message.Msg)) journal.Message(message.Msg, message.WParam, message.LParam);
    if (CommonWndProc(message, SkinData)) return;
    if (IsSkinMessage(message.Msg)) journal.Event("passed on");
    TCustomControl::WndProc(message);
  }
  void Invalidate() override {
    journal.Event("invalidate");
    TCustomControl::Invalidate();
  }
  void Repaint() override {
    journal.Event("repaint now");
    TCustomControl::Repaint();
  }

 protected:
  void Paint() override { journal.Event("paint"); }
};

// A parent that keeps a picture of its own and offers it at an offset.
class TCacheParent : public TCustomControl {
 public:
  explicit TCacheParent(TComponent* owner) : TCustomControl(owner), Picture(40, 30) {}
  TPixelImage Picture;
  LRESULT UpdatingAnswer = 0;
  void WndProc(TMessage& message) override {
    if (message.Msg == SKM_GETCACHE) {
      GlobalCacheInfo = {Picture.View(), 5, 7, true};
      return;
    }
    if (message.Msg == SKM_GETUPDATING) {
      message.Result = UpdatingAnswer;
      return;
    }
    TCustomControl::WndProc(message);
  }
};

class CommonDataTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    globals_ = new skintest::TStoredSkinGlobals;
    ASSERT_TRUE(globals_->Load());
  }
  static void TearDownTestSuite() { delete globals_; }
  void SetUp() override {
    journal.Clear();
    sSkinData->Active = true;
    app = new TApplication(nullptr);
    form = new TForm(app);
    form->SetBounds(50, 50, 300, 200);
    form->HandleNeeded();
  }
  void TearDown() override {
    Free(app);
    sSkinData->Active = false;
    GlobalSectionName.clear();
  }
  TSkinnedProbe* Probe(std::int32_t kind, TWinControl* parent, const char* name = "Probe") {
    auto* probe = new TSkinnedProbe(form, kind);
    probe->SetName(name);
    probe->SetBounds(10, 10, 60, 24);
    probe->SetParent(parent);
    probe->HandleNeeded();
    return probe;
  }

  static inline skintest::TStoredSkinGlobals* globals_ = nullptr;
  TApplication* app = nullptr;
  TForm* form = nullptr;
};

TEST_F(CommonDataTest, SkinMessagesAsARecordedSequence) {
  const std::int32_t edit = GetSkinIndex("EDIT");
  const std::int32_t editBorder = GetMaskIndex(edit, "EDIT", "BORDERSMASK");
  ASSERT_GE(edit, 0);
  ASSERT_GE(editBorder, 0);
  TSkinnedProbe* probe = Probe(3, form);
  probe->SkinData.SkinSection = "Edit";
  probe->SkinData.InitCacheBmp();
  const int savedTransparency = gd[static_cast<std::size_t>(edit)].Transparency;
  gd[static_cast<std::size_t>(edit)].Transparency = 20;
  GlobalSectionName = "EDIT";
  journal.Clear();

  auto flags = [&] {
    const TsCommonData& sd = probe->SkinData;
    std::string s;
    if (sd.BackgroundChanged) s += "changed ";
    if (sd.Updating) s += "updating ";
    if (sd.UrgentPainting) s += "urgent ";
    s += "section=" + (sd.SkinIndex == edit ? std::string("EDIT") : std::to_string(sd.SkinIndex));
    s += " border=" + (sd.BorderIndex == editBorder ? std::string("EDIT") : std::to_string(sd.BorderIndex));
    s += " cache=" + std::to_string(sd.CacheBmp->Width()) + "x" + std::to_string(sd.CacheBmp->Height());
    return s;
  };
  struct TStep {
    UINT Msg;
    WPARAM W;
    LPARAM L;
  };
  const TStep steps[] = {
      {SKM_NEWSKIN, 0, 1},         {SKM_GETUPDATING, 0, 0},     {SKM_REPAINT, 0, 1},
      {SKM_SETBGCHANGED, 0, 0},    {SKM_GETUPDATING, 0, 0},     {SKM_SETUPDATING, 0, -1},
      {SKM_GETUPDATING, 0, 0},     {SKM_SETUPDATING, 0, 0},     {SKM_URGENTPAINT, 1, 0},
      {SKM_URGENTPAINT, 0x100, 0}, {SKM_GETHALFVISIBLE, 0, 0},  {SKM_PARENTCHANGED, 0, 0},
      {SKM_SETBGCHANGED, 0, 0},    {SKM_PARENTUPDATED, 0, 0},   {SKM_UPDATESECTION, 0, 0},
      {SKM_GETSKININDEX, 0, 0},    {SKM_GETPROVIDER, 0, 0},     {SKM_STOPFADING, 0, 0},
      {SKM_REMOVESKIN, 0, 1},      {SKM_GETSKININDEX, 0, 0},
  };
  for (const TStep& s : steps) {
    const LRESULT result = SendMessageW(probe->Handle(), s.Msg, s.W, s.L);
    journal.Event("= " + std::to_string(result) + " | " + flags());
  }
  gd[static_cast<std::size_t>(edit)].Transparency = savedTransparency;
  const std::string editResult = std::to_string(edit + 1);
  // Each message once, then what the control did and its answer; the parameters that carry a
  // meaning (a flag's value, urgent painting's start) are compared.
  ExpectSequence(
      {
          Msg(SKM_NEWSKIN), Event("= 0 | changed updating section=EDIT border=EDIT cache=60x24"),
          Msg(SKM_GETUPDATING), Event("= 1 | changed updating section=EDIT border=EDIT cache=60x24"),
          Msg(SKM_REPAINT), Event("invalidate"), Event("= 0 | changed section=EDIT border=EDIT cache=60x24"),
          Msg(SKM_SETBGCHANGED).L(0), Event("= 0 | section=EDIT border=EDIT cache=60x24"),
          Msg(SKM_GETUPDATING), Event("= 0 | section=EDIT border=EDIT cache=60x24"),
          Msg(SKM_SETUPDATING).L(-1), Event("= 0 | updating section=EDIT border=EDIT cache=60x24"),
          Msg(SKM_GETUPDATING), Event("= 1 | updating section=EDIT border=EDIT cache=60x24"),
          Msg(SKM_SETUPDATING).L(0), Event("= 0 | section=EDIT border=EDIT cache=60x24"),
          Msg(SKM_URGENTPAINT).W(1), Event("= 0 | urgent section=EDIT border=EDIT cache=60x24"),
          // Only the low byte of wParam counts: 0x100 ends urgent painting.
          Msg(SKM_URGENTPAINT).W(0x100), Event("= 0 | section=EDIT border=EDIT cache=60x24"),
          Msg(SKM_GETHALFVISIBLE), Event("= 0 | section=EDIT border=EDIT cache=60x24"),
          // Transparent sections follow their parent's picture.
          Msg(SKM_PARENTCHANGED), Event("= 0 | changed section=EDIT border=EDIT cache=60x24"),
          Msg(SKM_SETBGCHANGED).L(0), Event("= 0 | section=EDIT border=EDIT cache=60x24"),
          Msg(SKM_PARENTUPDATED), Event("= 0 | section=EDIT border=EDIT cache=60x24"),
          Msg(SKM_UPDATESECTION), Event("invalidate"), Event("paint"),
          Event("= 0 | changed section=EDIT border=EDIT cache=60x24"),
          Msg(SKM_GETSKININDEX), Event("= " + editResult + " | changed section=EDIT border=EDIT cache=60x24"),
          Msg(SKM_GETPROVIDER), Event("passed on"), Event("= 0 | changed section=EDIT border=EDIT cache=60x24"),
          Msg(SKM_STOPFADING), Event("passed on"), Event("= 0 | changed section=EDIT border=EDIT cache=60x24"),
          Msg(SKM_REMOVESKIN), Event("repaint now"), Event("invalidate"),
          Event("= 0 | changed updating section=-1 border=-1 cache=0x0"),
          Msg(SKM_GETSKININDEX), Event("= 0 | changed updating section=-1 border=-1 cache=0x0"),
      },
      journal);
}

TEST_F(CommonDataTest, SectionSetterAndDefaults) {
  TSkinnedProbe* probe = Probe(3, form);
  TsCommonData& sd = probe->SkinData;
  struct TStep {
    const char* Set;
    const char* Stored;
    bool Repaints;
  };
  const TStep steps[] = {{"EDIT", "EDIT", true},       {"EDIT", "EDIT", false}, {"", "UNKNOWN", true},
                         {"UNKNOWN", "UNKNOWN", false}, {"NoSuch", "NoSuch", true}, {"button", "button", true}};
  for (const TStep& s : steps) {
    SCOPED_TRACE(s.Set);
    journal.Clear();
    sd.BackgroundChanged = false;
    sd.SetSkinSection(s.Set);
    EXPECT_EQ(sd.SkinSection, s.Stored) << s.Set;
    EXPECT_EQ(sd.SkinIndex, GetSkinIndex(s.Stored)) << s.Set;
    EXPECT_EQ(sd.BackgroundChanged, s.Repaints) << s.Set;
    ExpectSequence(s.Repaints ? std::vector<TSeqEntry>{Event("invalidate")} : std::vector<TSeqEntry>{}, journal);
  }
  sd.SetSkinSection("NoSuch");
  EXPECT_FALSE(sd.Skinned());
  EXPECT_EQ(SendMessageW(probe->Handle(), SKM_GETSKININDEX, 0, 0), 0) << "a section the skin lacks: not skinned";
  EXPECT_EQ(sd.BorderIndex, -1);

  // Loaded with no stored section: the kind's default, or the class name for kinds without one.
  struct TKind {
    std::int32_t Kind;
    const char* Section;
  };
  for (const TKind& k : {TKind{3, "EDIT"}, TKind{93, "BUTTON"}, TKind{142, "TSkinnedProbe"}}) {
    TSkinnedProbe* other = Probe(k.Kind, form, "Other");
    other->SkinData.Loaded();
    EXPECT_EQ(other->SkinData.SkinSection, k.Section) << k.Kind;
    EXPECT_EQ(other->SkinData.SkinIndex, GetSkinIndex(k.Section)) << k.Kind;
  }
}

TEST_F(CommonDataTest, ParentCacheProtocol) {
  auto* parent = new TCacheParent(form);
  parent->SetBounds(0, 0, 200, 100);
  parent->SetParent(form);
  TSkinnedProbe* child = Probe(3, parent);
  GlobalCacheInfo.Ready = false;
  const TCacheInfo answer = GetParentCache(child->SkinData);
  EXPECT_TRUE(answer.Ready);
  EXPECT_EQ(answer.Bmp.Top, parent->Picture.View().Top);
  EXPECT_EQ(answer.X, 5);
  EXPECT_EQ(answer.Y, 7);

  // A skinned parent answers with its cache at (0, 0).
  TSkinnedProbe* skinnedParent = Probe(51, form, "Panel");
  skinnedParent->SetBounds(0, 110, 200, 80);
  skinnedParent->SkinData.InitCacheBmp();
  TSkinnedProbe* inner = Probe(3, skinnedParent, "Inner");
  const TCacheInfo fromSkinned = GetParentCache(inner->SkinData);
  EXPECT_TRUE(fromSkinned.Ready);
  EXPECT_EQ(fromSkinned.Bmp.Width, 200);
  EXPECT_EQ(fromSkinned.Bmp.Height, 80);
  EXPECT_EQ(fromSkinned.X, 0);

  // A parent that does not answer leaves the answer not ready, whatever the record held before.
  TSkinnedProbe* onForm = Probe(3, form, "OnForm");
  GlobalCacheInfo = {parent->Picture.View(), 1, 1, true};
  EXPECT_FALSE(GetParentCache(onForm->SkinData).Ready);
  EXPECT_FALSE(GlobalCacheInfo.Ready);
  TsCommonData orphan(nullptr, false);
  EXPECT_FALSE(GetParentCache(orphan).Ready);

  // The updating query asks the parent too.
  child->SkinData.Updating = false;
  EXPECT_FALSE(child->SkinData.GetUpdating());
  parent->UpdatingAnswer = 1;
  EXPECT_TRUE(child->SkinData.GetUpdating());
  parent->UpdatingAnswer = 0;
  sSkinData->Active = false;
  EXPECT_TRUE(child->SkinData.GetUpdating()) << "no active skin";
}

TEST_F(CommonDataTest, HotStateByKindFocusAndMouse) {
  form->Show();
  TSkinnedProbe* panel = Probe(51, form, "Panel");
  TSkinnedProbe* edit = Probe(3, form, "Edit");
  edit->SetTop(50);
  struct TCase {
    TSkinnedProbe* Probe;
    bool HotWithMouse;
  };
  for (const TCase& c : {TCase{panel, false}, TCase{edit, true}}) {
    TsCommonData& sd = c.Probe->SkinData;
    c.Probe->Perform(CM_MOUSEENTER);
    EXPECT_EQ(sd.MouseInside, c.HotWithMouse) << c.Probe->Name();
    EXPECT_EQ(ControlIsActive(sd), c.HotWithMouse) << c.Probe->Name();
    c.Probe->Perform(CM_MOUSELEAVE);
    EXPECT_FALSE(ControlIsActive(sd)) << c.Probe->Name();
  }
  // A focused edit is hot with the mouse elsewhere; losing the focus ends it.
  edit->SetFocus();
  PumpMessages();
  EXPECT_TRUE(edit->SkinData.HasFocus);
  EXPECT_TRUE(ControlIsActive(edit->SkinData));
  panel->SetFocus();
  PumpMessages();
  EXPECT_FALSE(edit->SkinData.HasFocus);
  EXPECT_FALSE(ControlIsActive(edit->SkinData));
  // The focus leaves a control that can no longer take it (here hidden first): its focus flag
  // goes with it, so that it is not hot once it shows again without the focus.
  edit->SetFocus();
  PumpMessages();
  ASSERT_TRUE(edit->SkinData.HasFocus);
  edit->SetVisible(false);
  panel->SetFocus();
  PumpMessages();
  EXPECT_FALSE(edit->SkinData.HasFocus);
  edit->SetVisible(true);
  ASSERT_FALSE(edit->Focused());
  EXPECT_FALSE(ControlIsActive(edit->SkinData));
  // A control that is not a tab stop keeps its focus flag out of it.
  edit->SetTabStop(false);
  edit->SkinData.BackgroundChanged = false;
  edit->Perform(WM_SETFOCUS);
  EXPECT_FALSE(edit->SkinData.HasFocus);
  EXPECT_FALSE(edit->SkinData.BackgroundChanged);
  // Disabled controls are never hot, and the flags are cleared.
  edit->Perform(CM_MOUSEENTER);
  edit->SkinData.HasFocus = true;
  edit->SetEnabled(false);
  EXPECT_FALSE(edit->SkinData.MouseInside);
  EXPECT_FALSE(edit->SkinData.HasFocus);
  edit->SkinData.HasFocus = true;
  EXPECT_FALSE(ControlIsActive(edit->SkinData));
  edit->SetEnabled(true);
  edit->SkinData.MouseInside = true;
  edit->Perform(0x001D);
  EXPECT_FALSE(edit->SkinData.MouseInside);
  EXPECT_FALSE(edit->SkinData.HasFocus);
  // A size change marks the picture out of date.
  edit->SkinData.BackgroundChanged = false;
  edit->SetWidth(70);
  EXPECT_TRUE(edit->SkinData.BackgroundChanged);
}

std::string PixelDiff(const TPixelView& a, const TPixelView& b, TRect area, TPoint bOrigin) {
  for (int y = area.Top; y < area.Bottom; ++y)
    for (int x = area.Left; x < area.Right; ++x) {
      const std::uint8_t* p = a.Pixel(x, y);
      const std::uint8_t* q = b.Pixel(x - area.Left + bOrigin.X, y - area.Top + bOrigin.Y);
      if (p[0] != q[0] || p[1] != q[1] || p[2] != q[2]) return std::to_string(x) + ", " + std::to_string(y);
    }
  return {};
}

TEST_F(CommonDataTest, DeviceContextPaintersCopyOnceAndRestoreTheContext) {
  {
    const std::int32_t button = GetSkinIndex("BUTTON");
    TBitmap target(80, 40);
    TPixelImage expected(57, 25);
    PaintItem(button, "BUTTON", EmptyCI, true, 1, {0, 0, 57, 25}, {0, 0}, expected.View());
    const HDC dc = target.DC();
    const COLORREF textColor = SetTextColor(dc, RGB(1, 2, 3));
    SetTextColor(dc, textColor);
    SetTextColor(dc, RGB(9, 8, 7));
    const HGDIOBJ brush = GetCurrentObject(dc, OBJ_BRUSH);
    const std::int64_t liveBefore = GdiLiveTotal();
    PaintItem(button, "BUTTON", EmptyCI, true, 1, {10, 5, 67, 30}, {0, 0}, dc);
    EXPECT_EQ(GdiLiveTotal(), liveBefore) << "the temporary picture is gone";
    EXPECT_EQ(GetTextColor(dc), RGB(9, 8, 7));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
    EXPECT_EQ(PixelDiff(target.View(), expected.View(), {10, 5, 67, 30}, {0, 0}), "");
    PaintItem(button, "BUTTON", EmptyCI, true, 1, {-1, 0, 50, 20}, {0, 0}, dc);  // refused, no crash

    // The cache of a windowed control goes to the context around its opaque and windowless children.
    TSkinnedProbe* probe = Probe(51, form, "Panel");
    probe->SetBounds(0, 0, 80, 40);
    probe->SkinData.InitCacheBmp();
    const TPixelView cache = probe->SkinData.CacheBmp->View();
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 80; ++x) {
        std::uint8_t* p = cache.Pixel(x, y);
        p[0] = static_cast<std::uint8_t>(x);
        p[1] = static_cast<std::uint8_t>(y);
        p[2] = 200;
      }
    auto* label = new TLabel(form);
    label->SetAutoSize(false);
    label->SetBounds(5, 5, 10, 10);
    label->SetParent(probe);
    TSkinnedProbe* opaque = Probe(3, probe, "Opaque");
    opaque->SetControlStyle(opaque->ControlStyle() | csOpaque);
    opaque->SetBounds(20, 5, 10, 10);
    TSkinnedProbe* seeThrough = Probe(3, probe, "SeeThrough");
    seeThrough->SetControlStyle(seeThrough->ControlStyle() & ~csOpaque);
    seeThrough->SetBounds(40, 5, 10, 10);
    TBitmap screen(80, 40);
    FillDC(screen.DC(), {0, 0, 80, 40}, RGB(0, 0, 0));
    CopyWinControlCache(probe, probe->SkinData, {0, 0, 80, 40}, {}, screen.DC());
    const TPixelView shown = screen.View();
    auto at = [&](int x, int y) { return shown.Pixel(x, y)[2]; };
    EXPECT_EQ(at(7, 7), 0) << "windowless child left alone";
    EXPECT_EQ(at(22, 7), 0) << "opaque child left alone";
    EXPECT_EQ(at(42, 7), 200) << "see-through child painted over";
    EXPECT_EQ(at(70, 30), 200);
    EXPECT_EQ(PixelDiff(shown, cache, {50, 20, 80, 40}, {50, 20}), "");
    // The clipping came back: the whole context can be painted again.
    FillDC(screen.DC(), {0, 0, 80, 40}, RGB(0, 0, 0));
    BitBlt(screen.DC(), 0, 0, 80, 40, probe->SkinData.CacheBmp->DC(), 0, 0, SRCCOPY);
    EXPECT_EQ(at(7, 7), 200);
  }
}

}  // namespace
