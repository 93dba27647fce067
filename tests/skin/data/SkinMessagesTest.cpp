// The skin message numbers and the skin state they set on a receiving control.
#include <gtest/gtest.h>

#include "skin/data/sSkinData.h"
#include "skin/data/sSkinLookup.h"
#include "skin/data/sMessages.h"

namespace {

TEST(SkinMessages, NumbersAndNames) {
  struct TCase {
    std::uint32_t Number;
    const char* Name;
  };
  const TCase cases[] = {
      {0xA401, "SKM_SETBGCHANGED"},   {0xA402, "SKM_NEWSKIN"},        {0xA403, "SKM_REMOVESKIN"},
      {0xA406, "SKM_GETPROVIDER"},    {0xA407, "SKM_REPAINT"},        {0xA408, "SKM_GETCACHE"},
      {0xA409, "SKM_PARENTUPDATED"},  {0xA40A, "SKM_UPDATESECTION"},  {0xA40C, "SKM_ISHANDLED"},
      {0xA40D, "SKM_DROPPEDDOWN"},  {0xA40E, "SKM_SETUPDATING"},    {0xA40F, "SKM_URGENTPAINT"},
      {0xA410, "SKM_STOPFADING"},     {0xA411, "SKM_GETUPDATING"},    {0xA412, "SKM_GETHALFVISIBLE"},
      {0xA413, "SKM_SETLINKEDCONTROL"}, {0xA414, "SKM_PARENTCHANGED"}, {0xA415, "SKM_GETSKININDEX"},
      // Gaps and neighbours carry no skin message.
      {0xA400, ""}, {0xA404, ""}, {0xA405, ""}, {0xA40B, ""}, {0xA416, ""}, {0xB000, ""},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(SkinMessageName(c.Number), c.Name) << std::hex << c.Number;
    EXPECT_EQ(IsSkinMessage(c.Number), c.Name[0] != 0) << std::hex << c.Number;
  }
}

// A small active skin: EDIT with its border mask, MYEDIT inheriting it, BUTTON without masks.
class SkinStateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gd.clear();
    ma.clear();
    for (const char* name : {"EDIT", "MyEdit", "BUTTON"}) gd.emplace_back().ClassName = name;
    gd[1].ParentClass = "edit";
    TsMaskData& border = ma.emplace_back();
    border.ClassName = "EDIT";
    border.PropertyName = "BORDERSMASK";
    GlobalSectionName.clear();
  }
  void TearDown() override {
    gd.clear();
    ma.clear();
    GlobalSectionName.clear();
  }
};

TEST_F(SkinStateTest, NewSkinLooksSectionAndBorderUpWithParentFallback) {
  struct TCase {
    const char* Section;
    std::int32_t SkinIndex;
    std::int32_t BorderIndex;
  };
  const TCase cases[] = {{"edit", 0, 0}, {"MYEDIT", 1, 0}, {"Button", 2, -1}, {"NOSUCH", -1, -1}, {"", -1, -1}};
  for (const TCase& c : cases) {
    TsSkinState state;
    state.SkinSection = c.Section;
    const auto answer = state.Handle(SKM_NEWSKIN, 0, 1234);
    EXPECT_TRUE(answer.Handled);
    EXPECT_EQ(answer.Reaction, TsSkinReaction::srNone) << "no painting on a new skin";
    EXPECT_EQ(state.SkinIndex, c.SkinIndex) << c.Section;
    EXPECT_EQ(state.BorderIndex, c.BorderIndex) << c.Section;
    EXPECT_TRUE(state.Updating);
    EXPECT_EQ(state.Handle(SKM_GETSKININDEX, 0, 0).Result, c.SkinIndex + 1);
  }
}

