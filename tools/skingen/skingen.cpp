// skingen: draws the five stored skins (master bitmaps, own images, the JPEG ground of the winter
// skin), writes their section values, and emits them as the program's stored-skin data.
//
//   skingen --blob FILE      the stored form (see skin/data/sStoredSkin.h)
//           --source FILE    the same as a C++ source defining StoredSkinsData()
//           --sheet FILE     a BMP contact sheet of the five master bitmaps, for looking at
//
// [SECTION] Themes
// [SECTION] Sections
// [SECTION] Mask lists and layout
// [SECTION] Mask artwork
// [SECTION] Assembly and output
#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/core/FileSystem.h"
#include "skin/data/sImageCodecs.h"
#include "skin/data/sStoredSkin.h"
#include "tools/skingen/SkinArt.h"

using namespace art;

namespace {

// [SECTION] Themes ----------------------------------------------------------------------------

enum class Ground { Waves, Pinstripe, Brushed, Frost, Smoke };

struct Theme {
  std::string Name;
  int MasterWidth, MasterHeight;
  Rgb Form;         // window ground
  Rgb Outline;      // dark edges
  Rgb Highlight;    // light inner edges
  Rgb Face;         // buttons at rest
  Rgb Hot;          // under the mouse
  Rgb Pressed;      // held down
  Rgb Glyph;        // arrows and icons
  Rgb Close;        // the close button when hot
  Rgb TitleTop, TitleBottom;
  Rgb Text, HotText, TitleText;
  Ground Texture;
  double Radius;    // corner radius of buttons
};

const Theme kBlueGlass = {"BlueGlass (internal)", 304, 250,
                          FromHex(0x99BCD0), FromHex(0x2F4F77), FromHex(0xFFFFFF), FromHex(0xDDE9F5),
                          FromHex(0x8CC4F2), FromHex(0x3D78B8), FromHex(0x1E3A5F), FromHex(0xD9453A),
                          FromHex(0xE6F0FA), FromHex(0x7A9CC4), FromHex(0x000000), FromHex(0xDDF5FF),
                          FromHex(0x304060), Ground::Waves, 4};
const Theme kMacOS = {"MacOS (internal)", 200, 345,
                      FromHex(0xECECEC), FromHex(0x8A8A8A), FromHex(0xFFFFFF), FromHex(0xF7F7F7),
                      FromHex(0x9FD0FF), FromHex(0x3A8EE6), FromHex(0x4A4A4A), FromHex(0xFF5F57),
                      FromHex(0xF4F4F4), FromHex(0xD6D6D6), FromHex(0x1A1A1A), FromHex(0x0B3D91),
                      FromHex(0x333333), Ground::Pinstripe, 5};
const Theme kLongHorn = {"LongHorn (internal)", 249, 120,
                         FromHex(0x2B3036), FromHex(0x0C0F12), FromHex(0x8FA7BF), FromHex(0x46505C),
                         FromHex(0x3FA9D9), FromHex(0x1C5F86), FromHex(0xE8F2FA), FromHex(0xE0443C),
                         FromHex(0x56626F), FromHex(0x1A1E23), FromHex(0xF0F0F0), FromHex(0xFFFFFF),
                         FromHex(0xF2F6FA), Ground::Smoke, 3};
const Theme kMacMetal = {"MacMetal (internal)", 198, 331,
                         FromHex(0xB9BBBE), FromHex(0x4E5156), FromHex(0xF4F5F6), FromHex(0xD5D7DA),
                         FromHex(0xE9EBEE), FromHex(0x8D9096), FromHex(0x2E3035), FromHex(0xC8473D),
                         FromHex(0xD8DADD), FromHex(0x9A9DA2), FromHex(0x111111), FromHex(0x000000),
                         FromHex(0x1E1E1E), Ground::Brushed, 5};
const Theme kWinter = {"Winter2003 (internal)", 304, 250,
                       FromHex(0xCFE3F2), FromHex(0x3B6A91), FromHex(0xFFFFFF), FromHex(0xEAF4FC),
                       FromHex(0xBFE6FF), FromHex(0x6FA8D6), FromHex(0x234E73), FromHex(0xD65A5A),
                       FromHex(0xF5FBFF), FromHex(0x8DB8DC), FromHex(0x0E2A45), FromHex(0x0E2A45),
                       FromHex(0x123456), Ground::Frost, 5};

// A seamless texture value around 0 (roughly -1..1) at (x, y) for a tile of w x h.
double GroundNoise(Ground g, double x, double y, double w, double h) {
  const double pi2 = 6.283185307179586;
  auto hash = [](int xi, int yi) {
    std::uint32_t v = static_cast<std::uint32_t>(xi) * 374761393u + static_cast<std::uint32_t>(yi) * 668265263u;
    v = (v ^ (v >> 13)) * 1274126177u;
    return ((v ^ (v >> 16)) & 0xFFFF) / 32767.5 - 1.0;
  };
  switch (g) {
    case Ground::Waves:
      return 0.55 * std::sin(pi2 * (x / w + 2 * y / h)) + 0.25 * std::sin(pi2 * (3 * x / w - y / h));
    case Ground::Pinstripe:
      return std::fmod(y, 4.0) < 2 ? 0.6 : -0.4;
    case Ground::Brushed: {
      const int row = static_cast<int>(y);
      return 0.45 * hash(row, 7) + 0.35 * hash(static_cast<int>(x) / 3 + row * 131, row) * 0.6 +
             0.2 * std::sin(pi2 * 2 * x / w);
    }
    case Ground::Frost:
      return 0.5 * hash(static_cast<int>(x), static_cast<int>(y)) + 0.3 * std::sin(pi2 * (x + y) / w);
    case Ground::Smoke:
      return 0.5 * std::sin(pi2 * (x / w)) * std::sin(pi2 * (y / h)) + 0.2 * hash(static_cast<int>(x), static_cast<int>(y));
  }
  return 0;
}

// [SECTION] Sections --------------------------------------------------------------------------

std::string Dec(TColor c) { return std::to_string(c); }
std::string Grad(std::initializer_list<std::pair<Rgb, int>> stops, int mode) {
  // One step per pair of neighbouring stops, the last stop repeated as a closing step.
  std::string out;
  const std::vector<std::pair<Rgb, int>> s(stops);
  for (std::size_t i = 0; i < s.size(); ++i) {
    const Rgb next = i + 1 < s.size() ? s[i + 1].first : s[i].first;
    if (!out.empty()) out += ";";
    out += Dec(ToColor(s[i].first)) + ";" + Dec(ToColor(next)) + ";" + std::to_string(i + 1 < s.size() ? s[i].second : 0) +
           ";" + std::to_string(mode) + ";0";
  }
  return out;
}
std::string FontColors(Rgb text, TColor left = -1, TColor top = -1, TColor right = -1, TColor bottom = -1) {
  return Dec(ToColor(text)) + " " + Dec(left) + " " + Dec(top) + " " + Dec(right) + " " + Dec(bottom);
}

TsSkinGeneral BaseSection(const std::string& name) {
  TsSkinGeneral g;
  g.SectionName = name;
  g.Color = 0xFFFFFF;
  g.ShadowBlur = 6;
  g.ShadowOffset = 3;
  g.ShadowTransparency = 60;
  g.FontColor = "0 -1 -1 -1 -1";
  g.HotFontColor = "0 -1 -1 -1 -1";
  g.GradientData = " ";
  g.HotColor = 0xFFFFFF;
  g.HotGradientData = " ";
  g.FadingIntervalIn = 5;
  g.FadingIntervalOut = 5;
  g.FadingIterations = 5;
  return g;
}

const std::vector<std::string> kSectionNames = {
    "DRAGBAR", "TABSHEET", "PAGECONTROLBOTTOM", "PAGECONTROLLEFT", "PAGECONTROLRIGHT", "TABSHEETBOTTOM",
    "TABSHEETLEFT", "TABSHEETRIGHT", "SPLITTER", "TABCONTROLLEFT", "TABCONTROLRIGHT", "TABCONTROLBOTTOM",
    "TOOLBAR", "GROUPBOX", "PANEL", "PAGECONTROL", "PROGRESSH", "GAUGE", "PANEL_LOW", "MENULINE", "COMBOBOX",
    "LISTBOX", "UPDOWN", "SCROLLBAR1H", "SCROLLBAR2H", "SCROLLBAR1V", "SCROLLBAR2V", "SPEEDBUTTON_SMALL",
    "STATUSBAR", "SCROLLBTNRIGHT", "SCROLLBTNTOP", "SCROLLBTNLEFT", "SCROLLBTNBOTTOM", "TRACKBAR",
    "SCROLLSLIDERH", "SCROLLSLIDERV", "BUTTON_BIG", "TABCONTROL", "MAINMENU", "MENUITEM", "DIVIDER", "TABTOP",
    "TABRIGHT", "TABLEFT", "TABBOTTOM", "DIALOG", "BUTTON", "SPEEDBUTTON", "TOOLBUTTON", "FORMTITLE", "CHECKBOX",
    "RADIOBUTTON", "PROGRESSV", "FORM", "GLOBALINFO", "EDIT"};

bool IsButtonLike(const std::string& n) {
  return n == "BUTTON" || n == "BUTTON_BIG" || n == "SPEEDBUTTON" || n == "SPEEDBUTTON_SMALL" || n == "TOOLBUTTON" ||
         n == "UPDOWN";
}
bool IsScrollPart(const std::string& n) { return n.rfind("SCROLL", 0) == 0; }
// The bars on either side of a scroll bar's slider.
bool IsScrollBarTrack(const std::string& n) { return n.rfind("SCROLLBAR", 0) == 0; }
// The bars are hot while the scroll bar has the focus (or the mouse enters it): their plain hot
// colour then shows through the parent by this share, so that a bar reached with Tab stands out.
constexpr int kBarHotTransparency = 55;

// The exact values of the sections the calculator paints, for "BlueGlass (internal)".
void ApplyBlueGlassValues(TsSkinGeneral& g) {
  const std::string& n = g.SectionName;
  if (n == "FORM") {
    g.Color = g.HotColor = 0xD0BC99;
    g.ImagePercent = g.HotImagePercent = 100;
    g.ReservedBoolean = true;
  } else if (n == "FORMTITLE") {
    g.Transparency = 50;
    g.GradientPercent = 100;
    g.GradientData = "7754286;16777215;9;0;0;16777215;9661497;17;0;0;9661497;14661514;73;0;0;14661514;14661514;0;0;0";
    g.HotTransparency = 0;
    g.HotGradientPercent = 100;
    g.HotGradientData =
        "16777215;10916465;45;0;0;10916465;9860436;7;0;0;9860436;13667872;47;0;0;13667872;13667872;0;0;0";
    g.FontColor = "6636336 -1 -1 16043927 16043927";
    g.HotFontColor = "16380390 4072704 4072704 -1 -1";
  } else if (n == "DIALOG") {
    g.GradientPercent = g.HotGradientPercent = 50;
    g.GradientData = g.HotGradientData = "16777215;12748837;110;0;0;12748837;12748837;0;0;0";
    g.ImagePercent = g.HotImagePercent = 50;
  } else if (n == "EDIT" || n == "DIVIDER") {
  } else if (n == "COMBOBOX") {
    g.GradientData = g.HotGradientData = "N/A";
    g.ShowFocus = true;
  } else if (n == "BUTTON") {
    g.Transparency = 50;
    g.GradientPercent = 100;
    g.GradientData = "15259848;10315782;110;0;0;10315782;10315782;0;0;0";
    g.HotGradientPercent = 100;
    g.HotGradientData = "16371206;5648131;99;0;0;5648131;5648131;0;0;0";
    g.ShowFocus = true;
    g.FadingEnabled = true;
    g.FadingIterations = 10;
    g.HotFontColor = "16774621 7954485 7954485 -1 -1";
  } else if (n == "SCROLLBAR1H" || n == "SCROLLBAR1V") {
    // Our own: the bars' hot look, white through the parent, for a scroll bar with the focus.
    g.Transparency = 100;
    g.HotTransparency = kBarHotTransparency;
  } else if (IsScrollPart(n)) {
    g.Transparency = g.HotTransparency = 100;
    if (IsScrollBarTrack(n)) g.HotTransparency = kBarHotTransparency;
    g.GradientData = g.HotGradientData = "N/A";
  } else if (n == "GLOBALINFO") {
    g.Color = 0xCAAB77;
  } else if (n == "MENUITEM") {
    g.Transparency = 100;
    g.GradientData = "";
    g.HotColor = 0xB95C00;
    g.HotTransparency = 50;
    g.HotGradientPercent = 100;
    g.HotGradientData = "8481867;16765514;99;0;0;16765514;16765514;0;0;0";
    g.HotFontColor = "0 -1 -1 16439433 16439433";
  } else if (n == "MAINMENU") {
    g.Color = 0xC29B65;
    g.GradientData =
        "16777215;15716271;15;1;0;15716271;13215350;72;1;0;13215350;16777215;11;1;0;16777215;16777215;0;1;0";
  } else {
    // Sections of controls the calculator does not use: quiet panels over the window ground.
    g.Color = g.HotColor = 0xD0BC99;
    if (IsButtonLike(n)) {
      g.Transparency = 50;
      g.GradientPercent = g.HotGradientPercent = 100;
      g.GradientData = "15259848;10315782;110;0;0;10315782;10315782;0;0;0";
      g.HotGradientData = "16371206;5648131;99;0;0;5648131;5648131;0;0;0";
    }
  }
}

// The hot colour of the scroll bars' bars: the theme's hot colour, taken halfway to the pressed
// one where it lies too close to the window ground to show over it.
Rgb BarHot(const Theme& t) {
  const double distance = (std::abs(t.Hot.r - t.Form.r) + std::abs(t.Hot.g - t.Form.g) + std::abs(t.Hot.b - t.Form.b)) / 3;
  return distance < 40 ? Mix(t.Hot, t.Pressed, 0.5) : t.Hot;
}

// Section values of the other skins, from their theme.
void ApplyThemeValues(TsSkinGeneral& g, const Theme& t) {
  const std::string& n = g.SectionName;
  const TColor form = ToColor(t.Form);
  g.Color = g.HotColor = form;
  g.FontColor = g.HotFontColor = FontColors(t.Text);
  if (n == "FORM") {
    g.ImagePercent = g.HotImagePercent = 100;
    g.ReservedBoolean = true;
  } else if (n == "FORMTITLE") {
    g.GradientPercent = g.HotGradientPercent = 100;
    g.GradientData = Grad({{Lighter(t.TitleTop, 0.4), 8}, {t.TitleTop, 50}, {t.TitleBottom, 42}, {Darker(t.TitleBottom, 0.08), 0}}, 0);
    g.HotGradientData = Grad({{Lighter(t.TitleTop, 0.6), 8}, {Lighter(t.TitleTop, 0.1), 50}, {Lighter(t.TitleBottom, 0.1), 42}, {t.TitleBottom, 0}}, 0);
    g.Transparency = 0;
    g.FontColor = FontColors(t.TitleText, -1, -1, ToColor(Lighter(t.TitleTop, 0.5)), ToColor(Lighter(t.TitleTop, 0.5)));
    g.HotFontColor = FontColors(t.TitleText, -1, -1, ToColor(Lighter(t.TitleTop, 0.7)), ToColor(Lighter(t.TitleTop, 0.7)));
  } else if (n == "EDIT" || n == "COMBOBOX" || n == "LISTBOX") {
    g.Color = g.HotColor = 0xFFFFFF;
    g.FontColor = g.HotFontColor = "0 -1 -1 -1 -1";
    g.ShowFocus = n == "COMBOBOX";
    g.ReservedBoolean = n == "EDIT";
    g.GradientData = g.HotGradientData = "N/A";
  } else if (IsButtonLike(n)) {
    g.GradientPercent = g.HotGradientPercent = 100;
    g.GradientData = Grad({{Lighter(t.Face, 0.5), 45}, {t.Face, 10}, {Darker(t.Face, 0.06), 45}, {t.Face, 0}}, 0);
    g.HotGradientData = Grad({{Lighter(t.Hot, 0.55), 45}, {t.Hot, 10}, {Darker(t.Hot, 0.1), 45}, {t.Hot, 0}}, 0);
    g.ShowFocus = true;
    g.FadingEnabled = n == "BUTTON";
    g.FadingIterations = 10;
    g.HotFontColor = FontColors(t.HotText);
  } else if (IsScrollPart(n)) {
    g.Transparency = g.HotTransparency = 100;
    g.GradientData = g.HotGradientData = "N/A";
    if (IsScrollBarTrack(n)) {
      g.HotColor = ToColor(BarHot(t));
      g.HotTransparency = kBarHotTransparency;
    }
  } else if (n == "GLOBALINFO") {
    g.Color = ToColor(Darker(t.Form, 0.1));
  } else if (n == "MENUITEM") {
    g.Transparency = 100;
    g.HotColor = ToColor(t.Pressed);
    g.HotTransparency = 30;
    g.HotGradientPercent = 100;
    g.HotGradientData = Grad({{Lighter(t.Pressed, 0.3), 100}, {t.Pressed, 0}}, 0);
    g.HotFontColor = FontColors(t.HotText);
  } else if (n == "MAINMENU" || n == "MENULINE") {
    g.GradientPercent = 100;
    g.GradientData = Grad({{Lighter(t.Form, 0.5), 100}, {t.Form, 0}}, 0);
  } else if (n == "DIALOG") {
    g.GradientPercent = g.HotGradientPercent = 50;
    g.GradientData = g.HotGradientData = Grad({{Lighter(t.Form, 0.6), 110}, {t.Form, 0}}, 0);
    g.ImagePercent = g.HotImagePercent = 50;
  } else if (n == "PANEL_LOW" || n == "PROGRESSH" || n == "PROGRESSV" || n == "GAUGE") {
    g.Color = g.HotColor = ToColor(Darker(t.Form, 0.08));
  }
}

// [SECTION] Mask lists and layout ---------------------------------------------------------------

enum class Kind {
  FormBorder, TitleButton, IconClose, IconMax, IconMin, IconHelp, Grip, GroundTile, TitleBorder, PanelBorder,
  EditBorder, ComboGlyph, ButtonBorder, TrackH, TrackV, ScrollButton, ArrowRight, ArrowLeft, ArrowUp, ArrowDown,
  GripH, GripV, MenuItem, Divider, BoxChecked, BoxUnchecked, BoxGrayed, RadioChecked, RadioUnchecked,
  RadioGrayed, SmallChecked, SmallUnchecked, SmallGrayed, TabTop, TabBottom, TabLeft, TabRight, Raised, Lowered,
  Group, Progress, Thumb, Splitter, SoftFrame
};

struct MaskSpec {
  std::string Section, Property;
  Kind Art;
  TRect R;  // given for the fixed layout; packed otherwise (width and height used)
  int ImageCount, MaskType;
};

// "BlueGlass (internal)": the rectangles the calculator's frame, edits, button, scroll bars and
// menus are drawn from, then those of the other controls, all in one 304 x 250 master bitmap.
std::vector<MaskSpec> BlueGlassMasks() {
  std::vector<MaskSpec> m = {
      {"FORM", "BORDERSMASK", Kind::FormBorder, Rect(135, 60, 147, 72), 1, 0},
      {"FORM", "TITLEBUTTON", Kind::TitleButton, Rect(0, 114, 60, 154), 3, 1},
      {"FORM", "BICONCLOSE", Kind::IconClose, Rect(244, 114, 304, 154), 3, 1},
      {"FORM", "BICONMAX", Kind::IconMax, Rect(122, 114, 182, 154), 3, 1},
      {"FORM", "BICONNORM", Kind::IconMax, Rect(122, 114, 182, 154), 3, 1},
      {"FORM", "BICONMIN", Kind::IconMin, Rect(61, 114, 121, 154), 3, 1},
      {"FORM", "BICONHELP", Kind::IconHelp, Rect(183, 114, 243, 154), 3, 1},
      {"FORM", "GRIPIMAGE", Kind::Grip, Rect(252, 0, 270, 36), 1, 1},
      {"FORM", "PATTERN", Kind::GroundTile, Rect(252, 154, 304, 190), 3, 1},
      {"FORM", "HOTPATTERN", Kind::GroundTile, Rect(252, 154, 304, 190), 3, 1},
      {"DIALOG", "PATTERN", Kind::GroundTile, Rect(252, 154, 304, 190), 3, 1},
      {"DIALOG", "HOTPATTERN", Kind::GroundTile, Rect(252, 154, 304, 190), 3, 1},
      {"FORMTITLE", "BORDERSMASK", Kind::TitleBorder, Rect(231, 60, 261, 114), 1, 1},
      {"DIALOG", "BORDERSMASK", Kind::PanelBorder, Rect(189, 72, 210, 114), 1, 1},
      {"MAINMENU", "BORDERSMASK", Kind::PanelBorder, Rect(189, 72, 210, 114), 1, 1},
      {"EDIT", "BORDERSMASK", Kind::EditBorder, Rect(120, 190, 195, 250), 1, 0},
      {"COMBOBOX", "BORDERSMASK", Kind::EditBorder, Rect(120, 190, 195, 250), 1, 0},
      {"COMBOBOX", "GLYPHMASK", Kind::ComboGlyph, Rect(195, 154, 252, 188), 3, 1},
      {"BUTTON", "BORDERSMASK", Kind::ButtonBorder, Rect(63, 72, 126, 114), 3, 1},
      {"SCROLLBAR1H", "BORDERSMASK", Kind::TrackH, Rect(276, 84, 291, 114), 1, 1},
      {"SCROLLBAR2H", "BORDERSMASK", Kind::TrackH, Rect(276, 84, 291, 114), 1, 1},
      {"SCROLLBAR1V", "BORDERSMASK", Kind::TrackV, Rect(261, 84, 276, 114), 1, 1},
      {"SCROLLBAR2V", "BORDERSMASK", Kind::TrackV, Rect(261, 84, 276, 114), 1, 1},
  };
  for (const char* s : {"SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLBTNLEFT", "SCROLLBTNRIGHT", "SCROLLSLIDERH", "SCROLLSLIDERV"})
    m.push_back({s, "BORDERSMASK", Kind::ScrollButton, Rect(0, 72, 63, 114), 3, 1});
  const std::vector<MaskSpec> rest = {
      {"SCROLLBTNRIGHT", "GLYPHMASK", Kind::ArrowRight, Rect(264, 39, 282, 47), 3, 0},
      {"SCROLLBTNLEFT", "GLYPHMASK", Kind::ArrowLeft, Rect(282, 39, 300, 47), 3, 0},
      {"SCROLLBTNTOP", "GLYPHMASK", Kind::ArrowUp, Rect(264, 47, 291, 52), 3, 0},
      {"SCROLLBTNBOTTOM", "GLYPHMASK", Kind::ArrowDown, Rect(264, 53, 291, 58), 3, 0},
      {"SCROLLSLIDERH", "GLYPHMASK", Kind::GripH, Rect(291, 84, 299, 98), 1, 1},
      {"SCROLLSLIDERV", "GLYPHMASK", Kind::GripV, Rect(292, 98, 299, 114), 1, 1},
      {"MENUITEM", "BORDERSMASK", Kind::MenuItem, Rect(126, 72, 168, 114), 2, 1},
      {"DIVIDER", "BORDERSMASK", Kind::Divider, Rect(298, 21, 301, 39), 1, 1},
      {"GLOBALINFO", "BOXCHECKED", Kind::BoxChecked, Rect(147, 154, 195, 190), 3, 1},
      {"GLOBALINFO", "BOXUNCHECKED", Kind::BoxUnchecked, Rect(98, 154, 146, 190), 3, 1},
      {"GLOBALINFO", "RADIOCHECKED", Kind::RadioChecked, Rect(49, 154, 97, 190), 3, 1},
      {"GLOBALINFO", "RADIOUNCHECKED", Kind::RadioUnchecked, Rect(0, 154, 48, 190), 3, 1},
      // Our own: the other controls.
      {"GLOBALINFO", "BOXGRAYED", Kind::BoxGrayed, Rect(0, 190, 48, 226), 3, 1},
      {"GLOBALINFO", "RADIOGRAYED", Kind::RadioGrayed, Rect(48, 190, 96, 226), 3, 1},
      {"GLOBALINFO", "SMALLCHECKED", Kind::SmallChecked, Rect(195, 190, 231, 214), 3, 1},
      {"GLOBALINFO", "SMALLUNCHECKED", Kind::SmallUnchecked, Rect(231, 190, 267, 214), 3, 1},
      {"GLOBALINFO", "SMALLGRAYED", Kind::SmallGrayed, Rect(267, 190, 303, 214), 3, 1},
      {"TABTOP", "BORDERSMASK", Kind::TabTop, Rect(0, 0, 63, 30), 3, 1},
      {"TABBOTTOM", "BORDERSMASK", Kind::TabBottom, Rect(63, 0, 126, 30), 3, 1},
      {"TABLEFT", "BORDERSMASK", Kind::TabLeft, Rect(126, 0, 189, 30), 3, 1},
      {"TABRIGHT", "BORDERSMASK", Kind::TabRight, Rect(189, 0, 252, 30), 3, 1},
      {"PANEL", "BORDERSMASK", Kind::Raised, Rect(0, 30, 12, 54), 1, 1},
      {"GROUPBOX", "BORDERSMASK", Kind::Group, Rect(12, 30, 24, 54), 1, 1},
      {"PANEL_LOW", "BORDERSMASK", Kind::Lowered, Rect(24, 30, 36, 54), 1, 1},
      {"TOOLBAR", "BORDERSMASK", Kind::Raised, Rect(36, 30, 48, 54), 1, 1},
      {"STATUSBAR", "BORDERSMASK", Kind::Lowered, Rect(48, 30, 60, 54), 1, 1},
      {"PAGECONTROL", "BORDERSMASK", Kind::Group, Rect(60, 30, 72, 54), 1, 1},
      {"PAGECONTROLBOTTOM", "BORDERSMASK", Kind::Group, Rect(60, 30, 72, 54), 1, 1},
      {"PAGECONTROLLEFT", "BORDERSMASK", Kind::Group, Rect(60, 30, 72, 54), 1, 1},
      {"PAGECONTROLRIGHT", "BORDERSMASK", Kind::Group, Rect(60, 30, 72, 54), 1, 1},
      {"TABCONTROL", "BORDERSMASK", Kind::Raised, Rect(72, 30, 84, 54), 1, 1},
      {"TABCONTROLLEFT", "BORDERSMASK", Kind::Raised, Rect(72, 30, 84, 54), 1, 1},
      {"TABCONTROLRIGHT", "BORDERSMASK", Kind::Raised, Rect(72, 30, 84, 54), 1, 1},
      {"TABCONTROLBOTTOM", "BORDERSMASK", Kind::Raised, Rect(72, 30, 84, 54), 1, 1},
      {"PROGRESSH", "BORDERSMASK", Kind::Progress, Rect(84, 30, 114, 54), 1, 1},
      {"PROGRESSV", "BORDERSMASK", Kind::Progress, Rect(114, 30, 126, 60), 1, 1},
      {"GAUGE", "BORDERSMASK", Kind::Progress, Rect(126, 30, 156, 54), 1, 1},
      {"TRACKBAR", "GLYPHMASK", Kind::Thumb, Rect(156, 30, 201, 60), 3, 1},
      {"SPLITTER", "BORDERSMASK", Kind::Splitter, Rect(201, 30, 207, 54), 1, 1},
      {"DRAGBAR", "BORDERSMASK", Kind::Splitter, Rect(207, 30, 213, 54), 1, 1},
      {"MENULINE", "BORDERSMASK", Kind::PanelBorder, Rect(189, 72, 210, 114), 1, 1},
      {"CHECKBOX", "BORDERSMASK", Kind::SoftFrame, Rect(210, 60, 231, 102), 1, 1},
      {"RADIOBUTTON", "BORDERSMASK", Kind::SoftFrame, Rect(210, 60, 231, 102), 1, 1},
  };
  m.insert(m.end(), rest.begin(), rest.end());
  for (const char* s : {"BUTTON_BIG", "SPEEDBUTTON", "TOOLBUTTON", "SPEEDBUTTON_SMALL"})
    m.push_back({s, "BORDERSMASK", Kind::ButtonBorder, Rect(63, 72, 126, 114), 3, 1});
  return m;
}

std::vector<MaskSpec> Without(std::vector<MaskSpec> masks, const std::vector<std::string>& drop) {
  std::vector<MaskSpec> out;
  for (auto& m : masks) {
    bool skip = false;
    for (const auto& d : drop) skip = skip || d == m.Section + "/" + m.Property;
    if (!skip) out.push_back(std::move(m));
  }
  return out;
}

// Scales the sizes of a mask list (for smaller master bitmaps); rectangles are laid out anew.
std::vector<MaskSpec> Resized(std::vector<MaskSpec> masks, double scale) {
  for (auto& m : masks) {
    if (m.Art == Kind::ArrowLeft || m.Art == Kind::ArrowRight || m.Art == Kind::ArrowUp || m.Art == Kind::ArrowDown ||
        m.Art == Kind::GripH || m.Art == Kind::GripV || m.Art == Kind::Divider || m.Art == Kind::FormBorder ||
        m.Art == Kind::TrackH || m.Art == Kind::TrackV)
      continue;  // already small
    const int rows = m.MaskType + 1;
    // Caption buttons stay large enough to be seen and hit: below 16 pixels their glyph drowns
    // in the face's rim.
    const bool captionButton = m.Art == Kind::IconClose || m.Art == Kind::IconMax || m.Art == Kind::IconMin ||
                               m.Art == Kind::IconHelp || (m.Art == Kind::TitleButton && m.Section == "FORM");
    const int least = captionButton ? 16 : 6;
    int fw = std::max(least, static_cast<int>(std::lround(WidthOf(m.R) / m.ImageCount * scale)));
    int fh = std::max(least, static_cast<int>(std::lround(HeightOf(m.R) / rows * scale)));
    if (m.Property == "BORDERSMASK") {  // whole 3 x 3 tiles: the right side tile must end at the frame's edge
      fw -= fw % 3;
      fh -= fh % 3;
    }
    m.R = Rect(0, 0, fw * m.ImageCount, fh * rows);
  }
  return masks;
}

// Shelf packing: tallest first, left to right, one pixel apart; masks with the same artwork and
// size share one rectangle.
void Pack(std::vector<MaskSpec>& masks, int width, int height) {
  struct Piece {
    Kind Art;
    int W, H;
    TRect At;
  };
  std::vector<Piece> pieces;
  for (const auto& m : masks) {
    bool known = false;
    for (const auto& p : pieces) known = known || (p.Art == m.Art && p.W == WidthOf(m.R) && p.H == HeightOf(m.R));
    if (!known) pieces.push_back({m.Art, WidthOf(m.R), HeightOf(m.R), {}});
  }
  std::vector<Piece*> order;
  for (auto& p : pieces) order.push_back(&p);
  std::stable_sort(order.begin(), order.end(), [](const Piece* a, const Piece* b) { return a->H > b->H; });
  int x = 0, y = 0, shelf = 0;
  for (Piece* p : order) {
    if (x + p->W > width) {
      x = 0;
      y += shelf + 1;
      shelf = 0;
    }
    if (y + p->H > height || p->W > width) throw std::runtime_error("masks do not fit the master bitmap");
    p->At = Rect(x, y, x + p->W, y + p->H);
    x += p->W + 1;
    shelf = std::max(shelf, p->H);
  }
  for (auto& m : masks)
    for (const auto& p : pieces)
      if (p.Art == m.Art && p.W == WidthOf(m.R) && p.H == HeightOf(m.R)) {
        m.R = p.At;
        break;
      }
}

// [SECTION] Mask artwork ----------------------------------------------------------------------
// Frames are drawn as functions of the pixel position inside the frame. Border masks are cut
// into 3 x 3 tiles and their sides and centre are repeated, so their colour depends only on the
// distance to the nearest edge (and, on the top row of tiles, on the distance to the top).

Rgb StateFace(const Theme& t, int f) { return f == 0 ? t.Face : f == 1 ? t.Hot : t.Pressed; }

double Band(double d, double from, double to) {
  return std::clamp(d - from + 0.5, 0.0, 1.0) * std::clamp(to - d + 0.5, 0.0, 1.0);
}

struct BorderStyle {
  double Radius = 3;
  Rgb Outline;
  double OutlineAlpha = 1;
  Rgb Inner;
  double InnerAlpha = 0.7;
  Rgb Fill;
  double FillAlpha = 0;
  double Gloss = 0;  // white over the top third
};

Paint BorderPaint(double x, double y, double w, double h, const BorderStyle& s) {
  const double d = -RoundBox(x, y, w / 2, h / 2, w / 2, h / 2, s.Radius);
  const double cover = Coverage(-d);
  if (cover <= 0) return {};
  Paint p{s.Fill, s.FillAlpha * std::clamp(d - 1.5, 0.0, 1.0)};
  if (s.Gloss > 0 && y < h / 3) p = Over(p, {{255, 255, 255}, s.Gloss * (1 - y / (h / 3)) * std::clamp(d - 1.5, 0.0, 1.0)});
  p = Over(p, {s.Inner, s.InnerAlpha * Band(d, 1, 2)});
  p = Over(p, {s.Outline, s.OutlineAlpha * Band(d, 0, 1)});
  p.Alpha *= cover;
  return p;
}

double Triangle(double x, double y, double ax, double ay, double bx, double by, double cx, double cy) {
  auto edge = [&](double px, double py, double qx, double qy, double ox, double oy) {
    const double nx = qy - py, ny = px - qx, len = std::hypot(nx, ny);
    double dist = ((x - px) * nx + (y - py) * ny) / len;
    const double side = ((ox - px) * nx + (oy - py) * ny) / len;  // the third corner is inside
    return side > 0 ? -dist : dist;
  };
  return std::max({edge(ax, ay, bx, by, cx, cy), edge(bx, by, cx, cy, ax, ay), edge(cx, cy, ax, ay, bx, by)});
}

// A round-cornered glass button face, the ground of title buttons and small buttons.
Paint GemFace(const Theme& t, int f, double x, double y, double w, double h, double radius, Rgb tint) {
  const double d = RoundBox(x, y, w / 2, h / 2, w / 2 - 1, h / 2 - 1, radius);
  const double cover = Coverage(d);
  if (cover <= 0) return {};
  Rgb top = Lighter(tint, f == 2 ? 0.15 : 0.6), bottom = f == 2 ? Darker(tint, 0.15) : tint;
  Rgb c = Mix(top, bottom, std::clamp(y / h, 0.0, 1.0));
  if (y < h * 0.45 && f != 2) c = Mix(c, {255, 255, 255}, 0.25);
  Paint p{c, 1};
  p = Over(p, {Lighter(tint, 0.8), 0.8 * Band(-d, 1, 2)});
  p = Over(p, {Mix(t.Outline, tint, f == 1 ? 0.3 : 0.0), Band(-d, 0, 1)});
  p.Alpha *= cover;
  return p;
}

// `grow` widens the strokes by that many pixels on each side (for a halo under the glyph).
Paint IconGlyph(Kind k, double x, double y, double w, double h, double grow = 0) {
  const double cx = w / 2, cy = h / 2, s = std::min(w, h) * 0.22;
  double d = 1e9;
  switch (k) {
    case Kind::IconClose:
      d = std::min(Segment(x, y, cx - s, cy - s, cx + s, cy + s, 1.1), Segment(x, y, cx + s, cy - s, cx - s, cy + s, 1.1));
      break;
    case Kind::IconMax:
      d = std::abs(RoundBox(x, y, cx, cy, s, s, 0.5)) - 0.7;
      d = std::min(d, RoundBox(x, y, cx, cy - s + 0.6, s, 0.8, 0));
      break;
    case Kind::IconMin:
      d = RoundBox(x, y, cx, cy + s * 0.8, s, 0.9, 0.5);
      break;
    case Kind::IconHelp: {
      const double ring = std::abs(Circle(x, y, cx, cy - s * 0.45, s * 0.75)) - 0.8;
      d = (y < cy - s * 0.1 || x > cx) ? ring : 1e9;
      d = std::min(d, Segment(x, y, cx, cy + s * 0.25, cx, cy + s * 0.55, 0.9));
      d = std::min(d, Circle(x, y, cx, cy + s * 1.15, 1.0));
      break;
    }
    default:
      break;
  }
  return {{255, 255, 255}, Coverage(d - grow)};
}

// Check boxes and radio buttons: state frames normal, hot, pressed.
Paint CheckArt(const Theme& t, Kind k, int f, double x, double y, double w, double h) {
  const bool radio = k == Kind::RadioChecked || k == Kind::RadioUnchecked || k == Kind::RadioGrayed;
  const bool grayed = k == Kind::BoxGrayed || k == Kind::RadioGrayed || k == Kind::SmallGrayed;
  const bool checked = k == Kind::BoxChecked || k == Kind::RadioChecked || k == Kind::SmallChecked;
  const double size = std::min(w, h) - 3, cx = w / 2, cy = h / 2;
  const double d = radio ? Circle(x, y, cx, cy, size / 2) : RoundBox(x, y, cx, cy, size / 2, size / 2, 2.5);
  if (Coverage(d) <= 0) return {};
  // Grayed boxes still answer the mouse, in greys.
  const double greyShift = f == 1 ? 14 : f == 2 ? -22 : 0;
  Rgb rim = grayed ? Rgb{150 + greyShift, 150 + greyShift, 150 + greyShift} : f == 1 ? Mix(t.Outline, t.Hot, 0.6) : t.Outline;
  Rgb top = grayed ? Rgb{235, 235, 235} : f == 2 ? Lighter(t.Pressed, 0.55) : Rgb{255, 255, 255};
  Rgb bottom = grayed ? Rgb{205 + greyShift, 205 + greyShift, 205 + greyShift}
                      : f == 1 ? Lighter(t.Hot, 0.5) : Lighter(t.Face, 0.1);
  Paint p{Mix(top, bottom, y / h), 1};
  p = Over(p, {rim, Band(-d, 0, 1.2)});
  const Rgb mark = grayed ? Rgb{140, 140, 140} : Darker(t.Pressed, 0.25);
  if (checked || grayed) {
    double m;
    if (radio) {
      m = Circle(x, y, cx, cy, size * 0.2);
    } else if (grayed && !checked) {
      m = RoundBox(x, y, cx, cy, size * 0.22, size * 0.22, 1);
    } else {
      m = std::min(Segment(x, y, cx - size * 0.28, cy, cx - size * 0.06, cy + size * 0.22, 1.1),
                   Segment(x, y, cx - size * 0.06, cy + size * 0.22, cx + size * 0.3, cy - size * 0.26, 1.1));
    }
    p = Over(p, {mark, Coverage(m)});
  }
  p.Alpha *= Coverage(d);
  return p;
}

void DrawGroundTile(Canvas& c, TRect r, const Theme& t) {
  const double w = WidthOf(r), h = HeightOf(r);
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) {
      const double n = GroundNoise(t.Texture, x - r.Left + 0.5, y - r.Top + 0.5, w, h);
      c.Set(x, y, ToColor(n > 0 ? Lighter(t.Form, 0.10 * n) : Darker(t.Form, -0.06 * n)));
    }
}

