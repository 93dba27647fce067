// The skin arrays, the two value syntaxes of sections, mask sizes and lookup by name.
#include <gtest/gtest.h>

#include "framework/core/Exceptions.h"
#include "skin/data/sSkinData.h"
#include "skin/data/sSkinLookup.h"

namespace {

struct Step {
  TColor Color1;
  TColor Color2;
  int Percent;
  int Mode;
  friend bool operator==(const Step&, const Step&) = default;
};

std::vector<Step> Steps(const TsGradArray& a) {
  std::vector<Step> out;
  for (const auto& p : a) out.push_back({p.Color1, p.Color2, p.Percent, p.Mode});
  return out;
}

TEST(PrepareGradArray, ParsesGroupsOfFive) {
  struct Case {
    const char* text;
    std::vector<Step> steps;
  };
  const Case cases[] = {
      {"10383683;9330438;110;0;0;9330438;9330438;0;0;0", {{10383683, 9330438, 110, 0}, {9330438, 9330438, 0, 0}}},
      {" ", {}},
      {"N/A", {}},
      {"", {}},
      {"1;2;3;4", {}},
      {"1;2;3;4;5;6", {{1, 2, 3, 4}}},
      {"1;;2;3;4;5", {{1, 2, 3, 4}}},
      {"1;2;300;1;0", {{1, 2, 44, 1}}},
      {"1;2;-1;0;x", {{1, 2, 255, 0}}},  // the fifth word is never read
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    TsGradArray steps(3);  // replaced, not appended to
    PrepareGradArray(c.text, steps);
    EXPECT_EQ(Steps(steps), c.steps);
  }
  TsGradArray steps;
  EXPECT_THROW(PrepareGradArray("1;2;3;x;0", steps), EConvertError);
  EXPECT_THROW(PrepareGradArray("1;2;3; 4;0", steps), EConvertError);
  EXPECT_THROW(PrepareGradArray("N/A;1;2;3;4", steps), EConvertError);
}

TEST(FontColors, FiveWordsOrTheDefaults) {
  struct Case {
    const char* text;
    TColor text_, left, top, right, bottom;
  };
  const Case cases[] = {
      {"0 -1 -1 -1 -1", 0, -1, -1, -1, -1},
      {"0  -1 -1 -1 -1", 0, -1, -1, -1, -1},
      {"16774621 7954485 7954485 -1 -1", 16774621, 7954485, 7954485, -1, -1},
      {"0 -1 -1 -1", 0, -1, -1, -1, -1},
      {"5 5 5 5 5 5", 0, -1, -1, -1, -1},
      {"", 0, -1, -1, -1, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    TsGeneralData s;
    s.FontColor = s.HotFontColor = 99;
    SetFontColors(s, c.text);
    SetHotFontColors(s, c.text);
    EXPECT_EQ((std::vector<TColor>{s.FontColor, s.TCLeft, s.TCTop, s.TCRight, s.TCBottom}),
              (std::vector<TColor>{c.text_, c.left, c.top, c.right, c.bottom}));
    EXPECT_EQ((std::vector<TColor>{s.HotFontColor, s.HotTCLeft, s.HotTCTop, s.HotTCRight, s.HotTCBottom}),
              (std::vector<TColor>{c.text_, c.left, c.top, c.right, c.bottom}));
  }
  EXPECT_THROW(SplitFontColors("0 -1 x -1 -1"), EConvertError);
}

class SkinArrays : public ::testing::Test {
 protected:
  void SetUp() override { Clear(); }
  void TearDown() override { Clear(); }
  static void Clear() {
    FreeBitmaps();
    FreeJpegs();
    gd.clear();
    sSkinData->Active = false;
  }
  static void AddSection(const char* name, const char* parent = "") {
    TsGeneralData s;
    s.ClassName = name;
    s.ParentClass = parent;
    gd.push_back(std::move(s));
  }
  static void AddMask(const char* section, const char* property, TRect r = {}, int images = 1, int type = 0) {
    TsMaskData m;
    m.ClassName = section;
    m.PropertyName = property;
    m.R = r;
    m.ImageCount = static_cast<std::int16_t>(images);
    m.MaskType = static_cast<std::int16_t>(type);
    ma.push_back(std::move(m));
  }
};

TEST_F(SkinArrays, MaskSizeOfRectanglesAndOwnBitmaps) {
  AddMask("BUTTON", "BORDERSMASK", Rect(63, 72, 126, 114), 3, 1);
  AddMask("EDIT", "BORDERSMASK", Rect(120, 190, 195, 250), 1, 0);
  AddMask("X", "GLYPHMASK", Rect(0, 0, 10, 10), 0, -1);  // hand-made record: no division by zero
  AddMask("Y", "GLYPHMASK", Rect(0, 0, 500, 500), 3, 1);
  ma.back().Bmp = std::make_unique<TPixelImage>(51, 38);  // own bitmap: R is ignored
  EXPECT_EQ(MaskSize(0), (TMaskSize{21, 21}));
  EXPECT_EQ(MaskSize(1), (TMaskSize{75, 60}));
  EXPECT_EQ(MaskSize(2), (TMaskSize{10, 10}));
  EXPECT_EQ(MaskSize(3), (TMaskSize{17, 19}));
}

TEST_F(SkinArrays, GuardsAndFreeing) {
  AddSection("EDIT");
  AddMask("EDIT", "BORDERSMASK");
  MasterBitmap = std::make_unique<TPixelImage>(4, 4);
  pa.push_back({std::make_unique<TPixelImage>(300, 300), "FORM", "PATTERN"});
  EXPECT_TRUE(IsValidSkinIndex(0));
  EXPECT_FALSE(IsValidSkinIndex(-1));
  EXPECT_FALSE(IsValidSkinIndex(1));
  EXPECT_TRUE(IsValidImgIndex(0));
  EXPECT_FALSE(IsValidImgIndex(1));
  EXPECT_FALSE(IsValidImgIndex(-1));
  FreeBitmaps();
  EXPECT_TRUE(ma.empty());
  EXPECT_EQ(MasterBitmap, nullptr);
  EXPECT_EQ(pa.size(), 1u);
  FreeJpegs();
  EXPECT_TRUE(pa.empty());
}

TEST_F(SkinArrays, LookupIgnoresSectionCaseAndFallsBackToParents) {
  AddSection("Edit");
  AddSection("MYEDIT", "edit");
  AddSection("LOOPA", "LOOPB");
  AddSection("LOOPB", "LoopA");
  AddSection("SELF", "self");
  AddSection("ORPHAN", "NOWHERE");
  AddSection("");
  AddMask("EDIT", "BORDERSMASK");
  AddMask("LOOPB", "GLYPHMASK");
  pa.push_back({std::make_unique<TPixelImage>(1, 1), "EDIT", "PATTERN"});

  EXPECT_EQ(GetSkinIndex("edit"), 0);
  EXPECT_EQ(GetSkinIndex("EDIT"), 0);
  EXPECT_EQ(GetSkinIndex("Edit"), 0);
  EXPECT_EQ(GetSkinIndex(""), 6);
  EXPECT_EQ(GetSkinIndex("NONE"), -1);

  struct Case {
    int index;
    const char* section;
    const char* property;
    int expected;
  };
  const Case cases[] = {
      {0, "EDIT", "BORDERSMASK", 0},  {0, "edit", "BORDERSMASK", 0}, {0, "EDIT", "bordersmask", -1},
      {1, "MYEDIT", "BORDERSMASK", 0}, {2, "LOOPA", "GLYPHMASK", 1},  {2, "LOOPA", "BORDERSMASK", -1},
      {3, "LOOPB", "BORDERSMASK", -1}, {4, "SELF", "BORDERSMASK", -1}, {5, "ORPHAN", "BORDERSMASK", -1},
      {-1, "EDIT", "BORDERSMASK", -1}, {7, "EDIT", "BORDERSMASK", -1}, {0, "", "BORDERSMASK", -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.index) + " " + c.section + " " + c.property);
    EXPECT_EQ(GetMaskIndex(c.index, c.section, c.property), c.expected);
  }
  EXPECT_EQ(GetPatternIndex(1, "MYEDIT", "PATTERN"), -1);  // not while a skin change is under way
  sSkinData->Active = true;
  EXPECT_EQ(GetPatternIndex(1, "MYEDIT", "PATTERN"), 0);
  EXPECT_EQ(GetPatternIndex(2, "LOOPA", "PATTERN"), -1);
}

TEST_F(SkinArrays, ConstantIndexesFollowTheSkin) {
  AddSection("SCROLLBTNTOP");
  AddSection("SCROLLSLIDERH");
  AddSection("GLOBALINFO");
  AddMask("SCROLLBTNTOP", "BORDERSMASK");
  AddMask("SCROLLSLIDERH", "HOTPATTERN");
  AddMask("GLOBALINFO", "RADIOGRAYED");
  InitConstantIndexes();
  EXPECT_EQ(ConstData.GlobalInfoIndex, 2);
  EXPECT_EQ(ConstData.ScrollBtnIndexes[0], 0);
  EXPECT_EQ(ConstData.ScrollBtnIndexes[1], -1);
  EXPECT_EQ(ConstData.ScrollBtnBorderMasks[0], 0);
  EXPECT_EQ(ConstData.ScrollBtnGlyphMasks[0], -1);
  EXPECT_EQ(ConstData.SliderIndexes[1], 1);
  EXPECT_EQ(ConstData.SliderPatterns[1], 1);
  EXPECT_EQ(ConstData.SliderPatterns[3], -1);
  EXPECT_EQ(ConstData.CheckMasks[5], 2);
  EXPECT_EQ(ConstData.CheckMasks[0], -1);

  gd.erase(gd.begin() + 2);  // without "GLOBALINFO" its masks are not found either
  InitConstantIndexes();
  for (auto m : ConstData.CheckMasks) EXPECT_EQ(m, -1);
  EXPECT_EQ(ConstData.GlobalInfoIndex, -1);
}

}  // namespace
