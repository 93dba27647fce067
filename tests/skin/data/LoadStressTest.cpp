// Hostile skin folders of about a megabyte each (tests/skin/data/HostileSkins.h): every one loads
// and holds what its text says. How the time grows with the size is bench/loadbench's to show;
// here each simply has to finish. Under the sanitizers the sizes are cut, as the instrumented
// build runs many times slower.
#include <gtest/gtest.h>

#include <filesystem>

#include "framework/core/FileSystem.h"
#include "skin/data/sSkinData.h"
#include "skin/data/sSkinLoad.h"
#include "skin/data/sSkinLookup.h"
#include "tests/skin/data/HostileSkins.h"
#include "tests/skin/data/SkinArraysReset.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr int kSizeDivisor = 10;
#else
constexpr int kSizeDivisor = 1;
#endif

class LoadStress : public ::testing::TestWithParam<hostile::TKindInfo> {
 protected:
  void SetUp() override {
    root_ = PathToUtf8(std::filesystem::temp_directory_path()) + "\\ds-load-stress\\";
    skintest::RemoveTestFolder(root_);
    Reset();
  }
  void TearDown() override {
    Reset();
    skintest::RemoveTestFolder(root_);
  }
  static void Reset() { skintest::ResetSkinArrays(); }
  // Loads the kind at `n` as the manager does (the loaders, then the cached indexes) and returns
  // the problems noted.
  std::vector<std::string> Load(int n) {
    const hostile::TSkinText text = hostile::Make(GetParam().Kind, n);
    EXPECT_TRUE(hostile::WriteFolder(root_, text));
    std::vector<std::string> problems;
    TsSkinSource source;
    source.Problems = &problems;
    source.CommonSections = PrepareCommonSections(text.Common);
    SelectSkinFolder(root_);
    LoadSkinArrays(source);
    sSkinData->Active = true;
    InitConstantIndexes();
    return problems;
  }
  static const TsGeneralData& Section(const std::string& name) {
    const int i = GetSkinIndex(name);
    EXPECT_GE(i, 0) << name;
    return gd.at(static_cast<std::size_t>(i < 0 ? 0 : i));
  }
  std::string root_;
};

std::size_t CountContaining(const std::vector<std::string>& lines, const std::string& part) {
  std::size_t count = 0;
  for (const auto& line : lines) count += line.find(part) != std::string::npos ? 1 : 0;
  return count;
}

