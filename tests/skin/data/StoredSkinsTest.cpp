// The five stored skins: their structure, the values the calculator paints with, the artwork
// rules, and the round trip through an extracted folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>

#include "framework/core/FileSystem.h"
#include "resources/skins/StoredSkins.h"
#include "skin/data/sImageCodecs.h"
#include "skin/data/sSkinData.h"
#include "skin/data/sSkinFolder.h"
#include "skin/data/sSkinLoad.h"
#include "skin/data/sSkinLookup.h"
#include "skin/data/sStoredSkin.h"

namespace {

class StoredSkins : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(LoadStoredSkins(skins_)); }
  void TearDown() override {
    SelectInternalSkin();
    FreeBitmaps();
    FreeJpegs();
    gd.clear();
  }
  static void LoadInternal(const std::string& name) {
    SelectInternalSkin();
    TsSkinSource source;
    source.SkinName = name;
    source.InternalSkins = &skins_;
    LoadAllMasks(source);
    LoadAllPatterns(source);
    LoadAllGeneralData(source);
  }
  static TsStoredSkins skins_;
};
TsStoredSkins StoredSkins::skins_;

TEST_F(StoredSkins, NamesCountsAndSizes) {
  struct Case {
    const char* name;
    std::size_t sections, named, masks, patterns;
    int width, height;
  };
  const Case cases[] = {
      {"BlueGlass (internal)", 57, 56, 77, 0, 304, 250}, {"MacOS (internal)", 54, 53, 69, 0, 200, 345},
      {"LongHorn (internal)", 57, 56, 52, 0, 249, 120},  {"MacMetal (internal)", 53, 52, 69, 0, 198, 331},
      {"Winter2003 (internal)", 57, 56, 63, 2, 304, 250},
  };
  ASSERT_EQ(skins_.Count(), 5);
  for (int i = 0; i < 5; ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.name);
    EXPECT_EQ(skins_[i].Name, c.name);
    LoadInternal(c.name);
    EXPECT_EQ(gd.size(), c.sections);
    std::size_t named = 0;
    for (const auto& g : gd) named += g.ClassName.empty() ? 0 : 1;
    EXPECT_EQ(named, c.named);
    EXPECT_EQ(gd.back().ClassName, "");
    EXPECT_EQ(ma.size(), c.masks);
    EXPECT_EQ(pa.size(), c.patterns);
    ASSERT_NE(MasterBitmap, nullptr);
    EXPECT_EQ(MasterBitmap->Width(), c.width);
    EXPECT_EQ(MasterBitmap->Height(), c.height);
    const TsStoredSkin& stored = skins_[i];
    const TsSkinImage& last = stored.Images[stored.Images.Count() - 1];
    EXPECT_EQ(last.SectionName + "/" + last.PropertyName + "/" + last.Name, "GLOBALINFO/MASTERBITMAP/MASTER.BMP");
    EXPECT_EQ(last.ImageCount, 0);
    for (int p = 0; p < stored.Patterns.Count(); ++p) {
      TPixelImage ground;
      ASSERT_TRUE(ReadJpeg(stored.Patterns[p].Image.Data, ground));
      EXPECT_EQ(stored.Patterns[p].Name, "BG.JPG");
      EXPECT_GE(ground.Width(), 300);
      EXPECT_GE(ground.Height(), 300);
    }
  }
}

