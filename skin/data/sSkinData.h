#pragma once
// The active skin, held in process-wide arrays that every painter reads by index: sections
// (`gd`), masks (`ma`), patterns (`pa`) and the master bitmap the masks are cut from. Indexes
// are signed and -1 means "none"; an index is only good until the next skin change, when every
// array is rebuilt. Everything here lives on the user-interface thread; there is no locking.
//
// [SECTION] Records: TsGeneralData, TsMaskData, TsPatternData
// [SECTION] Skin descriptor TsSkinData and the cached indexes ConstData
// [SECTION] Process-wide state
// [SECTION] Guards, mask sizes and the two value syntaxes of sections
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/core/Geometry.h"
#include "framework/core/PixelView.h"
#include "skin/data/sSkinTypes.h"

class TMemIniFile;
class TsSkinManager;

// [SECTION] Records -------------------------------------------------------------------------

// Bevel of a section's background; stored in skins as the integers 0 to 4 in this order.
enum TsControlBevel : std::uint8_t { cbNone, cbRaisedSoft, cbLoweredSoft, cbRaisedHard, cbLoweredHard };

// One section of a skin. The initial values are what a skin-folder section gets for a key that
// neither it nor its parent chain sets. Fields marked "carried" are loaded and written back but
// not painted with.
struct TsGeneralData {
  std::string ParentClass;  // section this one inherits from; empty for none
  std::string ClassName;    // as written in the skin; compared without regard to case
  TColor Color = 0xFFFFFF;
  TsControlBevel Bevel = cbNone;  // carried
  TColor FontColor = 0;
  TColor TCLeft = -1;  // text contours, one pixel off the text on each side; -1 = none
  TColor TCTop = -1;
  TColor TCRight = -1;
  TColor TCBottom = -1;
  TColor HotFontColor = 0;
  TColor HotTCLeft = -1;
  TColor HotTCTop = -1;
  TColor HotTCRight = -1;
  TColor HotTCBottom = -1;
  bool ReservedBoolean = false;  // per-section switch some controls read (see each control)
  std::int32_t ShadowBlur = 6;   // carried
  TColor ShadowColor = 0;        // carried
  bool ShadowEnabled = false;    // carried
  std::int32_t ShadowOffset = 3;  // carried
  std::int32_t ShadowTransparency = 50;  // carried
  std::int32_t Transparency = 0;     // percent, 0 opaque .. 100 invisible
  std::int32_t GradientPercent = 0;  // share of the gradient in the background mix, percent
  std::string GradientData = " ";
  TsGradArray GradientArray;  // GradientData parsed once per load
  std::int32_t ImagePercent = 0;  // share of the pattern, percent
  bool ShowFocus = false;
  bool FadingEnabled = false;
  std::int32_t FadingIntervalIn = 5;  // milliseconds
  std::int32_t FadingIntervalOut = 5;
  std::int32_t FadingIterations = 5;
  TColor HotColor = 0xFFFFFF;
  std::int32_t HotTransparency = 0;
  TsControlBevel HotBevel = cbNone;  // carried
  std::int32_t HotGradientPercent = 0;
  std::string HotGradientData;
  TsGradArray HotGradientArray;
  std::int32_t HotImagePercent = 0;
  TColor BorderColor1 = 0;  // carried
  TColor BorderColor2 = 0;  // carried
};
using TsGeneralDataArray = std::vector<TsGeneralData>;

// One mask: either a rectangle R of the master bitmap or, when Bmp is set, a bitmap of its own
// (always three states over two rows; R is then ignored). Names are upper case.
//
// Within R, state image k spans the columns R.Left + k*w .. R.Left + (k+1)*w (w from MaskSize);
// with MaskType 1 its grey transparency mask lies h rows below it (h from MaskSize).
struct TsMaskData {
  std::unique_ptr<TPixelImage> Bmp;
  std::string ClassName;     // owning section
  std::string PropertyName;  // role: "BORDERSMASK", "GLYPHMASK", "PATTERN", "TITLEBUTTON", ...
  TRect R;                   // right and bottom exclusive
  std::int16_t ImageCount = 1;  // state images side by side in R (at least 1 from a skin folder)
  std::int16_t MaskType = 0;    // 0: images only; 1: images above their transparency masks
  std::int16_t BorderWidth = 0;  // border part kept unstretched when the mask frames an area
};
using TsMaskArray = std::vector<TsMaskData>;

// One large texture (at least 90,000 pixels; smaller JPEGs become masks). Names are upper case.
struct TsPatternData {
  std::unique_ptr<TPixelImage> Img;
  std::string ClassName;
  std::string PropertyName;  // "PATTERN" or "HOTPATTERN"
};
using TsPatternArray = std::vector<TsPatternData>;

