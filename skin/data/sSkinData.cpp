#include "skin/data/sSkinData.h"

#include <algorithm>
#include <vector>

#include "framework/core/IniFiles.h"
#include "framework/core/StrUtils.h"

TsGeneralDataArray gd;
TsMaskArray ma;
TsPatternArray pa;
std::unique_ptr<TPixelImage> MasterBitmap;
TConstantSkinData ConstData;
std::string GlobalSectionName;
bool RestrictDrawing = false;
bool NonAutoUpdate = false;

namespace {
TsSkinData skinDataInstance;
}  // namespace

TsSkinData* sSkinData = &skinDataInstance;

TsSkinData::TsSkinData() = default;
TsSkinData::~TsSkinData() = default;

bool IsValidSkinIndex(std::int32_t index) {
  return sSkinData != nullptr && index >= 0 && static_cast<std::size_t>(index) < gd.size();
}

bool IsValidImgIndex(std::int32_t index) { return index >= 0 && static_cast<std::size_t>(index) < ma.size(); }

TMaskSize MaskSize(const TsMaskData& mask) {
  if (mask.Bmp) return {mask.Bmp->Width() / 3, mask.Bmp->Height() / 2};
  const std::int32_t images = mask.ImageCount < 1 ? 1 : mask.ImageCount;
  const std::int32_t rows = mask.MaskType < 0 ? 1 : mask.MaskType + 1;
  return {WidthOf(mask.R) / images, HeightOf(mask.R) / rows};
}

TMaskSize MaskSize(std::int32_t index) { return MaskSize(ma[static_cast<std::size_t>(index)]); }

void FreeBitmaps() {
  for (auto it = ma.rbegin(); it != ma.rend(); ++it) it->Bmp.reset();
  ma.clear();
  MasterBitmap.reset();
}

void FreeJpegs() {
  for (auto it = pa.rbegin(); it != pa.rend(); ++it) it->Img.reset();
  pa.clear();
}

void PrepareGradArray(std::string_view description, TsGradArray& steps) {
  steps.clear();
  if (description.empty()) return;
  // One pass over the text: the words first, then the groups of five read from them, so that a
  // description of any length costs time in proportion to it.
  std::vector<std::string_view> words;
  std::size_t pos = 0;
  while (pos < description.size()) {
    const std::size_t end = std::min(description.find(';', pos), description.size());
    if (end > pos) words.push_back(description.substr(pos, end - pos));
    pos = end + 1;
  }
  const std::size_t count = words.size() / 5;
  steps.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    TsGradPie& step = steps[i];
    const std::string_view* group = &words[5 * i];  // the fifth word is not read
    step.Color1 = DecimalStrToInt(group[0]);
    step.Color2 = DecimalStrToInt(group[1]);
    step.Percent = static_cast<std::uint8_t>(DecimalStrToInt(group[2]) & 0xFF);
    step.Mode = DecimalStrToInt(group[3]);
  }
}

TsFontColors SplitFontColors(std::string_view text) {
  constexpr std::string_view kSeparators = " ";
  if (WordCount(text, kSeparators) != 5) return {};
  return {DecimalStrToInt(ExtractWord(1, text, kSeparators)), DecimalStrToInt(ExtractWord(2, text, kSeparators)),
          DecimalStrToInt(ExtractWord(3, text, kSeparators)), DecimalStrToInt(ExtractWord(4, text, kSeparators)),
          DecimalStrToInt(ExtractWord(5, text, kSeparators))};
}

namespace {

void AssignFontColors(std::string_view text, TColor& color, TColor& left, TColor& top, TColor& right, TColor& bottom) {
  const TsFontColors c = SplitFontColors(text);
  color = c.Text;
  left = c.Left;
  top = c.Top;
  right = c.Right;
  bottom = c.Bottom;
}

}  // namespace

void SetFontColors(TsGeneralData& s, std::string_view normal) {
  AssignFontColors(normal, s.FontColor, s.TCLeft, s.TCTop, s.TCRight, s.TCBottom);
}

void SetHotFontColors(TsGeneralData& s, std::string_view hot) {
  AssignFontColors(hot, s.HotFontColor, s.HotTCLeft, s.HotTCTop, s.HotTCRight, s.HotTCBottom);
}