TEST_F(StoredSkins, BlueGlassHoldsTheValuesThePainterUses) {
  LoadInternal("BlueGlass (internal)");
  const char* order[] = {"DRAGBAR", "TABSHEET", "PAGECONTROLBOTTOM"};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(gd[static_cast<std::size_t>(i)].ClassName, order[i]);
  EXPECT_EQ(gd[55].ClassName, "EDIT");
  EXPECT_EQ(gd[54].ClassName, "GLOBALINFO");
  struct Values {
    const char* section;
    TColor color;
    int transparency, gradientPercent;
    std::size_t steps, hotSteps;
    TColor hotColor;
    int imagePercent;
  };
  const Values values[] = {
      {"FORM", 0xD0BC99, 0, 0, 0, 0, 0xD0BC99, 100}, {"FORMTITLE", 0xFFFFFF, 50, 100, 4, 4, 0xFFFFFF, 0},
      {"DIALOG", 0xFFFFFF, 0, 50, 2, 2, 0xFFFFFF, 50}, {"EDIT", 0xFFFFFF, 0, 0, 0, 0, 0xFFFFFF, 0},
      {"BUTTON", 0xFFFFFF, 50, 100, 2, 2, 0xFFFFFF, 0}, {"SCROLLBAR1H", 0xFFFFFF, 100, 0, 0, 0, 0xFFFFFF, 0},
      {"SCROLLSLIDERV", 0xFFFFFF, 100, 0, 0, 0, 0xFFFFFF, 0}, {"GLOBALINFO", 0xCAAB77, 0, 0, 0, 0, 0xFFFFFF, 0},
      {"MENUITEM", 0xFFFFFF, 100, 0, 0, 2, 0xB95C00, 0},     {"MAINMENU", 0xC29B65, 0, 0, 4, 0, 0xFFFFFF, 0},
  };
  for (const auto& v : values) {
    SCOPED_TRACE(v.section);
    const TsGeneralData& g = gd.at(static_cast<std::size_t>(GetSkinIndex(v.section)));
    EXPECT_EQ(g.Color, v.color);
    EXPECT_EQ(g.Transparency, v.transparency);
    EXPECT_EQ(g.GradientPercent, v.gradientPercent);
    EXPECT_EQ(g.GradientArray.size(), v.steps);
    EXPECT_EQ(g.HotGradientArray.size(), v.hotSteps);
    EXPECT_EQ(g.HotColor, v.hotColor);
    EXPECT_EQ(g.ImagePercent, v.imagePercent);
    EXPECT_EQ(g.ShadowTransparency, 60);
    EXPECT_EQ(g.ParentClass, "");
  }
  const TsGeneralData& button = gd.at(static_cast<std::size_t>(GetSkinIndex("button")));
  EXPECT_EQ(button.HotFontColor, 16774621);
  EXPECT_EQ(button.HotTCLeft, 7954485);
  EXPECT_EQ(button.HotTCRight, -1);
  EXPECT_TRUE(button.FadingEnabled);
  EXPECT_EQ(button.FadingIterations, 10);
  EXPECT_EQ(button.GradientArray[0].Percent, 110);
  const TsGeneralData& title = gd.at(static_cast<std::size_t>(GetSkinIndex("FORMTITLE")));
  EXPECT_EQ(title.FontColor, 6636336);
  EXPECT_EQ(title.TCRight, 16043927);
  EXPECT_EQ(title.HotTCTop, 4072704);
  EXPECT_TRUE(gd.at(static_cast<std::size_t>(GetSkinIndex("FORM"))).ReservedBoolean);

  struct MaskCase {
    const char* section;
    const char* property;
    TRect r;
    int imageCount, maskType;
  };
  const MaskCase masks[] = {
      {"FORM", "BORDERSMASK", Rect(135, 60, 147, 72), 1, 0},   {"FORM", "TITLEBUTTON", Rect(0, 114, 60, 154), 3, 1},
      {"FORM", "BICONCLOSE", Rect(244, 114, 304, 154), 3, 1},  {"FORM", "BICONNORM", Rect(122, 114, 182, 154), 3, 1},
      {"FORM", "GRIPIMAGE", Rect(252, 0, 270, 36), 1, 1},      {"DIALOG", "HOTPATTERN", Rect(252, 154, 304, 190), 3, 1},
      {"FORMTITLE", "BORDERSMASK", Rect(231, 60, 261, 114), 1, 1},
      {"MAINMENU", "BORDERSMASK", Rect(189, 72, 210, 114), 1, 1},
      {"COMBOBOX", "BORDERSMASK", Rect(120, 190, 195, 250), 1, 0},
      {"COMBOBOX", "GLYPHMASK", Rect(195, 154, 252, 188), 3, 1}, {"BUTTON", "BORDERSMASK", Rect(63, 72, 126, 114), 3, 1},
      {"SCROLLBAR2V", "BORDERSMASK", Rect(261, 84, 276, 114), 1, 1},
      {"SCROLLSLIDERH", "BORDERSMASK", Rect(0, 72, 63, 114), 3, 1},
      {"SCROLLBTNBOTTOM", "GLYPHMASK", Rect(264, 53, 291, 58), 3, 0},
      {"SCROLLSLIDERV", "GLYPHMASK", Rect(292, 98, 299, 114), 1, 1},
      {"MENUITEM", "BORDERSMASK", Rect(126, 72, 168, 114), 2, 1}, {"DIVIDER", "BORDERSMASK", Rect(298, 21, 301, 39), 1, 1},
      {"GLOBALINFO", "RADIOUNCHECKED", Rect(0, 154, 48, 190), 3, 1},
  };
  for (const auto& m : masks) {
    SCOPED_TRACE(std::string(m.section) + "/" + m.property);
    const int index = GetMaskIndex(GetSkinIndex(m.section), m.section, m.property);
    ASSERT_GE(index, 0);
    const TsMaskData& mask = ma[static_cast<std::size_t>(index)];
    EXPECT_EQ(mask.R, m.r);
    EXPECT_EQ(mask.ImageCount, m.imageCount);
    EXPECT_EQ(mask.MaskType, m.maskType);
    EXPECT_EQ(mask.BorderWidth, 0);
  }
  EXPECT_EQ(MaskSize(GetMaskIndex(GetSkinIndex("BUTTON"), "BUTTON", "BORDERSMASK")), (TMaskSize{21, 21}));
  EXPECT_EQ(MaskSize(GetMaskIndex(GetSkinIndex("EDIT"), "EDIT", "BORDERSMASK")), (TMaskSize{75, 60}));
  InitConstantIndexes();
  EXPECT_EQ(ConstData.ScrollBtnIndexes[0], GetSkinIndex("SCROLLBTNTOP"));
  EXPECT_GE(ConstData.ScrollBtnGlyphMasks[3], 0);
  EXPECT_GE(ConstData.CheckMasks[0], 0);
  EXPECT_EQ(ConstData.SliderPatterns[0], -1);
}