// A JPEG at least this large (width x height) is a pattern; a smaller one becomes a mask.
constexpr std::int64_t kMinPatternPixels = 90000;
// Colour of the transparent pixels of masks and of the master bitmap.
constexpr TColor kSkinTransparentColor = clFuchsia;

// [SECTION] Skin descriptor and cached indexes ----------------------------------------------

class TsSkinData {
 public:
  TsSkinData();
  ~TsSkinData();
  TsSkinData(const TsSkinData&) = delete;
  TsSkinData& operator=(const TsSkinData&) = delete;

  TsSkinManager* SkinManager = nullptr;   // the default skin manager, set by the first one made
  std::unique_ptr<TMemIniFile> SkinFile;  // open "Options.dat" of a skin folder; none for internal
  std::string SkinPath;                   // the skin folder with a trailing backslash, or empty
  bool Active = false;                    // loaded and announced
  double Version = 0;                     // "GLOBALINFO" of a skin folder; informational only
  std::string Author;
  std::string Description;
};

// Indexes of often used sections and masks, refreshed after every skin change
// (InitConstantIndexes); -1 for what the skin lacks. Side order of four-entry rows: top,
// bottom, left, right; scroll-bar rows: 1H, 1V, 2H, 2V.
struct TConstantSkinData {
  std::int16_t GlobalInfoIndex = 0;
  std::int16_t TabIndexes[4] = {};
  std::int16_t TabBorderMasks[4] = {};
  std::int16_t ScrollBtnIndexes[4] = {};
  std::int16_t ScrollBtnBorderMasks[4] = {};
  std::int16_t ScrollBtnPatterns[4] = {};
  std::int16_t ScrollBtnHotPatterns[4] = {};
  std::int16_t ScrollBtnGlyphMasks[4] = {};
  std::int16_t SliderIndexes[2] = {};      // vertical, horizontal
  std::int16_t SliderBorderMasks[2] = {};  // vertical, horizontal
  std::int16_t SliderGlyphMasks[2] = {};   // vertical, horizontal
  std::int16_t SliderPatterns[4] = {};     // horizontal, horizontal hot, vertical, vertical hot
  std::int16_t ScrollBarIndexes[4] = {};
  std::int16_t ScrollBarBorderMasks[4] = {};
  std::int16_t ScrollBarPatterns[4] = {};
  std::int16_t ScrollBarHotPatterns[4] = {};
  // Box checked, unchecked, grayed; radio the same; small the same. All of "GLOBALINFO".
  std::int16_t CheckMasks[9] = {};
};

// [SECTION] Process-wide state ----------------------------------------------------------------

extern TsGeneralDataArray gd;
extern TsMaskArray ma;
extern TsPatternArray pa;
extern std::unique_ptr<TPixelImage> MasterBitmap;
extern TsSkinData* sSkinData;  // exists for the whole run
extern TConstantSkinData ConstData;
extern std::string GlobalSectionName;  // the section of the last update-section announcement
extern bool RestrictDrawing;           // true only while a new skin is being announced
extern bool NonAutoUpdate;             // load skins without announcing them

// [SECTION] Guards, mask sizes and value syntaxes -------------------------------------------

bool IsValidSkinIndex(std::int32_t index);  // a valid index into gd
bool IsValidImgIndex(std::int32_t index);   // a valid index into ma

struct TMaskSize {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  friend bool operator==(const TMaskSize&, const TMaskSize&) = default;
};
// Size of one state image of ma[index]; the caller passes a valid index. A count of images or
// rows below 1 counts as 1, so a hand-made record never divides by zero.
TMaskSize MaskSize(std::int32_t index);
TMaskSize MaskSize(const TsMaskData& mask);

// Frees every mask's own bitmap (last to first), empties ma, then frees MasterBitmap.
void FreeBitmaps();
// Frees every pattern (last to first) and empties pa.
void FreeJpegs();

// A gradient description: decimal integers separated by ";", read in groups of five
// (Color1; Color2; Percent kept in 8 bits; Mode; one unread number). Fewer than five words give
// no steps; words beyond the last whole group are ignored. A word of a complete group that is
// not a decimal integer throws EConvertError. Replaces the content of `steps`.
void PrepareGradArray(std::string_view description, TsGradArray& steps);

// The five text colours of a state as stored sections keep them: "text left top right bottom",
// decimal, separated by blanks. Exactly five words fill the five colours; any other count gives
// 0, -1, -1, -1, -1. A five-word string with a word that is not a number throws EConvertError.
struct TsFontColors {
  TColor Text = 0;
  TColor Left = -1;
  TColor Top = -1;
  TColor Right = -1;
  TColor Bottom = -1;
};
TsFontColors SplitFontColors(std::string_view text);
void SetFontColors(TsGeneralData& section, std::string_view normal);     // FontColor, TCLeft, ...
void SetHotFontColors(TsGeneralData& section, std::string_view hot);    // HotFontColor, HotTCLeft, ...