TEST_P(LoadStress, LoadsAndHoldsWhatTheFileSays) {
  const int n = GetParam().Size / kSizeDivisor;
  const std::vector<std::string> problems = Load(n);
  const std::size_t un = static_cast<std::size_t>(n);
  switch (GetParam().Kind) {
    case hostile::TKind::kLongGradient: {
      const TsGeneralData& form = Section("FORM");
      ASSERT_EQ(form.GradientArray.size(), un);
      for (int k : {0, 1, n / 2, n - 1}) {
        const TsGradPie& step = form.GradientArray[static_cast<std::size_t>(k)];
        EXPECT_EQ(step.Color1, k);
        EXPECT_EQ(step.Color2, k + 1);
        EXPECT_EQ(step.Percent, (k % 300) & 0xFF);
        EXPECT_EQ(step.Mode, 1);
      }
      ASSERT_EQ(form.HotGradientArray.size(), 1u) << "the run of separators gives no words";
      EXPECT_EQ(form.HotGradientArray[0].Percent, 3);
      break;
    }
    case hostile::TKind::kLongMaskLine: {
      // Mask 0 is the master bitmap that [GLOBALINFO] names, as a mask of its own.
      ASSERT_EQ(ma.size(), 2u);
      EXPECT_EQ(ma[1].R, Rect(1, 2, 30, 20));
      EXPECT_EQ(ma[1].ImageCount, 3);
      EXPECT_EQ(ma[1].MaskType, 1);
      EXPECT_EQ(ma[1].BorderWidth, 4);
      break;
    }
    case hostile::TKind::kDeepChain: {
      ASSERT_EQ(gd.size(), un + 1);
      const TsGeneralData& edit = Section("EDIT");
      EXPECT_EQ(edit.Color, 1234) << "inherited through every ancestor";
      EXPECT_TRUE(edit.ShowFocus);
      EXPECT_EQ(edit.GradientArray.size(), 1u);
      EXPECT_EQ(edit.Transparency, 0) << "missing all along the chain: the default";
      EXPECT_EQ(Section("S" + hostile::Num(n / 2)).Color, 1234);
      ASSERT_EQ(ma.size(), 2u);
      // The mask of the root, found from the deepest section by scanning and through the maps.
      const std::int32_t editIndex = GetSkinIndex("EDIT");
      EXPECT_EQ(GetMaskIndex(editIndex, "EDIT", "BORDERSMASK"), 1);
      EXPECT_EQ(GetMaskIndex(editIndex, "EDIT", "GLYPHMASK"), -1);
      const TsLookupScope scope;
      EXPECT_EQ(GetMaskIndex(editIndex, "EDIT", "BORDERSMASK"), 1);
      EXPECT_EQ(GetMaskIndex(editIndex, "EDIT", "GLYPHMASK"), -1);
      EXPECT_TRUE(problems.empty()) << problems.front();
      break;
    }
    case hostile::TKind::kLoopChain: {
      ASSERT_EQ(gd.size(), un + 2);
      for (int i : {0, 1, n / 2 - 1, n / 2, n / 2 + 1, n - 1})
        EXPECT_EQ(Section("L" + hostile::Num(i)).Color, 42) << "every member of the loop reaches L" << n / 2;
      EXPECT_EQ(Section("SCROLLBTNTOP").Color, 42) << "so does the tail that leads into it";
      EXPECT_EQ(Section("L0").FadingIterations, 5) << "missing all round the loop: the default";
      EXPECT_EQ(CountContaining(problems, "parent chain loops"), un + 1);
      EXPECT_EQ(ConstData.ScrollBtnIndexes[0], GetSkinIndex("SCROLLBTNTOP"));
      EXPECT_EQ(ConstData.ScrollBtnBorderMasks[0], -1) << "the mask walk ends on the loop";
      break;
    }
    case hostile::TKind::kManySections: {
      ASSERT_EQ(gd.size(), un + 1);
      ASSERT_EQ(ma.size(), un + 1);
      EXPECT_EQ(Section("section" + hostile::Num(n - 1)).Color, n - 1);
      const std::int32_t last = GetSkinIndex("SECTION" + hostile::Num(n - 1));
      EXPECT_EQ(GetMaskIndex(last, "SECTION" + hostile::Num(n - 1), "BORDERSMASK"), n);
      const TsLookupScope scope;
      EXPECT_EQ(GetSkinIndex("Section" + hostile::Num(n / 2)), n / 2 + 1);
      EXPECT_EQ(GetSkinIndex("SECTION" + hostile::Num(n)), -1);
      EXPECT_EQ(GetMaskIndex(last, "SECTION" + hostile::Num(n - 1), "BORDERSMASK"), n);
      break;
    }
    case hostile::TKind::kManyMasks: {
      ASSERT_EQ(ma.size(), un + 1);
      EXPECT_EQ(ma.back().PropertyName, "M" + hostile::Num(n - 1));
      EXPECT_EQ(ma.back().R, Rect((n - 1) % 30, 0, 31, 20));
      break;
    }
    case hostile::TKind::kManyCommonSections: {
      ASSERT_EQ(gd.size(), un + 2);
      const TsGeneralData& last = gd.back();
      EXPECT_EQ(last.ClassName, "C" + hostile::Num(n - 1));
      EXPECT_EQ(last.Color, 99) << "from PANEL through every earlier common section";
      EXPECT_EQ(last.Transparency, (n - 1) % 100);
      EXPECT_EQ(gd[2].Transparency, 0) << "C0 names PANEL, which has none";
      break;
    }
    case hostile::TKind::kOnePictureManyTimes: {
      // As many patterns as the pictures of a skin may have pixels together; the rest refused.
      const std::size_t kept = static_cast<std::size_t>(2 * TPixelImage::kMaxPixels / (1000 * 1000));
      ASSERT_EQ(pa.size(), std::min(un, kept));
      EXPECT_EQ(pa.back().Img->Width(), 1000);
      EXPECT_EQ(CountContaining(problems, "pixels that all pictures of a skin may have together"), un - pa.size());
      break;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(HostileFolders, LoadStress, ::testing::ValuesIn(hostile::Kinds()),
                         [](const auto& param) { return std::string(param.param.Id); });

}  // namespace