void DrawMask(Canvas& c, const MaskSpec& m, const Theme& t) {
  const int frames = m.ImageCount;
  const Kind k = m.Art;
  using Shade = std::function<Paint(int, double, double, double, double)>;
  Shade shade;
  switch (k) {
    case Kind::GroundTile:
      DrawGroundTile(c, m.R, t);
      return;
    case Kind::FormBorder:
      c.KeyedFrames(m.R, frames, t.Form, [&](int, double x, double y, double w, double h) {
        const double d = -RoundBox(x, y, w / 2, h / 2, w / 2, h / 2, 2.5);
        Paint p{t.Form, Coverage(-d)};
        p = Over(p, {Darker(t.Form, 0.08), Band(d, 2, 3)});
        p = Over(p, {t.Highlight, 0.8 * Band(d, 1, 2)});
        p = Over(p, {t.Outline, Band(d, 0, 1)});
        return p;
      });
      return;
    case Kind::EditBorder:
      // The sides and the centre are copied opaquely (only the corners are keyed), so the
      // whole field is white inside its outline: edits paint their centre from this mask.
      c.KeyedFrames(m.R, frames, {255, 255, 255}, [&](int, double x, double y, double w, double h) {
        const double d = -RoundBox(x, y, w / 2, h / 2, w / 2, h / 2, 2.5);
        Paint p = {{255, 255, 255}, 1};
        p = Over(p, {Mix(t.Outline, t.Hot, 0.35), Band(d, 0, 1)});
        // a soft inner line on the top and left makes the field look sunk in
        if (d >= 1 && d < 2 && (x < 2.5 || y < 2.5)) p = Over(p, {Mix(t.Outline, {255, 255, 255}, 0.55), 1});
        p.Alpha *= Coverage(-d);
        return p;
      });
      return;
    case Kind::ArrowRight:
    case Kind::ArrowLeft:
    case Kind::ArrowUp:
    case Kind::ArrowDown:
      c.KeyedFrames(m.R, frames, t.Face, [&](int f, double x, double y, double w, double h) {
        const Rgb col = f == 0 ? t.Glyph : f == 1 ? Mix(t.Glyph, t.Pressed, 0.6) : Darker(t.Glyph, 0.3);
        double d;
        if (k == Kind::ArrowRight) d = Triangle(x, y, 1.5, 0.5, w - 1.2, h / 2, 1.5, h - 0.5);
        else if (k == Kind::ArrowLeft) d = Triangle(x, y, w - 1.5, 0.5, 1.2, h / 2, w - 1.5, h - 0.5);
        else if (k == Kind::ArrowUp) d = Triangle(x, y, 0.5, h - 0.6, w / 2, 0.6, w - 0.5, h - 0.6);
        else d = Triangle(x, y, 0.5, 0.6, w / 2, h - 0.6, w - 0.5, 0.6);
        return Paint{col, Coverage(d)};
      });
      return;
    case Kind::TitleButton:
    case Kind::IconClose:
    case Kind::IconMax:
    case Kind::IconMin:
    case Kind::IconHelp:
      shade = [&](int f, double x, double y, double w, double h) {
        const Rgb tint = k == Kind::IconClose && f > 0 ? t.Close : StateFace(t, f);
        Paint p = GemFace(t, f, x, y, w, h, t.Radius + 1, tint);
        if (k != Kind::TitleButton) {
          // A light glyph (dark themes) gets a dark halo: the face's lit upper half would
          // otherwise swallow it.
          const Rgb glyph = t.Glyph;
          if (0.299 * glyph.r + 0.587 * glyph.g + 0.114 * glyph.b > 160) {
            const Paint halo = IconGlyph(k, x, y, w, h, 1.0);
            p = Over(p, Paint{t.Outline, 0.8 * halo.Alpha * p.Alpha});
          }
          Paint g = IconGlyph(k, x, y, w, h);
          g.Color = (k == Kind::IconClose && f > 0) ? Rgb{255, 255, 255} : f == 2 ? Lighter(t.Glyph, 0.9) : t.Glyph;
          p = Over(p, Paint{g.Color, g.Alpha * p.Alpha});
        }
        return p;
      };
      break;
    case Kind::Grip:
      shade = [&](int, double x, double y, double w, double h) {
        Paint p;
        for (int i = 0; i < 4; ++i)
          for (int j = 0; j < 4; ++j) {
            if (i + j < 3) continue;
            const double cx = w - 3 - 4 * (3 - i), cy = h - 3 - 4 * (3 - j);
            p = Over(p, {t.Highlight, Coverage(Circle(x, y, cx + 0.8, cy + 0.8, 1.1))});
            p = Over(p, {t.Outline, Coverage(Circle(x, y, cx, cy, 1.0))});
          }
        return p;
      };
      break;
    case Kind::TitleBorder:
      shade = [&](int, double x, double y, double w, double h) {
        const double d = -RoundBox(x, y, w / 2, h / 2 + 6, w / 2, h / 2 + 6, 6);
        Paint p{{255, 255, 255}, 0.18 * std::clamp(1 - y / (h / 3), 0.0, 1.0) * std::clamp(d - 1.5, 0.0, 1.0)};
        p = Over(p, {t.Highlight, 0.75 * Band(d, 1, 2)});
        p = Over(p, {t.Outline, Band(d, 0, 1)});
        p.Alpha *= Coverage(-d);
        return p;
      };
      break;
    case Kind::PanelBorder:
    case Kind::SoftFrame:
    case Kind::Group:
    case Kind::Progress:
    case Kind::TrackH:
    case Kind::TrackV:
      shade = [&](int, double x, double y, double w, double h) {
        BorderStyle s;
        s.Outline = t.Outline;
        s.Inner = t.Highlight;
        s.Radius = k == Kind::PanelBorder ? 2 : 3;
        s.OutlineAlpha = k == Kind::SoftFrame ? 0.45 : k == Kind::Group ? 0.6 : 0.9;
        s.InnerAlpha = k == Kind::Progress || k == Kind::TrackH || k == Kind::TrackV ? 0.25 : 0.6;
        s.Fill = Darker(t.Form, 0.5);
        s.FillAlpha = k == Kind::Progress ? 0.12 : k == Kind::TrackH || k == Kind::TrackV ? 0.10 : 0;
        return BorderPaint(x, y, w, h, s);
      };
      break;
    case Kind::ButtonBorder:
    case Kind::ScrollButton:
      shade = [&](int f, double x, double y, double w, double h) {
        BorderStyle s;
        s.Radius = k == Kind::ButtonBorder ? t.Radius : t.Radius - 1;
        s.Outline = f == 1 ? Mix(t.Outline, t.Hot, 0.35) : f == 2 ? Darker(t.Outline, 0.2) : t.Outline;
        s.Inner = f == 2 ? Darker(t.Pressed, 0.1) : Lighter(StateFace(t, f), 0.7);
        s.InnerAlpha = 0.8;
        s.Fill = StateFace(t, f);
        // Arrows and slider are solid faces: the bars meet under the slider, and their ends
        // would show through a face that lets anything of them through.
        s.FillAlpha = k == Kind::ScrollButton ? 1.0 : (f == 2 ? 0.35 : 0.08);
        s.Gloss = f == 2 ? 0.05 : 0.35;
        return BorderPaint(x, y, w, h, s);
      };
      break;
    case Kind::ComboGlyph:
      shade = [&](int f, double x, double y, double w, double h) {
        Paint p = GemFace(t, f, x, y, w, h, t.Radius - 1, StateFace(t, f));
        const double d = Triangle(x, y, w / 2 - 4, h / 2 - 1.5, w / 2 + 4, h / 2 - 1.5, w / 2, h / 2 + 2.5);
        // A light arrow (dark themes) gets a dark halo, as the caption's glyphs do: on the
        // face's lit upper half it would otherwise not be seen.
        if (0.299 * t.Glyph.r + 0.587 * t.Glyph.g + 0.114 * t.Glyph.b > 160)
          p = Over(p, {t.Outline, 0.8 * Coverage(d - 1.0) * p.Alpha});
        p = Over(p, {f == 2 ? Lighter(t.Glyph, 0.85) : t.Glyph, Coverage(d) * p.Alpha});
        return p;
      };
      break;
    case Kind::GripH:
    case Kind::GripV:
      shade = [&](int, double x, double y, double w, double h) {
        Paint p;
        for (int i = -1; i <= 1; ++i) {
          const double o = 2.0 * i;
          const double light = k == Kind::GripH ? Segment(x, y, w / 2 + o + 0.7, 1.5, w / 2 + o + 0.7, h - 1.5, 0.45)
                                                : Segment(x, y, 1.5, h / 2 + o + 0.7, w - 1.5, h / 2 + o + 0.7, 0.45);
          const double dark = k == Kind::GripH ? Segment(x, y, w / 2 + o, 1.5, w / 2 + o, h - 1.5, 0.45)
                                               : Segment(x, y, 1.5, h / 2 + o, w - 1.5, h / 2 + o, 0.45);
          p = Over(p, {t.Highlight, Coverage(light)});
          p = Over(p, {t.Outline, 0.85 * Coverage(dark)});
        }
        return p;
      };
      break;
    case Kind::MenuItem:
      shade = [&](int f, double x, double y, double w, double h) {
        if (f == 0) return Paint{};
        BorderStyle s;
        s.Radius = 3;
        s.Outline = Darker(t.Pressed, 0.2);
        s.OutlineAlpha = 0.8;
        s.Inner = Lighter(t.Pressed, 0.6);
        s.InnerAlpha = 0.5;
        s.Fill = t.Pressed;
        s.FillAlpha = 0.3;
        s.Gloss = 0.25;
        return BorderPaint(x, y, w, h, s);
      };
      break;
    case Kind::Divider:
      shade = [&](int, double x, double, double, double) {
        if (x < 1) return Paint{};
        return x < 2 ? Paint{t.Outline, 0.55} : Paint{t.Highlight, 0.85};
      };
      break;
    case Kind::BoxChecked:
    case Kind::BoxUnchecked:
    case Kind::BoxGrayed:
    case Kind::RadioChecked:
    case Kind::RadioUnchecked:
    case Kind::RadioGrayed:
    case Kind::SmallChecked:
    case Kind::SmallUnchecked:
    case Kind::SmallGrayed:
      shade = [&](int f, double x, double y, double w, double h) { return CheckArt(t, k, f, x, y, w, h); };
      break;
    case Kind::TabTop:
    case Kind::TabBottom:
    case Kind::TabLeft:
    case Kind::TabRight:
      shade = [&](int f, double x, double y, double w, double h) {
        // The open side reaches past the frame, so it has no outline.
        double cx = w / 2, cy = h / 2, hw = w / 2, hh = h / 2;
        if (k == Kind::TabTop) { cy += 4; hh += 4; }
        if (k == Kind::TabBottom) { cy -= 4; hh += 4; }
        if (k == Kind::TabLeft) { cx += 4; hw += 4; }
        if (k == Kind::TabRight) { cx -= 4; hw += 4; }
        const double d = -RoundBox(x, y, cx, cy, hw, hh, 4);
        Paint p{f == 0 ? Lighter(t.Face, 0.2) : f == 1 ? Lighter(t.Hot, 0.4) : Lighter(t.Form, 0.3), 0.9 * std::clamp(d - 1.5, 0.0, 1.0)};
        p = Over(p, {t.Highlight, 0.7 * Band(d, 1, 2)});
        p = Over(p, {t.Outline, 0.9 * Band(d, 0, 1)});
        p.Alpha *= Coverage(-d);
        return p;
      };
      break;
    case Kind::Raised:
    case Kind::Lowered:
      shade = [&](int, double x, double y, double w, double h) {
        const bool nearLeftTop = x < 1 || y < 1;
        const bool nearRightBottom = x > w - 1 || y > h - 1;
        const Rgb light = t.Highlight, dark = Darker(t.Form, 0.35);
        if (nearLeftTop) return Paint{k == Kind::Raised ? light : dark, 0.9};
        if (nearRightBottom) return Paint{k == Kind::Raised ? dark : light, 0.9};
        return Paint{};
      };
      break;
    case Kind::Thumb:
      shade = [&](int f, double x, double y, double w, double h) {
        return GemFace(t, f, x, y, w, h, std::min(w, h) / 2 - 1, StateFace(t, f));
      };
      break;
    case Kind::Splitter:
      shade = [&](int, double x, double y, double w, double h) {
        Paint p;
        for (int i = 0; i < 3; ++i) {
          const double cy = h / 2 + (i - 1) * 4;
          p = Over(p, {t.Highlight, Coverage(Circle(x, y, w / 2 + 0.6, cy + 0.6, 1.0))});
          p = Over(p, {t.Outline, Coverage(Circle(x, y, w / 2, cy, 1.0))});
        }
        return p;
      };
      break;
  }
  if (m.MaskType == 1) {
    c.MaskedFrames(m.R, frames, shade);
  } else {
    c.KeyedFrames(m.R, frames, t.Face, shade);
  }
}