// Artwork rules: every rectangle inside its master, grey masks really grey, border frames cut
// into whole tiles, and the frames of a three-state mask different from each other (normal, hot and pressed can be told apart).
TEST_F(StoredSkins, ArtworkFollowsTheMaskRules) {
  for (int s = 0; s < skins_.Count(); ++s) {
    SCOPED_TRACE(skins_[s].Name);
    LoadInternal(skins_[s].Name);
    const TPixelView master = MasterBitmap->View();
    for (const auto& m : ma) {
      if (m.Bmp) continue;
      SCOPED_TRACE(m.ClassName + "/" + m.PropertyName);
      ASSERT_TRUE(m.R.Left >= 0 && m.R.Top >= 0 && m.R.Right <= master.Width && m.R.Bottom <= master.Height);
      const TMaskSize size = MaskSize(m);
      // Side tiles are cut from the 3 x 3 grid, corners from the frame's edges: they line up only
      // when a border frame is a whole number of tiles wide and high.
      if (m.PropertyName == "BORDERSMASK") {
        EXPECT_EQ(WidthOf(m.R) % m.ImageCount, 0);
        EXPECT_EQ(size.Width % 3, 0);
        EXPECT_EQ(size.Height % 3, 0);
      }
      if (m.MaskType == 1 && m.PropertyName.find("PATTERN") == std::string::npos) {
        for (int y = m.R.Top + size.Height; y < m.R.Top + 2 * size.Height; ++y)
          for (int x = m.R.Left; x < m.R.Right; ++x) {
            const std::uint8_t* p = master.Pixel(x, y);
            ASSERT_TRUE(p[0] == p[1] && p[1] == p[2]) << x << "," << y;
          }
      }
      if (m.ImageCount == 3 && m.PropertyName != "PATTERN" && m.PropertyName != "HOTPATTERN") {
        auto frame = [&](int k) {
          std::string bytes;
          for (int y = m.R.Top; y < m.R.Top + size.Height; ++y)
            bytes.append(reinterpret_cast<const char*>(master.Pixel(m.R.Left + k * size.Width, y)),
                         3 * static_cast<std::size_t>(size.Width));
          return bytes;
        };
        EXPECT_TRUE(frame(0) != frame(1) && frame(1) != frame(2) && frame(0) != frame(2));
      }
    }
  }
}