TEST_F(SkinStateTest, MessagesSetFlagsAndAnswer) {
  TsSkinState state;
  state.SkinSection = "Edit";
  state.Handle(SKM_NEWSKIN, 0, 1);
  state.BackgroundChanged = false;

  // Each step: message, parameters, then the flags and answer expected afterwards.
  struct TStep {
    std::uint32_t Msg;
    std::uintptr_t W;
    std::intptr_t L;
    bool Handled;
    std::intptr_t Result;
    TsSkinReaction Reaction;
    bool Updating;
    bool BackgroundChanged;
  };
  const TStep steps[] = {
      {SKM_GETUPDATING, 0, 0, true, 1, TsSkinReaction::srNone, true, false},
      {SKM_REPAINT, 0, 1, true, 0, TsSkinReaction::srInvalidate, false, true},
      {SKM_GETUPDATING, 0, 0, true, 1, TsSkinReaction::srNone, false, true},
      {SKM_SETBGCHANGED, 0, 0, true, 0, TsSkinReaction::srNone, false, false},
      {SKM_GETUPDATING, 0, 0, true, 0, TsSkinReaction::srNone, false, false},
      {SKM_SETBGCHANGED, 0, -1, true, 0, TsSkinReaction::srNone, false, true},
      {SKM_SETUPDATING, 0, 1, true, 0, TsSkinReaction::srNone, true, true},
      {SKM_SETUPDATING, 0, 0, true, 0, TsSkinReaction::srNone, false, true},
      {SKM_URGENTPAINT, 1, 0, true, 0, TsSkinReaction::srRebuildCache, false, true},
      {SKM_URGENTPAINT, 1, 0, true, 0, TsSkinReaction::srNone, false, true},  // already urgent
      {SKM_URGENTPAINT, 0x100, 0, true, 0, TsSkinReaction::srNone, false, true},  // low byte 0: finish
      {SKM_GETHALFVISIBLE, 0, 0, true, 0, TsSkinReaction::srNone, false, true},
      // Opaque: changes of the parent do not concern it.
      {SKM_PARENTUPDATED, 0, 0, true, 0, TsSkinReaction::srNone, false, true},
      // Not for controls: the provider and the parents with a cache answer these.
      {SKM_GETCACHE, 0, 0, false, 0, TsSkinReaction::srNone, false, true},
      {SKM_GETPROVIDER, 0, 0, false, 0, TsSkinReaction::srNone, false, true},
      {SKM_STOPFADING, 0, 0, false, 0, TsSkinReaction::srNone, false, true},
      {0x000F, 0, 0, false, 0, TsSkinReaction::srNone, false, true},  // WM_PAINT
  };
  for (const TStep& s : steps) {
    const auto answer = state.Handle(s.Msg, s.W, s.L);
    const std::string what = std::string(SkinMessageName(s.Msg)) + " W=" + std::to_string(s.W) + " L=" + std::to_string(s.L);
    EXPECT_EQ(answer.Handled, s.Handled) << what;
    EXPECT_EQ(answer.Result, s.Result) << what;
    EXPECT_EQ(answer.Reaction, s.Reaction) << what;
    EXPECT_EQ(state.Updating, s.Updating) << what;
    EXPECT_EQ(state.BackgroundChanged, s.BackgroundChanged) << what;
  }
  EXPECT_FALSE(state.UrgentPainting);
  state.Handle(SKM_SETLINKEDCONTROL, 0, 0x5678);
  EXPECT_EQ(state.PaintTarget, 0x5678);

  EXPECT_EQ(state.Handle(SKM_REMOVESKIN, 0, 1).Reaction, TsSkinReaction::srPaintUnskinned);
  EXPECT_EQ(state.SkinIndex, -1);
  EXPECT_EQ(state.BorderIndex, -1);
  EXPECT_TRUE(state.Updating);
  EXPECT_EQ(state.Handle(SKM_GETSKININDEX, 0, 0).Result, 0) << "0: not skinned";
}