// [SECTION] Assembly and output ---------------------------------------------------------------

// The winter skin's ground: a seamless 320 x 320 texture of drifting snow in cool blues.
TPixelImage WinterGround(const Theme& t) {
  constexpr int kSize = 320;
  TPixelImage img(kSize, kSize);
  Canvas c(img);
  const double pi2 = 6.283185307179586;
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const double u = x / double(kSize), v = y / double(kSize);
      const double drift = 0.5 * std::sin(pi2 * (u + 2 * v)) + 0.3 * std::sin(pi2 * (3 * u - v) + 1.3) +
                           0.2 * std::sin(pi2 * (5 * u + 4 * v) + 0.4);
      const double grain = GroundNoise(Ground::Frost, x, y, kSize, kSize);
      Rgb col = Mix(Darker(t.Form, 0.04), Lighter(t.Form, 0.55), 0.5 + 0.35 * drift);
      col = Mix(col, Rgb{255, 255, 255}, std::max(0.0, grain - 0.55) * 1.2);  // sparkles
      c.Set(x, y, ToColor(col));
    }
  return img;
}

TsStoredSkin MakeSkin(const Theme& t, std::vector<MaskSpec> masks, bool packed, const std::vector<std::string>& sections,
                      bool winterGround) {
  TsStoredSkin skin;
  skin.Name = t.Name;
  for (const auto& name : sections) {
    TsSkinGeneral g = BaseSection(name);
    if (t.Name == kBlueGlass.Name) {
      ApplyBlueGlassValues(g);
    } else {
      ApplyThemeValues(g, t);
      if (name == "FORM" && t.Texture == Ground::Smoke) {
        // No pattern: a vertical graphite gradient under the dark frame, light enough that the
        // window's labels, which keep their own black text in every skin, stay readable on it.
        const Rgb top = Lighter(t.Form, 0.66), bottom = Lighter(t.Form, 0.46);
        g.ImagePercent = g.HotImagePercent = 0;
        g.GradientPercent = g.HotGradientPercent = 100;
        g.GradientData = g.HotGradientData = Grad({{top, 100}, {bottom, 0}}, 0);
        g.Color = g.HotColor = ToColor(bottom);
        g.FontColor = g.HotFontColor = FontColors({0, 0, 0});
      }
    }
    skin.GeneralData.Add() = g;
  }
  skin.GeneralData.Add();  // the unnamed closing item, all zero

  if (packed) Pack(masks, t.MasterWidth, t.MasterHeight);
  skin.MasterBitmap = TPixelImage(t.MasterWidth, t.MasterHeight);
  Canvas canvas(skin.MasterBitmap);
  canvas.Fill(Rect(0, 0, t.MasterWidth, t.MasterHeight), clFuchsia);
  std::vector<TRect> drawn;
  for (const auto& m : masks) {
    if (std::find(drawn.begin(), drawn.end(), m.R) != drawn.end()) continue;
    drawn.push_back(m.R);
    DrawMask(canvas, m, t);
  }
  for (const auto& m : masks) {
    TsSkinImage& item = skin.Images.Add();
    item.SectionName = m.Section;
    item.PropertyName = m.Property;
    item.Left = m.R.Left;
    item.Top = m.R.Top;
    item.Right = m.R.Right;
    item.Bottom = m.R.Bottom;
    item.ImageCount = m.ImageCount;
    item.MaskType = m.MaskType;
  }
  TsSkinImage& master = skin.Images.Add();
  master.SectionName = "GLOBALINFO";
  master.PropertyName = "MASTERBITMAP";
  master.Name = "MASTER.BMP";
  master.Image = skin.MasterBitmap;

  if (winterGround) {
    const TPixelImage ground = WinterGround(t);
    const std::string jpeg = WriteJpeg(const_cast<TPixelImage&>(ground).View(), 88);
    for (const char* property : {"PATTERN", "HOTPATTERN"}) {
      TsSkinPattern& p = skin.Patterns.Add();
      p.SectionName = "FORM";
      p.PropertyName = property;
      p.Name = "BG.JPG";
      p.Image.Data = jpeg;
    }
  }
  return skin;
}