// A key-coloured border mask (mask type 0) keys only its corners: the sides, and the centre
// when the border is filled, are copied opaquely, so a key-coloured pixel there would show as
// fuchsia on every control that uses the mask.
TEST_F(StoredSkins, KeyedBorderSidesAndCentreAreOpaque) {
  for (int s = 0; s < skins_.Count(); ++s) {
    SCOPED_TRACE(skins_[s].Name);
    LoadInternal(skins_[s].Name);
    const TPixelView master = MasterBitmap->View();
    int checked = 0;
    for (const auto& m : ma) {
      if (m.Bmp || m.MaskType != 0 || m.PropertyName != "BORDERSMASK" || m.ImageCount < 1) continue;
      SCOPED_TRACE(m.ClassName + "/" + m.PropertyName);
      const int wp = WidthOf(m.R) / (m.ImageCount * 3), hp = HeightOf(m.R) / 3;
      const int fh = HeightOf(m.R);
      const int side = m.BorderWidth != 0 ? std::min<int>(wp, m.BorderWidth) : wp;
      const int sideH = m.BorderWidth != 0 ? std::min<int>(hp, m.BorderWidth) : hp;
      struct Piece {
        const char* name;
        int left, top, right, bottom;  // within the frame
        bool drawn;
      };
      for (int f = 0; f < m.ImageCount; ++f) {
        const int so = m.R.Left + WidthOf(m.R) * f / m.ImageCount;
        const Piece pieces[] = {
            {"left side", 0, hp, side, 2 * hp, true},
            {"top side", wp, 0, 2 * wp, sideH, true},
            {"bottom side", wp, fh - hp, 2 * wp, fh, true},
            {"right side", 3 * wp - side, hp, 3 * wp, 2 * hp, true},
            {"centre", wp, hp, 2 * wp, 2 * hp, m.BorderWidth == 0},
        };
        for (const Piece& p : pieces) {
          if (!p.drawn) continue;
          for (int y = m.R.Top + p.top; y < m.R.Top + p.bottom; ++y)
            for (int x = so + p.left; x < so + p.right; ++x) {
              const std::uint8_t* px = master.Pixel(x, y);
              ASSERT_FALSE(px[0] == 0xFF && px[1] == 0 && px[2] == 0xFF) << p.name << " frame " << f << " at " << x << "," << y;
              ++checked;
            }
        }
      }
    }
    EXPECT_GT(checked, 0);  // every stored skin has key-coloured borders (window frame, edit)
  }
}

TEST_F(StoredSkins, ExtractedFoldersLoadLikeTheStoredSkins) {
  const std::string root = PathToUtf8(std::filesystem::temp_directory_path()) + "\\ds-stored-roundtrip";
  std::filesystem::remove_all(PathFromUtf8(root));
  ASSERT_TRUE(ForceDirectories(root));
  for (int s = 0; s < skins_.Count(); ++s) {
    const std::string name = skins_[s].Name;
    SCOPED_TRACE(name);
    auto snapshot = [] {
      std::map<std::string, std::string> masks;
      for (const auto& m : ma) {
        std::string bytes;
        if (m.Bmp) {
          bytes = WriteBmp(m.Bmp->View(), false);
        } else {
          const TPixelView v = MasterBitmap->View();
          for (int y = m.R.Top; y < m.R.Bottom; ++y)
            bytes.append(reinterpret_cast<const char*>(v.Pixel(m.R.Left, y)), 3 * static_cast<std::size_t>(WidthOf(m.R)));
          bytes += std::to_string(m.ImageCount) + "/" + std::to_string(m.MaskType);
        }
        masks[m.ClassName + "/" + m.PropertyName] = bytes;
      }
      return masks;
    };
    LoadInternal(name);
    const auto internalMasks = snapshot();
    const std::size_t internalPatterns = pa.size();
    const TsGeneralDataArray internalSections = gd;

    ASSERT_EQ(ExtractInternalSkin(skins_, name, root), "");
    std::vector<std::string> problems;
    TsSkinSource source;
    source.Problems = &problems;
    SelectSkinFolder(root + "\\" + name + " extracted\\");
    LoadAllMasks(source);
    LoadAllPatterns(source);
    LoadAllGeneralData(source);
    EXPECT_TRUE(problems.empty()) << problems.front();
    EXPECT_EQ(snapshot(), internalMasks);
    EXPECT_EQ(pa.size(), internalPatterns);
    ASSERT_EQ(gd.size() + 1, internalSections.size());  // the unnamed item is not written
    for (const auto& want : internalSections) {
      if (want.ClassName.empty()) continue;
      SCOPED_TRACE(want.ClassName);
      const TsGeneralData& got = gd.at(static_cast<std::size_t>(GetSkinIndex(want.ClassName)));
      const auto fields = [](const TsGeneralData& g) {
        return std::vector<std::int64_t>{g.Color, g.Bevel, g.FontColor, g.TCLeft, g.TCTop, g.TCRight, g.TCBottom,
                                         g.HotFontColor, g.HotTCLeft, g.HotTCTop, g.HotTCRight, g.HotTCBottom,
                                         g.ReservedBoolean, g.ShadowBlur, g.ShadowColor, g.ShadowEnabled,
                                         g.ShadowOffset, g.ShadowTransparency, g.Transparency, g.GradientPercent,
                                         g.ImagePercent, g.ShowFocus, g.FadingEnabled, g.FadingIntervalIn,
                                         g.FadingIntervalOut, g.FadingIterations, g.HotColor, g.HotTransparency,
                                         g.HotBevel, g.HotGradientPercent, g.HotImagePercent, g.BorderColor1,
                                         g.BorderColor2, static_cast<std::int64_t>(g.GradientArray.size()),
                                         static_cast<std::int64_t>(g.HotGradientArray.size())};
      };
      EXPECT_EQ(fields(got), fields(want));
    }
    SelectInternalSkin();
  }
  std::error_code ec;
  std::filesystem::remove_all(PathFromUtf8(root), ec);
}

}  // namespace

