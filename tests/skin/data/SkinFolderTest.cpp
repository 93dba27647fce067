// Skin folders and stored skins: the loaders, inheritance, the image rules, names, extraction.
// Builds for the native target and for Windows (run under Wine).
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "framework/core/Exceptions.h"
#include "framework/core/FileSystem.h"
#include "framework/core/IniFiles.h"
#include "skin/data/sImageCodecs.h"
#include "skin/data/sSkinData.h"
#include "skin/data/sSkinFolder.h"
#include "skin/data/sSkinLoad.h"
#include "skin/data/sSkinLookup.h"
#include "skin/data/sStoredSkin.h"
#include "tests/skin/data/SkinArraysReset.h"

namespace {

TPixelImage Picture(int w, int h, std::uint8_t seed) {
  TPixelImage img(w, h);
  const TPixelView v = img.View();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      std::uint8_t* p = v.Pixel(x, y);
      p[0] = static_cast<std::uint8_t>(x * 3 + seed);
      p[1] = static_cast<std::uint8_t>(y * 5 + seed);
      p[2] = static_cast<std::uint8_t>((x ^ y) + seed);
    }
  return img;
}

// A temporary folder that holds skin folders; removed with the fixture.
class SkinFolders : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = PathToUtf8(std::filesystem::temp_directory_path()) + "\\ds-skin-" + info->name();
    std::filesystem::remove_all(PathFromUtf8(root_));
    ASSERT_TRUE(ForceDirectories(root_));
    Reset();
  }
  void TearDown() override {
    Reset();
    skintest::RemoveTestFolder(root_);
  }
  static void Reset() { skintest::ResetSkinArrays(); }
  std::string Folder(const std::string& name) {
    const std::string folder = root_ + "\\" + name + "\\";
    EXPECT_TRUE(ForceDirectories(folder));
    return folder;
  }
  static void Write(const std::string& path, const std::string& bytes) { ASSERT_TRUE(WriteFileBytes(path, bytes)); }
  // Loads `folder` with all three loaders and returns the problems they noted.
  static std::vector<std::string> Load(const std::string& folder, TsSkinSource source = {}) {
    std::vector<std::string> problems;
    source.Problems = &problems;
    SelectSkinFolder(folder);
    LoadAllMasks(source);
    LoadAllPatterns(source);
    LoadAllGeneralData(source);
    return problems;
  }
  static const TsMaskData* Mask(const char* section, const char* property) {
    for (const auto& m : ma)
      if (m.ClassName == section && m.PropertyName == property) return &m;
    return nullptr;
  }
  static const TsGeneralData& Section(const char* name) {
    const int i = GetSkinIndex(name);
    EXPECT_GE(i, 0) << name;
    return gd.at(static_cast<std::size_t>(i < 0 ? 0 : i));
  }
  std::string root_;
};