std::vector<std::string> SectionsWithout(const std::vector<std::string>& drop) {
  std::vector<std::string> out;
  for (const auto& n : kSectionNames)
    if (std::find(drop.begin(), drop.end(), n) == drop.end()) out.push_back(n);
  return out;
}

TsStoredSkins MakeAllSkins() {
  TsStoredSkins skins;
  const auto blue = BlueGlassMasks();
  skins.Add() = MakeSkin(kBlueGlass, blue, false, kSectionNames, false);

  const auto tall = Without(blue, {"PAGECONTROLBOTTOM/BORDERSMASK", "PAGECONTROLLEFT/BORDERSMASK",
                                   "PAGECONTROLRIGHT/BORDERSMASK", "TABCONTROLLEFT/BORDERSMASK",
                                   "TABCONTROLRIGHT/BORDERSMASK", "TABCONTROLBOTTOM/BORDERSMASK",
                                   "DRAGBAR/BORDERSMASK", "SPEEDBUTTON_SMALL/BORDERSMASK"});
  skins.Add() = MakeSkin(kMacOS, Resized(tall, 0.9), true,
                         SectionsWithout({"TABSHEETBOTTOM", "TABSHEETLEFT", "TABSHEETRIGHT"}), false);

  const auto small = Without(
      blue, {"FORM/PATTERN", "FORM/HOTPATTERN", "DIALOG/PATTERN", "DIALOG/HOTPATTERN", "PAGECONTROL/BORDERSMASK",
             "PAGECONTROLBOTTOM/BORDERSMASK", "PAGECONTROLLEFT/BORDERSMASK", "PAGECONTROLRIGHT/BORDERSMASK",
             "TABCONTROL/BORDERSMASK", "TABCONTROLLEFT/BORDERSMASK", "TABCONTROLRIGHT/BORDERSMASK",
             "TABCONTROLBOTTOM/BORDERSMASK", "PROGRESSH/BORDERSMASK", "PROGRESSV/BORDERSMASK", "GAUGE/BORDERSMASK",
             "TRACKBAR/GLYPHMASK", "SPLITTER/BORDERSMASK", "DRAGBAR/BORDERSMASK", "MENULINE/BORDERSMASK",
             "SPEEDBUTTON_SMALL/BORDERSMASK", "GLOBALINFO/BOXGRAYED", "GLOBALINFO/RADIOGRAYED",
             "GLOBALINFO/SMALLCHECKED", "GLOBALINFO/SMALLUNCHECKED", "GLOBALINFO/SMALLGRAYED"});
  skins.Add() = MakeSkin(kLongHorn, Resized(small, 0.62), true, kSectionNames, false);

  skins.Add() = MakeSkin(kMacMetal, Resized(tall, 0.88), true,
                         SectionsWithout({"TABSHEETBOTTOM", "TABSHEETLEFT", "TABSHEETRIGHT", "DRAGBAR"}), false);

  const auto winter = Without(
      blue, {"FORM/PATTERN", "FORM/HOTPATTERN", "PAGECONTROLBOTTOM/BORDERSMASK", "PAGECONTROLLEFT/BORDERSMASK",
             "PAGECONTROLRIGHT/BORDERSMASK", "TABCONTROLLEFT/BORDERSMASK", "TABCONTROLRIGHT/BORDERSMASK",
             "TABCONTROLBOTTOM/BORDERSMASK", "SPEEDBUTTON_SMALL/BORDERSMASK", "DRAGBAR/BORDERSMASK",
             "SPLITTER/BORDERSMASK", "GAUGE/BORDERSMASK", "GLOBALINFO/SMALLGRAYED", "GLOBALINFO/SMALLUNCHECKED"});
  skins.Add() = MakeSkin(kWinter, winter, false, kSectionNames, true);
  return skins;
}