// Every ConstData entry of every stored skin, read back against the skin's own records by name:
// a section entry is the first section of that name, a mask entry the first mask of that section
// and role, and -1 exactly when the skin has none (the stored skins name no parents). A row whose
// sides or kinds were swapped names another section and fails here. The scroll bar paints from
// these rows alone, so every stored skin must give it all of its sections.
TEST_F(StoredSkins, ConstDataRowsNameTheirSectionsAndMasks) {
  struct Row {
    const char* entry;
    const std::int16_t* value;
    const char* section;
    const char* property;  // null for a section entry
  };
  const TConstantSkinData& c = ConstData;
#define DS_SECTION(field, section) {#field, &c.field, section, nullptr}
#define DS_MASK(field, section, property) {#field, &c.field, section, property}
#define DS_FOUR(field, property, s0, s1, s2, s3) \
  DS_MASK(field[0], s0, property), DS_MASK(field[1], s1, property), DS_MASK(field[2], s2, property), \
      DS_MASK(field[3], s3, property)
  const Row rows[] = {
      DS_SECTION(GlobalInfoIndex, "GLOBALINFO"),
      DS_SECTION(TabIndexes[0], "TABTOP"),
      DS_SECTION(TabIndexes[1], "TABBOTTOM"),
      DS_SECTION(TabIndexes[2], "TABLEFT"),
      DS_SECTION(TabIndexes[3], "TABRIGHT"),
      DS_FOUR(TabBorderMasks, "BORDERSMASK", "TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT"),
      DS_SECTION(ScrollBtnIndexes[0], "SCROLLBTNTOP"),
      DS_SECTION(ScrollBtnIndexes[1], "SCROLLBTNBOTTOM"),
      DS_SECTION(ScrollBtnIndexes[2], "SCROLLBTNLEFT"),
      DS_SECTION(ScrollBtnIndexes[3], "SCROLLBTNRIGHT"),
      DS_FOUR(ScrollBtnBorderMasks, "BORDERSMASK", "SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLBTNLEFT", "SCROLLBTNRIGHT"),
      DS_FOUR(ScrollBtnPatterns, "PATTERN", "SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLBTNLEFT", "SCROLLBTNRIGHT"),
      DS_FOUR(ScrollBtnHotPatterns, "HOTPATTERN", "SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLBTNLEFT", "SCROLLBTNRIGHT"),
      DS_FOUR(ScrollBtnGlyphMasks, "GLYPHMASK", "SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLBTNLEFT", "SCROLLBTNRIGHT"),
      DS_SECTION(SliderIndexes[0], "SCROLLSLIDERV"),
      DS_SECTION(SliderIndexes[1], "SCROLLSLIDERH"),
      DS_MASK(SliderBorderMasks[0], "SCROLLSLIDERV", "BORDERSMASK"),
      DS_MASK(SliderBorderMasks[1], "SCROLLSLIDERH", "BORDERSMASK"),
      DS_MASK(SliderGlyphMasks[0], "SCROLLSLIDERV", "GLYPHMASK"),
      DS_MASK(SliderGlyphMasks[1], "SCROLLSLIDERH", "GLYPHMASK"),
      DS_MASK(SliderPatterns[0], "SCROLLSLIDERH", "PATTERN"),
      DS_MASK(SliderPatterns[1], "SCROLLSLIDERH", "HOTPATTERN"),
      DS_MASK(SliderPatterns[2], "SCROLLSLIDERV", "PATTERN"),
      DS_MASK(SliderPatterns[3], "SCROLLSLIDERV", "HOTPATTERN"),
      DS_SECTION(ScrollBarIndexes[0], "SCROLLBAR1H"),
      DS_SECTION(ScrollBarIndexes[1], "SCROLLBAR1V"),
      DS_SECTION(ScrollBarIndexes[2], "SCROLLBAR2H"),
      DS_SECTION(ScrollBarIndexes[3], "SCROLLBAR2V"),
      DS_FOUR(ScrollBarBorderMasks, "BORDERSMASK", "SCROLLBAR1H", "SCROLLBAR1V", "SCROLLBAR2H", "SCROLLBAR2V"),
      DS_FOUR(ScrollBarPatterns, "PATTERN", "SCROLLBAR1H", "SCROLLBAR1V", "SCROLLBAR2H", "SCROLLBAR2V"),
      DS_FOUR(ScrollBarHotPatterns, "HOTPATTERN", "SCROLLBAR1H", "SCROLLBAR1V", "SCROLLBAR2H", "SCROLLBAR2V"),
      DS_MASK(CheckMasks[0], "GLOBALINFO", "BOXCHECKED"),
      DS_MASK(CheckMasks[1], "GLOBALINFO", "BOXUNCHECKED"),
      DS_MASK(CheckMasks[2], "GLOBALINFO", "BOXGRAYED"),
      DS_MASK(CheckMasks[3], "GLOBALINFO", "RADIOCHECKED"),
      DS_MASK(CheckMasks[4], "GLOBALINFO", "RADIOUNCHECKED"),
      DS_MASK(CheckMasks[5], "GLOBALINFO", "RADIOGRAYED"),
      DS_MASK(CheckMasks[6], "GLOBALINFO", "SMALLCHECKED"),
      DS_MASK(CheckMasks[7], "GLOBALINFO", "SMALLUNCHECKED"),
      DS_MASK(CheckMasks[8], "GLOBALINFO", "SMALLGRAYED"),
  };
#undef DS_FOUR
#undef DS_MASK
#undef DS_SECTION
  // Every entry of the record is in the table once.
  ASSERT_EQ(std::size(rows), sizeof(TConstantSkinData) / sizeof(std::int16_t));

  const auto sectionNamed = [](const std::string& name) {
    for (std::size_t i = 0; i < gd.size(); ++i)
      if (gd[i].ClassName == name) return static_cast<int>(i);
    return -1;
  };
  const auto maskOf = [](const std::string& section, const std::string& property) {
    for (std::size_t i = 0; i < ma.size(); ++i)
      if (ma[i].ClassName == section && ma[i].PropertyName == property) return static_cast<int>(i);
    return -1;
  };
  for (int s = 0; s < skins_.Count(); ++s) {
    SCOPED_TRACE(skins_[s].Name);
    LoadInternal(skins_[s].Name);
    InitConstantIndexes();
    for (const Row& row : rows) {
      SCOPED_TRACE(row.entry);
      const int section = sectionNamed(row.section);
      const int expected = row.property == nullptr ? section : section < 0 ? -1 : maskOf(row.section, row.property);
      EXPECT_EQ(*row.value, expected);
      if (std::string_view(row.entry).starts_with("Scroll") || std::string_view(row.entry).starts_with("Slider")) {
        const bool barNeedsIt = row.property == nullptr || std::string_view(row.property) == "BORDERSMASK";
        if (barNeedsIt && std::string_view(row.section).starts_with("SCROLL")) {
          EXPECT_GE(*row.value, 0) << "the scroll bar paints from it";
        }
      }
    }
  }
}