TEST_F(SkinFolders, FolderLoadsWithInheritanceImagesAndMaskRules) {
  const std::string f = Folder("Sample");
  Write(f + "MASTER.BMP", WriteBmp(Picture(64, 32, 0).View()));
  Write(f + "GLYPH.BMP", WriteBmp(Picture(51, 38, 9).View()));
  Write(f + "SMALL.JPG", WriteJpeg(Picture(299, 300, 1).View(), 90));
  Write(f + "BIG.JPG", WriteJpeg(Picture(300, 300, 2).View(), 90));
  Write(f + "BROKEN.BMP", "BM this is not a bitmap");
  Write(f + "Options.dat",
        "[GLOBALINFO]\r\nVERSION=5.2\r\nAUTHOR=\xD2\xE5\xF1\xF2\r\nMASTERBITMAP=MASTER.BMP\r\nCOLOR=$00CAAB77\r\n"
        "SELF=GlobalInfo\r\n"
        "[PANEL]\r\nCOLOR=255\r\nTRANSPARENCY=40\r\nSHOWFOCUS=true\r\nGRADIENTDATA=1;2;3;4;5\r\n"
        "SHADOWCOLOR=77\r\nBORDERSMASK=#(0,0,30,20),3,1\r\n"
        "[EDIT]\r\nPARENTCLASS=PANEL\r\nTRANSPARENCY=-1\r\nSHOWFOCUS=no\r\n"
        "[MEMO]\r\nPARENTCLASS=EDIT\r\nCOLOR=-1\r\nHOTCOLOR=0x10\r\n"
        "[LOST]\r\nPARENTCLASS=NOSUCH\r\n"
        "[LOOPA]\r\nPARENTCLASS=LOOPB\r\n"
        "[LOOPB]\r\nPARENTCLASS=loopa\r\nFONTCOLOR=5\r\n"
        "[MASKS]\r\nA=#(0,0,60,20),0,1\r\nB=#(0,0,60,20),3,-1\r\nC=#(0,0,60,20),3,1\r\nD=#(0,0,60,20),3,1,2\r\n"
        "E=#\r\nF=glyph.bmp\r\nG=missing.bmp\r\nH=broken.bmp\r\nI=small.jpg\r\nJ=big.jpg\r\nK=#(0,0,99,99),1,0\r\n");
  const auto problems = Load(f);

  EXPECT_EQ(gd.size(), 8u);
  EXPECT_DOUBLE_EQ(sSkinData->Version, 5.2);
  EXPECT_EQ(sSkinData->Author, "Тест");
  EXPECT_EQ(Section("GLOBALINFO").Color, 0xCAAB77);
  // Inheritance: missing keys and -1 come from the parent chain, then from the defaults.
  struct Inherit {
    const char* section;
    TColor color;
    int transparency;
    bool showFocus;
    std::size_t gradientSteps;
    TColor shadowColor;
    TColor hotColor;
  };
  const Inherit inherits[] = {
      {"PANEL", 255, 40, true, 1, 77, 0xFFFFFF},
      {"EDIT", 255, 40, false, 1, 0, 0xFFFFFF},  // SHADOWCOLOR never inherits
      {"MEMO", 255, 40, false, 1, 0, 0x10},
      {"LOST", 0xFFFFFF, 0, false, 0, 0, 0xFFFFFF},
  };
  for (const auto& c : inherits) {
    SCOPED_TRACE(c.section);
    const TsGeneralData& g = Section(c.section);
    EXPECT_EQ(g.Color, c.color);
    EXPECT_EQ(g.Transparency, c.transparency);
    EXPECT_EQ(g.ShowFocus, c.showFocus);
    EXPECT_EQ(g.GradientArray.size(), c.gradientSteps);
    EXPECT_EQ(g.ShadowColor, c.shadowColor);
    EXPECT_EQ(g.HotColor, c.hotColor);
    EXPECT_EQ(g.ShadowTransparency, 50);
    EXPECT_EQ(g.FadingIterations, 5);
  }
  EXPECT_EQ(Section("EDIT").ParentClass, "PANEL");
  EXPECT_EQ(Section("LOOPA").FontColor, 5);  // the loop ends, after LOOPB gave its value
  EXPECT_EQ(Section("LOOPB").Color, 0xFFFFFF);

  // Mask lines, clamped; "#" alone is no mask; files as own bitmaps; JPEGs by size.
  struct MaskCase {
    const char* property;
    int imageCount, maskType, borderWidth;
  };
  for (const auto& c : {MaskCase{"A", 1, 1, 0}, MaskCase{"B", 3, 0, 0}, MaskCase{"C", 3, 1, 0}, MaskCase{"D", 3, 1, 2}}) {
    SCOPED_TRACE(c.property);
    const TsMaskData* m = Mask("MASKS", c.property);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->R, Rect(0, 0, 60, 20));
    EXPECT_EQ(m->ImageCount, c.imageCount);
    EXPECT_EQ(m->MaskType, c.maskType);
    EXPECT_EQ(m->BorderWidth, c.borderWidth);
    EXPECT_EQ(m->Bmp, nullptr);
  }
  EXPECT_EQ(Mask("MASKS", "E"), nullptr);
  EXPECT_EQ(Mask("MASKS", "G"), nullptr);
  EXPECT_EQ(Mask("MASKS", "H"), nullptr);
  ASSERT_NE(Mask("MASKS", "F"), nullptr);
  EXPECT_EQ(MaskSize(*Mask("MASKS", "F")), (TMaskSize{17, 19}));
  ASSERT_NE(Mask("MASKS", "I"), nullptr);  // 89,700 pixels: a mask
  EXPECT_EQ(Mask("MASKS", "I")->Bmp->Width(), 299);
  EXPECT_EQ(Mask("MASKS", "J"), nullptr);  // 90,000 pixels: a pattern
  ASSERT_EQ(pa.size(), 1u);
  EXPECT_EQ(pa[0].ClassName, "MASKS");
  EXPECT_EQ(pa[0].PropertyName, "J");
  ASSERT_NE(Mask("GLOBALINFO", "MASTERBITMAP"), nullptr);  // the master's own key names a bitmap too
  EXPECT_EQ(Mask("GLOBALINFO", "SELF"), nullptr);
  ASSERT_NE(MasterBitmap, nullptr);
  EXPECT_EQ(MasterBitmap->Width(), 64);

  const auto mentions = [&](const char* text) {
    for (const auto& p : problems)
      if (p.find(text) != std::string::npos) return true;
    return false;
  };
  EXPECT_TRUE(mentions("missing.bmp is missing"));
  EXPECT_TRUE(mentions("broken.bmp is unreadable"));
  EXPECT_TRUE(mentions("[LOOPA] parent chain loops"));
  EXPECT_TRUE(mentions("#(0,0,99,99),1,0 is not inside"));
  EXPECT_FALSE(mentions("#(0,0,60,20),0,1 is not inside"));
}