TEST_F(SkinStateTest, OnlyTransparentSectionsFollowTheirParent) {
  gd[0].Transparency = 30;  // EDIT
  struct TCase {
    const char* Section;
    bool Follows;
  };
  const TCase cases[] = {{"EDIT", true}, {"BUTTON", false}, {"NOSUCH", false}};
  for (const TCase& c : cases) {
    TsSkinState state;
    state.SkinSection = c.Section;
    state.Handle(SKM_NEWSKIN, 0, 1);
    state.BackgroundChanged = false;
    const auto changed = state.Handle(SKM_PARENTCHANGED, 0, 0);
    EXPECT_EQ(changed.Result, 0) << c.Section;
    EXPECT_EQ(changed.Reaction, TsSkinReaction::srNone) << c.Section;
    EXPECT_EQ(state.BackgroundChanged, c.Follows) << c.Section;
    // The parent's update is answered 0, so that the parent goes on to its next child; the
    // controls that show their parent through add their own repaint.
    state.BackgroundChanged = false;
    const auto updated = state.Handle(SKM_PARENTUPDATED, 0, 0);
    EXPECT_TRUE(updated.Handled);
    EXPECT_EQ(updated.Result, 0);
    EXPECT_EQ(updated.Reaction, TsSkinReaction::srNone);
    EXPECT_FALSE(state.BackgroundChanged);
  }
}

TEST(SkinKinds, DefaultSectionsAndTheMouseRule) {
  struct TCase {
    std::int32_t Kind;
    const char* Section;
    bool MouseMatters;
  };
  const TCase cases[] = {
      {0, "", true},           {2, "EDIT", true},        {3, "EDIT", true},       {9, "", true},
      {227, "EDIT", true},     {11, "COMBOBOX", true},   {82, "COMBOBOX", true},  {32, "CHECKBOX", true},
      {33, "RADIOBUTTON", true}, {51, "PANEL", false},   {73, "PANEL", false},    {74, "GROUPBOX", false},
      {226, "GROUPBOX", true}, {75, "SPLITTER", true},   {58, "PANEL_LOW", false}, {57, "TABSHEET", false},
      {93, "BUTTON", true},    {94, "BUTTON", true},     {110, "", false},        {141, "PAGECONTROL", false},
      {142, "", false},        {143, "TABCONTROL", false}, {161, "GAUGE", false}, {162, "", true},
      {165, "TRACKBAR", true}, {224, "", true},          {50, "", true},          {75 + 256, "", true},
      {-1, "", true},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(DefaultSection(c.Kind), c.Section) << c.Kind;
    TsSkinState state;
    state.ControlKind = c.Kind;
    EXPECT_EQ(state.MouseMatters(), c.MouseMatters) << c.Kind;
  }
}

TEST_F(SkinStateTest, UpdateSectionConcernsOnlyTheNamedSection) {
  GlobalSectionName = "EDIT";
  struct TCase {
    const char* Section;
    TsSkinReaction Reaction;
  };
  const TCase cases[] = {{"edit", TsSkinReaction::srRepaintNow}, {"EDIT", TsSkinReaction::srRepaintNow},
                         {"MYEDIT", TsSkinReaction::srNone},  // a child section is another section
                         {"BUTTON", TsSkinReaction::srNone}};
  for (const TCase& c : cases) {
    TsSkinState state;
    state.SkinSection = c.Section;
    state.BackgroundChanged = false;
    EXPECT_EQ(state.Handle(SKM_UPDATESECTION, 0, 0).Reaction, c.Reaction) << c.Section;
    EXPECT_EQ(state.BackgroundChanged, c.Reaction == TsSkinReaction::srRepaintNow) << c.Section;
  }
}

TEST_F(SkinStateTest, RemoveSkinLeavesAControlOnItsWayOutAlone) {
  struct TLeaving : TsSkinState {
    bool OwnerDestroying() const override { return true; }
  } state;
  state.SkinSection = "EDIT";
  state.Handle(SKM_NEWSKIN, 0, 1);
  state.Updating = false;
  EXPECT_EQ(state.Handle(SKM_REMOVESKIN, 0, 1).Reaction, TsSkinReaction::srNone);
  EXPECT_EQ(state.SkinIndex, 0);
  EXPECT_FALSE(state.Updating);
}

}  // namespace