// The five master bitmaps side by side at twice their size, on a neutral grey, the key colour
// shown as a light check pattern so that holes are easy to see.
TPixelImage ContactSheet(const TsStoredSkins& skins) {
  constexpr int kScale = 2, kGap = 16;
  int width = kGap, height = 0;
  for (int i = 0; i < skins.Count(); ++i) {
    width += skins[i].MasterBitmap.Width() * kScale + kGap;
    height = std::max(height, skins[i].MasterBitmap.Height() * kScale);
  }
  TPixelImage sheet(width, height + 2 * kGap);
  Canvas c(sheet);
  c.Fill(Rect(0, 0, width, height + 2 * kGap), RGBColor(96, 96, 100));
  int left = kGap;
  for (int i = 0; i < skins.Count(); ++i) {
    TPixelImage& m = const_cast<TPixelImage&>(skins[i].MasterBitmap);
    const TPixelView v = m.View();
    for (int y = 0; y < m.Height() * kScale; ++y)
      for (int x = 0; x < m.Width() * kScale; ++x) {
        const std::uint8_t* p = v.Pixel(x / kScale, y / kScale);
        TColor col = RGBColor(p[2], p[1], p[0]);
        if (col == clFuchsia) col = ((x / 8 + y / 8) % 2) ? RGBColor(200, 200, 200) : RGBColor(232, 232, 232);
        c.Set(left + x, kGap + y, col);
      }
    left += m.Width() * kScale + kGap;
  }
  return sheet;
}