TEST_F(SkinFolders, RefusalsAndConversionErrors) {
  struct Case {
    const char* name;
    const char* ini;
    bool masterFile;
    bool throws;
    std::size_t sections;
    std::size_t masks;
    const char* common = "";  // the manager's common sections
  };
  const Case cases[] = {
      {"old format", "[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\n[tsEdit]\nCOLOR=1\n[X]\nM=#(0,0,2,2),1,0\n", true, false, 0, 2},
      // A refused folder gets no common sections either: its sections stay empty.
      {"old format with common sections", "[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\n[TSEDIT]\nCOLOR=1\n", true, false, 0, 1,
       "[MYPANEL]\nCOLOR=255\n"},
      {"no master: mask lines ignored", "[X]\nM=#(0,0,2,2),1,0\n", false, false, 1, 0},
      {"blank in a rectangle", "[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\n[X]\nM=#(0, 0,2,2),1,0\n", true, true, 0, 1},
      {"letter in a count", "[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\n[X]\nM=#(0,0,2,2),x,0\n", true, true, 0, 1},
      {"missing count", "[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\n[X]\nM=#(0,0,2,2)\n", true, true, 0, 1},
      {"bad gradient", "[X]\nGRADIENTDATA=1;2;3;four;5\n", false, true, 1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    const std::string f = Folder(c.name);
    if (c.masterFile) Write(f + "MASTER.BMP", WriteBmp(Picture(4, 4, 0).View()));
    Write(f + "Options.dat", c.ini);
    std::vector<std::string> shown;
    TsSkinSource source;
    source.ShowError = [&](const std::string& text) { shown.push_back(text); };
    bool refused = false;
    source.Refused = &refused;
    TStringList common;
    common.SetText(c.common);
    source.CommonSections = PrepareCommonSections(common);
    SelectSkinFolder(f);
    bool threw = false;
    try {
      LoadAllMasks(source);
      LoadAllPatterns(source);
      LoadAllGeneralData(source);
    } catch (const EConvertError&) {
      threw = true;
    }
    EXPECT_EQ(threw, c.throws);
    EXPECT_EQ(gd.size(), c.sections);
    EXPECT_EQ(ma.size(), c.masks);
    const bool oldFormat = std::string(c.name).starts_with("old format");
    EXPECT_EQ(shown.size(), oldFormat ? 1u : 0u);
    EXPECT_EQ(refused, oldFormat);
  }
}

TEST_F(SkinFolders, CommonSectionsBringMasksAndPatternsButNoGlobalInfoMasks) {
  const std::string f = Folder("Common pictures");
  Write(f + "MASTER.BMP", WriteBmp(Picture(40, 30, 0).View()));
  Write(f + "GLYPH.BMP", WriteBmp(Picture(12, 6, 3).View()));
  Write(f + "SMALL.JPG", WriteJpeg(Picture(40, 30, 1).View(), 90));  // 1,200 pixels
  Write(f + "Options.dat", "[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\n[FORM]\nPATTERN=small.jpg\n");
  TStringList lines;
  lines.SetText(
      "[GLOBALINFO]\nBOXCHECKED=#(0,0,2,2),1,0\nRADIOCHECKED=glyph.bmp\n"
      "[MYBUTTON]\nBORDERSMASK = #(1,2,31,24),2,1,5\nGLYPHMASK=glyph.bmp\nPATTERN=small.jpg\n");
  TsSkinSource source;
  source.CommonSections = PrepareCommonSections(lines);
  Load(f, source);

  // The folder's own: the master bitmap named in GLOBALINFO as a mask of its own, and the small
  // JPEG of FORM as a mask, being below the pattern size.
  ASSERT_NE(Mask("GLOBALINFO", "MASTERBITMAP"), nullptr);
  ASSERT_NE(Mask("FORM", "PATTERN"), nullptr);
  EXPECT_EQ(Mask("FORM", "PATTERN")->Bmp->Width(), 40);
  // The common sections': a mask line (blanks removed) and a bitmap file; GLOBALINFO's are left
  // to the skin.
  const TsMaskData* border = Mask("MYBUTTON", "BORDERSMASK");
  ASSERT_NE(border, nullptr);
  EXPECT_EQ(border->R, Rect(1, 2, 31, 24));
  EXPECT_EQ(border->ImageCount, 2);
  EXPECT_EQ(border->MaskType, 1);
  EXPECT_EQ(border->BorderWidth, 5);
  EXPECT_EQ(border->Bmp, nullptr);
  const TsMaskData* glyph = Mask("MYBUTTON", "GLYPHMASK");
  ASSERT_NE(glyph, nullptr);
  ASSERT_NE(glyph->Bmp, nullptr);
  EXPECT_EQ(glyph->Bmp->Width(), 12);
  EXPECT_EQ(Mask("GLOBALINFO", "BOXCHECKED"), nullptr);
  EXPECT_EQ(Mask("GLOBALINFO", "RADIOCHECKED"), nullptr);
  EXPECT_EQ(ma.size(), 4u);
  // In a common section every JPEG is a pattern, the small one too.
  ASSERT_EQ(pa.size(), 1u);
  EXPECT_EQ(pa[0].ClassName, "MYBUTTON");
  EXPECT_EQ(pa[0].PropertyName, "PATTERN");
  EXPECT_EQ(pa[0].Img->Width(), 40);
  EXPECT_EQ(Mask("MYBUTTON", "PATTERN"), nullptr);
  // Their sections: the skin's two, then both common ones, GLOBALINFO among them; lookup finds
  // the skin's own GLOBALINFO first.
  ASSERT_EQ(gd.size(), 4u);
  EXPECT_EQ(gd[2].ClassName, "GLOBALINFO");
  EXPECT_EQ(GetSkinIndex("GLOBALINFO"), 0);
  sSkinData->Active = true;
  const std::int32_t button = GetSkinIndex("MYBUTTON");
  EXPECT_EQ(GetMaskIndex(button, "MYBUTTON", "BORDERSMASK"), static_cast<std::int32_t>(border - ma.data()));
  EXPECT_EQ(GetPatternIndex(button, "MYBUTTON", "PATTERN"), 0);
}

TEST_F(SkinFolders, CommonSectionsInheritFromLoadedSections) {
  const std::string f = Folder("Common");
  Write(f + "Options.dat", "[PANEL]\nCOLOR=100\nBORDERCOLOR1=7\nTRANSPARENCY=30\n[EDIT]\nCOLOR=5\n");
  TStringList lines;
  lines.SetText("before=ignored\n[ MYPANEL ]\nPARENT CLASS = panel\nCOLOR = 255\n; a comment = 1\n\n[BARE]\nCOLOR=1\n");
  TsSkinSource source;
  source.CommonSections = PrepareCommonSections(lines);
  Load(f, source);
  ASSERT_EQ(gd.size(), 4u);
  const TsGeneralData& mine = Section("MYPANEL");
  EXPECT_EQ(mine.ParentClass, "PANEL");
  EXPECT_EQ(mine.Color, 255);
  EXPECT_EQ(mine.BorderColor1, 7);
  EXPECT_EQ(mine.Transparency, 30);
  const TsGeneralData& bare = Section("BARE");
  EXPECT_EQ(bare.ParentClass, "-1");
  EXPECT_EQ(bare.BorderColor1, 0);
  EXPECT_EQ(bare.BorderColor2, 0);
  EXPECT_EQ(bare.ShadowTransparency, 50);
  EXPECT_EQ(Section("PANEL").Color, 100);
  EXPECT_EQ(Section("EDIT").Color, 5);
}

TEST(SkinDirectory, ResolvesAgainstTheProgramFolder) {
  const std::string program = "C:\\Prog\\";
  struct Case {
    const char* dir;
    const char* full;
  };
  for (const auto& c : {Case{".\\Skins", "C:\\Prog\\Skins"}, Case{"./Skins", "C:\\Prog\\Skins"},
                        Case{"Skins", "C:\\Prog\\Skins"}, Case{"d:\\Skins", "d:\\Skins"}, Case{"", "C:\\Prog\\"},
                        Case{"c:\\Skins", "c:\\Skins"}}) {
    EXPECT_EQ(ResolveSkinDirectory(c.dir, program), c.full) << c.dir;
  }
}

TsStoredSkins TwoStoredSkins() {
  TsStoredSkins skins;
  for (const char* name : {"One (internal)", "Two (internal)"}) {
    TsStoredSkin& s = skins.Add();
    s.Name = name;
    s.MasterBitmap = Picture(40, 30, 3);
    TsSkinGeneral& edit = s.GeneralData.Add();
    edit.SectionName = "EDIT";
    edit.Color = 0x123456;
    edit.ShadowTransparency = 60;
    edit.FontColor = "0 -1 -1 -1 -1";
    edit.HotFontColor = "16774621 7954485 7954485 -1 -1";
    edit.GradientData = "10383683;9330438;110;0;0;9330438;9330438;0;0;0";
    edit.HotGradientData = " ";
    edit.FadingIterations = 10;
    edit.ShowFocus = true;
    if (skins.Count() == 1) {  // only the first skin has a section with a bad number
      TsSkinGeneral& bad = s.GeneralData.Add();
      bad.SectionName = "BAD";
      bad.Color = 9;
      bad.GradientData = "1;2;x;4;5";
      bad.FontColor = "1 2 3 4 5";
    }
    s.GeneralData.Add();  // the trailing unnamed item
    TsSkinImage& border = s.Images.Add();
    border.SectionName = "Edit";
    border.PropertyName = "BordersMask";
    border.Left = 0;
    border.Top = 0;
    border.Right = 30;
    border.Bottom = 20;
    border.ImageCount = 3;
    border.MaskType = 1;
    TsSkinImage& own = s.Images.Add();
    own.SectionName = "GLOBALINFO";
    own.PropertyName = "MASTERBITMAP";
    own.Name = "MASTER.BMP";
    own.Image = s.MasterBitmap;
    TsSkinPattern& pattern = s.Patterns.Add();
    pattern.SectionName = "FORM";
    pattern.PropertyName = "PATTERN";
    pattern.Name = "BG.JPG";
    pattern.Image.Data = WriteJpeg(Picture(300, 300, 4).View(), 90);
    TsSkinPattern& small = s.Patterns.Add();
    small.SectionName = "FORM";
    small.PropertyName = "SMALLPATTERN";
    small.Name = "SMALL.JPG";
    small.Image.Data = WriteJpeg(Picture(20, 20, 5).View(), 90);
  }
  return skins;
}

TEST_F(SkinFolders, StoredSkinsLoadStreamAndRoundTripThroughAFolder) {
  TsStoredSkins skins = TwoStoredSkins();
  TsStoredSkins back;
  std::string reason;
  ASSERT_TRUE(ReadStoredSkins(WriteStoredSkins(skins), back, &reason)) << reason;
  EXPECT_EQ(WriteStoredSkins(back), WriteStoredSkins(skins));
  EXPECT_EQ(back.IndexOf("Two (internal)"), 1);
  EXPECT_EQ(back.IndexOf("two (internal)"), -1);
  const std::string stream = WriteStoredSkins(skins);
  for (std::size_t cut = 0; cut < stream.size(); cut += 97) EXPECT_FALSE(ReadStoredSkins(stream.substr(0, cut), back));

  TsSkinSource source;
  source.SkinName = "One (internal)";
  source.InternalSkins = &skins;
  LoadAllMasks(source);
  LoadAllPatterns(source);
  LoadAllGeneralData(source);
  ASSERT_EQ(gd.size(), 3u);
  EXPECT_EQ(gd[0].HotTCLeft, 7954485);
  EXPECT_EQ(gd[0].GradientArray.size(), 2u);
  EXPECT_EQ(gd[1].Color, 9);          // a bad number abandons the rest of its section only
  EXPECT_EQ(gd[1].FontColor, 0);      // never reached
  EXPECT_EQ(gd[2].ClassName, "");
  EXPECT_EQ(GetSkinIndex(""), 2);
  EXPECT_EQ(ma.size(), 3u);           // two images and the small JPEG
  EXPECT_EQ(pa.size(), 1u);
  ASSERT_NE(Mask("EDIT", "BORDERSMASK"), nullptr);
  ASSERT_NE(Mask("FORM", "SMALLPATTERN"), nullptr);

  // Extract, then load the folder: same named sections, same mask pixels.
  source.SkinName = "Two (internal)";
  LoadAllMasks(source);
  LoadAllPatterns(source);
  LoadAllGeneralData(source);
  ASSERT_EQ(gd.size(), 2u);
  std::map<std::string, std::string> internalMasks;
  const auto maskPixels = [](const TsMaskData& m) {
    std::string out;
    if (m.Bmp) return WriteBmp(m.Bmp->View(), false);
    const TPixelView v = MasterBitmap->View();
    for (int y = m.R.Top; y < m.R.Bottom; ++y) out.append(reinterpret_cast<const char*>(v.Pixel(m.R.Left, y)), 3 * static_cast<std::size_t>(WidthOf(m.R)));
    return out;
  };
  for (const auto& m : ma) internalMasks[m.ClassName + "/" + m.PropertyName] = maskPixels(m);
  const TsGeneralData internalEdit = gd[0];

  EXPECT_EQ(ExtractInternalSkin(skins, "Two (internal)", root_), "");
  const std::string folder = root_ + "\\Two (internal) extracted\\";
  EXPECT_TRUE(FileExists(folder + "Options.dat"));
  EXPECT_TRUE(FileExists(folder + "Master.bmp"));
  Load(folder);
  std::map<std::string, std::string> folderMasks;
  for (const auto& m : ma) folderMasks[m.ClassName + "/" + m.PropertyName] = maskPixels(m);
  EXPECT_EQ(folderMasks, internalMasks);
  const TsGeneralData& edit = Section("EDIT");
  EXPECT_EQ(edit.Color, internalEdit.Color);
  EXPECT_EQ(edit.HotTCTop, internalEdit.HotTCTop);
  EXPECT_EQ(edit.ShowFocus, internalEdit.ShowFocus);
  EXPECT_EQ(edit.FadingIterations, internalEdit.FadingIterations);
  EXPECT_EQ(edit.GradientArray.size(), internalEdit.GradientArray.size());
  EXPECT_EQ(edit.ShadowTransparency, 60);

  // The import tool reads the folder back into a stored skin.
  TsStoredSkin imported;
  TMemIniFile ini(folder + "Options.dat");
  EXPECT_EQ(imported.LoadSkin(ini), "");
  EXPECT_EQ(imported.MasterBitmap.Width(), 40);
  ASSERT_GE(imported.GeneralData.Count(), 1);
  EXPECT_EQ(imported.GeneralData[1].FontColor, "0 -1 -1 -1 -1");
  EXPECT_EQ(imported.Patterns.Count(), 2);

  struct Failure {
    const char* name;
    std::string destination;
    std::string message;
  };
  const Failure failures[] = {
      {"Nobody (internal)", root_, kNoSuchSkinMessage},
      {"One (internal)", root_ + "\\no such folder", kNoSuchDirectoryMessage},
  };
  for (const auto& c : failures) EXPECT_EQ(ExtractInternalSkin(skins, c.name, c.destination), c.message) << c.name;
  Write(root_ + "\\plain file", "x");
  EXPECT_EQ(ExtractByIndex(skins, 0, root_ + "\\plain file"),
            DirectoryCreationErrorMessage(root_ + "\\plain file\\One (internal) extracted\\"));
}

TEST_F(SkinFolders, SkinNamesListStoredSkinsAndFoldersCaseInsensitively) {
  TsStoredSkins skins;
  for (const char* name : {"BlueGlass (internal)", "MacOS (internal)", "LongHorn (internal)", "MacMetal (internal)",
                           "Winter2003 (internal)"})
    skins.Add().Name = name;
  Folder("Zeta");
  Folder("beta");
  Folder(".hidden");
  Write(root_ + "\\file.txt", "x");
  TStringList list;
  EXPECT_EQ(GetSkinNames(skins, root_, list), "BlueGlass (internal)");
  EXPECT_EQ(list.Items(), (std::vector<std::string>{"beta", "BlueGlass (internal)", "LongHorn (internal)",
                                                    "MacMetal (internal)", "MacOS (internal)", "Winter2003 (internal)",
                                                    "Zeta"}));
  const std::string first = GetExternalSkinNames(root_, list);
  EXPECT_TRUE(first == "Zeta" || first == "beta");
  EXPECT_EQ(list.Items(), (std::vector<std::string>{"beta", "Zeta"}));
  // The order of the portable core (the skin manager on Windows sorts as the system does):
  // case folded, then code points, so that "_" follows "Z" and "Ё" comes before "А".
  for (const char* name : {"_Underscore", "(Brackets)", "co-op", "яблоко", "Ёлка", "ель", "Арбуз"}) Folder(name);
  GetExternalSkinNames(root_, list);
  EXPECT_EQ(list.Items(), (std::vector<std::string>{"(Brackets)", "beta", "co-op", "Zeta", "_Underscore", "Ёлка",
                                                    "Арбуз", "ель", "яблоко"}));
  EXPECT_EQ(GetSkinNames(TsStoredSkins(), root_ + "\\none", list), "");
  EXPECT_EQ(list.Count(), 0);
}

}  // namespace

namespace {

TEST_F(SkinFolders, SelectingASkinPrefersFoldersThenFallsBackToTheFirstStoredSkin) {
  TsStoredSkins skins;
  for (const char* name : {"BlueGlass (internal)", "MacOS (internal)"}) skins.Add().Name = name;
  Folder("NoIni");
  const std::string f = Folder("MacOS (internal)");
  Write(f + "Options.dat", "[EDIT]\nCOLOR=1\n");
  struct Case {
    const char* asked;
    const char* chosen;
    bool folder;
  };
  for (const auto& c : {Case{"MacOS (internal)", "MacOS (internal)", true},
                        Case{"BlueGlass (internal)", "BlueGlass (internal)", false},
                        Case{"NoIni", "BlueGlass (internal)", false}, Case{"Nowhere", "BlueGlass (internal)", false},
                        Case{"", "BlueGlass (internal)", false}}) {
    SCOPED_TRACE(c.asked);
    sSkinData->Active = true;
    EXPECT_EQ(SelectSkinSource(c.asked, root_, skins), c.chosen);
    EXPECT_FALSE(sSkinData->Active);
    EXPECT_EQ(sSkinData->SkinFile != nullptr, c.folder);
    EXPECT_EQ(sSkinData->SkinPath.empty(), !c.folder);
  }
  EXPECT_EQ(SelectSkinSource("Nowhere", root_, TsStoredSkins()), "Nowhere");
}

}  // namespace