std::string CppSource(const std::string& blob) {
  std::string out =
      "// Generated by tools/skingen from our own artwork; do not edit.\n"
      "#include <string_view>\n\n"
      "std::string_view StoredSkinsData() {\n"
      "  static const char kData[] =\n";
  static const char* hex = "0123456789abcdef";
  for (std::size_t i = 0; i < blob.size(); i += 64) {
    out += "      \"";
    for (std::size_t j = i; j < std::min(blob.size(), i + 64); ++j) {
      const auto b = static_cast<unsigned char>(blob[j]);
      out += "\\x";
      out += hex[b >> 4];
      out += hex[b & 15];
    }
    out += "\"\n";
  }
  out += "      \"\";\n  return std::string_view(kData, " + std::to_string(blob.size()) + ");\n}\n";
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  std::map<std::string, std::string> outputs;
  for (int i = 1; i + 1 < argc; i += 2) outputs[argv[i]] = argv[i + 1];
  if (outputs.empty()) {
    std::fprintf(stderr, "usage: skingen [--blob FILE] [--source FILE] [--sheet FILE.bmp]\n");
    return 2;
  }
  try {
    const TsStoredSkins skins = MakeAllSkins();
    const std::string blob = WriteStoredSkins(skins);
    bool ok = true;
    if (outputs.count("--blob")) ok = ok && WriteFileBytes(outputs["--blob"], blob);
    if (outputs.count("--source")) ok = ok && WriteFileBytes(outputs["--source"], CppSource(blob));
    if (outputs.count("--sheet")) ok = ok && WriteFileBytes(outputs["--sheet"], WriteBmp(ContactSheet(skins).View(), false));
    if (!ok) {
      std::fprintf(stderr, "skingen: cannot write an output file\n");
      return 1;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "skingen: %s\n", e.what());
    return 1;
  }
  return 0;
}