namespace {

// Every field of a section record, named, so that two records compare field by field.
std::vector<std::string> Fields(const TsGeneralData& g) {
  auto steps = [](const TsGradArray& a) {
    std::string out;
    for (const TsGradPie& p : a)
      out += std::to_string(p.Color1) + "," + std::to_string(p.Color2) + "," + std::to_string(p.Percent) + "," +
             std::to_string(p.Mode) + ";";
    return out;
  };
  auto n = [](std::int64_t v) { return std::to_string(v); };
  return {"ClassName=" + g.ClassName, "ParentClass=" + g.ParentClass, "Color=" + n(g.Color), "Bevel=" + n(g.Bevel),
          "FontColor=" + n(g.FontColor), "TCLeft=" + n(g.TCLeft), "TCTop=" + n(g.TCTop), "TCRight=" + n(g.TCRight),
          "TCBottom=" + n(g.TCBottom), "HotFontColor=" + n(g.HotFontColor), "HotTCLeft=" + n(g.HotTCLeft),
          "HotTCTop=" + n(g.HotTCTop), "HotTCRight=" + n(g.HotTCRight), "HotTCBottom=" + n(g.HotTCBottom),
          "ReservedBoolean=" + n(g.ReservedBoolean), "ShadowBlur=" + n(g.ShadowBlur), "ShadowColor=" + n(g.ShadowColor),
          "ShadowEnabled=" + n(g.ShadowEnabled), "ShadowOffset=" + n(g.ShadowOffset),
          "ShadowTransparency=" + n(g.ShadowTransparency), "Transparency=" + n(g.Transparency),
          "GradientPercent=" + n(g.GradientPercent), "GradientData=" + g.GradientData,
          "GradientArray=" + steps(g.GradientArray), "ImagePercent=" + n(g.ImagePercent), "ShowFocus=" + n(g.ShowFocus),
          "FadingEnabled=" + n(g.FadingEnabled), "FadingIntervalIn=" + n(g.FadingIntervalIn),
          "FadingIntervalOut=" + n(g.FadingIntervalOut), "FadingIterations=" + n(g.FadingIterations),
          "HotColor=" + n(g.HotColor), "HotTransparency=" + n(g.HotTransparency), "HotBevel=" + n(g.HotBevel),
          "HotGradientPercent=" + n(g.HotGradientPercent), "HotGradientData=" + g.HotGradientData,
          "HotGradientArray=" + steps(g.HotGradientArray), "HotImagePercent=" + n(g.HotImagePercent),
          "BorderColor1=" + n(g.BorderColor1), "BorderColor2=" + n(g.BorderColor2)};
}

std::vector<std::string> Fields(const TsSkinGeneral& g) {
  auto n = [](std::int64_t v) { return std::to_string(v); };
  return {"SectionName=" + g.SectionName, "ParentClass=" + g.ParentClass, "Color=" + n(g.Color), "Bevel=" + n(g.Bevel),
          "ShadowBlur=" + n(g.ShadowBlur), "ShadowColor=" + n(g.ShadowColor), "ShadowEnabled=" + n(g.ShadowEnabled),
          "ReservedBoolean=" + n(g.ReservedBoolean), "ShadowOffset=" + n(g.ShadowOffset),
          "ShadowTransparency=" + n(g.ShadowTransparency), "FontColor=" + g.FontColor, "HotFontColor=" + g.HotFontColor,
          "Transparency=" + n(g.Transparency), "GradientPercent=" + n(g.GradientPercent), "GradientData=" + g.GradientData,
          "ImagePercent=" + n(g.ImagePercent), "ShowFocus=" + n(g.ShowFocus), "FadingEnabled=" + n(g.FadingEnabled),
          "FadingIntervalIn=" + n(g.FadingIntervalIn), "FadingIntervalOut=" + n(g.FadingIntervalOut),
          "FadingIterations=" + n(g.FadingIterations), "HotColor=" + n(g.HotColor), "HotTransparency=" + n(g.HotTransparency),
          "HotBevel=" + n(g.HotBevel), "HotGradientPercent=" + n(g.HotGradientPercent),
          "HotGradientData=" + g.HotGradientData, "HotImagePercent=" + n(g.HotImagePercent),
          "BorderColor1=" + n(g.BorderColor1), "BorderColor2=" + n(g.BorderColor2)};
}

// A stored section whose every field differs from its default and from every other field, so
// that a value written under another key, or one lost, shows.
TsSkinGeneral EveryFieldDistinct() {
  TsSkinGeneral g;
  g.SectionName = "DISTINCT";
  g.ParentClass = "NOSUCHPARENT";
  g.Color = 0x010203;
  g.Bevel = cbRaisedHard;
  g.ShadowBlur = 11;
  g.ShadowColor = 0x0A0B0C;
  g.ShadowEnabled = true;
  g.ReservedBoolean = true;
  g.ShadowOffset = 13;
  g.ShadowTransparency = 14;
  g.FontColor = "21 22 23 24 25";
  g.HotFontColor = "31 32 33 34 35";
  g.Transparency = 15;
  g.GradientPercent = 16;
  g.GradientData = "41;42;43;1;0";
  g.ImagePercent = 17;
  g.ShowFocus = true;
  g.FadingEnabled = true;
  g.FadingIntervalIn = 18;
  g.FadingIntervalOut = 19;
  g.FadingIterations = 20;
  g.HotColor = 0x040506;
  g.HotTransparency = 26;
  g.HotBevel = cbLoweredSoft;
  g.HotGradientPercent = 27;
  g.HotGradientData = "51;52;53;0;0;54;55;56;0;0";
  g.HotImagePercent = 28;
  g.BorderColor1 = 29;
  g.BorderColor2 = 30;
  return g;
}

TEST_F(SkinFolders, EveryFieldSurvivesSaveToIniExtractionAndImport) {
  TsStoredSkins skins;
  TsStoredSkin& skin = skins.Add();
  skin.Name = "Distinct (internal)";
  skin.MasterBitmap = Picture(60, 40, 7);
  skin.GeneralData.Add() = EveryFieldDistinct();
  TsSkinImage& border = skin.Images.Add();
  border.SectionName = "DISTINCT";
  border.PropertyName = "BORDERSMASK";
  border.Left = 1;
  border.Top = 2;
  border.Right = 31;
  border.Bottom = 22;
  border.ImageCount = 3;
  border.MaskType = 1;
  border.BorderWidth = 4;

  // The keys SaveToIni writes, each with its own value.
  TMemIniFile ini;
  SaveToIni(skins, 0, ini);
  const std::vector<std::pair<const char*, const char*>> keys = {
      {"PARENTCLASS", "NOSUCHPARENT"}, {"COLOR", "66051"}, {"BEVEL", "3"}, {"SHADOWBLUR", "11"}, {"SHADOWOFFSET", "13"},
      {"SHADOWCOLOR", "658188"}, {"SHADOWTRANSPARENCY", "14"}, {"SHADOWENABLED", "TRUE"}, {"RESERVEDBOOLEAN", "TRUE"},
      {"FONTCOLOR", "21"}, {"TCLEFT", "22"}, {"TCTOP", "23"}, {"TCRIGHT", "24"}, {"TCBOTTOM", "25"},
      {"HOTFONTCOLOR", "31"}, {"HOTTCLEFT", "32"}, {"HOTTCTOP", "33"}, {"HOTTCRIGHT", "34"}, {"HOTTCBOTTOM", "35"},
      {"TRANSPARENCY", "15"}, {"GRADIENTPERCENT", "16"}, {"IMAGEPERCENT", "17"}, {"GRADIENTDATA", "41;42;43;1;0"},
      {"SHOWFOCUS", "TRUE"}, {"FADINGENABLED", "TRUE"}, {"FADINGINTERVALIN", "18"}, {"FADINGINTERVALOUT", "19"},
      {"FADINGITERATIONS", "20"}, {"HOTCOLOR", "263430"}, {"HOTTRANSPARENCY", "26"}, {"HOTBEVEL", "2"},
      {"HOTGRADIENTPERCENT", "27"}, {"HOTGRADIENTDATA", "51;52;53;0;0;54;55;56;0;0"}, {"HOTIMAGEPERCENT", "28"},
      {"BORDERCOLOR1", "29"}, {"BORDERCOLOR2", "30"}};
  TStringList written;
  ini.ReadSection("DISTINCT", written);
  ASSERT_EQ(written.Count(), static_cast<int>(keys.size()));
  for (std::size_t i = 0; i < keys.size(); ++i) {
    EXPECT_EQ(written[static_cast<int>(i)], keys[i].first) << "keys in their order";
    EXPECT_EQ(ini.ReadString("DISTINCT", keys[i].first, "?"), keys[i].second) << keys[i].first;
  }

  // The stored skin loaded, and the folder it is extracted to loaded: the same record.
  TsSkinSource source;
  source.SkinName = skin.Name;
  source.InternalSkins = &skins;
  LoadSkinArrays(source);
  ASSERT_EQ(gd.size(), 1u);
  const std::vector<std::string> stored = Fields(gd[0]);
  ASSERT_EQ(ExtractInternalSkin(skins, skin.Name, root_), "");
  const std::string folder = root_ + "\\Distinct (internal) extracted\\";
  Load(folder);
  ASSERT_EQ(gd.size(), 2u);  // GLOBALINFO, written for the master bitmap, and the section
  EXPECT_EQ(Fields(Section("DISTINCT")), stored);
  const TsMaskData* mask = Mask("DISTINCT", "BORDERSMASK");
  ASSERT_NE(mask, nullptr);
  EXPECT_EQ(mask->R, Rect(1, 2, 31, 22));
  EXPECT_EQ(mask->ImageCount, 3);
  EXPECT_EQ(mask->MaskType, 1);
  EXPECT_EQ(mask->BorderWidth, 4);

  // The import tool reads the folder back into the stored section it came from.
  TsStoredSkin imported;
  EXPECT_EQ(imported.LoadSkin(TMemIniFile(folder + "Options.dat")), "");
  ASSERT_EQ(imported.GeneralData.Count(), 2);
  EXPECT_EQ(Fields(imported.GeneralData[1]), Fields(EveryFieldDistinct()));
  ASSERT_EQ(imported.Images.Count(), 2);
  EXPECT_EQ(imported.Images[1].BorderWidth, 4);
}

}  // namespace
